#include "line/closest_names.h"

#include <cstring>

#include "term/function_names.h"
#include "text/characters.h"

namespace {

constexpr int longest_spelling = spelling_capacity;  // as long as any spelling (checked there)

// The names of `list`, alphabetical, and their count.
const char* const* names_of(NameList list, int& count) {
  if (list == NameList::natural) {
    count = natural_spelling_count;
    return natural_spelling_names.data();
  }
  count = function_spelling_count;
  return function_spelling_names.data();
}

// The natural reading's names are matched in any case, the term reading's as written.
char compared(NameList list, char c) {
  return list == NameList::natural ? lower_case(c) : c;
}

// Edits between the word and `name`, letters compared as `list` compares them.
int distance_in(NameList list, const char* word, int length, const char* name) {
  char letters[longest_spelling + 3];
  if (length > longest_spelling + 2) return spelling_distance(word, length, name);
  for (int k = 0; k < length; ++k) letters[k] = compared(list, word[k]);
  return spelling_distance(letters, length, name);
}

}  // namespace

// One row of the usual table per byte of the word.
int spelling_distance(const char* word, int length, const char* name) {
  const int name_length = static_cast<int>(std::strlen(name));
  int row[longest_spelling + 1];
  for (int j = 0; j <= name_length; ++j) row[j] = j;
  for (int i = 1; i <= length; ++i) {
    int diagonal = row[0];
    row[0] = i;
    for (int j = 1; j <= name_length; ++j) {
      const int above = row[j];
      const int changed = diagonal + (word[i - 1] == name[j - 1] ? 0 : 1);
      const int shorter = (above < row[j - 1] ? above : row[j - 1]) + 1;
      row[j] = changed < shorter ? changed : shorter;
      diagonal = above;
    }
  }
  return row[name_length];
}

// A name the word begins ("cot" of "cotg") is the likeliest: it comes first, whatever the
// letters it lacks.
int closest_names(NameList list, const char* word, int length, int limit,
                  const char* (&names)[suggestion_capacity]) {
  int count = 0;
  const char* const* candidates = names_of(list, count);
  int found = 0;
  for (int k = 0; k < count; ++k) {  // alphabetical
    const char* name = candidates[k];
    bool continues = static_cast<int>(std::strlen(name)) > length;
    for (int at = 0; continues && at < length; ++at) {
      continues = compared(list, word[at]) == name[at];
    }
    if (found < suggestion_capacity && limit > 0 && continues) names[found++] = name;
  }
  const int continuing = found;
  for (int distance = 0; distance <= limit; ++distance) {
    for (int k = 0; k < count; ++k) {
      const char* name = candidates[k];
      bool listed = false;
      for (int j = 0; j < continuing; ++j) listed = listed || names[j] == name;
      if (found < suggestion_capacity && !listed &&
          distance_in(list, word, length, name) == distance) {
        names[found++] = name;
      }
    }
  }
  return found;
}
