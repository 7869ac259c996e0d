// Tab completion of function names at the cursor, and the line editor staying out of the
// way when the dialogue does not run at a terminal.
#include "terminal/name_completion.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "line/completion_words.h"
#include "test_support.h"

namespace {

struct CompletionCase {
  const char* text;        // the line; '|' marks the cursor (the end when there is none)
  const char* insertion;   // what Tab adds at the cursor
  const char* candidates;  // the names offered, separated by spaces
};

std::string complete(const char* marked, std::string& insertion,
                     const CompletionWords& words = function_name_words) {
  const char* bar = std::strchr(marked, '|');
  std::string text = marked;
  int cursor = static_cast<int>(text.size());
  if (bar != nullptr) {
    cursor = static_cast<int>(bar - marked);
    text.erase(static_cast<std::size_t>(cursor), 1);
  }
  NameCompletion completion;
  complete_name(text.c_str(), cursor, words, completion);
  insertion = completion.insertion;
  std::string names;
  for (int i = 0; i < completion.candidate_count; ++i) {
    names += (i ? " " : "") + std::string(completion.candidates[i]);
  }
  return names;
}

TEST(NameCompletion, CompletesWhatIsCertainAndOffersTheRest) {
  const CompletionCase cases[] = {
      {"arcs", "", "arcsen arcsin"},
      {"arcsi", "n", "arcsin"},
      {"ac", "os", "acos"},
      {"ar", "c", "arcos arcsen arcsin arctan arctg"},
      {"arct", "", "arctan arctg"},
      {"at", "", "atan atg"},
      {"t", "", "tan tg"},
      {"ta", "n", "tan"},
      {"co", "", "cos cosec cotan cotg"},
      {"cot", "", "cotan cotg"},
      {"cose", "c", "cosec"},
      {"cos", "", "cos cosec"},
      {"s", "", "sec sen sin"},
      {"se", "", "sec sen"},
      {"sin", "", "sin"},
      {"a", "", "acos arcos arcsen arcsin arctan arctg asin atan atg"},
  };
  for (const CompletionCase& c : cases) {
    std::string insertion;
    EXPECT_EQ(complete(c.text, insertion), c.candidates) << c.text;
    EXPECT_EQ(insertion, c.insertion) << c.text;
  }
}

// The natural reading's words: its own spellings too, raiz, sqrt and pi, the logarithms, the
// exponential, the hyperbolic functions, the last answer.
TEST(NameCompletion, CompletesTheNaturalReadingsWords) {
  const CompletionCase cases[] = {
      {"arcc", "", "arccos arccosec arccosh arccossec arccosseno arccot arccotan arccotg arccsc"},
      {"2 + ra", "", "rad raiz"},
      {"rai", "z", "raiz"},
      {"sq", "rt", "sqrt"},
      {"sen 30 + cosse", "", "cossec cosseno"},
      {"2p", "i", "pi"},
      {"radse", "", "sec sen senh seno"},
      {"cs", "c", "csc"},
      {"l", "", "ln log"},
      {"2 + ex", "p", "exp"},
      {"argt", "gh", "argtgh"},
      {"re", "sp", "resp"},
      {"an", "s", "ans"},
      {"ab", "s", "abs"},
      {"tg", "", "tg tgh"},
  };
  for (const CompletionCase& c : cases) {
    std::string insertion;
    EXPECT_EQ(complete(c.text, insertion, natural_name_words), c.candidates) << c.text;
    EXPECT_EQ(insertion, c.insertion) << c.text;
  }
}

TEST(NameCompletion, FindsTheWordBeforeTheCursorInsideALine) {
  const CompletionCase cases[] = {
      {"2si", "n", "sin"},           // after an amplitude
      {"5x10^3cose", "c", "cosec"},  // after scientific notation
      {"radsi", "n", "sin"},         // after the radians prefix
      {"2xta", "n", "tan"},          // after a multiplication sign written "x"
      {"[sin30]+[arcc", "", ""},     // no name begins "arcc", nor "rcc" or "c"
      {"[sin30]+[tg45]*[se", "", "sec sen"},
      {"si|30", "n", "sin"},                // the cursor before the argument
      {"arcs|en0.5", "", "arcsen arcsin"},  // only the letters before the cursor count
      {"|sin30", "", ""},                   // nothing before the cursor
  };
  for (const CompletionCase& c : cases) {
    std::string insertion;
    EXPECT_EQ(complete(c.text, insertion), c.candidates) << c.text;
    EXPECT_EQ(insertion, c.insertion) << c.text;
  }
}

TEST(NameCompletion, OffersNothingWithoutLettersOrAKnownBeginning) {
  const char* const texts[] = {"",     "30",  "sin30", "2*",  "[", "x",    "qq",
                               "sinn", "SIN", "PI",    "rad", "x", "radx", "xx"};
  for (const char* text : texts) {
    std::string insertion;
    EXPECT_EQ(complete(text, insertion), "") << text;
    EXPECT_EQ(insertion, "") << text;
  }
}

// Every offered name must be one the evaluator understands: sin, cos, tan and their
// relatives of 45 degrees, and the inverses of 0.5 (30, 60 or 26.6 degrees), are all far
// from 0.
TEST(NameCompletion, OffersOnlyNamesTheEvaluatorKnows) {
  NameCompletion completion;
  int offered = 0;
  for (const char* first : {"a", "c", "s", "t"}) {
    complete_name(first, 1, function_name_words, completion);
    for (int i = 0; i < completion.candidate_count; ++i, ++offered) {
      const std::string line = std::string(completion.candidates[i]) +
                               (completion.candidates[i][0] == 'a' ? "0.5" : "45");
      const double value = line_value(line.c_str());
      EXPECT_TRUE(std::isfinite(value) && std::fabs(value) > 0.5) << line << " = " << value;
    }
  }
  EXPECT_EQ(offered, function_name_words.word_count);
}

// The words and the leading runs are the caller's: none of the dialogue's names or prefixes
// is built in.
TEST(NameCompletion, CompletesTheCallersWordsAfterTheCallersLeadingRuns) {
  const char* const words[] = {"cosh", "sinh", "sqrt"};
  const char* const leading[] = {"deg"};
  const CompletionWords own = {words, 3, leading, 1};
  const CompletionCase cases[] = {
      {"s", "", "sinh sqrt"},  {"2co", "sh", "cosh"},
      {"degsi", "nh", "sinh"},  // "deg" skipped: no word begins "degsi"
      {"radsi", "", ""},        // "rad" is not among this caller's leading runs
      {"xsq", "", ""},          // nor is "x"
      {"sen", "", ""},          // nor the dialogue's names
  };
  for (const CompletionCase& c : cases) {
    std::string insertion;
    EXPECT_EQ(complete(c.text, insertion, own), c.candidates) << c.text;
    EXPECT_EQ(insertion, c.insertion) << c.text;
  }
}

// Whatever the caller's list, the candidates and the insertion stay within their buffers:
// 120 words beginning "q" give the first 96 in the list's order, and a 26-letter word gives
// 15 bytes of insertion.
TEST(NameCompletion, KeepsWithinItsBuffersWhateverTheWords) {
  static char many[120][4];
  const char* many_words[120];
  for (int i = 0; i < 120; ++i) {
    std::snprintf(many[i], sizeof many[i], "q%c%c", 'a' + i / 26, 'a' + i % 26);
    many_words[i] = many[i];
  }
  NameCompletion completion;
  complete_name("q", 1, {many_words, 120, nullptr, 0}, completion);
  ASSERT_EQ(completion.candidate_count, 96);
  EXPECT_STREQ(completion.candidates[0], "qaa");
  EXPECT_STREQ(completion.candidates[25], "qaz");
  EXPECT_STREQ(completion.candidates[95], "qdr");
  EXPECT_STREQ(completion.insertion, "");

  const char* const long_word[] = {"abcdefghijklmnopqrstuvwxyz"};
  complete_name("a", 1, {long_word, 1, nullptr, 0}, completion);
  EXPECT_EQ(completion.candidate_count, 1);
  EXPECT_STREQ(completion.insertion, "bcdefghijklmnop");
}

}  // namespace
