#include "natural/natural_tokens.h"

#include <cstdio>
#include <cstring>

#include "text/characters.h"

namespace {

Token token_at(const char* line, int length, int at, bool commas, bool exponent = false);
void read_token_at(const char* line, int length, int at, bool commas, bool exponent, Token& token);

// A character of more than one byte (UTF-8) and what it is.
struct WideSign {
  unsigned char bytes[3];
  unsigned char size;
  TokenKind kind;   // TokenKind::end: a blank
  int superscript;  // TokenKind::superscript: 0 to 9, or the sign
};

constexpr int superscript_minus = 10;
constexpr int superscript_plus = 11;

constexpr WideSign wide_signs[] = {
    {{0xCF, 0x80, 0}, 2, TokenKind::pi_sign, 0},
    {{0xE2, 0x88, 0x9A}, 3, TokenKind::root_sign, 0},
    {{0xE2, 0x88, 0x9B}, 3, TokenKind::cube_root_sign, 0},  // ∛
    {{0xC3, 0x97, 0}, 2, TokenKind::times, 0},              // ×
    {{0xCE, 0xB8, 0}, 2, TokenKind::unknown_sign, 0},       // θ
    {{0xCE, 0xB1, 0}, 2, TokenKind::unknown_sign, 0},       // α
    {{0xCE, 0xB2, 0}, 2, TokenKind::unknown_sign, 0},       // β
    {{0xE2, 0x89, 0xA4}, 3, TokenKind::at_most, 0},         // ≤
    {{0xE2, 0x88, 0x88}, 3, TokenKind::element_of, 0},      // ∈
    {{0xC2, 0xB7, 0}, 2, TokenKind::times, 0},              // ·
    {{0xE2, 0x8B, 0x85}, 3, TokenKind::times, 0},           // ⋅
    {{0xC3, 0xB7, 0}, 2, TokenKind::divide, 0},             // ÷
    {{0xE2, 0x88, 0x92}, 3, TokenKind::minus, 0},           // −
    {{0xC2, 0xB0, 0}, 2, TokenKind::degree, 0},             // °
    {{0xC2, 0xBA, 0}, 2, TokenKind::degree, 0},             // º
    {{0xE2, 0x80, 0xB2}, 3, TokenKind::minute, 0},          // ′
    {{0xE2, 0x80, 0xB3}, 3, TokenKind::second, 0},          // ″
    {{0xC2, 0xA0, 0}, 2, TokenKind::end, 0},                // no-break space
    {{0xE2, 0x80, 0xAF}, 3, TokenKind::end, 0},             // narrow no-break space
    {{0xE2, 0x80, 0x89}, 3, TokenKind::end, 0},             // thin space
    {{0xE2, 0x81, 0xB0}, 3, TokenKind::superscript, 0},
    {{0xC2, 0xB9, 0}, 2, TokenKind::superscript, 1},
    {{0xC2, 0xB2, 0}, 2, TokenKind::superscript, 2},
    {{0xC2, 0xB3, 0}, 2, TokenKind::superscript, 3},
    {{0xE2, 0x81, 0xB4}, 3, TokenKind::superscript, 4},
    {{0xE2, 0x81, 0xB5}, 3, TokenKind::superscript, 5},
    {{0xE2, 0x81, 0xB6}, 3, TokenKind::superscript, 6},
    {{0xE2, 0x81, 0xB7}, 3, TokenKind::superscript, 7},
    {{0xE2, 0x81, 0xB8}, 3, TokenKind::superscript, 8},
    {{0xE2, 0x81, 0xB9}, 3, TokenKind::superscript, 9},
    {{0xE2, 0x81, 0xBB}, 3, TokenKind::superscript, superscript_minus},
    {{0xE2, 0x81, 0xBA}, 3, TokenKind::superscript, superscript_plus},
};

constexpr long superscript_ceiling = 1000000000;  // larger written values saturate

// The wide sign at `at`, or null.
const WideSign* wide_sign_at(const char* line, int length, int at) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(line + at);
  if (bytes[0] < 0x80) return nullptr;
  for (const WideSign& sign : wide_signs) {
    if (sign.bytes[0] != bytes[0] || sign.size > length - at) continue;
    if (bytes[1] == sign.bytes[1] && (sign.size == 2 || bytes[2] == sign.bytes[2])) return &sign;
  }
  return nullptr;
}

