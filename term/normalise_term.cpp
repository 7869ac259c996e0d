#include "term/normalise_term.h"

#include "term/function_names.h"

namespace {

constexpr int power_of_ten_length = 4;  // "*10^", or "x10^" or "X10^"
constexpr int radians_prefix_length = sizeof radians_prefix - 1;

// Notes every "rad" of the `length` bytes at `text`, which follow a leading "rad" if there
// was one: it asks for nothing there. The origins have no shift yet.
void note_radians_elsewhere(const char* text, int length, const TextOrigins& origins,
                            ReadingNotes* notes) {
  for (int at = 0; at + radians_prefix_length <= length; ++at) {
    if (text[at] == 'r' && text[at + 1] == 'a' && text[at + 2] == 'd') {
      note_text(notes, origins, NoteKind::rad_not_at_start, at, radians_prefix_length);
    }
  }
}

// What the pass asks of each byte, in one table: whether a rewrite looks at it, and whether a
// function name may begin with it.
enum ByteFlags : unsigned char {
  rewritten = 1,    // ( ) x X * , e p P = and the zero byte: decided by rewrite_step
  begins_name = 2,  // the first letter of some function name: the amplitude ends there
};

constexpr struct ByteTable {
  unsigned char flags[256];
} byte_table = [] {
  ByteTable table{};
  for (const char c : "()xX*,epP=") table.flags[static_cast<unsigned char>(c)] |= rewritten;
  table.flags[0] |= rewritten;  // the end, which the loop above also came to
  for (int c = 0; c < 256; ++c) {
    if (function_letter_classes.begins_name[c]) table.flags[c] |= begins_name;
  }
  return table;
}();

// What the rewrites make of the byte at `text` that one looks at (`available` bytes there):
// `first`, and `second` after it ('\0': none; each stands for one byte read), or nothing
// (a deleted parenthesis); `size` bytes read.
struct Step {
  char first;
  char second;
  unsigned char size;
  bool deleted;
};

// True when the bytes at `text`, `available` of them, begin with "10^" after a '*' or 'x'.
inline bool ends_power_of_ten(const char* text, int available) {
  return available >= power_of_ten_length - 1 && text[0] == '1' && text[1] == '0' && text[2] == '^';
}

// Every rewrite of the byte at `text`, as if they were done one after another: 'x' and 'X'
// become '*', ',' becomes '.', an 'e' not followed by 'n' or 'c' becomes 'E', "pi" and "PI"
// become "PI", then "*10^" (or "x10^") becomes 'E' and, when asked, '(' and ')' are deleted.
// Each rewrite looks at bytes no earlier one changes, and "*10^", "pi" and the byte after an
// 'e' are matched with the parentheses still in place, as the separate rewrites were.
Step rewrite_step(const char* text, int available, bool delete_parentheses) {
  const char c = text[0];
  const char next = available > 1 ? text[1] : '\0';
  switch (c) {
    case '(':
    case ')':
      return {c, '\0', 1, delete_parentheses};
    case 'x':
    case 'X':
    case '*':
      if (ends_power_of_ten(text + 1, available - 1))
        return {'E', '\0', power_of_ten_length, false};
      return {'*', '\0', 1, false};
    case ',':
      return {'.', '\0', 1, false};
    case 'e':
      return {next != 'n' && next != 'c' ? 'E' : 'e', '\0', 1, false};
    case 'p':
    case 'P':
      if (next == (c == 'p' ? 'i' : 'I')) return {'P', 'I', 2, false};
      return {c, '\0', 1, false};
    default:
      return {c, '\0', 1, false};
  }
}

// One pass of every rewrite (rewrite_step) over the `length` bytes at `source`, up to a
// zero byte, into `text`, zero-terminated. Where a rewrite reads more bytes than it writes
// (a deleted parenthesis, a power of ten), the bytes after it lie further from where they
// were read: that shift of `origins` is recorded at once, so a plain byte is only copied.
// Returns the bytes written; sets `pi` when the text holds "PI", and `equals` to the index of
// its first '=' (-1: none).
int rewrite_text(const char* source, int length, bool delete_parentheses, char* text,
                 TextOrigins& origins, bool& pi, int& equals) {
  bool found_pi = false;
  int first_equals = -1;
  int read = 0;
  int gap = 0;   // bytes read less bytes written
  int span = 1;  // the columns the byte written last stands for
  while (read < length) {
    const char c = source[read];
    if ((byte_table.flags[static_cast<unsigned char>(c)] & rewritten) == 0) {
      text[read - gap] = c;
      ++read;
      span = 1;
      continue;
    }
    if (c == '\0') break;
    const Step step = rewrite_step(source + read, length - read, delete_parentheses);
    const int write = read - gap;
    read += step.size;
    if (step.deleted) {
      add_shift(origins, write, ++gap, span);
      continue;
    }
    if (step.first == '=' && first_equals < 0) first_equals = write;
    text[write] = step.first;
    span = step.size;
    if (step.second != '\0') {  // the 'I' of "PI", read right after its 'P'
      text[write + 1] = step.second;
      span = 1;
      found_pi = true;
    } else if (step.size > 1) {  // a power of ten: one byte for four
      gap += step.size - 1;
      add_shift(origins, write + 1, gap, span);
    }
  }
  text[read - gap] = '\0';
  pi = found_pi;
  equals = first_equals;
  return read - gap;
}

// Finds, in the normalised `text` of `length` bytes, where the amplitude ends: most often at
// once.
void find_shape(const char* text, int length, int equals, TermShape& shape) {
  int amplitude = 0;
  while (amplitude < length &&
         (byte_table.flags[static_cast<unsigned char>(text[amplitude])] & begins_name) == 0) {
    ++amplitude;
  }
  shape = {length, amplitude, equals};
}

}  // namespace

void normalise_term_text(const char* source, int length, char* term, TermShape& shape,
                         bool& radians, TextOrigins& origins, ReadingNotes* notes) {
  int start = 0;
  if (length >= radians_prefix_length && starts_with(source, radians_prefix)) {
    start = radians_prefix_length;
    drop_first_bytes(origins, start);
    radians = true;
  }
  if (notes != nullptr) {
    note_radians_elsewhere(source + start, length - start, origins, notes);
  }
  bool pi = false;
  int equals = -1;
  const int written = rewrite_text(source + start, length - start, true, term, origins, pi, equals);
  if (pi) radians = true;
  find_shape(term, written, equals, shape);
}

// A number holds no 'a', so never "rad", and it has no angle for "PI" to put in radians. Its
// value is read from its decimal prefix, which ends at the first "*10^" turned into 'E' and
// its exponent: turning the later ones too changes no value. Of the shared rewrites, 'e' to
// 'E' changes no number either (both introduce an exponent), and a ',' is a point as in a
// term, as a user would expect ("1,5" is 1.5).
int normalise_number(const char* source, int length, char* text, TextOrigins& origins) {
  bool pi = false;
  int equals = -1;
  return rewrite_text(source, length, false, text, origins, pi, equals);
}
