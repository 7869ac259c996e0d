// The exact reduction of an angle by quarter turns against a 1216-bit 2/pi, and the sine,
// cosine and tangent of the remainder from their series in double-double arithmetic. Plain
// 64-bit integer and IEEE double arithmetic only (of the C library, only the exact frexp,
// ldexp and fabs), so it compiles and gives the same bits on every target.
#include <cmath>
#include <cstdint>

#include "trig/trig_functions.h"
#include "trig/trig_pair_arithmetic.h"

namespace {

// 2/pi in binary: bit 1 (the first after the point) is the top bit of the first word. The
// largest double reads bits 970 to 1161 (words 15 to 18): 19 words are all a reduction uses.
constexpr std::uint64_t two_over_pi[] = {
    0xA2F9836E4E441529ULL, 0xFC2757D1F534DDC0ULL, 0xDB6295993C439041ULL, 0xFE5163ABDEBBC561ULL,
    0xB7246E3A424DD2E0ULL, 0x06492EEA09D1921CULL, 0xFE1DEB1CB129A73EULL, 0xE88235F52EBB4484ULL,
    0xE99C7026B45F7E41ULL, 0x3991D639835339F4ULL, 0x9C845F8BBDF9283BULL, 0x1FF897FFDE05980FULL,
    0xEF2F118B5A0A6D1FULL, 0x6D367ECF27CB09B7ULL, 0x4F463F669E5FEA2DULL, 0x7527BAC7EBE5F17BULL,
    0x3D0739F78A5292EAULL, 0x6BFB5FB11F8D5D08ULL, 0x56033046FC7B6BABULL,
};
constexpr int two_over_pi_words = sizeof two_over_pi / sizeof two_over_pi[0];
constexpr int window_words = 3;   // 192 bits of 2/pi take part in one reduction
constexpr int product_words = 4;  // a 53-bit significand times the window fits in 256 bits

constexpr double half_pi_head = 1.5707963267948966;     // pi/2 rounded to double
constexpr double half_pi_tail = 6.123233995736766e-17;  // pi/2 - half_pi_head
constexpr double quarter_pi = 0.7853981633974483;       // no reduction at or below this

// A 128-bit unsigned number as two 64-bit halves.
struct Wide {
  std::uint64_t high;
  std::uint64_t low;
};

// The full product a * b, from four 32 x 32-bit partial products.
Wide multiply_wide(std::uint64_t a, std::uint64_t b) {
  const std::uint64_t a_low = a & 0xFFFFFFFFu, a_high = a >> 32;
  const std::uint64_t b_low = b & 0xFFFFFFFFu, b_high = b >> 32;
  const std::uint64_t low_low = a_low * b_low, low_high = a_low * b_high;
  const std::uint64_t high_low = a_high * b_low, high_high = a_high * b_high;
  // The middle column: at most three 32-bit values, so it cannot overflow 64 bits.
  const std::uint64_t middle =
      (low_low >> 32) + (low_high & 0xFFFFFFFFu) + (high_low & 0xFFFFFFFFu);
  const std::uint64_t low = (middle << 32) | (low_low & 0xFFFFFFFFu);
  const std::uint64_t high = high_high + (low_high >> 32) + (high_low >> 32) + (middle >> 32);
  return {high, low};
}

// 64 bits of 2/pi starting at bit `first` (1 is the first bit after the point).
std::uint64_t two_over_pi_bits(int first) {
  const int word = (first - 1) / 64;
  const int shift = (first - 1) % 64;
  const std::uint64_t high = word < two_over_pi_words ? two_over_pi[word] : 0;
  const std::uint64_t low = word + 1 < two_over_pi_words ? two_over_pi[word + 1] : 0;
  return shift == 0 ? high : (high << shift) | (low >> (64 - shift));
}

// The 64 bits of the little-endian number `p` starting at bit `low` (0 is the lowest).
std::uint64_t product_bits(const std::uint64_t (&p)[product_words], int low) {
  const int word = low / 64;
  const int shift = low % 64;
  const std::uint64_t next = word + 1 < product_words ? p[word + 1] : 0;
  return shift == 0 ? p[word] : (p[word] >> shift) | (next << (64 - shift));
}

// p = significand * the window of 2/pi starting at bit `first`, as a 256-bit integer.
void multiply_window(std::uint64_t significand, int first, std::uint64_t (&p)[product_words]) {
  std::uint64_t carry = 0;
  for (int k = 0; k < window_words; ++k) {  // lowest window word first
    const std::uint64_t w = two_over_pi_bits(first + 64 * (window_words - 1 - k));
    const Wide part = multiply_wide(significand, w);
    p[k] = part.low + carry;
    carry = part.high + (p[k] < carry ? 1 : 0);  // the high half is below 2^53: no overflow
  }
  p[window_words] = carry;
}

// The signed 128-bit fraction f (in turns of pi/2, |f| <= 1/2) as head + tail radians.
void fraction_to_radians(std::uint64_t high, std::uint64_t low, bool negative, double& head,
                         double& tail) {
  const double top = static_cast<double>(high);  // high < 2^63, so it converts in range
  const double rest =
      static_cast<double>(static_cast<std::int64_t>(high - static_cast<std::uint64_t>(top)));
  double f_head = std::ldexp(top, -64);
  double f_tail = std::ldexp(rest + std::ldexp(static_cast<double>(low), -64), -64);
  if (negative) f_head = -f_head, f_tail = -f_tail;
  const Pair product = exact_product(f_head, half_pi_head);
  head = product.head;
  tail = product.tail + (f_head * half_pi_tail + f_tail * half_pi_head);
  const double sum = head + tail;
  tail = tail - (sum - head);
  head = sum;
}

// 1 - y/(n(n+1)) (1 - y/((n+2)(n+3)) (1 - ...)), 13 levels deep, for y = x * x: with n = 4
// the sine's series after x - x^3/6, with n = 3 the cosine's after 1 - x^2/2. For |x| <= pi/4
// the first term left out is below 2^-106 of the sum.
Pair nested_series(Pair square, int n) {
  constexpr int levels = 13;
  Pair sum = {1, 0};
  for (int level = levels - 1; level >= 0; --level) {
    const double m = n + 2 * level;
    sum = pair_add(pair_negated(pair_quotient(pair_multiply(square, sum), {m * (m + 1), 0})), 1);
  }
  return sum;
}

// a / b rounded to double; a zero a gives a zero with the quotient's sign, which the pair's
// two-sum would lose.
double rounded_quotient(Pair a, Pair b) {
  return a.head == 0 ? a.head / b.head : pair_quotient(a, b).head;
}

// Sine of (4n + q) * pi/2 + head + tail from the series at head + tail; the sign of a zero
// head (only an angle of -0 or +0 gives one) is kept.
double quarter_turn_sine(int q, double head, double tail) {
  const Pair x = {head, tail};
  switch (q & 3) {
    case 0:
      return pair_series_sine(x).head;
    case 1:
      return pair_series_cosine(x).head;
    case 2:
      return -pair_series_sine(x).head;
    default:
      return -pair_series_cosine(x).head;
  }
}

// Tangent of (4n + q) * pi/2 + head + tail: sin/cos of the remainder for an even q, -cos/sin
// for an odd one (whose remainder is never zero).
double quarter_turn_tangent(int q, double head, double tail) {
  const Pair x = {head, tail};
  const Pair sine = pair_series_sine(x), cosine = pair_series_cosine(x);
  return (q & 1) == 0 ? rounded_quotient(sine, cosine)
                      : rounded_quotient(pair_negated(cosine), sine);
}

}  // namespace

