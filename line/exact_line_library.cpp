// The exact mode over Arb and Calcium: the loadable module's entry (line/exact_module.h). A line
// runs first in Arb's balls, finer each time the ball cannot settle the printed digits; what balls
// cannot decide (a zero, a tie, a denominator that may be 0) is decided by Calcium's exact numbers.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "bracket/exact_calcium.h"
#include "bracket/line_exact.h"
#include "line/exact_module.h"

// AddressSanitizer reserves terabytes of address space: a limit on it would stop every
// decision, so sanitized builds (gcc says so by __SANITIZE_ADDRESS__, clang by a feature)
// limit the processor time alone.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define TRIGCALC_UNDER_SANITIZER 1
#endif
#endif

namespace {

constexpr int ball_attempts = 3;  // precisions tried in balls: each 4 times the last
constexpr slong guard_bits = 48;  // bits beyond the digits asked for
// Most bits of the numbers' sizes with which Calcium is asked what balls could not settle.
constexpr slong calcium_magnitude_limit = 4096;

// The rounded value: sign, `precision` digits (the first nonzero) and decimal exponent.
struct Rounded {
  bool zero;
  bool negative;
  char digits[exact_text_capacity];
  slong exponent;
};

// How rounding a ball went.
enum class Rounding { done, tie_candidate, too_wide };

void power_of_ten(fmpz_t power, slong exponent) {
  fmpz_ui_pow_ui(power, 10, static_cast<ulong>(exponent));
}

// A first guess of floor(log10 |x|) for the nonzero ball x; false when it cannot be had.
bool guess_exponent(const arb_t x, slong& exponent) {
  arb_t logarithm;
  arb_init(logarithm);
  arb_abs(logarithm, x);
  arb_log_base_ui(logarithm, logarithm, 10, 64);
  fmpz_t floor;
  fmpz_init(floor);
  const bool known = arb_is_finite(logarithm) && arf_cmpabs_2exp_si(arb_midref(logarithm), 62) < 0;
  if (known) {
    arf_get_fmpz(floor, arb_midref(logarithm), ARF_RND_FLOOR);
    exponent = fmpz_get_si(floor);
  }
  fmpz_clear(floor);
  arb_clear(logarithm);
  return known;
}

// |x| x 10^(digits - 1 - exponent) into `y`.
void scale_ball(arb_t y, const arb_t x, int digits, slong exponent, slong precision) {
  const slong shift = digits - 1 - exponent;
  fmpz_t power;
  fmpz_init(power);
  power_of_ten(power, shift < 0 ? -shift : shift);
  arb_abs(y, x);
  if (shift >= 0) arb_mul_fmpz(y, y, power, precision);
  if (shift < 0) arb_div_fmpz(y, y, power, precision);
  fmpz_clear(power);
}

// Moves the exponent when `k` has not `digits` digits; true when it has.
bool settle_exponent(fmpz_t k, int digits, slong& exponent, bool& retry) {
  fmpz_t low, high;
  fmpz_init(low);
  fmpz_init(high);
  power_of_ten(low, digits - 1);
  power_of_ten(high, digits);
  retry = false;
  if (fmpz_equal(k, high)) {  // rounded up to the next power of ten
    fmpz_set(k, low);
    ++exponent;
  } else if (fmpz_cmp(k, high) > 0) {
    ++exponent;
    retry = true;
  } else if (fmpz_cmp(k, low) < 0) {
    --exponent;
    retry = true;
  }
  fmpz_clear(low);
  fmpz_clear(high);
  return !retry;
}

void take_digits(Rounded& rounded, const fmpz_t k) {
  fmpz_get_str(rounded.digits, 10, k);
}

// Rounds the exact rational `x` (nonzero) to `digits` digits, ties to even.
void round_rational(const fmpq_t x, int digits, Rounded& rounded) {
  arb_t ball;
  arb_init(ball);
  arb_set_fmpq(ball, x, 64);
  slong exponent = 0;
  guess_exponent(ball, exponent);
  arb_clear(ball);
  fmpq_t y;
  fmpq_init(y);
  fmpz_t k, power;
  fmpz_init(k);
  fmpz_init(power);
  for (bool retry = true; retry;) {
    const slong shift = digits - 1 - exponent;
    power_of_ten(power, shift < 0 ? -shift : shift);
    fmpq_abs(y, x);
    if (shift >= 0) fmpq_mul_fmpz(y, y, power);
    if (shift < 0) fmpq_div_fmpz(y, y, power);
    // k = floor(y + 1/2) = floor((2 num + den) / (2 den)); an exact division is a tie.
    fmpz_mul_ui(power, fmpq_numref(y), 2);
    fmpz_add(power, power, fmpq_denref(y));
    fmpz_t twice_den;
    fmpz_init(twice_den);
    fmpz_mul_ui(twice_den, fmpq_denref(y), 2);
    const bool tie = fmpz_divisible(power, twice_den);
    fmpz_fdiv_q(k, power, twice_den);
    fmpz_clear(twice_den);
    if (tie && fmpz_is_odd(k)) fmpz_sub_ui(k, k, 1);
    settle_exponent(k, digits, exponent, retry);
  }
  rounded = {false, fmpq_sgn(x) < 0, {}, exponent};
  take_digits(rounded, k);
  fmpz_clear(k);
  fmpz_clear(power);
  fmpq_clear(y);
}

// Rounds the ball `x` to `digits` digits when it settles them; otherwise says whether a
// tie point (set in `tie`, with x's sign and scale) lies in it or the ball is too wide.
Rounding round_ball(const arb_t x, int digits, slong precision, Rounded& rounded, fmpq_t tie) {
  slong exponent = 0;
  if (arb_contains_zero(x) || !guess_exponent(x, exponent)) return Rounding::too_wide;
  arb_t y;
  arb_init(y);
  arf_t bound;
  arf_init(bound);
  fmpz_t low, high;
  fmpz_init(low);
  fmpz_init(high);
  Rounding outcome = Rounding::done;
  for (bool retry = true; retry && outcome == Rounding::done;) {
    scale_ball(y, x, digits, exponent, precision);
    arb_mul_2exp_si(y, y, 1);  // y + 1/2, as (2y + 1) / 2: exact in binary
    arb_add_ui(y, y, 1, precision);
    arb_mul_2exp_si(y, y, -1);
    arb_get_lbound_arf(bound, y, precision);
    arf_get_fmpz(low, bound, ARF_RND_FLOOR);
    const bool low_is_tie = arf_is_int(bound);
    arb_get_ubound_arf(bound, y, precision);
    arf_get_fmpz(high, bound, ARF_RND_FLOOR);
    fmpz_sub(high, high, low);
    if (fmpz_cmp_ui(high, 1) > 0 || (fmpz_is_one(high) && low_is_tie)) {
      outcome = Rounding::too_wide;
    } else if (fmpz_is_one(high) || low_is_tie) {
      // y + 1/2 reaches an integer m: y may be the tie m - 1/2.
      if (fmpz_is_one(high)) fmpz_add_ui(low, low, 1);
      fmpz_set(fmpq_numref(tie), low);
      fmpz_one(fmpq_denref(tie));
      outcome = Rounding::tie_candidate;
    } else {
      settle_exponent(low, digits, exponent, retry);
    }
  }
  rounded = {false, arb_is_negative(x) != 0, {}, exponent};
  if (outcome == Rounding::done) take_digits(rounded, low);
  if (outcome == Rounding::tie_candidate) {
    // The tie in x's own terms: (m - 1/2) x 10^(exponent - digits + 1), with x's sign.
    fmpq_t half;
    fmpq_init(half);
    fmpq_set_si(half, 1, 2);
    fmpq_sub(tie, tie, half);
    fmpq_clear(half);
    const slong shift = digits - 1 - exponent;
    power_of_ten(low, shift < 0 ? -shift : shift);
    if (shift >= 0) fmpq_div_fmpz(tie, tie, low);
    if (shift < 0) fmpq_mul_fmpz(tie, tie, low);
    if (rounded.negative) fmpq_neg(tie, tie);
  }
  fmpz_clear(low);
  fmpz_clear(high);
  arf_clear(bound);
  arb_clear(y);
  return outcome;
}

// What computing a line came to.
struct LineOutcome {
  exact_failure failure;  // exact_value: `rounded` holds the value
  Rounded rounded;
  int bound_digits;  // exact_undecided: digits to which the value was known
};

// The line's program: one, kept for the program's life, its numbers reused line after line.
exact_program& line_program() {
  static exact_program program;
  static bool ready = false;
  if (!ready) init_exact_program(program);
  ready = true;
  return program;
}

slong precision_for(int digits) {
  return static_cast<slong>(digits) * 3322 / 1000 + guard_bits;
}

// The power of ten below which the ball's magnitude surely lies, as a count of digits after
// the point: the bound to which a value that could not be told from 0 is known.
int magnitude_digits(const arb_t ball) {
  arf_t bound;
  arf_init(bound);
  arb_get_abs_ubound_arf(bound, ball, 32);
  const slong exponent = arf_is_zero(bound) ? 0 : arf_abs_bound_lt_2exp_si(bound);
  arf_clear(bound);
  return exponent < 0 ? static_cast<int>(-exponent * 301 / 1000) : 0;
}

// Decides what balls left open, with Calcium: no value, 0, a tie, or the digits.
void decide_exactly(const exact_program& program, int digits, slong precision, LineOutcome& line) {
  line.failure = exact_calcium_run(&program);
  line.bound_digits = static_cast<int>(precision * 3 / 10);
  if (line.failure.outcome != exact_value) return exact_calcium_finish();
  const int zero = exact_calcium_is_zero();
  line.failure.outcome = zero == 0 ? exact_undecided : exact_value;
  line.rounded.zero = zero == 1;
  arb_t ball;
  arb_init(ball);
  fmpq_t tie;
  fmpq_init(tie);
  for (int attempt = 0; zero == 0 && attempt < ball_attempts; ++attempt, precision *= 4) {
    exact_calcium_enclose(ball, precision);
    const Rounding rounding = round_ball(ball, digits, precision, line.rounded, tie);
    const int equal = rounding == Rounding::tie_candidate ? exact_calcium_equals(tie) : 0;
    if (equal < 0) break;
    if (equal == 1) round_rational(tie, digits, line.rounded);
    if (rounding == Rounding::done || equal == 1) {
      line.failure.outcome = exact_value;
      break;
    }
  }
  if (zero < 0) {
    line.failure.outcome = exact_undecided;
    exact_calcium_enclose(ball, precision);
    line.bound_digits = magnitude_digits(ball);
  }
  fmpq_clear(tie);
  arb_clear(ball);
  exact_calcium_finish();
}

// Bounds of a decision by Calcium, which on some lines (products of many tangents of
// different angles, say) would work for minutes and gigabytes: it runs in a child process
// that the system stops after this much processor time or address space.
constexpr rlim_t decision_seconds = 1;
[[maybe_unused]] constexpr rlim_t decision_bytes = rlim_t{768} << 20;  // not with sanitizers

// Reads the `size` bytes at `data` from `descriptor`; false when they did not all come.
bool read_all(int descriptor, void* data, std::size_t size) {
  auto* bytes = static_cast<unsigned char*>(data);
  while (size > 0) {
    const ssize_t got = read(descriptor, bytes, size);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return false;
    bytes += got;
    size -= static_cast<std::size_t>(got);
  }
  return true;
}

// The child's side: limits set, the decision made, its outcome written whole, then the end
// (without running the parent's exit handlers or flushing its buffers).
[[noreturn]] void decide_in_child(const exact_program& program, int digits, slong precision,
                                  LineOutcome& line, int descriptor) {
  const rlimit seconds = {decision_seconds, decision_seconds + 1};
  setrlimit(RLIMIT_CPU, &seconds);
#if !defined(__SANITIZE_ADDRESS__) && !defined(TRIGCALC_UNDER_SANITIZER)
  const rlimit bytes = {decision_bytes, decision_bytes};
  setrlimit(RLIMIT_AS, &bytes);
#endif
  decide_exactly(program, digits, precision, line);
  const auto* data = reinterpret_cast<const unsigned char*>(&line);
  for (std::size_t done = 0; done < sizeof line;) {
    const ssize_t put = write(descriptor, data + done, sizeof line - done);
    if (put <= 0 && errno != EINTR) break;
    if (put > 0) done += static_cast<std::size_t>(put);
  }
  _exit(0);
}

// Decides with Calcium within the bounds above: a decision cut short, or a child that could
// not be started, leaves the line undecided, with what the balls showed of its size.
void decide_within_bounds(const exact_program& program, int digits, slong precision,
                          LineOutcome& line) {
  int ends[2];
  const int bound_digits = line.bound_digits;
  line.failure.outcome = exact_undecided;
  if (pipe(ends) != 0) return;
  const pid_t child = fork();
  if (child == 0) {
    close(ends[0]);
    decide_in_child(program, digits, precision, line, ends[1]);
  }
  close(ends[1]);
  static LineOutcome decided;  // 1 KiB: kept off the stack
  const bool whole = child > 0 && read_all(ends[0], &decided, sizeof decided);
  close(ends[0]);
  int status = 0;
  if (child > 0) {
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
  }
  if (whole && WIFEXITED(status) && WEXITSTATUS(status) == 0) {
    line = decided;
  } else {
    line.failure.outcome = exact_undecided;
    line.bound_digits = bound_digits;
  }
}

// Runs the program in balls, finer each time the digits are not settled (4 times the bits
// each time); true when done. A ball
// that was left too wide sets `line.bound_digits` to what it showed of the value's size.
bool compute_in_balls(const exact_program& program, int digits, LineOutcome& line) {
  arb_t ball;
  arb_init(ball);
  fmpq_t rational, tie;
  fmpq_init(rational);
  fmpq_init(tie);
  bool done = false;
  slong digit_bits = precision_for(digits);
  for (int attempt = 0; !done && attempt < ball_attempts; ++attempt, digit_bits *= 4) {
    const slong precision = digit_bits;
    BallKnowledge knowledge = {false, 0};
    line.failure = run_in_balls(program, precision, ball, rational, knowledge);
    if (line.failure.outcome == exact_undecided) continue;
    done = line.failure.outcome != exact_value;
    if (done) break;
    if (knowledge.exact && knowledge.pi_power == 0) {
      line.rounded.zero = fmpq_is_zero(rational);
      if (!line.rounded.zero) round_rational(rational, digits, line.rounded);
      done = true;
    } else {
      line.rounded.zero = false;
      done = round_ball(ball, digits, precision, line.rounded, tie) == Rounding::done;
      line.bound_digits = magnitude_digits(ball);
    }
  }
  fmpq_clear(rational);
  fmpq_clear(tie);
  arb_clear(ball);
  return done;
}

int write_nan(char (&text)[exact_text_capacity]) {
  std::strcpy(text, "nan");
  return 3;
}

// The spelling a note names a function by, for the report's wording.
const char* function_spelling(int code) {
  static const char* const spellings[] = {"",    "sen",   "cos",    "tg",     "cotg",
                                          "sec", "cosec", "arcsen", "arccos", "arctg"};
  return code >= 0 && code <= exact_arc_tangent ? spellings[code] : "";
}

// Notes why the line has no value, at the step that ended it.
void note_failure(const exact_program& program, const LineOutcome& line, ExactNote& note) {
  const int outcome = line.failure.outcome;
  note = {true, NoteKind::exact_undecided, 0, 0, ""};
  if (outcome == exact_undecided) {
    std::snprintf(note.name, sizeof note.name, "%d", line.bound_digits);
    return;
  }
  const int at = line.failure.step < program.step_count ? line.failure.step : -1;
  const exact_step* step = at >= 0 ? program.steps + at : nullptr;
  note.column = step != nullptr ? step->column : 0;
  note.length = step != nullptr ? step->length : 0;
  if (outcome == exact_too_large) {
    note.kind = NoteKind::exact_too_large;
  } else if (step != nullptr && step->code == exact_divide) {
    note.kind = NoteKind::exact_division_by_zero;
  } else {
    note.kind = NoteKind::exact_no_value;
    std::snprintf(note.name, sizeof note.name, "%s",
                  function_spelling(step != nullptr ? step->argument : 0));
  }
}

}  // namespace

