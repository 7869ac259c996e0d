#include "term/operand_reading.h"

#include <cstring>

#include "term/decimal_number.h"

namespace {

bool is_sign_context(char previous) {
  return previous == 'E' || previous == '*' || previous == '/' || previous == '+' ||
         previous == '-';
}

// A number character is a digit, '.', 'E', 'P', 'I', or a minus that opens the
// text or follows "E * / + -" (a sign, as in "5E-3", "2*-3" and a leading "-30"). Asked of
// every byte read, so always inlined, however many callers it has.
[[gnu::always_inline]] inline bool is_number_character(const char* text, int k) {
  const char c = text[k];
  if (is_digit(c) || c == '.' || c == 'E' || c == 'P' || c == 'I') return true;
  return c == '-' && (k == 0 || is_sign_context(text[k - 1]));
}

bool ends_number(char c) {
  return c == '*' || c == '+' || c == '-' || c == '/' || c == '=';
}

// The second bytes of the degree signs in UTF-8 (after 0xC2): "°", and the ordinal "º" that
// Brazilian keyboards put where a degree sign is expected ("sen 30º"), read as one.
bool is_degree_sign_end(unsigned char c) {
  return c == 0xB0 || c == 0xBA;
}

// A blank, or a byte of a degree sign in UTF-8: skipped without a note unless it stands
// between two parts of one number ("sin 3 0" reads 30).
bool is_gap(const char* text, int k) {
  const auto c = static_cast<unsigned char>(text[k]);
  const auto next = static_cast<unsigned char>(text[k + 1]);
  const auto previous = k > 0 ? static_cast<unsigned char>(text[k - 1]) : 0;
  return is_blank(text[k]) || (c == 0xC2 && is_degree_sign_end(next)) ||
         (is_degree_sign_end(c) && previous == 0xC2);
}

// A number being collected: its text, and the indexes in the text read of its first and
// last bytes (its bytes are the number characters between them). The text is collected
// where the store keeps the next number's text, which then needs no copy.
struct NumberText {
  char* text;  // number_text_capacity bytes: room for ".0" and the terminator after 101 bytes
  int length;
  int first;
  int last;
  bool digits_only;  // every byte collected is a digit
};

// Where the next number is collected: at the end of the store's texts, which always have
// room for one more whole number text; `spare` only if they had not.
char* collecting_place(NumberStore& store, char (&spare)[number_text_capacity]) {
  const bool room = store.texts_used + number_text_capacity <= number_texts_capacity;
  return room ? store.texts + store.texts_used : spare;
}

// Notes the bytes `from` to `from + count` of the number that begins at `number.first`, as
// read otherwise than written: one note per run of them that stood side by side.
void note_number_bytes(const OperandPlace& place, const char* text, const NumberText& number,
                       NoteKind kind, int from, int count, ReadingNotes* notes) {
  if (count <= 0) return;
  int byte = 0;
  int run = -1;  // index in the text where the current run of bytes began
  for (int k = number.first; text[k] != '\0' && byte < from + count; ++k) {
    if (!is_number_character(text, k)) {
      if (run >= 0) note_text(notes, *place.origins, kind, place.first + run, k - run);
      run = -1;
      continue;
    }
    if (byte >= from && run < 0) run = k;
    ++byte;
    if (byte == from + count)
      note_text(notes, *place.origins, kind, place.first + run, k + 1 - run);
  }
}

// True when the `end` bytes at `text` are all gaps.
bool only_gaps(const char* text, int end) {
  for (int k = 0; k < end; ++k) {
    if (!is_gap(text, k)) return false;
  }
  return true;
}

// Notes a number with nothing in it, read as 0: where the operand is missing and why.
void note_empty_operand(const OperandPlace& place, const char* text, const NumberText& number,
                        int end, char ending, int last_operator, ReadingNotes* notes) {
  const TextOrigins& origins = *place.origins;
  NoteKind kind = NoteKind::empty_after;
  int at = last_operator;
  if (number.length == 1) {
    at = number.first;  // a lone minus sign: nothing after it
  } else if (last_operator < 0 && ending != '=') {
    // A leading "+" or "-" (after a blank, where a minus is no sign) makes 0 + x or 0 - x,
    // which is +x or -x as written.
    if (ending == '+' || ending == '-') return;
    kind = NoteKind::empty_before;
    at = end;
  } else if (last_operator < 0) {
    const NoteKind whole = place.role == OperandRole::amplitude ? NoteKind::amplitude_without_number
                           : only_gaps(text, end)               ? NoteKind::empty_argument
                                                                : NoteKind::argument_without_number;
    if (end > 0) return note_text(notes, origins, whole, place.first, end);
    return add_note(notes, whole, origin_column(origins, place.first + end), 0);
  } else if (ending == '-' && last_operator + 1 < end &&
             only_gaps(text + last_operator + 1, end - last_operator - 1)) {
    kind = NoteKind::blank_before_sign;  // "30 + -9": the '-' after a blank is no sign
  }
  note_text(notes, origins, kind, place.first + at, 1);
}

// Notes what of `number` was not read: `used` of its bytes were.
void note_number_read(const OperandPlace& place, const char* text, const NumberText& number,
                      int used, int end, int last_operator, ReadingNotes* notes) {
  const char* bytes = number.text;
  const char ending = text[end];
  const bool empty = number.length == 0 || (number.length == 1 && bytes[0] == '-');
  if (empty) return note_empty_operand(place, text, number, end, ending, last_operator, notes);
  if (used == 0) {
    return note_number_bytes(place, text, number, NoteKind::number_unread, 0, number.length, notes);
  }
  if (used == number.length) return;
  if (ending == '+' && used == number.length - 1 && bytes[used] == 'E') {
    return note_text(notes, *place.origins, NoteKind::plus_after_exponent, place.first + end, 1);
  }
  if (bytes[used] == 'P' && bytes[used + 1] == 'I') {
    note_number_bytes(place, text, number, NoteKind::pi_after_digit, used, 2, notes);
    used += 2;
  }
  note_number_bytes(place, text, number, NoteKind::number_tail, used, number.length - used, notes);
}

bool is_degree_sign_byte(const char* text, int k) {
  return is_gap(text, k) && !is_blank(text[k]);
}

// True when only gaps stand between byte `k` and the text's closing '=' (or its end).
bool ends_text(const char* text, int k) {
  for (++k; text[k] != '\0' && text[k] != '='; ++k) {
    if (!is_gap(text, k)) return false;
  }
  return true;
}

// True for a byte skipped while reading numbers: no number character and no ending mark.
bool is_skipped(const char* text, int k) {
  return text[k] != '\0' && !is_number_character(text, k) && !ends_number(text[k]);
}

// True when the skipped bytes from `k` on are followed by a number character: they stand
// inside the number being collected, whose parts they join.
bool joins_number(const char* text, int k) {
  while (is_skipped(text, k)) ++k;
  return text[k] != '\0' && is_number_character(text, k);
}

// Notes a gap byte at `k` that was skipped where it tells the reader nothing it meant: a
// control blank, or a degree sign that is not the last thing of an argument (the angle is in
// degrees anyway; elsewhere it is just skipped, as "sin30°+60" is sin 90). A gap inside a
// number is noted as joining it, elsewhere.
void note_gap(const OperandPlace& place, const char* text, int k, ReadingNotes* notes) {
  const TextOrigins& origins = *place.origins;
  if (is_control_blank(text[k])) {
    return note_text(notes, origins, NoteKind::control_blank, place.first + k, 1);
  }
  const bool sign_start = static_cast<unsigned char>(text[k]) == 0xC2;
  if (!sign_start || !is_degree_sign_byte(text, k)) return;
  if (place.role == OperandRole::argument && ends_text(text, k + 1)) return;
  note_text(notes, origins, NoteKind::misplaced_degree_sign, place.first + k, 2);
}

// Notes the skipped bytes right before the number byte at `k`, which joins a number begun
// before them: blanks, symbols or letters, they did not separate two numbers, as they seem to
// ("3 0", "2×3", "30^2" read as 30, 23, 302).
void note_bytes_inside_number(const OperandPlace& place, const char* text, int k,
                              ReadingNotes* notes) {
  int start = k;
  while (start > 0 && is_skipped(text, start - 1)) --start;
  if (start < k) {
    note_text(notes, *place.origins, NoteKind::joined_number, place.first + start, k - start);
  }
}

// The number read from `number` and ended by the mark at `end`, with its columns.
NumberRead placed_number(const OperandPlace& place, const NumberText& number, char op, int end) {
  const TextOrigins& origins = *place.origins;
  NumberRead read{};
  read.op = op;
  read.op_column = static_cast<unsigned char>(origin_column(origins, place.first + end));
  const int first = number.length > 0 ? number.first : end;
  read.column = static_cast<unsigned char>(origin_column(origins, place.first + first));
  const int stop = number.length > 0 ? origin_end(origins, place.first + number.last) : read.column;
  read.length = static_cast<unsigned char>(stop - read.column);
  return read;
}

// Ends the number being collected at the mark at `end`: reads it, notes what was not read of
// it, and appends it to `list` while the list and the store have room.
void end_number(NumberText& number, const char* text, int end, int last_operator,
                const OperandPlace& place, NumberStore& store, OperandsRead& list,
                ReadingNotes* notes) {
  NumberRead read = placed_number(place, number, text[end], end);
  int prefix = 0;
  const bool digits = number.digits_only && number.length > 0;
  const int used = read_number_text(number.text, number.length, read, prefix, digits);
  if (notes != nullptr) note_number_read(place, text, number, used, end, last_operator, notes);
  if (list.count < operand_capacity && store_number(store, read, number.text, prefix)) {
    ++list.count;
  }
}

}  // namespace

