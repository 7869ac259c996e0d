// The natural reading's tokens: what stands at a place of the line, as bytes of UTF-8 (the
// signs students paste: π √ ∛ × · ÷ − ° º ′ ″ and superscript digits), whatever the locale.
// Blanks (ASCII ones, the no-break space, the thin and narrow no-break spaces) stand between
// tokens and are skipped; a "." with a blank on each side is the school's times sign.
#pragma once

#include "natural/natural_reading.h"
#include "term/function_names.h"

// What a token is.
enum class TokenKind {
  end,             // the end of the line
  number,          // digits with an optional decimal mark and power of ten
  word,            // one word of function_spellings (a run of letters may hold several)
  unknown_word,    // a run of letters that is no sequence of words
  plus,            // +
  minus,           // - or −
  times,           // * X × · ⋅, and " . " (a dot with a blank on each side)
  letter_x,        // x: times, or the unknown (the reading decides which)
  divide,          // / ÷
  caret,           // ^
  superscript,     // a run of superscript digits, with an optional superscript sign
  open,            // ( or [
  close,           // ) or ]
  degree,          // ° or º
  minute,          // ' or ′
  second,          // " or ″
  pi_sign,         // π
  root_sign,       // √
  cube_root_sign,  // ∛
  bar,             // |, around an absolute value
  equals,          // =, which may end a line or make it an equation
  unknown_sign,    // θ, α or β: the unknown
  at_most,         // ≤, <= or <, in an interval for the unknown
  element_of,      // ∈
  semicolon,       // ;, between expressions or the ends of an interval
  comma,           // a comma before a blank, on a line with an interval: not a decimal mark
  unexpected       // any other character
};

// Bytes of a number's decimal text as the reading writes it: the digits of a 99-byte line, a
// point, an exponent and a terminator.
constexpr int natural_number_text_capacity = 112;

// One token of the line.
struct Token {
  TokenKind kind;
  int column;        // its first byte
  int length;        // its bytes
  char bracket;      // open and close: '(' or '['
  Word word;         // word: which
  long superscript;  // superscript: its value (saturating)
  bool strict;       // at_most: "<", which leaves the end out
};

// Tokens of one line: one a byte at most, and the end.
constexpr int natural_token_capacity = line_capacity + 1;

// Reads the `length` bytes at `line` (line_capacity - 1 at most) into `tokens`, blanks
// skipped, a run of letters split into the words it holds; the last token is the end. A power
// of ten written with a times sign ("x10^2", "*10^2") belongs to a plain number only, never to
// an exponent: "2^3*10^2" is 2^3 times 10^2. Returns how many tokens there are, the end
// included.
int read_tokens(const char* line, int length, Token (&tokens)[natural_token_capacity]);

// True when the `run` letters at `word` are a word that opens an interval for the unknown
// ("em", "para"), in any case.
bool is_interval_word(const char* word, int run);

// The unit `token` names after "em", in any case: "rad" and "grad" are words of the table,
// "graus" and "gms" letters of their own; none for anything else.
ConversionUnit conversion_unit(const char* line, const Token& token);

// True when the `length` bytes at `line` hold what only an interval for the unknown holds: a
// "≤", "<" or "∈", or the word "em" or "para". On such a line a comma with no digit after it
// separates, where elsewhere it is a decimal mark ("2," is 2).
bool holds_interval(const char* line, int length);

// Writes the decimal text of the number token `number` into `text` as a decimal conversion
// reads it ("[digits][.digits][E[sign]digits]"); returns its length.
int number_text_of(const char* line, const Token& number,
                   char (&text)[natural_number_text_capacity]);
