// The term buffer and the small in-place text edits; every edit keeps the text
// zero-terminated and stops at its terminator.
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

// Copies `source` into `target` (capacity bytes), cutting it to fit; always terminates.
void copy_text(char* target, int capacity, const char* source);
