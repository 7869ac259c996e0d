#include "exact/form_text.h"

#include <cstring>

namespace {

// The signs of one script.
struct FormSigns {
  bool unicode;
  const char* minus;       // in front of a value below 0
  const char* plus_join;   // between terms
  const char* minus_join;  // between terms, the second taken away
  const char* pi;
  const char* times;       // between factors written side by side
  const char* root_times;  // between a root of pi and a root after it
};

// U+2212 is e2 88 92, U+03C0 is cf 80, U+00B7 is c2 b7.
constexpr FormSigns unicode_signs = {true, "\xe2\x88\x92", " + ", " \xe2\x88\x92 ", "\xcf\x80",
                                     "",   "\xc2\xb7"};
constexpr FormSigns ascii_signs = {false, "-", " + ", " - ", "pi", "*", "*"};

// A form's text as it is written, and whether it outgrew its room.
struct Writing {
  char* text;
  int length;
  bool overflow;
};

void put(Writing& writing, const char* piece) {
  const int length = static_cast<int>(std::strlen(piece));
  if (writing.overflow || writing.length + length >= exact_form_capacity) {
    writing.overflow = true;
    return;
  }
  std::memcpy(writing.text + writing.length, piece, static_cast<std::size_t>(length) + 1);
  writing.length += length;
}

void put_integer(Writing& writing, const fmpz_t n) {
  if (fmpz_sizeinbase(n, 10) + 2 > static_cast<std::size_t>(exact_form_capacity)) {
    writing.overflow = true;
    return;
  }
  char digits[exact_form_capacity + 2];
  fmpz_get_str(digits, 10, n);
  put(writing, digits);
}

void put_small(Writing& writing, slong n) {
  fmpz_t big;
  fmpz_init_set_si(big, n);
  put_integer(writing, big);
  fmpz_clear(big);
}

// n in superscript digits (U+2070, U+00B9, U+00B2, U+00B3, U+2074 to U+2079).
void put_superscript(Writing& writing, slong n) {
  static const char* const digits[10] = {
      "\xe2\x81\xb0", "\xc2\xb9",     "\xc2\xb2",     "\xc2\xb3",     "\xe2\x81\xb4",
      "\xe2\x81\xb5", "\xe2\x81\xb6", "\xe2\x81\xb7", "\xe2\x81\xb8", "\xe2\x81\xb9"};
  if (n >= 10) put_superscript(writing, n / 10);
  put(writing, digits[n % 10]);
}

// sqrt(n): "√n" or "sqrt(n)".
void put_square_root(Writing& writing, const fmpz_t n, const FormSigns& signs) {
  put(writing, signs.unicode ? "\xe2\x88\x9a" : "sqrt(");  // U+221A
  put_integer(writing, n);
  if (!signs.unicode) put(writing, ")");
}

// n^(1/index): "∛n", "∜n" or "n^(1/index)".
void put_surd(Writing& writing, const fmpz_t n, int index, const FormSigns& signs) {
  if (signs.unicode && (index == 3 || index == 4)) {
    put(writing, index == 3 ? "\xe2\x88\x9b" : "\xe2\x88\x9c");  // U+221B, U+221C
    put_integer(writing, n);
    return;
  }
  put_integer(writing, n);
  put(writing, "^(1/");
  put_small(writing, index);
  put(writing, ")");
}

// |c| sqrt(m), the coefficient left out when it is 1.
void put_inner_root(Writing& writing, const fmpz_t c, const fmpz_t m, const FormSigns& signs) {
  fmpz_t size;
  fmpz_init(size);
  fmpz_abs(size, c);
  if (!fmpz_is_one(size)) {
    put_integer(writing, size);
    put(writing, signs.times);
  }
  put_square_root(writing, m, signs);
  fmpz_clear(size);
}

// sqrt(P + Q sqrt(m)), the part added first: "√(10 − 2√5)", "√(√2 − 1)".
void put_nested(Writing& writing, const radical_term& term, const FormSigns& signs) {
  put(writing, signs.unicode ? "\xe2\x88\x9a(" : "sqrt(");
  fmpz_t size;
  fmpz_init(size);
  fmpz_abs(size, term.radicand);
  if (fmpz_sgn(term.radicand) > 0) {
    put_integer(writing, size);
    put(writing, fmpz_sgn(term.inner) > 0 ? signs.plus_join : signs.minus_join);
    put_inner_root(writing, term.inner, term.inner_radicand, signs);
  } else {
    if (fmpz_sgn(term.inner) < 0) put(writing, signs.minus);
    put_inner_root(writing, term.inner, term.inner_radicand, signs);
    if (fmpz_sgn(term.radicand) < 0) {
      put(writing, signs.minus_join);
      put_integer(writing, size);
    }
  }
  fmpz_clear(size);
  put(writing, ")");
}

// What a term's coefficient multiplies.
void put_root(Writing& writing, const radical_term& term, const FormSigns& signs) {
  if (term.kind == radical_square) put_square_root(writing, term.radicand, signs);
  if (term.kind == radical_surd) put_surd(writing, term.radicand, term.index, signs);
  if (term.kind == radical_nested) put_nested(writing, term, signs);
}

// The power of pi, |pi_power| (nonzero): "π", "π²", "√π", "π^(3/2)"; ASCII "pi", "pi^2",
// "sqrt(pi)", "pi^(3/2)". True when it is written as a root.
bool put_pi(Writing& writing, const fmpq_t pi_power, const FormSigns& signs) {
  fmpq_t size;
  fmpq_init(size);
  fmpq_abs(size, pi_power);
  const bool half = fmpz_is_one(fmpq_numref(size)) && fmpz_equal_ui(fmpq_denref(size), 2);
  if (half) {
    put(writing, signs.unicode ? "\xe2\x88\x9a" : "sqrt(");
    put(writing, signs.pi);
    if (!signs.unicode) put(writing, ")");
  } else if (fmpz_is_one(fmpq_denref(size))) {
    put(writing, signs.pi);
    const slong n = fmpz_get_si(fmpq_numref(size));
    if (n != 1 && signs.unicode) put_superscript(writing, n);
    if (n != 1 && !signs.unicode) put(writing, "^");
    if (n != 1 && !signs.unicode) put_integer(writing, fmpq_numref(size));
  } else {
    put(writing, signs.pi);
    put(writing, "^(");
    put_integer(writing, fmpq_numref(size));
    put(writing, "/");
    put_integer(writing, fmpq_denref(size));
    put(writing, ")");
  }
  fmpq_clear(size);
  return half;
}

// One term's size: its coefficient (left out when it is 1 before something), the power of pi
// when `pi_power` is given, its root.
void put_term(Writing& writing, const radical_term& term, const fmpq_t* pi_power,
              const FormSigns& signs) {
  fmpz_t size;
  fmpz_init(size);
  fmpz_abs(size, term.coefficient);
  const bool root = term.kind != radical_rational;
  bool written = false;
  if (!fmpz_is_one(size) || (!root && pi_power == nullptr)) {
    put_integer(writing, size);
    written = true;
  }
  bool pi_root = false;
  if (pi_power != nullptr) {
    if (written) put(writing, signs.times);
    pi_root = put_pi(writing, *pi_power, signs);
    written = true;
  }
  if (root) {
    if (written) put(writing, pi_root ? signs.root_times : signs.times);
    put_root(writing, term, signs);
  }
  fmpz_clear(size);
}

// The place of a term in the order it is written: those added before those taken away; in
// each, an integer, square roots, higher roots, nested roots, each kind by falling radicand.
bool written_before(const radical_term& a, const radical_term& b) {
  const int sign_a = fmpz_sgn(a.coefficient);
  const int sign_b = fmpz_sgn(b.coefficient);
  if (sign_a != sign_b) return sign_a > sign_b;
  if (a.kind != b.kind) return a.kind < b.kind;
  if (a.index != b.index) return a.index < b.index;
  return fmpz_cmp(a.radicand, b.radicand) > 0;
}

// The terms' places in written order, into `order`.
void order_terms(const radical_form& form, int (&order)[RADICAL_TERM_CAPACITY]) {
  for (int k = 0; k < form.term_count; ++k) order[k] = k;
  for (int k = 1; k < form.term_count; ++k) {  // insertion: four terms at most
    for (int j = k; j > 0 && written_before(form.terms[order[j]], form.terms[order[j - 1]]); --j) {
      const int kept = order[j];
      order[j] = order[j - 1];
      order[j - 1] = kept;
    }
  }
}

// The terms joined, each after the first by the sign that joins it; with `flip`, every sign
// turned (the value's sign was written in front).
void put_terms(Writing& writing, const radical_form& form, const fmpq_t* pi_power, bool flip,
               const FormSigns& signs) {
  int order[RADICAL_TERM_CAPACITY];
  order_terms(form, order);
  for (int k = 0; k < form.term_count; ++k) {
    const radical_term& term = form.terms[order[k]];
    const bool taken_away = (fmpz_sgn(term.coefficient) < 0) != flip;
    if (k > 0) put(writing, taken_away ? signs.minus_join : signs.plus_join);
    if (k == 0 && taken_away) put(writing, signs.minus);
    put_term(writing, term, pi_power, signs);
  }
}

// The denominator, with the power of pi when it is below 0: "/4", "/π", "/(4π)".
void put_denominator(Writing& writing, const radical_form& form, bool pi_below,
                     const FormSigns& signs) {
  const bool number = !fmpz_is_one(form.denominator);
  if (!number && !pi_below) return;
  put(writing, "/");
  if (number && pi_below) put(writing, "(");
  if (number) put_integer(writing, form.denominator);
  if (number && pi_below) put(writing, signs.times);
  if (pi_below) put_pi(writing, form.pi_power, signs);
  if (number && pi_below) put(writing, ")");
}

// True when every term is taken away.
bool all_taken_away(const radical_form& form) {
  for (int k = 0; k < form.term_count; ++k) {
    if (fmpz_sgn(form.terms[k].coefficient) > 0) return false;
  }
  return true;
}

}  // namespace

