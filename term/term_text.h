// The term buffer and the small in-place text edits shared by the term and bracket
// evaluators; every edit keeps the text zero-terminated and stops at its terminator.
#pragma once

constexpr int term_capacity = 100;  // bytes of the term buffer: 99 characters and the terminator

// Replaces every occurrence of character `from` by `to`.
void replace_character(char* text, char from, char to);

// Replaces every "pi" by "PI".
void capitalise_pi(char* text);

// Replaces every 'e' not directly followed by 'n' or 'c' by 'E'.
void capitalise_exponents(char* text);

// Replaces the first "*10^" by 'E'; true when there was one.
bool replace_first_power_of_ten(char* text);

// True when `text` begins with `prefix`.
bool starts_with(const char* text, const char* prefix);

// True when `text` contains `part`.
bool contains(const char* text, const char* part);

// Copies `source` into `target` (capacity bytes), cutting it to fit; always terminates.
void copy_text(char* target, int capacity, const char* source);

// Appends `suffix` to the text in `target` (capacity bytes), cutting it to fit.
void append_text(char* target, int capacity, const char* suffix);
