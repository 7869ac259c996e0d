#include "term/parenthesis_notes.h"

namespace {

// The bytes of a term as typed, from its first column.
struct TermSource {
  const char* bytes;
  int length;
  int column;  // the line column of bytes[0]
};

char byte_at(const TermSource& source, int column) {
  const int at = column - source.column;
  return at >= 0 && at < source.length ? source.bytes[at] : '\0';
}

bool is_space_or_tab(char c) {
  return c == ' ' || c == '\t';
}

// True when a number or an operator of `list` stands after column `close`: the list goes on.
bool goes_on_after(const NumberStore& store, OperandsRead list, int close) {
  for (int k = 0; k < list.count; ++k) {
    const NumberRead& number = store.numbers[list.first + k];
    if ((number.length > 0 && number.column > close) ||
        (number.op != '=' && number.op_column > close)) {
      return true;
    }
  }
  return false;
}

// True when a number of `list` runs across column `column` (a parenthesis inside it: "(3)0").
bool cuts_a_number(const NumberStore& store, OperandsRead list, int column) {
  for (int k = 0; k < list.count; ++k) {
    const NumberRead& number = store.numbers[list.first + k];
    if (number.length > 0 && number.column < column && number.column + number.length > column) {
      return true;
    }
  }
  return false;
}

// True when an operator of `list` after an operand stands between columns `open` and
// `close` (a minus after nothing but a blank is the sign it reads as: "( -4)").
bool holds_an_operator(const NumberStore& store, OperandsRead list, int open, int close) {
  for (int k = 0; k < list.count; ++k) {
    const NumberRead& number = store.numbers[list.first + k];
    const bool between = number.op_column > open && number.op_column < close;
    if (number.op != '=' && number.length > 0 && between) return true;
  }
  return false;
}

// True when only blanks stand between the end of the function's name and column `open`.
bool opens_after_name(const TermSource& source, const TermReading& term, int open) {
  const int name_end = term.name_column + term.name_length;
  if (term.name_length == 0 || open < name_end) return false;
  for (int column = name_end; column < open; ++column) {
    if (!is_space_or_tab(byte_at(source, column))) return false;
  }
  return true;
}

// True for the bytes that may stand around a list's numbers: parentheses and blanks.
bool stands_around(const TermSource& source, int column) {
  const char c = byte_at(source, column);
  return c == '(' || c == ')' || is_space_or_tab(c);
}

// The columns of `list` as typed, with the parentheses that stand around its numbers and
// operators and pair among them, but not past `floor` or `ceiling`; no blanks at its edges.
void list_columns(const TermSource& source, const NumberStore& store, OperandsRead list, int floor,
                  int ceiling, int& first, int& end) {
  first = ceiling;
  end = floor;
  for (int k = 0; k < list.count; ++k) {
    const NumberRead& number = store.numbers[list.first + k];
    if (number.length > 0 && number.column < first) first = number.column;
    if (number.length > 0 && number.column + number.length > end)
      end = number.column + number.length;
    if (number.op != '=' && number.op_column < first) first = number.op_column;
    if (number.op != '=' && number.op_column + 1 > end) end = number.op_column + 1;
  }
  while (first > floor && stands_around(source, first - 1)) --first;
  while (end < ceiling && stands_around(source, end)) ++end;
  int unmatched = 0;  // '(' less ')' in the columns taken
  for (int column = first; column < end; ++column) {
    unmatched += byte_at(source, column) == '(' ? 1 : byte_at(source, column) == ')' ? -1 : 0;
  }
  while (first < end && unmatched > 0 && stands_around(source, first) &&
         byte_at(source, first) != ')') {
    unmatched -= byte_at(source, first++) == '(' ? 1 : 0;
  }
  while (end > first && unmatched < 0 && stands_around(source, end - 1) &&
         byte_at(source, end - 1) != '(') {
    unmatched += byte_at(source, --end) == ')' ? 1 : 0;
  }
  while (first < end && is_space_or_tab(byte_at(source, first))) ++first;
  while (end > first && is_space_or_tab(byte_at(source, end - 1))) --end;
}

// True when the parentheses opened at `open` and closed at `close` in `list` (the argument
// when `argument`) look like a grouping.
bool looks_grouped(const TermSource& source, const TermReading& term, const NumberStore& store,
                   bool argument, int open, int close) {
  const OperandsRead list = argument ? term.argument : term.amplitude;
  if (argument && (opens_after_name(source, term, open) || open < term.name_column)) return true;
  return holds_an_operator(store, list, open, close) || cuts_a_number(store, list, open) ||
         cuts_a_number(store, list, close);
}

}  // namespace

// One pass over the term's parentheses, each ')' paired with the '(' it closes; a list is
// noted once, at its first ')' that does not group.
void note_ungrouped_parentheses(const char* bytes, int length, const TermReading& term,
                                const NumberStore& store, const char* spelling,
                                ReadingNotes* notes) {
  if (notes == nullptr || term.function == TermFunction::none) return;
  const TermSource source = {bytes, length, term.column};
  const int name_end = term.name_column + term.name_length;
  bool noted[2] = {false, false};  // the amplitude, the argument
  int opens[line_capacity];
  int depth = 0;
  for (int k = 0; k < length && k < line_capacity; ++k) {
    if (bytes[k] == '(') opens[depth++] = term.column + k;
    if (bytes[k] != ')' || depth == 0) continue;
    const int open = opens[--depth];
    const int close = term.column + k;
    const bool argument = close >= name_end && term.name_length > 0;
    if ((!argument && close >= term.name_column) || noted[argument]) continue;
    const OperandsRead list = argument ? term.argument : term.amplitude;
    if (list.count == 0) continue;
    if (!goes_on_after(store, list, close) && !cuts_a_number(store, list, close)) continue;
    if (!looks_grouped(source, term, store, argument, open, close)) continue;
    noted[argument] = true;
    int first = 0;
    int end = 0;
    if (argument) {
      list_columns(source, store, list, name_end, term.column + length, first, end);
    } else {
      list_columns(source, store, list, term.column, term.name_column, first, end);
    }
    add_note(notes, NoteKind::ungrouped_parentheses, first, end - first, argument ? spelling : "");
  }
}
