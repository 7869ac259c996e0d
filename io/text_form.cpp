#include "io/text_form.h"

#include <cstdarg>
#include <cstring>

namespace {

bool accented = false;  // until choose_text_form: the ASCII form

constexpr unsigned char latin_lead = 0xC3;  // the first byte of U+00C0 to U+00FF in UTF-8
constexpr int chunk_capacity = 256;         // bytes converted at a time
constexpr int format_capacity = 512;        // the longest format of ours, converted

// The letter without its accent for U+00C0 + k (k from 0 to 63: the second byte of its UTF-8
// less 0x80); '?' where the character is no accented letter, and is kept as it is.
constexpr char unaccented[] = "AAAAAA?CEEEEIIII?NOOOOO??UUUUY??aaaaaa?ceeeeiiii?nooooo??uuuuy?y";
static_assert(sizeof unaccented == 64 + 1, "one letter for each of U+00C0 to U+00FF");

// The plain letter of the accented one whose UTF-8 is `lead` `next`; '\0' when it is none.
char plain_letter(unsigned char lead, unsigned char next) {
  if (lead != latin_lead || next < 0x80 || next > 0xBF) return '\0';
  const char letter = unaccented[next - 0x80];
  return letter == '?' ? '\0' : letter;
}

// Bytes of `text` to convert in one chunk of at most `limit`: never ends between the two
// bytes of an accented letter.
int chunk_length(const char* text, int length, int limit) {
  int chunk = length < limit ? length : limit;
  if (chunk < length && static_cast<unsigned char>(text[chunk - 1]) == latin_lead) --chunk;
  return chunk;
}

}  // namespace

void choose_text_form() {
  accented = environment_is_utf8();
}

bool texts_accented() {
  return accented;
}

int form_text(const char* text, int length, char* out, int capacity) {
  int written = 0;
  for (int at = 0; at < length && written < capacity;) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const auto next = at + 1 < length ? static_cast<unsigned char>(text[at + 1]) : 0;
    const char letter = accented ? '\0' : plain_letter(lead, next);
    if (letter != '\0') {
      out[written++] = letter;
      at += 2;
      continue;
    }
    const int size = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    if (written + size > capacity) break;
    for (int k = 0; k < size && at < length; ++k) out[written++] = text[at++];
  }
  return written;
}

void put_our_text(FILE* stream, const char* text) {
  const int length = static_cast<int>(std::strlen(text));
  for (int at = 0; at < length;) {
    char shown[chunk_capacity];
    const int chunk = chunk_length(text + at, length - at, chunk_capacity);
    std::fwrite(shown, 1, static_cast<std::size_t>(form_text(text + at, chunk, shown, chunk)),
                stream);
    at += chunk;
  }
}

void put_our_text(OutputBuffer& output, const char* text) {
  const int length = static_cast<int>(std::strlen(text));
  for (int at = 0; at < length;) {
    char shown[chunk_capacity];
    const int chunk = chunk_length(text + at, length - at, chunk_capacity);
    put_bytes(output, shown, form_text(text + at, chunk, shown, chunk));
    at += chunk;
  }
}

void print_our_text(FILE* stream, const char* format, ...) {
  char shown[format_capacity];
  va_list arguments;
  va_start(arguments, format);
  std::vfprintf(stream, our_text(format, shown, format_capacity), arguments);
  va_end(arguments);
}

const char* our_text(const char* text, char* buffer, int capacity) {
  if (accented || capacity <= 0) return text;
  const int length = static_cast<int>(std::strlen(text));
  const int written =
      form_text(text, length < capacity - 1 ? length : capacity - 1, buffer, capacity - 1);
  buffer[written] = '\0';
  return buffer;
}
