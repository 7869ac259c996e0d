// The value line of a natural line that asks for its value in a unit ("30° em rad", "π/6 em
// graus", "arctg 0,75 em gms", "90 em grad"), in either arithmetic: radians as a multiple of π
// beside its digits where the value is one ("π/6 ≈ 0.523599"), degrees and grads with their
// sign or word ("30°", "100 grad"), degrees, minutes and seconds to the hundredth of a second
// ("36°52'11,63\"", a decimal comma as Brazilian schools write it).
#pragma once

#include "line/value_line.h"
#include "natural/natural_reading.h"

// Bytes of a conversion's text: a value's digits or a form beside them, and its unit.
constexpr int conversion_text_capacity = value_text_capacity + 16;

// Writes the value of the line that read_natural read into `reading` (read, without the
// unknown, with a conversion; `shown` bytes of it at `line`) in the unit it asks for, as
// `format` says (the digits, the arithmetic, UTF-8 or ASCII), into `text`; returns its length.
// "nan" where there is no value, with the notes why (finished) in `notes` (null: none taken);
// `*valued` says whether there was one.
int conversion_value_text(const NaturalReading& reading, const char* line, int shown,
                          ValueFormat format, char (&text)[conversion_text_capacity],
                          ReadingNotes* notes, bool* valued);

// Writes the angle of `hundredths` hundredths of a second of arc (in size at most
// dms_hundredths_capacity) as degrees, minutes and seconds into `text`: "36°52'11,63\"",
// "30°", "30°15'", "-0°0'0,5\""; in ASCII "36 graus 52' 11,63\"". Returns its length.
constexpr long long dms_hundredths_capacity = 360000LL * 1000000000LL;  // 10^9 degrees
int dms_text(long long hundredths, bool unicode, char (&text)[conversion_text_capacity]);