int write_radical_form(const radical_form& form, bool unicode, char (&text)[exact_form_capacity]) {
  const FormSigns& signs = unicode ? unicode_signs : ascii_signs;
  Writing writing = {text, 0, false};
  text[0] = '\0';
  if (form.term_count == 0) {
    put(writing, "0");
    return writing.length;
  }
  const bool all_below = all_taken_away(form);
  const int pi_sign = fmpq_sgn(form.pi_power);
  const bool several = form.term_count > 1;
  const bool bar = !fmpz_is_one(form.denominator) || pi_sign < 0;
  const bool grouped = several && (bar || pi_sign > 0);
  // The sign in front of all: "−√3/2", "−(√6 + √2)/4"; a plain sum keeps its own: "−2 − √3".
  const bool sign_in_front = all_below && (grouped || !several);
  if (sign_in_front) put(writing, signs.minus);
  if (several && pi_sign > 0) {
    put_pi(writing, form.pi_power, signs);
    put(writing, signs.times);
  }
  if (grouped) put(writing, "(");
  put_terms(writing, form, pi_sign > 0 && !several ? &form.pi_power : nullptr, sign_in_front,
            signs);
  if (grouped) put(writing, ")");
  put_denominator(writing, form, pi_sign < 0, signs);
  if (writing.overflow) {
    text[0] = '\0';
    return 0;
  }
  return writing.length;
}
