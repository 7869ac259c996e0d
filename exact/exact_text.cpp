#include "exact/exact_text.h"

#include <cstdio>

namespace {

// The count of digits left once trailing zeros are removed (at least one).
int significant_length(const char* digits, int precision) {
  int length = precision;
  while (length > 1 && digits[length - 1] == '0') --length;
  return length;
}

int write_exponent_form(const char* digits, int length, long exponent, char* text, int at) {
  text[at++] = digits[0];
  if (length > 1) text[at++] = '.';
  for (int k = 1; k < length; ++k) text[at++] = digits[k];
  const int room = exact_text_capacity - at;
  return at + std::snprintf(text + at, static_cast<unsigned>(room), "e%c%02ld",
                            exponent < 0 ? '-' : '+', exponent < 0 ? -exponent : exponent);
}

int write_fixed_form(const char* digits, int length, long exponent, char* text, int at) {
  if (exponent < 0) {
    text[at++] = '0';
    text[at++] = '.';
    for (long k = -1; k > exponent; --k) text[at++] = '0';
    for (int k = 0; k < length; ++k) text[at++] = digits[k];
    return at;
  }
  for (int k = 0; k <= exponent; ++k) text[at++] = k < length ? digits[k] : '0';
  if (length > exponent + 1) text[at++] = '.';
  for (int k = static_cast<int>(exponent) + 1; k < length; ++k) text[at++] = digits[k];
  return at;
}

}  // namespace

int write_exact_decimal(bool negative, const char* digits, int precision, long exponent,
                        char (&text)[exact_text_capacity]) {
  int at = 0;
  if (negative) text[at++] = '-';
  const int length = significant_length(digits, precision);
  at = exponent < -4 || exponent >= precision
           ? write_exponent_form(digits, length, exponent, text, at)
           : write_fixed_form(digits, length, exponent, text, at);
  text[at] = '\0';
  return at;
}
