#include "picture/picture_text.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "io/text_form.h"

void clear_picture_text(PictureText& text) {
  text.used = 0;
  text.cut = false;
  text.bytes[0] = '\0';
}

void put_picture_bytes(PictureText& text, const char* bytes, int count) {
  if (count > picture_text_capacity - 1 - text.used) {
    text.cut = true;
    return;
  }
  std::memcpy(text.bytes + text.used, bytes, static_cast<std::size_t>(count));
  text.used += count;
  text.bytes[text.used] = '\0';
}

void put_picture_text(PictureText& text, const char* bytes) {
  put_picture_bytes(text, bytes, static_cast<int>(std::strlen(bytes)));
}

void put_picture_format(PictureText& text, const char* format, ...) {
  const int room = picture_text_capacity - text.used;
  va_list arguments;
  va_start(arguments, format);
  const int written =
      std::vsnprintf(text.bytes + text.used, static_cast<std::size_t>(room), format, arguments);
  va_end(arguments);
  if (written < 0 || written >= room) {
    text.cut = true;
    text.bytes[text.used] = '\0';
    return;
  }
  text.used += written;
}

void put_picture_words(PictureText& text, const char* words) {
  const int room = picture_text_capacity - 1 - text.used;
  const int written =
      form_text(words, static_cast<int>(std::strlen(words)), text.bytes + text.used, room);
  if (written < 0 || written >= room) {
    text.cut = true;
    text.bytes[text.used] = '\0';
    return;
  }
  text.used += written;
  text.bytes[text.used] = '\0';
}
