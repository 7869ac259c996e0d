#include "term/operand_list.h"

#include <cmath>

#include "term/decimal_number.h"
#include "trig/trig_constants.h"

namespace {

// One run of operands joined by '*' and '/', folded into one value.
struct Run {
  double value;     // the run's operands folded left to right
  char join;        // the operator before the run; none (0) for the first, which starts the sum
  bool multiplied;  // at least one operand was folded into the first
};

// Adds and subtracts the runs from left to right, in doubles: every step rounds as plain
// double arithmetic does. A run that folded products leaves its folded operands behind as
// zeros to add, which turns a sum of -0 into +0 ("-5*=" is 0, not -0); nothing else changes.
double sum_runs(const Run* runs, int count) {
  double sum = runs[0].value;
  for (int g = 0; g < count; ++g) {
    if (runs[g].join == '+') sum = sum + runs[g].value;
    if (runs[g].join == '-') sum = sum - runs[g].value;
    if (runs[g].multiplied) sum = sum + 0.0;
  }
  return sum;
}

// Records the numbers of the list that read as infinity and the '/' whose divisor, the value
// after it (0 when there is none), is 0.
void record_breaks(const NumberStore& store, OperandsRead operands, const OperandList& list,
                   ValueBreaks* breaks) {
  for (int k = 0; k < list.count; ++k) {
    const NumberRead& number = store.numbers[operands.first + k];
    if (std::isinf(list.values[k])) {
      add_break(breaks, BreakKind::number_too_large, number.column, number.length);
    }
    const double divisor = k + 1 < list.count ? list.values[k + 1] : 0.0;
    if (number.op == '/' && divisor == 0.0) {
      add_break(breaks, BreakKind::division_by_zero, number.op_column, 1);
    }
  }
}

}  // namespace

double number_value(const NumberStore& store, const NumberRead& number) {
  if (number.form == NumberForm::pi) return trig_pi;
  return decimal_text_value(number_text(store, number), number.text_length);
}

double reduce_list(const OperandList& list) {
  Run runs[operand_capacity + 1];
  runs[0] = {list.count > 0 ? list.values[0] : 0.0, '\0', false};
  int count = 1;
  for (int k = 0; k < list.count; ++k) {
    const char op = list.operators[k];
    const double right = k + 1 < list.count ? list.values[k + 1] : 0.0;
    Run& last = runs[count - 1];
    if (op == '*' || op == '/') {
      last.value = op == '*' ? last.value * right : last.value / right;
      last.multiplied = true;
    } else {
      runs[count++] = {right, op, false};
    }
  }
  return sum_runs(runs, count);
}

// A lone number closed by a mark that is no operator is its own value: nothing is added to it
// (which would make -0 into +0), so the list needs no reducing.
double operands_value(const NumberStore& store, OperandsRead operands, double absent,
                      ValueBreaks* breaks) {
  if (operands.count == 0) return absent;
  const NumberRead& first = store.numbers[operands.first];
  const bool arithmetic = first.op == '+' || first.op == '-' || first.op == '*' || first.op == '/';
  if (operands.count == 1 && !arithmetic) {
    const double value = number_value(store, first);
    if (breaks != nullptr && std::isinf(value)) {
      add_break(breaks, BreakKind::number_too_large, first.column, first.length);
    }
    return value;
  }
  OperandList list;
  list.count = operands.count;
  for (int k = 0; k < operands.count; ++k) {
    const NumberRead& number = store.numbers[operands.first + k];
    list.values[k] = number_value(store, number);
    list.operators[k] = number.op;
  }
  if (breaks != nullptr) record_breaks(store, operands, list, breaks);
  return reduce_list(list);
}