// What an ASCII byte is as a token of its own; TokenKind::unexpected for none.
TokenKind ascii_kind(char c, char& bracket) {
  bracket = 0;
  switch (c) {
    case '+':
      return TokenKind::plus;
    case '-':
      return TokenKind::minus;
    case '*':
    case 'X':
      return TokenKind::times;
    case 'x':
      return TokenKind::letter_x;
    case ';':
      return TokenKind::semicolon;
    case '<':
      return TokenKind::at_most;
    case '/':
      return TokenKind::divide;
    case '^':
      return TokenKind::caret;
    case '(':
    case ')':
      bracket = '(';
      return c == '(' ? TokenKind::open : TokenKind::close;
    case '[':
    case ']':
      bracket = '[';
      return c == '[' ? TokenKind::open : TokenKind::close;
    case '\'':
      return TokenKind::minute;
    case '"':
      return TokenKind::second;
    case '=':
      return TokenKind::equals;
    case '|':
      return TokenKind::bar;
    default:
      return TokenKind::unexpected;
  }
}

// The bytes of `bytes` (a short ASCII text) when they stand at `at`, else 0.
int matches(const char* line, int length, int at, const char* bytes) {
  const int size = static_cast<int>(std::strlen(bytes));
  return size <= length - at && std::memcmp(line + at, bytes, static_cast<std::size_t>(size)) == 0
             ? size
             : 0;
}

// The index (0 to 9, or the sign) of the superscript at `at` and its bytes in `size`, or -1.
int superscript_at(const char* line, int length, int at, int& size) {
  const WideSign* sign = at < length ? wide_sign_at(line, length, at) : nullptr;
  if (sign == nullptr || sign->kind != TokenKind::superscript) return -1;
  size = sign->size;
  return sign->superscript;
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
  if (at >= length) return 0;
  if (line[at] == '+' || line[at] == '-') return 1;
  const WideSign* sign = wide_sign_at(line, length, at);
  return sign != nullptr && sign->kind == TokenKind::minus ? sign->size : 0;
}

