// The line editor as a caller sees it: no editor where there is no terminal.
#include "terminal/line_editor.h"

#include <gtest/gtest.h>

#include <cstdio>

#include "dialogue/dialogue_texts.h"
#include "line/completion_words.h"
#include "line/evaluate_line.h"

namespace {

TEST(LineEditor, NotOpenedWhenTheDialogueIsNotAtATerminal) {
  FILE* in = std::tmpfile();
  FILE* out = std::tmpfile();
  ASSERT_NE(in, nullptr);
  ASSERT_NE(out, nullptr);
  LineEditor* editor =
      open_line_editor(in, out, {function_name_words, "", prompt_text, line_capacity});
  EXPECT_EQ(editor, nullptr);
  close_line_editor(editor);
  std::fclose(in);
  std::fclose(out);
}

}  // namespace
