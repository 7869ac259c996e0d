// The one comparison of texts the readings make: whether one begins with another.
#pragma once

#include "text/characters.h"
#include "text/limits.h"

// True when `text` begins with `prefix`.
constexpr bool starts_with(const char* text, const char* prefix) {
  for (; *prefix != '\0'; ++prefix, ++text) {
    if (*text != *prefix) return false;
  }
  return true;
}