extern "C" int TRIGCALC_EXACT_ENTRY(const LineReading* line_reading, int digits,
                                    char (*text_buffer)[exact_text_capacity], ExactNote* note) {
  const LineReading& reading = *line_reading;
  char(&text)[exact_text_capacity] = *text_buffer;
  note->taken = false;
  exact_program& program = line_program();
  compile_exact_program(reading, program);
  static LineOutcome line;  // its digits are 1 KiB: kept off the stack
  line.failure = {program.complete ? exact_value : exact_too_large, program.step_count};
  line.bound_digits = 0;
  const slong magnitude = exact_magnitude_bits(program);
  const bool computed = program.complete && compute_in_balls(program, digits, line);
  const bool open = line.failure.outcome == exact_value || line.failure.outcome == exact_undecided;
  if (!computed && open && program.complete) {
    // Calcium's own numbers would need the sizes' bits too: past a few thousand it is not
    // asked, and the balls' bound is what is known.
    if (magnitude <= calcium_magnitude_limit) {
      decide_within_bounds(program, digits, precision_for(digits) * 4, line);
    } else {
      line.failure.outcome = exact_undecided;
    }
  }
  if (line.failure.outcome != exact_value) {
    note_failure(program, line, *note);
    return write_nan(text);
  }
  if (line.rounded.zero) {
    std::strcpy(text, "0");
    return 1;
  }
  return write_exact_decimal(line.rounded.negative, line.rounded.digits, digits,
                             static_cast<long>(line.rounded.exponent), text);
}
