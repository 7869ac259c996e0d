#include "exact/form_finding.h"

#include <cstring>

#include "exact/ball_run.h"
#include "exact/form_text.h"
#include "exact/prepare_program.h"
#include "exact/radical_form.h"

namespace {

// Bits of the program's numbers' sizes beyond which no form is looked for: a value made of
// such numbers has no short one, and balls and algebraic numbers of them cost much.
constexpr slong form_magnitude_limit = 4096;
// The value's ball, and the form's: the form's is the wider, so that it holds the value's.
constexpr slong value_precision = 256;
constexpr slong form_precision = 64;

// The root a term's coefficient multiplies, in a ball.
void root_ball(arb_t ball, const radical_term& term, slong precision) {
  arb_set_fmpz(ball, term.radicand);
  if (term.kind == radical_rational) arb_one(ball);
  if (term.kind == radical_square) arb_sqrt(ball, ball, precision);
  if (term.kind == radical_surd) arb_root_ui(ball, ball, static_cast<ulong>(term.index), precision);
  if (term.kind != radical_nested) return;
  arb_t inner;
  arb_init(inner);
  arb_sqrt_fmpz(inner, term.inner_radicand, precision);
  arb_mul_fmpz(inner, inner, term.inner, precision);
  arb_add(ball, ball, inner, precision);
  arb_sqrt(ball, ball, precision);
  arb_clear(inner);
}

// The form's value in a ball, from the form alone.
void form_ball(arb_t ball, const radical_form& form, slong precision) {
  arb_t term, pi;
  arb_init(term);
  arb_init(pi);
  arb_zero(ball);
  for (int k = 0; k < form.term_count; ++k) {
    root_ball(term, form.terms[k], precision);
    arb_mul_fmpz(term, term, form.terms[k].coefficient, precision);
    arb_add(ball, ball, term, precision);
  }
  arb_div_fmpz(ball, ball, form.denominator, precision);
  arb_const_pi(pi, precision);
  arb_pow_fmpq(pi, pi, form.pi_power, precision);
  arb_mul(ball, ball, pi, precision);
  arb_clear(term);
  arb_clear(pi);
}

// True when the form is a rational (no root, no power of pi).
bool is_rational(const radical_form& form) {
  return fmpq_is_zero(form.pi_power) &&
         (form.term_count == 0 || (form.term_count == 1 && form.terms[0].kind == radical_rational));
}

// True when the rounded digits are the rational form's value exactly ("0.5" for 1/2).
bool digits_are_exact(const Rounded& rounded, const radical_form& form) {
  if (form.term_count == 0) return true;
  fmpq_t printed;
  fmpq_init(printed);
  fmpz_set_str(fmpq_numref(printed), rounded.digits, 10);
  if (rounded.negative) fmpz_neg(fmpq_numref(printed), fmpq_numref(printed));
  const slong shift =
      rounded.exponent + 1 - static_cast<slong>(std::strlen(rounded.digits));  // 0.DIGITS
  fmpz_t power;
  fmpz_init(power);
  fmpz_ui_pow_ui(power, 10, static_cast<ulong>(shift < 0 ? -shift : shift));
  if (shift >= 0) fmpz_mul(fmpq_numref(printed), fmpq_numref(printed), power);
  if (shift < 0) fmpz_set(fmpq_denref(printed), power);
  fmpq_canonicalise(printed);
  const bool exact = fmpz_equal(fmpq_numref(printed), form.terms[0].coefficient) &&
                     fmpz_equal(fmpq_denref(printed), form.denominator);
  fmpz_clear(power);
  fmpq_clear(printed);
  return exact;
}

radical_form& found_form() {
  static radical_form form;
  static bool ready = false;
  if (!ready) radical_form_init(&form);
  ready = true;
  return form;
}

// The form of the value whose ball is `value`, found (exactly) into `form`; false when none.
bool find_form(const ExactProgram& program, arb_t value, radical_form& form) {
  fmpq_t rational;
  fmpq_init(rational);
  BallKnowledge knowledge = {false, 0};
  bool found =
      run_in_balls(program, value_precision, value, rational, knowledge).outcome == exact_value;
  if (found && knowledge.exact) {
    radical_form_set_rational(&form, rational, knowledge.pi_power);
  } else if (found) {
    found = exact_algebraic_form(&program, &form) == 1;
  }
  fmpq_clear(rational);
  return found;
}

}  // namespace

void find_exact_form(const ExactProgram& program, const ExactOutcome& outcome, ExactForm& form) {
  form.length = 0;
  form.text[0] = '\0';
  if (outcome.end.outcome != exact_value || outcome.rounded.zero) return;
  if (exact_magnitude_bits(program) > form_magnitude_limit) return;
  radical_form& found = found_form();
  arb_t value, ball;
  arb_init(value);
  arb_init(ball);
  bool written = find_form(program, value, found);
  if (written && is_rational(found)) written = !digits_are_exact(outcome.rounded, found);
  if (written) {
    form_ball(ball, found, form_precision);
    written = arb_contains(ball, value);
  }
  if (written) form.length = write_radical_form(found, form.unicode, form.text);
  arb_clear(value);
  arb_clear(ball);
}
