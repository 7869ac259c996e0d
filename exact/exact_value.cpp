#include "exact/exact_value.h"

#include "exact/ball_run.h"
#include "exact/bounded_child.h"
#include "exact/calcium_run.h"
#include "exact/cyclotomic_run.h"
#include "exact/prepare_program.h"
#include "exact/solution_set.h"

namespace {

constexpr int ball_attempts = 3;  // precisions tried in balls: each 4 times the last
constexpr slong guard_bits = 48;  // bits beyond the digits asked for
// Most bits of a last attempt in balls that a line's numbers call for, with the bits of their
// sizes that an angle in radians adds to them: a sine at this many takes about a tenth of a
// second. A line that would need more is left undecided without it.
constexpr slong fine_precision_limit = slong{1} << 18;
// Most bits of the numbers' sizes with which Calcium is asked what balls could not settle:
// its own numbers would need those bits too.
constexpr slong calcium_magnitude_limit = 4096;
// Bits of the numbers' sizes (and of the values powers make of them) beyond which a line is
// computed in a bounded child: such a line may take seconds and megabytes, and a failed
// allocation aborts the process it happens in.
constexpr slong in_process_magnitude_limit = 32768;
// Bits of the numbers and of the values powers make, numerators and denominators, beyond
// which a line is computed in a bounded child too: a 99-byte line of numbers alone has fewer
// (eleven numbers of 20,000 digits), powers may make millions.
constexpr slong in_process_number_limit = slong{1} << 21;

// Bounds of a child: Calcium, on some lines (products of many tangents of different angles,
// say), would work for minutes and gigabytes; a decision cut short leaves the line undecided.
// Balls on the largest lines take a third of a second.
constexpr ChildBounds decision_bounds = {1, rlim_t{768} << 20};
constexpr ChildBounds large_line_bounds = {5, rlim_t{768} << 20};

slong precision_for(int digits) {
  return bits_for_digits(digits) + guard_bits;
}

// Decides what balls left open, with Calcium: no value, 0, a tie, or the digits.
void decide_exactly(const ExactProgram& program, int digits, slong precision,
                    ExactOutcome& result) {
  result.end = exact_calcium_run(&program);
  result.bound_digits = static_cast<int>(digits_for_bits(precision));
  if (result.end.outcome != exact_value) return exact_calcium_finish();
  const int zero = exact_calcium_is_zero();
  result.end.outcome = zero == 0 ? exact_undecided : exact_value;
  result.rounded.zero = zero == 1;
  arb_t ball;
  arb_init(ball);
  fmpq_t tie;
  fmpq_init(tie);
  for (int attempt = 0; zero == 0 && attempt < ball_attempts; ++attempt, precision *= 4) {
    exact_calcium_enclose(ball, precision);
    const Rounding rounding = round_ball(ball, digits, precision, result.rounded, tie);
    const int equal = rounding == Rounding::tie_candidate ? exact_calcium_equals(tie) : 0;
    if (equal < 0) break;
    if (equal == 1) round_rational(tie, digits, result.rounded);
    if (rounding == Rounding::done || equal == 1) {
      result.end.outcome = exact_value;
      break;
    }
  }
  if (zero < 0) {
    result.end.outcome = exact_undecided;
    exact_calcium_enclose(ball, precision);
    result.bound_digits = magnitude_digits(ball);
  }
  fmpq_clear(tie);
  arb_clear(ball);
  exact_calcium_finish();
}

// Runs the program in balls of `precision` bits; true when done: the digits settled, or a
// step without value. A ball left too wide sets `result.bound_digits` to what it showed of the
// value's size.
bool settle_in_balls(const ExactProgram& program, int digits, slong precision,
                     ExactOutcome& result) {
  arb_t ball;
  arb_init(ball);
  fmpq_t rational, tie;
  fmpq_init(rational);
  fmpq_init(tie);
  BallKnowledge knowledge = {false, 0};
  result.end = run_in_balls(program, precision, ball, rational, knowledge);
  bool done = result.end.outcome != exact_value && result.end.outcome != exact_undecided;
  if (result.end.outcome != exact_value) {
    // done, or undecided: nothing to round
  } else if (knowledge.exact && knowledge.pi_power == 0) {
    result.rounded.zero = fmpq_is_zero(rational);
    if (!result.rounded.zero) round_rational(rational, digits, result.rounded);
    done = true;
  } else {
    result.rounded.zero = false;
    done = round_ball(ball, digits, precision, result.rounded, tie) == Rounding::done;
    result.bound_digits = magnitude_digits(ball);
  }
  fmpq_clear(rational);
  fmpq_clear(tie);
  arb_clear(ball);
  return done;
}

// Runs the program in balls, finer each time the digits are not settled (4 times the bits
// each time); true when done.
bool compute_in_balls(const ExactProgram& program, int digits, ExactOutcome& result) {
  slong precision = precision_for(digits);
  for (int attempt = 0; attempt < ball_attempts; ++attempt, precision *= 4) {
    if (settle_in_balls(program, digits, precision, result)) return true;
  }
  return false;
}

// The precision of one more attempt in balls for a line whose numbers carry more bits than
// the attempts made could see: twice their bits beyond the digits'. A rational expression of
// the numbers that is not 0 is at least 2^-bits in size, and no function's value near 0 or a
// tie on the lines tried came closer than twice that (sin(30 + 1e-3000) - 0.5 takes the bits
// once, an arc sine near 1 half as much again). With the bits of the numbers' sizes, at most
// fine_precision_limit; 0 for any other line.
slong fine_precision(const ExactProgram& program, int digits) {
  const slong wanted = precision_for(digits) + 2 * exact_number_bits(program);
  const slong room = fine_precision_limit - exact_magnitude_bits(program);
  const slong precision = wanted < room ? wanted : room;
  return precision > precision_for(digits) << (2 * (ball_attempts - 1)) ? precision : 0;
}

// What balls could not settle: decided in the cyclotomic field that holds the line, shown 0 as
// an identity in one angle of which its angles are multiples, or settled in balls as fine as
// its numbers call for; true when one of them did.
bool decide_beyond_balls(const ExactProgram& program, int digits, ExactOutcome& result) {
  if (decide_in_cyclotomic_field(program, digits, result)) return true;
  if (exact_zero_by_common_angle(&program)) {
    result.end.outcome = exact_value;
    result.rounded.zero = true;
    return true;
  }
  const slong precision = fine_precision(program, digits);
  return precision > 0 && settle_in_balls(program, digits, precision, result);
}

// What a child works on: the line, whether Calcium may be asked, and what it came to.
struct ChildWork {
  const ExactProgram* program;
  int digits;
  slong precision;
  bool calcium;
  ExactOutcome* result;
};

// The decision in a child: the field, finer balls, then Calcium when it may be asked.
void decide_in_child(void* context) {
  const ChildWork& work = *static_cast<ChildWork*>(context);
  if (decide_beyond_balls(*work.program, work.digits, *work.result)) return;
  if (work.calcium) return decide_exactly(*work.program, work.digits, work.precision, *work.result);
  work.result->end.outcome = exact_undecided;
}

// The outcome of a line whose child did not finish: what happened to it (and, in `result`,
// the signal or the seconds that say more).
}  // namespace

