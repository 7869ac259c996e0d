#include <langinfo.h>

#include <clocale>
#include <cstdio>
#include <cstring>

#include "io/character_encoding.h"

bool character_type_is_utf8() {
  constexpr int name_capacity = 512;  // a locale's name, far longer than any there is
  char kept[name_capacity];
  const char* current = std::setlocale(LC_CTYPE, nullptr);
  std::snprintf(kept, sizeof kept, "%s", current != nullptr ? current : "C");
  if (std::setlocale(LC_CTYPE, "") == nullptr) return false;  // an unknown locale: C's ASCII
  const char* codeset = nl_langinfo(CODESET);
  const bool utf8 = codeset != nullptr && std::strcmp(codeset, "UTF-8") == 0;
  std::setlocale(LC_CTYPE, kept);
  return utf8;
}
