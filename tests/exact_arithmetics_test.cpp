// The four exact arithmetics checked against each other on random programs, as FLINT's tests
// check one function against another: Arb's balls, the cyclotomic field, Calcium's exact
// numbers and the algebraic numbers of the forms. Where two of them settle a program, their
// enclosures of its value overlap, and they agree whether it has one and whether it is 0.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>

#include "algebraic_enclosure.h"
#include "exact/ball_run.h"
#include "exact/calcium_run.h"
#include "exact/cyclotomic_run.h"
#include "exact/prepare_program.h"
#include "program/program.h"
#include "term/term_reading.h"

namespace {

constexpr slong precision = 256;  // bits of every enclosure
constexpr int digits = 30;        // of the cyclotomic field's rounded value

// A random program: numbers a line may hold (small integers and decimals, pi, angles in
// degrees that are multiples of 15 or 18 degrees or their sums, multiples of pi in radians),
// joined by every step the two readings write, nested a few deep.
class RandomProgram {
 public:
  explicit RandomProgram(unsigned seed) : rng_(seed) {
    std::memset(&store_, 0, sizeof store_);
    program_.step_count = 0;
    program_.complete = 1;
    value(3);
  }

  const Program& program() const { return program_; }
  const NumberStore& store() const { return store_; }

  // The program in the postfix form of program/program.h, for a failure's message.
  std::string text() const {
    std::string text;
    for (int s = 0; s < program_.step_count; ++s) {
      const ProgramStep& step = program_.steps[s];
      if (step.code == program_push_number) {
        const NumberRead& number = store_.numbers[step.argument];
        text += number.form == NumberForm::pi ? "pi" : number_text(store_, number);
      } else {
        text +=
            "#" + std::to_string(step.code) +
            (step.code == program_function ? "." + std::to_string(step.argument) : std::string());
        if (step.radians) text += "rad";
      }
      text += ' ';
    }
    return text;
  }

 private:
  int pick(int count) { return static_cast<int>(rng_() % static_cast<unsigned>(count)); }

  template <int count>
  const char* pick(const char* const (&choices)[count]) {
    return choices[pick(count)];
  }

  void push(const char* text, NumberForm form = NumberForm::decimal) {
    const int index = store_.count++;
    NumberRead& read = store_.numbers[index];
    read = {};
    read.form = form;
    read.op = '=';
    read.text = static_cast<short>(store_.texts_used);
    read.text_length = static_cast<unsigned char>(std::strlen(text));
    std::strcpy(store_.texts + store_.texts_used, text);
    store_.texts_used += read.text_length + 1;
    step(program_push_number, index);
  }

  void step(int code, int argument = 0, bool radians = false) {
    program_.steps[program_.step_count++] = {static_cast<unsigned char>(code),
                                             static_cast<unsigned char>(radians ? 1 : 0),
                                             static_cast<short>(argument), 0, 1};
  }

  // An angle in degrees: a multiple of 15 or of 18 (whose functions lie in small cyclotomic
  // fields), a half degree, or a sum of such.
  void degrees(int depth) {
    static const char* const angles[] = {"0",   "15",  "18",  "30",  "36",  "45",  "54",
                                         "60",  "72",  "90",  "108", "120", "135", "150",
                                         "180", "210", "270", "-45", "-90", "360", "22.5"};
    if (depth == 0 || pick(3) != 0) return push(pick(angles));
    degrees(depth - 1);
    degrees(depth - 1);
    step(pick(2) == 0 ? program_add : program_subtract);
  }

  // A direct function of an angle, in degrees or as a rational multiple of pi in radians,
  // times an amplitude.
  void direct_function(int depth) {
    static const char* const amplitudes[] = {"1", "1", "2", "-1", "0.5"};
    static const char* const turns[] = {"0.25", "0.5", "1.5", "0.2", "-0.75", "2"};
    push(pick(amplitudes));
    const bool radians = pick(4) == 0;
    if (radians) {
      push("", NumberForm::pi);
      push(pick(turns));
      step(program_multiply);
    } else {
      degrees(depth);
    }
    step(program_function, program_sine + pick(6), radians);
  }

  // An inverse function of a number, in degrees.
  void inverse_function() {
    static const char* const ratios[] = {"0", "0.5", "-0.5", "1", "-1", "2", "0.25"};
    push("1");
    push(pick(ratios));
    step(program_function, program_arc_sine + pick(3));
  }

  // A value: a number or pi, or a step over values.
  void value(int depth) {
    static const char* const numbers[] = {"0", "1", "2", "3", "-1", "0.5", "1.5", "-2", "10"};
    static const char* const exponents[] = {"2", "3", "-1", "0", "-2", "0.5"};
    static const int binary[] = {program_add, program_subtract, program_multiply, program_divide};
    switch (depth == 0 ? pick(2) : pick(9)) {
      case 0:
        return push(pick(numbers));
      case 1:
        return push("", NumberForm::pi);
      case 2:
      case 3:
        value(depth - 1);
        value(depth - 1);
        return step(binary[pick(4)]);
      case 4:
        value(depth - 1);
        return step(program_negate);
      case 5:
      case 6:
        return direct_function(depth - 1);
      case 7:
        return inverse_function();
      default:
        value(depth - 1);
        push(pick(exponents));
        return step(pick(3) == 0 ? program_root : program_power);
    }
  }

