#include "natural/natural_tokens.h"

#include <cstdio>
#include <cstring>

#include "text/characters.h"

namespace {

// A sign of more than one byte, or of one, and the token it is.
struct Sign {
  const char* bytes;
  TokenKind kind;
  char bracket;
};

constexpr Sign signs[] = {
    {"\xCF\x80", TokenKind::pi_sign, 0},
    {"\xE2\x88\x9A", TokenKind::root_sign, 0},
    {"\xC3\x97", TokenKind::times, 0},
    {"\xC2\xB7", TokenKind::times, 0},
    {"\xE2\x8B\x85", TokenKind::times, 0},
    {"\xC3\xB7", TokenKind::divide, 0},
    {"\xE2\x88\x92", TokenKind::minus, 0},
    {"\xC2\xB0", TokenKind::degree, 0},
    {"\xC2\xBA", TokenKind::degree, 0},
    {"\xE2\x80\xB2", TokenKind::minute, 0},
    {"\xE2\x80\xB3", TokenKind::second, 0},
    {"+", TokenKind::plus, 0},
    {"-", TokenKind::minus, 0},
    {"*", TokenKind::times, 0},
    {"x", TokenKind::times, 0},
    {"X", TokenKind::times, 0},
    {"/", TokenKind::divide, 0},
    {"^", TokenKind::caret, 0},
    {"(", TokenKind::open, '('},
    {"[", TokenKind::open, '['},
    {")", TokenKind::close, '('},
    {"]", TokenKind::close, '['},
    {"'", TokenKind::minute, 0},
    {"\"", TokenKind::second, 0},
    {"=", TokenKind::equals, 0},
};

// Blanks of more than one byte: the no-break space, the narrow no-break space, the thin space.
constexpr const char* wide_blanks[] = {"\xC2\xA0", "\xE2\x80\xAF", "\xE2\x80\x89"};

// Superscript digits 0 to 9, then the superscript minus and plus.
constexpr const char* superscripts[] = {
    "\xE2\x81\xB0", "\xC2\xB9",     "\xC2\xB2",     "\xC2\xB3",     "\xE2\x81\xB4", "\xE2\x81\xB5",
    "\xE2\x81\xB6", "\xE2\x81\xB7", "\xE2\x81\xB8", "\xE2\x81\xB9", "\xE2\x81\xBB", "\xE2\x81\xBA"};
constexpr int superscript_minus = 10;
constexpr int superscript_plus = 11;
constexpr long superscript_ceiling = 1000000000;  // larger written values saturate

// The bytes of `bytes` when they stand at `at`, else 0.
int matches(const char* line, int length, int at, const char* bytes) {
  const int size = static_cast<int>(std::strlen(bytes));
  return size <= length - at && std::memcmp(line + at, bytes, static_cast<std::size_t>(size)) == 0
             ? size
             : 0;
}

// The index in `superscripts` of the one at `at` and its bytes in `size`, or -1.
int superscript_at(const char* line, int length, int at, int& size) {
  for (int k = 0; k < 12; ++k) {
    size = matches(line, length, at, superscripts[k]);
    if (size > 0) return k;
  }
  return -1;
}

// The end of the run of superscripts at `at` (a sign, then digits), its value in `value`;
// `at` itself when there is none with a digit.
int superscript_run_end(const char* line, int length, int at, long& value) {
  int size = 0;
  int end = at;
  int index = superscript_at(line, length, end, size);
  const bool negative = index == superscript_minus;
  if (index == superscript_minus || index == superscript_plus) {
    end += size;
    index = superscript_at(line, length, end, size);
  }
  value = 0;
  const int digits_start = end;
  for (; index >= 0 && index <= 9; index = superscript_at(line, length, end, size)) {
    if (value < superscript_ceiling) value = value * 10 + index;
    end += size;
  }
  if (negative) value = -value;
  return end > digits_start ? end : at;
}

// The bytes of the digits at `at`.
int digits_at(const char* line, int length, int at) {
  int end = at;
  while (end < length && is_digit(line[end])) ++end;
  return end - at;
}

// The bytes of a sign at `at`: '+', '-' or the minus sign; 0 when there is none.
int sign_at(const char* line, int length, int at) {
  if (at < length && (line[at] == '+' || line[at] == '-')) return 1;
  return matches(line, length, at, "\xE2\x88\x92");
}

// The end of a power of ten written after a number at `at`: "e3", "E-3", "x10^3", "*10^-3",
// "×10^3", "×10⁻³"; `at` itself when there is none.
int power_of_ten_end(const char* line, int length, int at) {
  if (at < length && (line[at] == 'e' || line[at] == 'E')) {
    const int sign = sign_at(line, length, at + 1);
    const int digits = digits_at(line, length, at + 1 + sign);
    return digits > 0 ? at + 1 + sign + digits : at;
  }
  const Token sign = token_at(line, length, at);
  if (sign.kind != TokenKind::times || sign.column != at) return at;
  const int ten = at + sign.length;
  if (matches(line, length, ten, "10") == 0) return at;
  long ignored = 0;
  const int raised = superscript_run_end(line, length, ten + 2, ignored);
  if (raised > ten + 2) return raised;
  if (matches(line, length, ten + 2, "^") == 0) return at;
  const int exponent_sign = sign_at(line, length, ten + 3);
  const int digits = digits_at(line, length, ten + 3 + exponent_sign);
  return digits > 0 ? ten + 3 + exponent_sign + digits : at;
}

// The end of the number at `at`, which begins with a digit or a decimal mark before one:
// digits, a decimal mark ('.' or ',') with digits after it or after digits before it, and a
// power of ten.
int number_end(const char* line, int length, int at) {
  int end = at + digits_at(line, length, at);
  const bool whole = end > at;
  const bool mark = end < length && (line[end] == '.' || line[end] == ',');
  if (mark && (whole || digits_at(line, length, end + 1) > 0)) {
    end += 1 + digits_at(line, length, end + 1);
  }
  return power_of_ten_end(line, length, end);
}

bool is_word_letter(char c) {
  return is_ascii_letter(c) && c != 'x' && c != 'X';  // 'x' is always times
}

// The lower-case letter of `c`.
char lowered(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The row of the spelling that the `length` letters at `word` are, in any case; -1 if none.
int spelling_row(const char* word, int length) {
  for (int row = 0; row < natural_spelling_count; ++row) {
    const char* spelling = natural_spellings[row].spelling;
    int at = 0;
    while (at < length && spelling[at] != '\0' && lowered(word[at]) == spelling[at]) ++at;
    if (at == length && spelling[at] == '\0') return row;
  }
  return -1;
}

// The row of the first word of the `length` letters at `run` when the run is a sequence of
// spellings ("radsen", "senpi"), its length in `first`; -1 when it is none. The longest
// first word that lets the rest be words is taken.
int first_word(const char* run, int length, int& first) {
  // ends[k]: the letters from k on split into words (k = length: nothing left).
  bool splits[term_capacity + 1] = {};
  splits[length] = true;
  for (int k = length - 1; k >= 0; --k) {
    for (int size = 1; size <= natural_spelling_capacity && k + size <= length; ++size) {
      splits[k] = splits[k] || (splits[k + size] && spelling_row(run + k, size) >= 0);
    }
  }
  if (!splits[0]) return -1;
  for (first = length < natural_spelling_capacity ? length : natural_spelling_capacity; first > 0;
       --first) {
    const int row = spelling_row(run, first);
    if (row >= 0 && splits[first]) return row;
  }
  return -1;
}

// The token of the letters at `at`.
Token word_at(const char* line, int length, int at) {
  int end = at;
  while (end < length && is_word_letter(line[end])) ++end;
  const int run = end - at < term_capacity ? end - at : term_capacity;
  int first = 0;
  const int row = first_word(line + at, run, first);
  if (row < 0) return {TokenKind::unknown_word, at, end - at, 0, NaturalWord::pi, 0};
  return {TokenKind::word, at, first, 0, natural_spellings[row].word, 0};
}

// Writes 'E' and the exponent of the power of ten at `at` (up to `end`) into `text` from
// `written`: "e-3", "x10^3", "×10⁻³" all give "E" and the signed digits. Returns the bytes
// written in all.
int write_exponent(const char* line, int at, int end, char* text, int written) {
  text[written++] = 'E';
  if (line[at] == 'e' || line[at] == 'E') {
    ++at;
  } else {
    at += token_at(line, end, at).length + 2;  // the times sign and "10"
    long raised = 0;
    if (superscript_run_end(line, end, at, raised) == end) {
      const int room = natural_number_text_capacity - written;
      const int digits =
          std::snprintf(text + written, static_cast<std::size_t>(room), "%ld", raised);
      return digits < room ? written + digits : written;
    }
    ++at;  // '^'
  }
  const int sign = sign_at(line, end, at);
  if (sign > 0 && line[at] != '+') text[written++] = '-';
  for (at += sign; at < end; ++at) text[written++] = line[at];
  return written;
}

}  // namespace

int blanks_at(const char* line, int length, int at) {
  int end = at;
  for (bool more = true; more && end < length;) {
    more = false;
    if (is_blank(line[end])) {
      ++end;
      more = true;
      continue;
    }
    for (const char* blank : wide_blanks) {
      const int size = matches(line, length, end, blank);
      if (size == 0) continue;
      end += size;
      more = true;
      break;
    }
  }
  return end - at;
}

Token token_at(const char* line, int length, int at) {
  at += blanks_at(line, length, at);
  Token token = {TokenKind::end, at, 0, 0, NaturalWord::pi, 0};
  if (at >= length) return token;
  const char c = line[at];
  const bool mark_then_digit = (c == '.' || c == ',') && digits_at(line, length, at + 1) > 0;
  if (is_digit(c) || mark_then_digit) {
    token.kind = TokenKind::number;
    token.length = number_end(line, length, at) - at;
    return token;
  }
  if (is_word_letter(c)) return word_at(line, length, at);
  const int superscript_end = superscript_run_end(line, length, at, token.superscript);
  if (superscript_end > at) {
    token.kind = TokenKind::superscript;
    token.length = superscript_end - at;
    return token;
  }
  for (const Sign& sign : signs) {
    const int size = matches(line, length, at, sign.bytes);
    if (size == 0) continue;
    token.kind = sign.kind;
    token.length = size;
    token.bracket = sign.bracket;
    return token;
  }
  token.kind = TokenKind::unexpected;
  token.length = 1;
  // A character of several bytes is one unexpected character.
  while (at + token.length < length && (line[at + token.length] & 0xC0) == 0x80 &&
         (c & 0x80) != 0) {
    ++token.length;
  }
  return token;
}

int number_text_of(const char* line, const Token& number,
                   char (&text)[natural_number_text_capacity]) {
  int written = 0;
  const int end = number.column + number.length;
  int at = number.column;
  for (; at < end && (is_digit(line[at]) || line[at] == '.' || line[at] == ','); ++at) {
    text[written++] = line[at] == ',' ? '.' : line[at];
  }
  if (at < end) written = write_exponent(line, at, end, text, written);
  text[written] = '\0';
  return written;
}
