// The environment's character type on Windows: a console shows the bytes of its code page,
// which is not UTF-8 unless set so, and the locale names no codeset to ask; the texts are
// written without their accents.
#include "io/text_form.h"

bool environment_is_utf8() {
  return false;
}
