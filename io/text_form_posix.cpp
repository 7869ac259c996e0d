// The environment's character type on POSIX systems: the codeset of the locale it names.
#include <langinfo.h>
#include <strings.h>

#include <clocale>
#include <cstring>

#include "io/text_form.h"

namespace {

constexpr int locale_name_capacity = 256;  // a locale's name, as setlocale gives it back

// True for the names a UTF-8 codeset goes by ("UTF-8", "utf8").
bool names_utf8(const char* codeset) {
  return strcasecmp(codeset, "UTF-8") == 0 || strcasecmp(codeset, "UTF8") == 0;
}

}  // namespace

// The character type the program runs with is put back as it was: only the dialogue and the
// loop take the environment's, for the line editor.
bool environment_is_utf8() {
  char previous[locale_name_capacity] = "C";
  const char* current = std::setlocale(LC_CTYPE, nullptr);
  if (current != nullptr && std::strlen(current) < sizeof previous) std::strcpy(previous, current);
  const bool utf8 = std::setlocale(LC_CTYPE, "") != nullptr && names_utf8(nl_langinfo(CODESET));
  std::setlocale(LC_CTYPE, previous);
  return utf8;
}
