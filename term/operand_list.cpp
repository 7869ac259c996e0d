#include "term/operand_list.h"

#include "term/decimal_number.h"
#include "term/reading_notes.h"
#include "term/term_text.h"
#include "term/trig_constants.h"

namespace {

bool is_sign_context(char previous) {
  return previous == 'E' || previous == '*' || previous == '/' || previous == '+' ||
         previous == '-';
}

// A number character is a digit, '.', 'E', 'P', 'I', or a minus that opens the
// text or follows "E * / + -" (a sign, as in "5E-3", "2*-3" and a leading "-30").
bool is_number_character(const char* text, int k) {
  const char c = text[k];
  if (is_digit(c) || c == '.' || c == 'E' || c == 'P' || c == 'I') return true;
  return c == '-' && (k == 0 || is_sign_context(text[k - 1]));
}

bool ends_number(char c) {
  return c == '*' || c == '+' || c == '-' || c == '/' || c == '=';
}

// Appends `value` followed by `op`; ignored once the list holds operand_capacity operands.
void append_operand(OperandList& list, double value, char op) {
  if (list.count >= operand_capacity) return;
  list.values[list.count] = value;
  list.operators[list.count] = op;
  ++list.count;
}

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

// A blank, or a byte of the degree sign "°" in UTF-8: skipped without a note unless it
// stands between two parts of one number ("sin 3 0" reads 30).
bool is_gap(const char* text, int k) {
  const auto c = static_cast<unsigned char>(text[k]);
  const auto next = static_cast<unsigned char>(text[k + 1]);
  const auto previous = k > 0 ? static_cast<unsigned char>(text[k - 1]) : 0;
  return is_blank(text[k]) || (c == 0xC2 && next == 0xB0) || (c == 0xB0 && previous == 0xC2);
}

// A number being collected: its text, and where each of its bytes stood in the text read.
struct NumberText {
  char text[number_text_capacity];  // room for ".0" and the terminator after 101 bytes
  int at[number_text_capacity];     // index in the text read of each byte, kept when noting
  int length;
};

// How the text being read is noted: the record (null when nobody asks), the index of the
// text's first byte among the record's origins, and whether the text is an amplitude.
struct OperandNotes {
  ReadingNotes* notes;
  int first;
  OperandRole role;
};

// Notes the `count` bytes of `number` from its byte `from`, as read otherwise than written:
// one note per run of them that stood side by side in the text read.
void note_number_bytes(const OperandNotes& place, const NumberText& number, NoteKind kind, int from,
                       int count) {
  for (int b = from; b < from + count;) {
    int end = b + 1;
    while (end < from + count && number.at[end] == number.at[end - 1] + 1) ++end;
    note_text(place.notes, kind, place.first + number.at[b], end - b);
    b = end;
  }
}

// Notes a number with nothing in it, read as 0: where the operand is missing and why.
void note_empty_operand(const OperandNotes& place, const NumberText& number, int end, char ending,
                        int last_operator) {
  const int first = place.first;
  NoteKind kind = NoteKind::empty_after;
  int at = last_operator;
  if (number.length == 1) {
    at = number.at[0];  // a lone minus sign: nothing after it
  } else if (last_operator < 0 && ending != '=') {
    // A leading "+" or "-" (after a blank, where a minus is no sign) makes 0 + x or 0 - x,
    // which is +x or -x as written.
    if (ending == '+' || ending == '-') return;
    kind = NoteKind::empty_before;
    at = end;
  } else if (last_operator < 0) {
    const NoteKind whole = place.role == OperandRole::amplitude ? NoteKind::amplitude_without_number
                                                                : NoteKind::empty_argument;
    if (end > 0) return note_text(place.notes, whole, first, end);
    return add_note(place.notes, whole, place.notes->origin[first + end], 0);
  }
  note_text(place.notes, kind, first + at, 1);
}

// Notes what of `number` was not read: `used` of its bytes were.
void note_number_read(const OperandNotes& place, const NumberText& number, int used, int end,
                      char ending, int last_operator) {
  const char* text = number.text;
  const bool empty = number.length == 0 || (number.length == 1 && text[0] == '-');
  if (empty) return note_empty_operand(place, number, end, ending, last_operator);
  if (used == 0) return note_number_bytes(place, number, NoteKind::number_unread, 0, number.length);
  if (used == number.length) return;
  if (ending == '+' && used == number.length - 1 && text[used] == 'E') {
    return note_text(place.notes, NoteKind::plus_after_exponent, place.first + end, 1);
  }
  if (text[used] == 'P' && text[used + 1] == 'I') {
    note_number_bytes(place, number, NoteKind::pi_after_digit, used, 2);
    used += 2;
  }
  note_number_bytes(place, number, NoteKind::number_tail, used, number.length - used);
}

// Notes the gap bytes right before the number byte at `k`, which joins a number begun before
// them: they did not separate two numbers, as they seem to.
void note_gap_inside_number(const OperandNotes& place, const char* text, int k) {
  int start = k;
  while (start > 0 && is_gap(text, start - 1)) --start;
  if (start < k) note_text(place.notes, NoteKind::skipped, place.first + start, k - start);
}

// The numbers of `text` with the operator or mark that ends each, noting with `place` when
// `noting` (a separate instance, so that reading without notes pays nothing for them).
template <bool noting>
OperandList read_operands(const char* text, const OperandNotes& place) {
  OperandList list;  // only the first `count` entries are ever read: no need to clear it all
  list.count = 0;
  NumberText number;
  number.length = 0;
  int last_operator = -1;
  for (int k = 0; text[k] != '\0'; ++k) {
    if (is_number_character(text, k)) {
      if (noting && number.length > 0) note_gap_inside_number(place, text, k);
      // Room is kept for ".0" and the terminator; a longer number keeps its first bytes.
      if (number.length < number_text_capacity - 3) {
        if (noting) number.at[number.length] = k;
        number.text[number.length++] = text[k];
      }
    } else if (ends_number(text[k])) {
      int used = 0;
      const double value = number_text_value(number.text, number.length, used);
      if (noting) note_number_read(place, number, used, k, text[k], last_operator);
      append_operand(list, value, text[k]);
      number.length = 0;
      last_operator = k;
    } else if (noting && !is_gap(text, k)) {
      note_text(place.notes, NoteKind::skipped, place.first + k, 1);
    }
  }
  return list;
}

// The reading with notes, kept out of line so that the reading without them stays as small
// as it is on its own.
[[gnu::cold]] OperandList read_operands_noting(const char* text, const OperandNotes& place) {
  return read_operands<true>(text, place);
}

}  // namespace

// ".0" is appended so that an empty text or a lone "-" still converts (to 0 and -0) and
// "5E3" stops at the point instead of running on into what follows in the buffer.
double number_text_value(char* number, int length, int& used) {
  number[length] = '.';
  number[length + 1] = '0';
  number[length + 2] = '\0';
  if (number[0] == 'P' && number[1] == 'I') {
    used = 2;
    return trig_pi;
  }
  int prefix = 0;
  const double value = decimal_prefix_value(number, prefix);
  used = prefix < length ? prefix : length;
  return value;
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

double reduce_operands(const char* text, OperandRole role, ReadingNotes* notes, int first) {
  const OperandNotes place = {notes, first, role};
  return reduce_list(notes == nullptr ? read_operands<false>(text, place)
                                      : read_operands_noting(text, place));
}
