// Double-double arithmetic from IEEE additions and products: the error of each operation is
// recovered exactly (two-sum, Dekker's product) and carried in the low half.
#include "term/trig_pair_arithmetic.h"

#include <cmath>

Pair exact_product(double a, double b) {
  constexpr double splitter = 134217729.0;  // 2^27 + 1
  const double ca = splitter * a, cb = splitter * b;
  const double a_high = ca - (ca - a), a_low = a - a_high;
  const double b_high = cb - (cb - b), b_low = b - b_high;
  const double head = a * b;
  return {head, ((a_high * b_high - head) + a_high * b_low + a_low * b_high) + a_low * b_low};
}

Pair two_sum(double a, double b) {
  const double sum = a + b;
  const double b_part = sum - a;
  return {sum, (a - (sum - b_part)) + (b - b_part)};
}

Pair pair_negated(Pair a) {
  return {-a.high, -a.low};
}

Pair pair_add(Pair a, double b) {
  const Pair sum = two_sum(a.high, b);
  return two_sum(sum.high, sum.low + a.low);
}

Pair pair_sum(Pair a, Pair b) {
  const Pair high = two_sum(a.high, b.high);
  const Pair low = two_sum(a.low, b.low);
  const Pair partial = two_sum(high.high, high.low + low.high);
  return two_sum(partial.high, partial.low + low.low);
}

Pair pair_multiply(Pair a, Pair b) {
  const Pair product = exact_product(a.high, b.high);
  return two_sum(product.high, product.low + (a.high * b.low + a.low * b.high));
}

// The first quotient's remainder a - first * b is computed exactly up to the low halves.
Pair pair_quotient(Pair a, Pair b) {
  const double first = a.high / b.high;
  const Pair product = exact_product(first, b.high);
  const double remainder = (((a.high - product.high) - product.low) + a.low) - first * b.low;
  return two_sum(first, remainder / b.high);
}

// One Newton step from the double root: sqrt(a) = root + (a - root^2) / (2 root).
Pair pair_sqrt(Pair a) {
  const double root = std::sqrt(a.high);
  if (root == 0) return {root, 0};
  const Pair square = exact_product(root, root);
  const double remainder = ((a.high - square.high) - square.low) + a.low;
  return two_sum(root, remainder / (2 * root));
}

Pair add_correction(double base, Pair correction) {
  if (correction.high == 0) return {base, 0};
  const Pair sum = two_sum(base, correction.high);
  return two_sum(sum.high, sum.low + correction.low);
}
