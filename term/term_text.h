// The term buffer, the character classes every reader of term text shares, and the small
// in-place text edits; every edit keeps the text zero-terminated and stops at its terminator.
#pragma once

constexpr int term_capacity = 100;  // bytes of the term buffer: 99 characters and the terminator

// True for '0' to '9'.
inline bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

// True for the blanks strtod skips before a number: space, tab, newline, vertical tab,
// form feed and carriage return.
inline bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// True when `text` begins with `prefix`.
constexpr bool starts_with(const char* text, const char* prefix) {
  for (; *prefix != '\0'; ++prefix, ++text) {
    if (*text != *prefix) return false;
  }
  return true;
}

// Copies `source` into `target` (capacity bytes), cutting it to fit; always terminates.
void copy_text(char* target, int capacity, const char* source);
