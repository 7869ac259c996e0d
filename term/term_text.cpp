#include "term/term_text.h"

#include <cstring>

void replace_character(char* text, char from, char to) {
  for (; *text != '\0'; ++text) {
    if (*text == from) *text = to;
  }
}

void capitalise_pi(char* text) {
  for (int k = 0; text[k] != '\0'; ++k) {
    if (text[k] == 'p' && text[k + 1] == 'i') {
      text[k] = 'P';
      text[++k] = 'I';
    }
  }
}

void capitalise_exponents(char* text) {
  for (int k = 0; text[k] != '\0'; ++k) {
    if (text[k] == 'e' && text[k + 1] != 'n' && text[k + 1] != 'c') text[k] = 'E';
  }
}

bool replace_first_power_of_ten(char* text) {
  char* found = std::strstr(text, "*10^");
  if (found == nullptr) return false;
  found[0] = 'E';
  std::memmove(found + 1, found + 4, std::strlen(found + 4) + 1);
  return true;
}

bool starts_with(const char* text, const char* prefix) {
  for (; *prefix != '\0'; ++prefix, ++text) {
    if (*text != *prefix) return false;
  }
  return true;
}

bool contains(const char* text, const char* part) {
  return std::strstr(text, part) != nullptr;
}

void append_text(char* target, int capacity, const char* suffix) {
  const int length = static_cast<int>(std::strlen(target));
  copy_text(target + length, capacity - length, suffix);
}

void copy_text(char* target, int capacity, const char* source) {
  int k = 0;
  for (; k < capacity - 1 && source[k] != '\0'; ++k) target[k] = source[k];
  target[k] = '\0';
}
