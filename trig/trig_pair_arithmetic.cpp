// Double-double arithmetic from IEEE additions and products: the error of each operation is
// recovered exactly (two-sum, Dekker's product) and carried in the tail.
#include "trig/trig_pair_arithmetic.h"

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
  return {-a.head, -a.tail};
}

Pair pair_add(Pair a, double b) {
  const Pair sum = two_sum(a.head, b);
  return two_sum(sum.head, sum.tail + a.tail);
}

Pair pair_sum(Pair a, Pair b) {
  const Pair heads = two_sum(a.head, b.head);
  const Pair tails = two_sum(a.tail, b.tail);
  const Pair partial = two_sum(heads.head, heads.tail + tails.head);
  return two_sum(partial.head, partial.tail + tails.tail);
}

Pair pair_multiply(Pair a, Pair b) {
  const Pair product = exact_product(a.head, b.head);
  return two_sum(product.head, product.tail + (a.head * b.tail + a.tail * b.head));
}

// The first quotient's remainder a - first * b is computed exactly up to the tails.
Pair pair_quotient(Pair a, Pair b) {
  const double first = a.head / b.head;
  const Pair product = exact_product(first, b.head);
  const double remainder = (((a.head - product.head) - product.tail) + a.tail) - first * b.tail;
  return two_sum(first, remainder / b.head);
}

// One Newton step from the double root: sqrt(a) = root + (a - root^2) / (2 root).
Pair pair_sqrt(Pair a) {
  const double root = std::sqrt(a.head);
  if (root == 0) return {root, 0};
  const Pair square = exact_product(root, root);
  const double remainder = ((a.head - square.head) - square.tail) + a.tail;
  return two_sum(root, remainder / (2 * root));
}

Pair add_correction(double base, Pair correction) {
  if (correction.head == 0) return {base, 0};
  const Pair sum = two_sum(base, correction.head);
  return two_sum(sum.head, sum.tail + correction.tail);
}
