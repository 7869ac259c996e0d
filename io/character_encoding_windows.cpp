#include "io/character_encoding.h"

bool character_type_is_utf8() {
  return false;
}
