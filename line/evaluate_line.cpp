#include "line/evaluate_line.h"

#include <cstring>

#include "bracket/bracket_expression.h"
#include "term/evaluate_term.h"

void clear_line_state(LineState& state) {
  state.line[0] = '\0';
  state.term[0] = '\0';
  state.operands.count = 0;
}

double evaluate_line(LineState& state, ReadingNotes* notes) {
  replace_character(state.line, ',', '.');
  if (std::strpbrk(state.line, "[]") != nullptr) {
    return evaluate_bracketed_line(state.line, state.term, state.operands, notes);
  }
  copy_text(state.term, term_capacity, state.line);
  if (notes != nullptr) notes->base = 0;
  return evaluate_term(state.term, notes);
}
