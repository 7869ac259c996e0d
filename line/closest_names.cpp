#include "line/closest_names.h"

#include <cstring>

#include "term/function_names.h"

namespace {

constexpr int longest_spelling = 8;  // more than any spelling in the table has

static_assert(
    [] {
      for (const char* name : function_spelling_names) {
        int length = 0;
        while (name[length] != '\0') ++length;
        if (length > longest_spelling) return false;
      }
      return true;
    }(),
    "every spelling fits the edit-distance row");

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
int closest_function_names(const char* word, int length, int limit,
                           const char* (&names)[suggestion_capacity]) {
  int found = 0;
  for (const char* name : function_spelling_names) {  // alphabetical
    const bool continues = static_cast<int>(std::strlen(name)) > length &&
                           std::strncmp(name, word, static_cast<std::size_t>(length)) == 0;
    if (found < suggestion_capacity && limit > 0 && continues) names[found++] = name;
  }
  const int continuing = found;
  for (int distance = 0; distance <= limit; ++distance) {
    for (const char* name : function_spelling_names) {
      bool listed = false;
      for (int k = 0; k < continuing; ++k) listed = listed || names[k] == name;
      if (found < suggestion_capacity && !listed &&
          spelling_distance(word, length, name) == distance) {
        names[found++] = name;
      }
    }
  }
  return found;
}
