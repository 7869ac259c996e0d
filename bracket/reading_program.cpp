#include "bracket/reading_program.h"

#include "program/program_functions.h"
#include "program/program_writing.h"

namespace {

// A compilation: the program written, the reading it comes from, and whether the program is
// run in doubles, whose signed zeros it settles.
struct Compilation {
  Program& program;
  const LineReading& reading;
  bool doubles;
};

// One operand list of the reading, as a fold sees it: the numbers of a term's amplitude or
// argument, or the brackets of a line.
struct FoldList {
  bool brackets;  // the line's brackets; otherwise `count` numbers of the store from `first`
  int first;
  int count;
};

// Appends a step.
void add_step(const Compilation& to, ProgramCode code, int argument, int column, int length) {
  append_step(to.program, code, argument, column, length);
}

// The operator recorded after operand `k` of `list`.
char operator_after(const Compilation& to, const FoldList& list, int k) {
  if (list.brackets) return to.reading.brackets[k].op;
  return to.reading.numbers.numbers[list.first + k].op;
}

// The column of that operator.
int operator_column(const Compilation& to, const FoldList& list, int k) {
  if (list.brackets) return to.reading.brackets[k].op_column;
  return to.reading.numbers.numbers[list.first + k].op_column;
}

void write_term(const Compilation& to, const TermReading& term);

// Pushes operand `k` of `list`; `k` == count pushes the 0 an operator after the last one
// meets, at the column of that operator.
void push_operand(const Compilation& to, const FoldList& list, int k) {
  if (k == list.count) {
    return add_step(to, program_push_integer, 0, operator_column(to, list, list.count - 1), 0);
  }
  if (!list.brackets) {
    const NumberRead& number = to.reading.numbers.numbers[list.first + k];
    return add_step(to, program_push_number, list.first + k, number.column, number.length);
  }
  const BracketReading& bracket = to.reading.brackets[k];
  if (bracket.term) return write_term(to, to.reading.terms[bracket.index]);
  if (bracket.index < 0) return add_step(to, program_push_integer, 0, bracket.column, 0);
  const NumberRead& number = to.reading.numbers.numbers[bracket.index];
  add_step(to, program_push_number, bracket.index, number.column, number.length);
}

bool is_product(char op) {
  return op == '*' || op == '/';
}

// Writes the fold of `list` (count >= 1): every run of '*' and '/' folded into its first
// operand, the runs then added or subtracted left to right; a run after any other operator
// is left out (its value takes no part). In doubles, 0 is added after a list that folded a
// product (its products' operands left behind as zeros to add), which makes a sum of -0 +0.
void write_fold(const Compilation& to, const FoldList& list) {
  char join = '+';  // the first run starts the sum: it is added to 0, with no step
  bool folded = false;
  for (int start = 0;;) {
    int end = start;
    while (end < list.count && is_product(operator_after(to, list, end))) ++end;
    folded = folded || end > start;
    if (join == '+' || join == '-') {
      push_operand(to, list, start);
      for (int k = start + 1; k <= end; ++k) {
        push_operand(to, list, k);
        add_step(to, operator_after(to, list, k - 1) == '*' ? program_multiply : program_divide, 0,
                 operator_column(to, list, k - 1), 1);
      }
      if (start > 0) add_step(to, join == '+' ? program_add : program_subtract, 0, 0, 0);
    }
    if (end >= list.count) break;
    join = operator_after(to, list, end);
    start = end + 1;
  }
  if (!folded || !to.doubles) return;
  add_step(to, program_push_integer, 0, 0, 0);
  add_step(to, program_add, 0, 0, 0);
}

// Writes a term's operand list; an empty one is `empty_value`, at `column`.
void write_list(const Compilation& to, OperandsRead list, int empty_value, int column) {
  if (list.count == 0) return add_step(to, program_push_integer, empty_value, column, 0);
  write_fold(to, {false, list.first, list.count});
}

void write_term(const Compilation& to, const TermReading& term) {
  if (term.function == TermFunction::none) {
    return add_step(to, program_push_integer, 0, term.column, 0);
  }
  write_list(to, term.amplitude, 1, term.column);
  write_list(to, term.argument, 0, term.name_column + term.name_length);
  add_step(to, program_function, program_function_of(term.function), term.column, term.length);
  if (to.program.complete) to.program.steps[to.program.step_count - 1].radians = term.radians;
}

}  // namespace

void compile_reading(const LineReading& reading, CompiledFor arithmetic, Program& program) {
  const Compilation to = {program, reading, arithmetic == CompiledFor::doubles};
  program.step_count = 0;
  program.complete = 1;
  if (!reading.bracketed) return write_term(to, reading.terms[0]);
  if (reading.bracket_count == 0) return add_step(to, program_push_integer, 0, 0, 0);
  write_fold(to, {true, 0, reading.bracket_count});
}