// The end of a power of ten written after a number at `at`: "e3", "E-3", "x10^3", "*10^-3",
// "×10^3", "×10⁻³"; `at` itself when there is none.
int power_of_ten_end(const char* line, int length, int at) {
  if (at < length && (line[at] == 'e' || line[at] == 'E')) {
    const int sign = sign_at(line, length, at + 1);
    const int digits = digits_at(line, length, at + 1 + sign);
    return digits > 0 ? at + 1 + sign + digits : at;
  }
  // A times sign begins with one of these bytes, and must stand right at `at`: most numbers
  // are followed by none, and no token is read for them.
  const auto first = static_cast<unsigned char>(at < length ? line[at] : '\0');
  if (first != 'x' && first != 'X' && first != '*' && first < 0xC2) return at;
  const Token sign = token_at(line, length, at, false);
  const bool times = sign.kind == TokenKind::times || sign.kind == TokenKind::letter_x;
  if (!times || sign.column != at) return at;
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
// power of ten. With `commas`, a comma with no digit after it ends the number instead. In an
// `exponent`, a power of ten written with a times sign is not the number's: it multiplies.
int number_end(const char* line, int length, int at, bool commas, bool exponent) {
  int end = at + digits_at(line, length, at);
  const bool whole = end > at;
  const bool mark = end < length && (line[end] == '.' || line[end] == ',');
  const bool digits_after = digits_at(line, length, end + 1) > 0;
  const bool separates = commas && mark && line[end] == ',' && !digits_after;
  if (mark && !separates && (whole || digits_after)) {
    end += 1 + digits_at(line, length, end + 1);
  }
  const bool e_form = end < length && (line[end] == 'e' || line[end] == 'E');
  return exponent && !e_form ? end : power_of_ten_end(line, length, end);
}

bool is_word_letter(char c) {
  return is_ascii_letter(c) && c != 'x' && c != 'X';  // 'x' is times or the unknown
}

// The bytes of the spelling with an 'x' ("exp") that stands whole at `at`, in any case, the
// next byte not a letter that would go on with it ('x' may: "expx" is exp x); 0 when none.
int x_spelling_at(const char* line, int length, int at) {
  for (int k = 0; k < x_spellings.count; ++k) {
    const char* spelling = function_spellings[x_spellings.rows[k]].spelling;
    int size = 0;
    while (spelling[size] != '\0' && at + size < length &&
           lower_case(line[at + size]) == spelling[size]) {
      ++size;
    }
    if (spelling[size] != '\0') continue;
    if (at + size == length || !is_word_letter(line[at + size])) return size;
  }
  return 0;
}

// The row of the natural reading's spelling that the `length` letters at `word` are, in any
// case; -1 if none.
int spelling_row(const char* word, int length) {
  const int letter = index_letter(lower_case(word[0]));
  if (letter < 0) return -1;
  for (int k = 0; k < spelling_index.count[letter]; ++k) {
    const int row = spelling_index.rows[letter][k];
    if (spelling_index.length[letter][k] != length || !accepted(row, in_natural)) continue;
    const char* spelling = function_spellings[row].spelling;
    int at = 1;
    while (at < length && lower_case(word[at]) == spelling[at]) ++at;
    if (at == length) return row;
  }
  return -1;
}

// Appends to `tokens` from `count` the words of the `run` letters at `at` of `line`: the
// sequence of spellings they are (the longest first word that lets the rest be words first:
// "radsen" is "rad" and "sen"), or one unknown word for the whole run. Returns the new count.
int add_words(const char* line, int at, int run, Token* tokens, int count) {
  const int whole = run <= spelling_capacity ? spelling_row(line + at, run) : -1;
  if (whole >= 0) {  // the usual case: the run is one word
    tokens[count] = {TokenKind::word, at, run, 0, function_spellings[whole].word, 0, false};
    return count + 1;
  }
  int first[line_capacity + 1];  // first[k]: the first word's length from k on; 0: no split
  first[run] = -1;               // nothing left: split
  for (int k = run - 1; k >= 0; --k) {
    first[k] = 0;
    const int longest = run - k < spelling_capacity ? run - k : spelling_capacity;
    // A word of one letter ("e") is read only where it stands alone: "sene" is no "sen e".
    for (int size = longest; size >= 2 && first[k] == 0; --size) {
      if (first[k + size] != 0 && spelling_row(line + at + k, size) >= 0) first[k] = size;
    }
  }
  if (run == 0 || first[0] == 0) {
    tokens[count] = {TokenKind::unknown_word, at, run, 0, Word::none, 0, false};
    return count + 1;
  }
  for (int k = 0; k < run; k += first[k]) {
    const Word word = function_spellings[spelling_row(line + at + k, first[k])].word;
    tokens[count++] = {TokenKind::word, at + k, first[k], 0, word, 0, false};
  }
  return count;
}

// Writes 'E' and the exponent of the power of ten at `at` (up to `end`) into `text` from
// `written`: "e-3", "x10^3", "×10⁻³" all give "E" and the signed digits. Returns the bytes
// written in all.
int write_exponent(const char* line, int at, int end, char* text, int written) {
  text[written++] = 'E';
  if (line[at] == 'e' || line[at] == 'E') {
    ++at;
  } else {
    at += token_at(line, end, at, false).length + 2;  // the times sign and "10"
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

int blanks_at(const char* line, int length, int at) {
  int end = at;
  while (end < length) {
    if (is_blank(line[end])) {
      ++end;
      continue;
    }
    const WideSign* sign = wide_sign_at(line, length, end);
    if (sign == nullptr || sign->kind != TokenKind::end) break;
    end += sign->size;
  }
  return end - at;
}

// True when the '.' at `at` stands with a blank on each side: the school's times sign
// ("2 . sen 30"), which a decimal mark never is.
bool is_school_dot(const char* line, int length, int at) {
  return at > 0 && at + 1 < length && is_blank(line[at - 1]) && is_blank(line[at + 1]);
}

// A character of one byte at `at` as `token` (its column and kind set already): "<=" and "<"
// are one (the second strict), and with `commas` a comma is one.
void read_ascii_token(const char* line, int length, int at, bool commas, Token& token) {
  token.length = 1;
  token.kind = ascii_kind(line[at], token.bracket);
  if (line[at] == '.' && is_school_dot(line, length, at)) token.kind = TokenKind::times;
  if (token.kind == TokenKind::at_most) {
    token.length = matches(line, length, at, "<=") != 0 ? 2 : 1;
    token.strict = token.length == 1;
  }
  if (commas && line[at] == ',') token.kind = TokenKind::comma;
}

// The token at `at` into `token`, blanks before it skipped; with `commas`, a comma with no digit
// after it is a token of its own, not a decimal mark; in an `exponent`, a number takes no
// power of ten written with a times sign. Written in place: a token returned and copied would
// be read back before its bytes are all stored.
void read_token_at(const char* line, int length, int at, bool commas, bool exponent, Token& token) {
  at += blanks_at(line, length, at);
  token = {TokenKind::end, at, 0, 0, Word::none, 0, false};
  if (at >= length) return;
  const char c = line[at];
  const bool mark_then_digit = (c == '.' || c == ',') && digits_at(line, length, at + 1) > 0;
  if (is_digit(c) || mark_then_digit) {
    token.kind = TokenKind::number;
    token.length = number_end(line, length, at, commas, exponent) - at;
    return;
  }
  const int x_word = is_word_letter(c) ? x_spelling_at(line, length, at) : 0;
  if (x_word > 0) {
    token.kind = TokenKind::word;
    token.length = x_word;
    return;
  }
  if (is_word_letter(c)) {  // the whole run: read_tokens splits it into words
    while (at + token.length < length && is_word_letter(line[at + token.length])) ++token.length;
    token.kind = TokenKind::word;
    return;
  }
  if ((c & 0x80) == 0) return read_ascii_token(line, length, at, commas, token);
  const WideSign* sign = wide_sign_at(line, length, at);
  if (sign != nullptr && sign->kind == TokenKind::superscript) {
    token.kind = TokenKind::superscript;
    token.length = superscript_run_end(line, length, at, token.superscript) - at;
    if (token.length > 0) return;
  }
  token.kind = sign != nullptr ? sign->kind : TokenKind::unexpected;
  token.length = sign != nullptr ? sign->size : 1;
  // Any other character of several bytes is one unexpected character.
  while (sign == nullptr && at + token.length < length &&
         (line[at + token.length] & 0xC0) == 0x80) {
    ++token.length;
  }
}

// The token at `at`, as read_token_at reads it.
Token token_at(const char* line, int length, int at, bool commas, bool exponent) {
  Token token;
  read_token_at(line, length, at, commas, exponent, token);
  return token;
}

// True when the `run` letters at `word` are `spelling` (lower case), in any case.
bool letters_are(const char* word, int run, const char* spelling) {
  int at = 0;
  while (at < run && spelling[at] != '\0' && lower_case(word[at]) == spelling[at]) ++at;
  return at == run && spelling[at] == '\0';
}

}  // namespace

bool is_interval_word(const char* word, int run) {
  return letters_are(word, run, "em") || letters_are(word, run, "para");
}

// One pass over the bytes, which stops only at those that may begin what an interval holds:
// '<', a byte of a sign of several, and the first letter of "em" or "para".
bool holds_interval(const char* line, int length) {
  for (int at = 0; at < length; ++at) {
    const char c = line[at];
    const bool may_begin =
        c == '<' || (c & 0x80) != 0 || c == 'e' || c == 'E' || c == 'p' || c == 'P';
    if (!may_begin) continue;
    if (c == '<') return true;
    if ((c & 0x80) != 0) {
      const WideSign* sign = wide_sign_at(line, length, at);
      const bool opens = sign != nullptr &&
                         (sign->kind == TokenKind::at_most || sign->kind == TokenKind::element_of);
      if (opens) return true;
      continue;
    }
    if (at > 0 && is_ascii_letter(line[at - 1])) continue;  // inside a word
    int run = 1;
    while (at + run < length && is_ascii_letter(line[at + run])) ++run;
    if ((run == 2 || run == 4) && is_interval_word(line + at, run)) return true;
    at += run - 1;
  }
  return false;
}

ConversionUnit conversion_unit(const char* line, const Token& token) {
  if (token.kind == TokenKind::word) {
    if (token.word == Word::radians) return ConversionUnit::radians;
    return token.word == Word::grads ? ConversionUnit::grads : ConversionUnit::none;
  }
  if (token.kind != TokenKind::unknown_word) return ConversionUnit::none;
  if (letters_are(line + token.column, token.length, "graus")) return ConversionUnit::degrees;
  if (letters_are(line + token.column, token.length, "gms")) return ConversionUnit::dms;
  return ConversionUnit::none;
}

int read_tokens(const char* line, int length, Token (&tokens)[natural_token_capacity]) {
  const bool commas = holds_interval(line, length);
  int count = 0;
  bool exponent = false;  // the tokens so far end with a "^" and its signs
  for (int at = 0;;) {
    Token& token = tokens[count];
    read_token_at(line, length, at, commas, exponent, token);
    const TokenKind kind = token.kind;
    const bool sign = kind == TokenKind::plus || kind == TokenKind::minus;
    exponent = kind == TokenKind::caret || (exponent && sign);
    at = token.column + token.length;
    if (kind == TokenKind::word) {
      count = add_words(line, token.column, token.length, tokens, count);
    } else {
      ++count;
    }
    if (kind == TokenKind::end) return count;
  }
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