int child_outcome(const ChildOutcome& child, ExactOutcome& result) {
  switch (child.end) {
    case ChildEnd::out_of_time:
      return exact_out_of_time;
    case ChildEnd::out_of_memory:
      return exact_out_of_memory;
    case ChildEnd::stalled:
      result.child_detail = static_cast<int>(child_stall_seconds);
      return exact_stalled;
    case ChildEnd::interrupted:
      return exact_interrupted;
    case ChildEnd::by_signal:
      result.child_detail = child.signal_number;
      return exact_ended_by_signal;
    case ChildEnd::finished:
    case ChildEnd::failed:
      break;
  }
  return exact_no_child;
}

namespace {

// Decides what balls left open within the decision's bounds: a decision cut short at its
// bounds, or a child that could not be started, leaves the line undecided, with the closest the
// balls or the child knew the value; a child interrupted, or ended otherwise, says so.
void decide_within_bounds(const ExactProgram& program, int digits, slong precision, bool calcium,
                          ExactOutcome& result) {
  const int bound_digits = result.bound_digits;
  ChildWork work = {&program, digits, precision, calcium, &result};
  const ChildOutcome child =
      run_in_bounded_child(decide_in_child, &work, &result, sizeof result, decision_bounds);
  const bool cut = child.end == ChildEnd::out_of_time || child.end == ChildEnd::out_of_memory ||
                   child.end == ChildEnd::failed;
  if (child.end != ChildEnd::finished) {
    result.end.outcome = cut ? exact_undecided : child_outcome(child, result);
  }
  if (result.bound_digits < bound_digits || child.end != ChildEnd::finished) {
    result.bound_digits = bound_digits;
  }
}

// A line that may need much memory, in a child: balls, then what lies beyond them (never
// Calcium, whose numbers would be as large).
void compute_in_child(void* context) {
  const ChildWork& work = *static_cast<ChildWork*>(context);
  if (compute_in_balls(*work.program, work.digits, *work.result)) return;
  if (decide_beyond_balls(*work.program, work.digits, *work.result)) return;
  work.result->end.outcome = exact_undecided;
}

}  // namespace

void compute_exact_value(const ExactProgram& program, int digits, ExactOutcome& result) {
  result.end = {program.complete ? exact_value : exact_beyond_limits, program.step_count};
  result.bound_digits = 0;
  result.child_detail = 0;
  if (!program.complete) return;
  const slong magnitude = exact_magnitude_bits(program);
  if (magnitude > in_process_magnitude_limit ||
      exact_number_bits(program) > in_process_number_limit) {
    ChildWork work = {&program, digits, 0, false, &result};
    const ChildOutcome child =
        run_in_bounded_child(compute_in_child, &work, &result, sizeof result, large_line_bounds);
    if (child.end != ChildEnd::finished) {
      result.end = {child_outcome(child, result), program.step_count};
    }
    return;
  }
  if (compute_in_balls(program, digits, result)) return;
  const int outcome = result.end.outcome;
  if (outcome != exact_value && outcome != exact_undecided) return;
  decide_within_bounds(program, digits, precision_for(digits) * 4,
                       magnitude <= calcium_magnitude_limit, result);
}