  std::mt19937 rng_;
  Program program_;
  NumberStore store_;
};

// What an arithmetic settled of a program: whether it has a value (-1: not settled), whether
// it is 0 (-1: not settled), and the value's enclosure.
struct Settled {
  int value = -1;
  int zero = -1;
  arb_t ball;

  Settled() { arb_init(ball); }
  ~Settled() { arb_clear(ball); }
  Settled(const Settled&) = delete;
  Settled& operator=(const Settled&) = delete;
};

// The program's value in balls.
void in_balls(const ExactProgram& program, Settled& settled) {
  fmpq_t rational;
  fmpq_init(rational);
  BallKnowledge knowledge = {false, 0};
  const exact_run_end end = run_in_balls(program, precision, settled.ball, rational, knowledge);
  if (end.outcome == exact_no_value) settled.value = 0;
  if (end.outcome == exact_value) {
    settled.value = 1;
    if (knowledge.exact) settled.zero = fmpq_is_zero(rational);
    if (!arb_contains_zero(settled.ball)) settled.zero = 0;
  }
  fmpq_clear(rational);
}

// The program's value in Calcium's exact numbers.
void in_calcium(const ExactProgram& program, Settled& settled) {
  const exact_run_end end = exact_calcium_run(&program);
  if (end.outcome == exact_no_value) settled.value = 0;
  if (end.outcome == exact_value) {
    settled.value = 1;
    settled.zero = exact_calcium_is_zero();
    exact_calcium_enclose(settled.ball, precision);
  }
  exact_calcium_finish();
}

// The program's value in the cyclotomic field that holds it: its rounded digits, give or take
// half a unit of their last place.
void in_cyclotomic_field(const ExactProgram& program, Settled& settled) {
  static ExactOutcome result;
  if (!decide_in_cyclotomic_field(program, digits, result)) return;
  if (result.end.outcome == exact_no_value) settled.value = 0;
  if (result.end.outcome != exact_value) return;
  settled.value = 1;
  settled.zero = result.rounded.zero;
  if (result.rounded.zero) return arb_zero(settled.ball);
  const slong last =
      result.rounded.exponent + 1 - static_cast<slong>(std::strlen(result.rounded.digits));
  const std::string text = std::string(result.rounded.negative ? "-" : "") + result.rounded.digits +
                           "e" + std::to_string(last) + " +/- 5e" + std::to_string(last - 1);
  ASSERT_EQ(arb_set_str(settled.ball, text.c_str(), precision), 0) << text;
}

// The program's value in algebraic numbers.
void in_algebraic_numbers(const ExactProgram& program, Settled& settled) {
  int zero = 0;
  if (algebraic_enclosure(&program, precision, settled.ball, &zero) == 0) return;
  settled.value = 1;
  settled.zero = zero;
}

}  // namespace

TEST(ExactArithmetics, AgreeOnRandomPrograms) {
  static ExactProgram exact;
  init_exact_program(exact);
  const char* const names[] = {"balls", "Calcium", "cyclotomic field", "algebraic numbers"};
  int compared[4][4] = {};  // programs on whose value both arithmetics settled something
  int values = 0;
  for (unsigned seed = 1; seed <= 600; ++seed) {
    const RandomProgram random(seed);
    prepare_exact_program(random.program(), random.store(), exact);
    Settled settled[4];
    in_balls(exact, settled[0]);
    in_calcium(exact, settled[1]);
    in_cyclotomic_field(exact, settled[2]);
    in_algebraic_numbers(exact, settled[3]);
    values += settled[1].value == 1;
    for (int a = 0; a < 4; ++a) {
      for (int b = a + 1; b < 4; ++b) {
        const Settled& one = settled[a];
        const Settled& other = settled[b];
        if (one.value < 0 || other.value < 0) continue;
        ++compared[a][b];
        const std::string which = std::string(names[a]) + " and " + names[b] + ": " + random.text();
        EXPECT_EQ(one.value, other.value) << "whether it has a value, " << which;
        if (one.value != 1 || other.value != 1) continue;
        EXPECT_TRUE(arb_overlaps(one.ball, other.ball)) << "the enclosures, " << which;
        if (one.zero >= 0 && other.zero >= 0) {
          EXPECT_EQ(one.zero, other.zero) << "whether it is 0, " << which;
        }
      }
    }
  }
  // Every pair compared on enough programs for the check to mean something; most have a value.
  for (int a = 0; a < 4; ++a) {
    for (int b = a + 1; b < 4; ++b) EXPECT_GE(compared[a][b], 50) << names[a] << ", " << names[b];
  }
  EXPECT_GE(values, 300);
}
