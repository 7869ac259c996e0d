#include "cli/shown_text.h"

#include <cstdio>
#include <cstring>

namespace {

// Bytes in the UTF-8 character at `bytes` (`available` of them there), or 0 when they begin
// no valid one. `code` receives its code point.
int utf8_length(const unsigned char* bytes, int available, long& code) {
  const unsigned char lead = bytes[0];
  int length = lead < 0x80                    ? 1
               : lead >= 0xC2 && lead <= 0xDF ? 2
               : lead >= 0xE0 && lead <= 0xEF ? 3
               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                              : 0;
  if (length == 0 || length > available) return 0;
  code = length == 1 ? lead : lead & (0x7F >> length);
  for (int k = 1; k < length; ++k) {
    if ((bytes[k] & 0xC0) != 0x80) return 0;
    code = (code << 6) | (bytes[k] & 0x3F);
  }
  const long smallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

// Code points a terminal acts on rather than shows: C0 and C1 controls, DEL, and the
// characters that reorder or break the text shown around them.
bool acts_on_terminal(long code) {
  return code < 0x20 || (code >= 0x7F && code <= 0x9F) || code == 0x2028 || code == 0x2029 ||
         (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069);
}

// The escape of one byte: a C escape where one exists, else "\xHH".
void escape_byte(unsigned char byte, char (&shown)[shown_capacity]) {
  static const char named[] = "\a\b\t\n\v\f\r\x1b\\";
  static const char* const names[] = {"\\a", "\\b", "\\t", "\\n", "\\v",
                                      "\\f", "\\r", "\\e", "\\\\"};
  const char* found = byte != 0 ? std::strchr(named, byte) : nullptr;
  if (found != nullptr) {
    std::strcpy(shown, names[found - named]);
  } else {
    std::snprintf(shown, sizeof shown, "\\x%02X", byte);
  }
}

}  // namespace

int shown_character(const unsigned char* bytes, int available, char (&shown)[shown_capacity],
                    int& width) {
  long code = 0;
  const int length = utf8_length(bytes, available, code);
  width = 1;
  if (length > 0 && !acts_on_terminal(code) && code != '\\') {
    std::memcpy(shown, bytes, static_cast<std::size_t>(length));
    shown[length] = '\0';
    return length;
  }
  escape_byte(bytes[0], shown);
  width = static_cast<int>(std::strlen(shown));
  return 1;
}

long column_of(const char* text, int length, int offset) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  long column = 1;
  for (int at = 0; at < offset && at < length; ++column) {
    long code = 0;
    const int size = utf8_length(bytes + at, length - at, code);
    at += size > 0 ? size : 1;
  }
  return column + (offset > length ? offset - length : 0);
}
