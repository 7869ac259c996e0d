// The output buffer: what is appended arrives whole and in order, whether it fits beside
// what waits, fills the buffer exactly, overflows it, or is larger than the buffer itself;
// and our texts put into it in their form.
#include "io/output_buffer.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "io/text_form.h"

namespace {

// The bytes written to `file` so far.
std::string file_text(FILE* file) {
  std::string text;
  std::rewind(file);
  for (int c; (c = std::fgetc(file)) != EOF;) text += static_cast<char>(c);
  return text;
}

// Appends of these sizes, each of a letter of its own, then a flush: the file holds them all.
TEST(OutputBuffer, DeliversEveryAppendInOrder) {
  const int capacity = output_buffer_capacity;
  const std::vector<std::vector<int>> cases = {
      {5, 7},                         // both fit
      {capacity},                     // exactly full
      {capacity - 10, 20, 30},        // the second overflows: written out, then kept
      {capacity - 10, 20, capacity},  // then one that fills a buffer on its own
      {10, capacity + 5, 3},          // larger than the buffer: written straight through
      {capacity / 2, capacity / 2 + 1, capacity / 2 + 1},
  };
  for (const std::vector<int>& sizes : cases) {
    FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    static OutputBuffer output;  // 64 KiB: kept off the stack
    open_output_buffer(output, fileno(file));
    std::string expected;
    for (std::size_t k = 0; k < sizes.size(); ++k) {
      const std::string bytes(static_cast<std::size_t>(sizes[k]), static_cast<char>('a' + k));
      put_bytes(output, bytes.data(), sizes[k]);
      expected += bytes;
    }
    EXPECT_TRUE(flush_output(output));
    EXPECT_EQ(output.used, 0);
    const std::string written = file_text(file);
    EXPECT_EQ(written.size(), expected.size()) << sizes.size() << " appends";
    EXPECT_TRUE(written == expected) << "the bytes differ";
    std::fclose(file);
  }
}

// Our texts before a form is chosen are shown without their accents, also where an accented
// letter stands across the 256 bytes converted at a time (255 'a' and "ção": 'c' at byte 255
// and 256 as written); other characters ("°") stay. Letters by hand: ç c, ã a, é e, Õ O.
TEST(OutputBuffer, OurTextsWithoutAccentsOutsideUtf8) {
  struct FormCase {
    std::string text;
    std::string plain;
  };
  const FormCase cases[] = {
      {std::string(255, 'a') + "ção", std::string(255, 'a') + "cao"},
      {"não é número; OPÇÕES", "nao e numero; OPCOES"},
      {"30° à vista", "30° a vista"},
  };
  for (const FormCase& c : cases) {
    FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    static OutputBuffer output;
    open_output_buffer(output, fileno(file));
    put_our_text(output, c.text.c_str());
    ASSERT_TRUE(flush_output(output));
    EXPECT_EQ(file_text(file), c.plain);
    std::fclose(file);
  }
}

}  // namespace
