// The exact mode in a build without Arb and Calcium: never available.
#include <cstdio>
#include <cstring>

#include "line/exact_line.h"

bool exact_mode_available(char (&reason)[exact_module_reason_capacity]) {
  std::snprintf(reason, sizeof reason, "esta versao foi feita sem Arb e Calcium");
  return false;
}

int exact_program_text(const Program&, const NumberStore&, int, char (&text)[exact_text_capacity],
                       ReadingNotes*, ExactForm* form) {
  if (form != nullptr) form->length = 0;
  std::strcpy(text, "nan");
  return 3;
}
