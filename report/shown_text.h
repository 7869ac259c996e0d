// How the bytes of an expression are shown in a report: a printable UTF-8 character as it
// is, any byte a terminal would act on (controls, invalid UTF-8, characters that reorder the
// text, and outside a UTF-8 locale every byte above 0x7F, which an 8-bit terminal may take for
// a C1 control), the characters it would show as a blank or as nothing (a no-break space, a
// zero-width space), which are also named, and the backslash escaped, so that nothing typed
// reaches a terminal raw and nothing looks like what it is not.
#pragma once

constexpr int shown_capacity = 8;  // the longest text one character is shown as, and a terminator

// Shows the character that begins at `bytes` (`available` bytes there, at least 1) on a
// terminal that shows UTF-8 when `utf8` (otherwise only ASCII is shown as it is): writes its
// text to `shown`, the screen columns it takes to `width` (two for a wide character such as a
// full-width digit); returns the bytes it takes.
int shown_character(const unsigned char* bytes, int available, bool utf8,
                    char (&shown)[shown_capacity], int& width);

// The name of the character that begins at `bytes` (`available` bytes there) when it is one a
// terminal shows as a blank or as nothing, and a report shows escaped ("espaco sem quebra"
// for U+00A0); nullptr for any other.
const char* invisible_character_name(const unsigned char* bytes, int available);

// The 1-based column of byte `offset` of the `length` bytes at `text`: one per character,
// a byte that begins no valid UTF-8 character counting as one.
long column_of(const char* text, int length, int offset);