// ".0" is appended so that an empty text or a lone "-" still converts (to 0 and -0) and
// "5E3" stops at the point instead of running on into what follows in the buffer.
int read_number_text(char* number, int length, NumberRead& read, int& prefix, bool digits_only) {
  number[length] = '.';
  number[length + 1] = '0';
  number[length + 2] = '\0';
  if (digits_only) {  // digits, then ".0": the whole text is the prefix
    read.form = NumberForm::decimal;
    prefix = length + 2;
    return length;
  }
  prefix = 0;
  if (number[0] == 'P' && number[1] == 'I') {
    read.form = NumberForm::pi;
    return 2;
  }
  read.form = NumberForm::decimal;
  prefix = decimal_prefix_length(number);
  return prefix < length ? prefix : length;
}

OperandsRead read_operands(const char* text, const OperandPlace& place, NumberStore& store,
                           ReadingNotes* notes) {
  OperandsRead list = {static_cast<short>(store.count), 0};
  char spare[number_text_capacity];
  // The number being collected, in locals of its own: its bytes are written through a char
  // pointer, which may alias anything whose address is taken.
  char* digits = collecting_place(store, spare);
  int length = 0;
  int first = 0;
  int last = 0;
  bool digits_only = true;
  int last_operator = -1;
  for (int k = 0; text[k] != '\0'; ++k) {
    const bool digit = is_digit(text[k]);  // most number bytes are: asked first
    if (digit || is_number_character(text, k)) {
      if (length == 0) first = k;
      if (notes != nullptr && length > 0) note_bytes_inside_number(place, text, k, notes);
      // Room is kept for ".0" and the terminator; a longer number keeps its first bytes.
      if (length < number_text_capacity - 3) {
        last = k;
        digits_only = digits_only && digit;
        digits[length++] = text[k];
      }
    } else if (ends_number(text[k])) {
      NumberText number = {digits, length, first, last, digits_only};
      end_number(number, text, k, last_operator, place, store, list, notes);
      digits = collecting_place(store, spare);
      length = 0;
      digits_only = true;
      last_operator = k;
    } else if (notes != nullptr && !(length > 0 && joins_number(text, k))) {
      // Bytes that join a number are noted as such once its next byte comes.
      if (!is_gap(text, k)) {
        note_text(notes, *place.origins, NoteKind::skipped, place.first + k, 1);
      } else {
        note_gap(place, text, k, notes);
      }
    }
  }
  return list;
}
