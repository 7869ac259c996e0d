// A picture's text: the bytes a drawing, a table or an SVG document is written into, for a
// front end to write out. A fixed buffer that keeps what fits, always terminated, and says
// when something did not fit.
#pragma once

// Bytes of one picture: a graph of 400 columns and 100 rows of braille cells with a colour
// change at every cell, or an SVG document of eight curves of curve_point_capacity points.
constexpr int picture_text_capacity = 1 << 21;

struct PictureText {
  int used;  // bytes written, before the terminator
  bool cut;  // something did not fit and was left out
  char bytes[picture_text_capacity];
};

// True when `byte` begins a UTF-8 character (is no continuation byte).
constexpr bool is_character_start(char byte) {
  return (static_cast<unsigned char>(byte) & 0xC0) != 0x80;
}

// An empty text.
void clear_picture_text(PictureText& text);

// Appends the `count` bytes at `bytes`; none of them when they do not all fit (then `cut`).
void put_picture_bytes(PictureText& text, const char* bytes, int count);

// Appends the zero-terminated `bytes`.
void put_picture_text(PictureText& text, const char* bytes);

// Appends what std::snprintf writes for `format` (numbers in the C locale).
void put_picture_format(PictureText& text, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// Appends our zero-terminated Portuguese `words` in the form of the program's texts
// (io/text_form.h): with their accents in a UTF-8 locale, plain ASCII elsewhere.
void put_picture_words(PictureText& text, const char* words);
