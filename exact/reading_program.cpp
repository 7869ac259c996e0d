#include "exact/reading_program.h"

#include "program/program_functions.h"
#include "program/program_writing.h"

namespace {

// Appends a step.
void add_step(Program& program, ProgramCode code, int argument, int column, int length) {
  append_step(program, code, argument, column, length);
}

// One operand list of the reading, as a fold sees it: the numbers of a term's amplitude or
// argument, or the brackets of a line.
struct FoldList {
  const LineReading& reading;
  bool brackets;  // the line's brackets; otherwise `count` numbers of the store from `first`
  int first;
  int count;
};

// The operator recorded after operand `k` of `list`.
char operator_after(const FoldList& list, int k) {
  if (list.brackets) return list.reading.brackets[k].op;
  return list.reading.numbers.numbers[list.first + k].op;
}

// The column of that operator.
int operator_column(const FoldList& list, int k) {
  if (list.brackets) return list.reading.brackets[k].op_column;
  return list.reading.numbers.numbers[list.first + k].op_column;
}

void write_term(Program& program, const LineReading& reading, const TermReading& term);

// Pushes operand `k` of `list`; `k` == count pushes the 0 an operator after the last one
// meets, at the column of that operator.
void push_operand(Program& program, const FoldList& list, int k) {
  if (k == list.count) {
    return add_step(program, program_push_integer, 0, operator_column(list, list.count - 1), 0);
  }
  if (!list.brackets) {
    const NumberRead& number = list.reading.numbers.numbers[list.first + k];
    return add_step(program, program_push_number, list.first + k, number.column, number.length);
  }
  const BracketReading& bracket = list.reading.brackets[k];
  if (bracket.term) return write_term(program, list.reading, list.reading.terms[bracket.index]);
  if (bracket.index < 0) return add_step(program, program_push_integer, 0, bracket.column, 0);
  const NumberRead& number = list.reading.numbers.numbers[bracket.index];
  add_step(program, program_push_number, bracket.index, number.column, number.length);
}

bool is_product(char op) {
  return op == '*' || op == '/';
}

// Writes the fold of `list` (count >= 1): every run of '*' and '/' folded into its first
// operand, the runs then added or subtracted left to right; a run after any other operator
// is left out (its value takes no part).
void write_fold(Program& program, const FoldList& list) {
  char join = '+';  // the first run starts the sum: it is added to 0, with no step
  for (int start = 0;;) {
    int end = start;
    while (end < list.count && is_product(operator_after(list, end))) ++end;
    if (join == '+' || join == '-') {
      push_operand(program, list, start);
      for (int k = start + 1; k <= end; ++k) {
        push_operand(program, list, k);
        add_step(program, operator_after(list, k - 1) == '*' ? program_multiply : program_divide, 0,
                 operator_column(list, k - 1), 1);
      }
      if (start > 0) add_step(program, join == '+' ? program_add : program_subtract, 0, 0, 0);
    }
    if (end >= list.count) return;
    join = operator_after(list, end);
    start = end + 1;
  }
}

// Writes a term's operand list; an empty one is `empty_value`, at `column`.
void write_list(Program& program, const LineReading& reading, OperandsRead list, int empty_value,
                int column) {
  if (list.count == 0) return add_step(program, program_push_integer, empty_value, column, 0);
  write_fold(program, {reading, false, list.first, list.count});
}

void write_term(Program& program, const LineReading& reading, const TermReading& term) {
  if (term.function == TermFunction::none) {
    return add_step(program, program_push_integer, 0, term.column, 0);
  }
  write_list(program, reading, term.amplitude, 1, term.column);
  write_list(program, reading, term.argument, 0, term.name_column + term.name_length);
  add_step(program, program_function, program_function_of(term.function), term.column, term.length);
  if (program.complete) program.steps[program.step_count - 1].radians = term.radians;
}

}  // namespace

void compile_reading(const LineReading& reading, Program& program) {
  program.step_count = 0;
  program.complete = 1;
  if (!reading.bracketed) return write_term(program, reading, reading.terms[0]);
  if (reading.bracket_count == 0) return add_step(program, program_push_integer, 0, 0, 0);
  write_fold(program, {reading, true, 0, reading.bracket_count});
}
