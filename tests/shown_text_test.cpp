// How a report shows the bytes of an expression: printable UTF-8 as it is, everything a
// terminal would act on escaped, and the columns counted in characters.
#include "report/shown_text.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

struct ShownCase {
  const char* bytes;  // the character's bytes (and what follows it)
  int available;      // bytes there
  const char* shown;  // what a report shows for the first character
  int taken;          // bytes it takes
  int width;          // columns its text takes
};

// Each case shown on a terminal that shows UTF-8 when `utf8`.
template <int count>
void expect_shown(const ShownCase (&cases)[count], bool utf8) {
  for (const ShownCase& c : cases) {
    char shown[shown_capacity];
    int width = 0;
    const int taken = shown_character(reinterpret_cast<const unsigned char*>(c.bytes), c.available,
                                      utf8, shown, width);
    EXPECT_EQ(std::string(shown), c.shown) << c.shown;
    EXPECT_EQ(taken, c.taken) << c.shown;
    EXPECT_EQ(width, c.width) << c.shown;
  }
}

// Escapes by hand: C escapes where C has one, else \xHH; U+2028 (E2 80 A8) breaks a line and
// U+202E (E2 80 AE) reverses the text after it; C1 controls (C2 80 to C2 9F) are controls.
TEST(ShownCharacter, PrintableAsItIsTheRestEscaped) {
  const ShownCase cases[] = {
      {"a", 1, "a", 1, 1},
      {"\xC2\xB0", 2, "\xC2\xB0", 2, 1},                  // the degree sign
      {"\xEF\xBC\x93", 3, "\xEF\xBC\x93", 3, 2},          // a full-width digit three: two columns
      {"\xF0\x9F\x98\x80", 4, "\xF0\x9F\x98\x80", 4, 2},  // an emoji: two columns
      {"\xCF\x80", 2, "\xCF\x80", 2, 1},                  // pi: one column
      {"\xE4\xB8\x80", 3, "\xE4\xB8\x80", 3, 2},          // a CJK ideograph: two columns
      {"\x1b[2J", 4, "\\e", 1, 2},
      {"\a", 1, "\\a", 1, 2},
      {"\t", 1, "\\t", 1, 2},
      {"\n", 1, "\\n", 1, 2},
      {"\\", 1, "\\\\", 1, 2},
      {"\x7f", 1, "\\x7F", 1, 4},
      {"\0", 1, "\\x00", 1, 4},
      {"\xC2\x85", 2, "\\xC2", 1, 4},  // NEL, a C1 control
      {"\xE2\x80\xA8", 3, "\\xE2", 1, 4},
      {"\xE2\x80\xAE", 3, "\\xE2", 1, 4},
      {"\xC2", 1, "\\xC2", 1, 4},              // cut short
      {"\xC0\xAF", 2, "\\xC0", 1, 4},          // an overlong '/'
      {"\xED\xA0\x80", 3, "\\xED", 1, 4},      // a surrogate
      {"\xF4\x90\x80\x80", 4, "\\xF4", 1, 4},  // past U+10FFFF
      {"\xB0", 1, "\\xB0", 1, 4},              // a continuation byte alone
      {"\xC2\xA0", 2, "\\xC2", 1, 4},          // U+00A0, a no-break space: it looks like a blank
      {"\xE2\x80\x8B", 3, "\\xE2", 1, 4},      // U+200B, a zero-width space: it looks like nothing
      {"\xEF\xBB\xBF", 3, "\\xEF", 1, 4},      // U+FEFF, the byte order mark
      {"\xC2\xA1", 2, "\xC2\xA1", 2, 1},       // U+00A1, the inverted exclamation mark, is seen
  };
  expect_shown(cases, true);
}

// Outside a UTF-8 locale every byte above 0x7F is escaped on its own: C4 9B is U+011B in UTF-8,
// but its second byte is CSI to an 8-bit terminal; ASCII is shown as in UTF-8.
TEST(ShownCharacter, OutsideUtf8EveryHighByteEscaped) {
  const ShownCase cases[] = {
      {"a", 1, "a", 1, 1},
      {"\xC4\x9B", 2, "\\xC4", 1, 4},  // U+011B in UTF-8
      {"\x9B", 1, "\\x9B", 1, 4},      // CSI
      {"\xC2\xB0", 2, "\\xC2", 1, 4},  // the degree sign in UTF-8
      {"\xFF", 1, "\\xFF", 1, 4},
      {"\x1b", 1, "\\e", 1, 2},
  };
  expect_shown(cases, false);
}

// The characters shown escaped because a terminal shows them as a blank or as nothing are
// named (U+00A0 is C2 A0, U+202F is E2 80 AF, U+3000 is E3 80 80); others, seen or escaped
// for another reason, are not.
TEST(InvisibleCharacterName, NamesWhatLooksBlank) {
  struct NameCase {
    const char* bytes;
    const char* name;  // nullptr: none
  };
  const NameCase cases[] = {
      {"\xC2\xA0", "espaço sem quebra"},
      {"\xE2\x80\xAF", "espaço estreito sem quebra"},
      {"\xE3\x80\x80", "espaço ideográfico"},
      {"\xE2\x80\x8B", "espaço de largura zero"},
      {" ", nullptr},
      {"\xC2\xB0", nullptr},
      {"\xC2", nullptr},
      {"\x1b", nullptr},
  };
  for (const NameCase& c : cases) {
    const char* name = invisible_character_name(reinterpret_cast<const unsigned char*>(c.bytes),
                                                static_cast<int>(std::strlen(c.bytes)));
    EXPECT_EQ(std::string(name != nullptr ? name : "(none)"),
              std::string(c.name != nullptr ? c.name : "(none)"))
        << c.bytes;
  }
}

TEST(ColumnOf, CountsCharactersNotBytes) {
  const char text[] = "sen30\xC2\xB0x\xFF!";  // the degree sign is one column, 0xFF another
  const int length = static_cast<int>(std::strlen(text));
  EXPECT_EQ(column_of(text, length, 0), 1);
  EXPECT_EQ(column_of(text, length, 5), 6);  // the degree sign
  EXPECT_EQ(column_of(text, length, 7), 7);  // the 'x' after it
  EXPECT_EQ(column_of(text, length, 8), 8);  // the invalid byte
  EXPECT_EQ(column_of(text, length, 9), 9);
  EXPECT_EQ(column_of(text, length, 11), 11);  // past the end, one column a byte
}

}  // namespace
