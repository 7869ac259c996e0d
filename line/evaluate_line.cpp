#include "line/evaluate_line.h"

#include "bracket/bracket_expression.h"
#include "term/evaluate_term.h"

namespace {

// In one scan: makes every decimal comma of the line a point and copies the line into the
// term buffer. True when the line holds '[' or ']': a bracketed line, read from the line.
bool copy_line_as_term(LineState& state) {
  bool bracketed = false;
  int k = 0;
  for (; k < line_capacity - 1 && state.line[k] != '\0'; ++k) {
    if (state.line[k] == ',') state.line[k] = '.';
    const char c = state.line[k];
    bracketed = bracketed || c == '[' || c == ']';
    state.term[k] = c;
  }
  state.term[k] = '\0';
  return bracketed;
}

}  // namespace

double evaluate_line(LineState& state, ReadingNotes* notes) {
  if (copy_line_as_term(state)) {
    return evaluate_bracketed_line(state.line, state.term, state.operands, notes);
  }
  if (notes != nullptr) notes->base = 0;
  return evaluate_term(state.term, notes);
}
