#include "term/normalise_term.h"

#include <cstring>

namespace {

constexpr std::size_t power_of_ten_length = 4;  // "*10^"

// Deletes a leading "rad" and reports whether it was there; "rad" elsewhere stays.
bool strip_radians_prefix(char* text, TextOrigins& origins) {
  constexpr std::size_t length = sizeof radians_prefix - 1;
  if (!starts_with(text, radians_prefix)) return false;
  const std::size_t rest = std::strlen(text + length);
  std::memmove(text, text + length, rest + 1);
  drop_first_bytes(origins, length);
  return true;
}

// Notes every "rad" left in the text once a leading one is gone: it asks for nothing there.
void note_radians_elsewhere(const char* text, const TextOrigins& origins, ReadingNotes* notes) {
  if (notes == nullptr) return;
  for (const char* at = std::strstr(text, radians_prefix); at != nullptr;
       at = std::strstr(at + 1, radians_prefix)) {
    note_text(notes, origins, NoteKind::rad_not_at_start, static_cast<int>(at - text),
              sizeof radians_prefix - 1);
  }
}

// In one scan: 'x' and 'X' become '*', ',' becomes '.', an 'e' not followed by 'n' or 'c'
// becomes 'E', and "pi" becomes "PI". Each rewrite touches characters no other one reads
// or writes ('n', 'c' and 'i' stay), so this equals doing them one after another. True when
// the text then holds "PI": none of the rewrites makes one but that of "pi".
bool rewrite_number_characters(char* text) {
  bool pi = false;
  for (int k = 0; text[k] != '\0'; ++k) {
    const char c = text[k];
    if (c == 'x' || c == 'X') {
      text[k] = '*';
    } else if (c == ',') {
      text[k] = '.';
    } else if (c == 'e') {
      if (text[k + 1] != 'n' && text[k + 1] != 'c') text[k] = 'E';
    } else if ((c == 'p' || c == 'P') && text[k + 1] == (c == 'p' ? 'i' : 'I')) {
      text[k] = 'P';
      text[++k] = 'I';
      pi = true;
    }
  }
  return pi;
}

bool is_power_of_ten(const char* text) {
  return text[0] == '*' && text[1] == '1' && text[2] == '0' && text[3] == '^';
}

// A byte now written at `write` that was read at `read`: when the distance between them grew
// since the last byte, its origin shifts; `span` is what the byte before it stands for.
void shift_if_moved(TextOrigins& origins, int write, int read, int& shifted, int span) {
  if (read - write == shifted) return;
  shifted = read - write;
  add_shift(origins, write, shifted, span);
}

bool is_deleted(const char* text, bool delete_parentheses) {
  return delete_parentheses && (*text == '(' || *text == ')');
}

// Replaces every "*10^" by 'E' and, when asked, deletes every '(' and ')', in one
// left-to-right scan, recording how the origins of the bytes kept shift. "*10^" is matched
// with the parentheses still in place, as replacing first and deleting after does; a
// replacement cannot create a new occurrence ('E' is in none). The rewrites before it only
// replace bytes in place or drop the first ones, so no shift is recorded yet. The bytes
// before the first change stay where they are.
void replace_powers_of_ten(char* text, bool delete_parentheses, TextOrigins& origins) {
  int read = 0;
  while (text[read] != '\0' && !is_power_of_ten(text + read) &&
         !is_deleted(text + read, delete_parentheses)) {
    ++read;
  }
  int write = read;
  int shifted = 0;
  int span = 1;  // columns the byte last written stands for
  while (text[read] != '\0') {
    if (is_power_of_ten(text + read)) {
      shift_if_moved(origins, write, read, shifted, span);
      text[write++] = 'E';
      read += power_of_ten_length;
      span = power_of_ten_length;
      continue;
    }
    if (!is_deleted(text + read, delete_parentheses)) {
      shift_if_moved(origins, write, read, shifted, span);
      text[write++] = text[read];
      span = 1;
    }
    ++read;
  }
  shift_if_moved(origins, write, read, shifted, span);
  text[write] = '\0';
}

}  // namespace

void normalise_term(char* term, bool& radians, TextOrigins& origins, ReadingNotes* notes) {
  if (strip_radians_prefix(term, origins)) radians = true;
  note_radians_elsewhere(term, origins, notes);
  if (rewrite_number_characters(term)) radians = true;
  replace_powers_of_ten(term, true, origins);
}

// A number holds no 'a', so never "rad", and it has no angle for "PI" to put in radians. Its
// value is read from its decimal prefix, which ends at the first "*10^" turned into 'E' and
// its exponent: turning the later ones too changes no value. Of the shared rewrites, 'e' to
// 'E' changes no number either (both introduce an exponent), and a ',' is a point as in a
// term, as a user would expect ("1,5" is 1.5).
void normalise_number(char* text, TextOrigins& origins) {
  rewrite_number_characters(text);
  replace_powers_of_ten(text, false, origins);
}
