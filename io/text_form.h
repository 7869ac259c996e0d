// The form of the program's own texts (reports, usage, option errors, warnings, I/O errors):
// each is written once, in Portuguese with its accents, in UTF-8, and shown so when the
// environment's character type is UTF-8; in any other locale, and until the form is chosen,
// it is shown as plain ASCII, each accented letter as its letter without the accent ("não é"
// as "nao e"). Quoted input bytes and the system's words never go through here. The
// dialogue's own texts are fixed without accents and do not either.
#pragma once

#include <cstdio>

#include "io/output_buffer.h"

// True when the environment's character type (LC_ALL, LC_CTYPE, LANG) is UTF-8; the
// program's own locale is left as it was. One file per platform: text_form_posix.cpp asks
// nl_langinfo(CODESET), text_form_windows.cpp says no (a console's code page is not UTF-8
// unless set so).
bool environment_is_utf8();

// Chooses the form from the environment, once, at start, before anything is written.
void choose_text_form();

// True when the texts are shown with their accents.
bool texts_accented();

// Writes the `length` bytes of our `text` in the chosen form at `out`, at most `capacity`
// bytes (a letter that does not fit whole is left out); returns how many were written.
int form_text(const char* text, int length, char* out, int capacity);

// Writes our zero-terminated `text` to `stream` in the chosen form.
void put_our_text(FILE* stream, const char* text);

// Appends our zero-terminated `text` to `output` in the chosen form.
void put_our_text(OutputBuffer& output, const char* text);

// Writes to `stream` as std::fprintf does, with our `format` in the chosen form; the
// arguments are written as they are (a path, an option typed, the system's words).
void print_our_text(FILE* stream, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Our zero-terminated `text` in the chosen form: itself when accented, else its ASCII form
// written into `buffer` (`capacity` bytes, cut to fit).
const char* our_text(const char* text, char* buffer, int capacity);
