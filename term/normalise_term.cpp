#include "term/normalise_term.h"

#include <cstring>

namespace {

// Deletes a leading "rad" and reports whether it was there; "rad" elsewhere stays.
bool strip_radians_prefix(char* text) {
  if (!starts_with(text, "rad")) return false;
  std::memmove(text, text + 3, std::strlen(text + 3) + 1);
  return true;
}

// Replaces every "*10^" by 'E' in one left-to-right scan. A replacement cannot create a
// new occurrence ('E' is in none), so this equals replacing the first one until none is left.
void replace_powers_of_ten(char* text) {
  int write = 0;
  for (int read = 0; text[read] != '\0';) {
    if (text[read] == '*' && starts_with(text + read, "*10^")) {
      text[write++] = 'E';
      read += 4;
    } else {
      text[write++] = text[read++];
    }
  }
  text[write] = '\0';
}

// Deletes every '(' and ')'.
void remove_parentheses(char* text) {
  int write = 0;
  for (int read = 0; text[read] != '\0'; ++read) {
    if (text[read] != '(' && text[read] != ')') text[write++] = text[read];
  }
  text[write] = '\0';
}

}  // namespace

void normalise_term(char (&term)[term_capacity], bool& radians) {
  term[term_capacity - 1] = '\0';  // a full buffer still ends inside its capacity
  if (strip_radians_prefix(term)) radians = true;
  replace_character(term, 'x', '*');
  replace_character(term, 'X', '*');
  replace_character(term, ',', '.');
  capitalise_exponents(term);
  capitalise_pi(term);
  if (contains(term, "PI")) radians = true;
  replace_powers_of_ten(term);
  remove_parentheses(term);
}
