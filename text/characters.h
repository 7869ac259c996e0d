// The character classes every reader of the program's bytes shares: the expressions' readers
// and the input reader of answers. Plain ASCII, whatever the locale: a byte outside it
// belongs to none of them.
#pragma once

// True for '0' to '9'.
constexpr bool is_digit(char c) {
  return c >= '0' && c <= '9';
}

// True for the blanks strtod and "%d" skip: space, tab, newline, vertical tab, form feed and
// carriage return.
constexpr bool is_blank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// True for the blanks a user does not type as such: a line break, a vertical tab, a form feed,
// a carriage return. The readings note them where they read them as a blank.
constexpr bool is_control_blank(char c) {
  return c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// True for 'a' to 'z'.
constexpr bool is_lower_letter(char c) {
  return c >= 'a' && c <= 'z';
}

// True for 'a' to 'z' and 'A' to 'Z'.
constexpr bool is_ascii_letter(char c) {
  return is_lower_letter(c) || (c >= 'A' && c <= 'Z');
}

// The lower-case letter of 'A' to 'Z'; any other byte as it is.
constexpr char lower_case(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
