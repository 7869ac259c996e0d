#include "bracket/compute_line.h"

#include "term/compute_term.h"
#include "term/operand_list.h"

double bracket_value(const LineReading& reading, const BracketReading& bracket) {
  if (bracket.term) return compute_term(reading.terms[bracket.index], reading.numbers);
  if (bracket.index < 0) return 0.0;
  return number_value(reading.numbers, reading.numbers.numbers[bracket.index]);
}

double compute_line(const LineReading& reading) {
  if (!reading.bracketed) return compute_term(reading.terms[0], reading.numbers);
  OperandList list;
  list.count = reading.bracket_count;
  for (int k = 0; k < reading.bracket_count; ++k) {
    list.values[k] = bracket_value(reading, reading.brackets[k]);
    list.operators[k] = reading.brackets[k].op;
  }
  return reduce_list(list);
}
