#include "bracket/compute_line.h"

#include <cmath>

#include "term/compute_term.h"
#include "term/operand_list.h"

namespace {

// Records each '/' between brackets whose divisor, the next bracket's value (0 when there is
// none), is 0.
void record_bracket_divisions(const LineReading& reading, const OperandList& list,
                              ValueBreaks* breaks) {
  for (int k = 0; k < list.count; ++k) {
    const double divisor = k + 1 < list.count ? list.values[k + 1] : 0.0;
    if (list.operators[k] == '/' && divisor == 0.0) {
      add_break(breaks, BreakKind::division_by_zero, reading.brackets[k].op_column, 1);
    }
  }
}

}  // namespace

double bracket_value(const LineReading& reading, const BracketReading& bracket,
                     ValueBreaks* breaks) {
  if (bracket.term) return compute_term(reading.terms[bracket.index], reading.numbers, breaks);
  if (bracket.index < 0) return 0.0;
  const NumberRead& number = reading.numbers.numbers[bracket.index];
  const double value = number_value(reading.numbers, number);
  if (breaks != nullptr && std::isinf(value)) {
    add_break(breaks, BreakKind::number_too_large, number.column, number.length);
  }
  return value;
}

double compute_line(const LineReading& reading, ValueBreaks* breaks) {
  if (!reading.bracketed) return compute_term(reading.terms[0], reading.numbers, breaks);
  OperandList list;
  list.count = reading.bracket_count;
  for (int k = 0; k < reading.bracket_count; ++k) {
    list.values[k] = bracket_value(reading, reading.brackets[k], breaks);
    list.operators[k] = reading.brackets[k].op;
  }
  if (breaks != nullptr) record_bracket_divisions(reading, list, breaks);
  return reduce_list(list);
}