// sin(x) = x - x^3/6 (1 - ...) for the pair x within [-pi/4, pi/4]; keeps the sign of a zero x.
Pair pair_series_sine(Pair x) {
  const Pair square = pair_multiply(x, x);
  const Pair cube = pair_multiply(x, pair_multiply(square, nested_series(square, 4)));
  return add_correction(x.head, pair_add(pair_negated(pair_quotient(cube, {6, 0})), x.tail));
}

// cos(x) = 1 - x^2/2 (1 - ...) for the pair x within [-pi/4, pi/4].
Pair pair_series_cosine(Pair x) {
  const Pair square = pair_multiply(x, x);
  const Pair half_square = pair_quotient(pair_multiply(square, nested_series(square, 3)), {2, 0});
  return pair_add(pair_negated(half_square), 1);
}

int reduce_quarter_turns(double angle, double& head, double& tail) {
  const bool negative = angle < 0;
  const double magnitude = std::fabs(angle);
  if (magnitude <= quarter_pi) {
    head = angle, tail = 0;
    return 0;
  }
  int exponent = 0;
  const double mantissa = std::frexp(magnitude, &exponent);  // magnitude = mantissa * 2^exponent
  const auto significand = static_cast<std::uint64_t>(std::ldexp(mantissa, 53));
  const int e = exponent - 53;  // magnitude = significand * 2^e
  // Bits of 2/pi before `first` only add multiples of 4 quarter turns.
  const int first = e >= 2 ? e - 1 : 1;
  const int point = first + 64 * window_words - 1 - e;  // fraction bits in the product
  std::uint64_t p[product_words] = {};
  multiply_window(significand, first, p);
  int q = static_cast<int>(product_bits(p, point) & 3);
  std::uint64_t high = product_bits(p, point - 64), low = product_bits(p, point - 128);
  const bool round_up = (high >> 63) != 0;  // fraction of at least 1/2: the next quarter turn
  if (round_up) {
    ++q;
    low = ~low + 1;
    high = ~high + (low == 0 ? 1 : 0);
  }
  fraction_to_radians(high, low, round_up != negative, head, tail);
  if (negative) q = (4 - q) & 3;
  return q & 3;
}

// A non-finite angle has no sine, cosine or tangent: not-a-number.
double portable_sin(double angle) {
  if (!std::isfinite(angle)) return angle - angle;
  double head = 0, tail = 0;
  const int q = reduce_quarter_turns(angle, head, tail);
  return quarter_turn_sine(q, head, tail);
}

double portable_cos(double angle) {
  if (!std::isfinite(angle)) return angle - angle;
  double head = 0, tail = 0;
  const int q = reduce_quarter_turns(angle, head, tail);
  return quarter_turn_sine(q + 1, head, tail);
}

double portable_tan(double angle) {
  if (!std::isfinite(angle)) return angle - angle;
  double head = 0, tail = 0;
  const int q = reduce_quarter_turns(angle, head, tail);
  return quarter_turn_tangent(q, head, tail);
}
