// Term evaluation and normalisation: function names, amplitudes, arguments, units and the
// many ways of writing the same term.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "term/function_names.h"
#include "term/normalise_term.h"
#include "test_support.h"

namespace {

struct PrintedCase {
  const char* term;
  const char* printed;  // as "%g" prints the value
};

void expect_printed(const PrintedCase* cases, std::size_t count) {
  for (std::size_t k = 0; k < count; ++k) {
    EXPECT_EQ(printed(term_value(cases[k].term)), cases[k].printed) << cases[k].term;
  }
}

// Each spelling also at an angle or ratio where its function differs from every other one:
// cos 30 = sqrt(3)/2, tan 30 = 1/sqrt(3), cotan 30 = sqrt(3), sec 30 = 2/sqrt(3),
// atan 1/2 = 26.56505 degrees (sin 30 = 1/2, cosec 30 = 2, asin 1/2 = 30, acos 1/2 = 60).
TEST(EvaluateTerm, FunctionNamesAndAliases) {
  const PrintedCase cases[] = {
      {"sin30", "0.5"},        {"sen30", "0.5"},      {"cos60", "0.5"},
      {"tan45", "1"},          {"tg45", "1"},         {"cotan45", "1"},
      {"cotg45", "1"},         {"cosec30", "2"},      {"sec60", "2"},
      {"cos0", "1"},           {"asin0.5", "30"},     {"arcsin0.5", "30"},
      {"arcsen0.5", "30"},     {"acos0.5", "60"},     {"arcos0.5", "60"},
      {"atan1", "45"},         {"atg1", "45"},        {"arctan1", "45"},
      {"arctg1", "45"},        {"2asin0.5", "60"},    {"tg45+15", "1.73205"},
      {"cos30", "0.866025"},   {"tan30", "0.57735"},  {"tg30", "0.57735"},
      {"cotan30", "1.73205"},  {"cotg30", "1.73205"}, {"sec30", "1.1547"},
      {"atan0.5", "26.5651"},  {"atg0.5", "26.5651"}, {"arctan0.5", "26.5651"},
      {"arctg0.5", "26.5651"},
  };
  expect_printed(cases, std::size(cases));
}

// The amplitude multiplies every function's value, direct and inverse, in degrees and in
// radians (3 x asin 1/2 = 90 degrees; 2 x acos 0 = pi radians). Only "*10^" is a power of
// ten: "5*11^3" is 5 x 113. An amplitude of -0 keeps its sign through tan 0, but -5 x
// (nothing) folds to -0 and the folded-away 0 added after it makes that +0.
TEST(EvaluateTerm, AmplitudeAndArgumentExpressions) {
  const PrintedCase cases[] = {
      {"3sin30", "1.5"},         {"3sen30", "1.5"},        {"3cos60", "1.5"},
      {"3tan45", "3"},           {"3tg45", "3"},           {"3cotan45", "3"},
      {"2cotg45", "2"},          {"3sec60", "6"},          {"3cosec30", "6"},
      {"3asin0.5", "90"},        {"3arcsin0.5", "90"},     {"3arcsen0.5", "90"},
      {"2acos0.5", "120"},       {"3arcos0.5", "180"},     {"3atan1", "135"},
      {"3atg1", "135"},          {"3arctan1", "135"},      {"3arctg1", "135"},
      {"rad2acos0", "3.14159"},  {"rad4atan1", "3.14159"}, {"radpisin0.5", "1.50616"},
      {"2sin30", "1"},           {"2*3sin30", "3"},        {"2+3sin30", "2.5"},
      {"-2sin30", "-1"},         {"5E3sin30", "2500"},     {"sin30+60", "1"},
      {"sin-30", "-0.5"},        {"sin2*3*5", "0.5"},      {"sin60/2*3", "1"},
      {"sin2*3/6", "0.0174524"}, {"2*3cos60", "3"},        {"sin30,5", "0.507538"},
      {"5*11^3sin30", "282.5"},  {"-tg0", "-0"},           {"-5xtg0", "0"},
  };
  expect_printed(cases, std::size(cases));
}

TEST(EvaluateTerm, UnknownNamesAndStrayText) {
  const PrintedCase cases[] = {
      {"arccos0.5", "0"},
      {"csc30", "0"},
      {"cossec30", "0.866025"},
      {"sinh1", "0.0174524"},
      {"sin30deg", "0.5"},
      {"sin", "0"},
      {"sin30=99", "0.5"},
      {"2=3sin30", "0"},
      {"sin30=1sin60", "0.5"},
      {"sin1=1sin+5", "0.0174524"},
      {" sin30", "0"},
      {"-sin30", "-0"},
      {"2xsin30", "0"},
      {"30", "0"},
      {"SIN30", "0"},
      {"", "0"},
      {"asen0.5", "0"},
      {"coseno30", "0"},
      // A blank inside a name: its letters still spell the name, but no argument follows
      // it, so the argument is 0 (sin 0 = 0, cos 0 = 1); a blank after it is skipped.
      {"s in30", "0"},
      {"c os60", "1"},
      {"cos 60", "0.5"},
      {"cotan", "inf"},
      {"cose30", "1"},  // the 'e' before a digit is an exponent: "cosE30", cos of "E30" = 0
      {"arcsenarcsen0.5", "30"},
  };
  expect_printed(cases, std::size(cases));
}

// The names completion offers: every spelling that names a function, alphabetically.
TEST(FunctionNames, SpellingsInAlphabeticalOrder) {
  const std::string expected[] = {"acos", "arcos", "arcsen", "arcsin", "arctan", "arctg",
                                  "asin", "atan",  "atg",    "cos",    "cosec",  "cotan",
                                  "cotg", "sec",   "sen",    "sin",    "tan",    "tg"};
  ASSERT_EQ(static_cast<std::size_t>(function_spelling_count), std::size(expected));
  for (std::size_t k = 0; k < std::size(expected); ++k) {
    EXPECT_EQ(function_spelling_names[k], expected[k]) << k;
  }
}

// The argument runs to the end: "30cos60" reads as 3060 once the letters are skipped,
// and 3060 degrees is 8.5 turns, whose sine is 0.
TEST(EvaluateTerm, SecondFunctionNameJoinsTheArgument) {
  EXPECT_EQ(term_value("sin30cos60"), term_value("sin3060"));
  EXPECT_NEAR(term_value("sin30cos60"), 0.0, 1e-13);
}

TEST(EvaluateTerm, ValuesOutsideTheDomain) {
  EXPECT_TRUE(std::isnan(term_value("asin2")));
  EXPECT_TRUE(std::isinf(term_value("cosec0")));
  EXPECT_TRUE(std::isinf(term_value("cotg0")));
  EXPECT_EQ(printed(term_value("tan90")), "1.63312e+16");  // pi/2 as a double is not exact
}

TEST(EvaluateTerm, NormalisedForms) {
  const PrintedCase cases[] = {
      {"5x10^3sin(9x10^1)", "5000"},
      {"5*10^3sin(9*10^1)", "5000"},
      {"5x10^3sin90", "5000"},
      {"sin(9x10^1)", "1"},
      {"5e3sin30", "2500"},
      {"5E3sin30", "2500"},
      {"2X3sin30", "3"},
      {"sin(30+60)", "1"},
      {"sin(100+5)", "0.965926"},
      {"(2)sin(30)", "1"},
      {"radsin1.5707963", "1"},
      {"sin(pi/2)", "1"},
      {"sinpi", "1.22465e-16"},
      {"sin(2*pi)", "-2.44929e-16"},
      {"sin(2pi)", "0.909297"},
      {"pisin30", "-3.10399"},
      {"2radsin1", "0"},
      {"sen30", "0.5"},
      {"cosec30", "2"},
      {"5X10^3sin30", "2500"},
      {"radasin1", "1.5708"},
      {"asin(pi/pi/2)", "0.523599"},
      {"sin30e", "0.5"},
  };
  expect_printed(cases, std::size(cases));
}

TEST(NormaliseTerm, RewritesIntoTheOneForm) {
  const NormaliseCase cases[] = {
      {"radsin1.5707963", "sin1.5707963", true},
      {"5x10^3sin(9x10^1)", "5E3sin9E1", false},
      {"5*10^3sin(9*10^1)", "5E3sin9E1", false},
      {"2X3sin30", "2*3sin30", false},
      {"sin30,5", "sin30.5", false},
      {"5e3sen30", "5E3sen30", false},
      {"cosec30e", "cosec30E", false},
      {"sin(pi/2)", "sinPI/2", true},
      {"pisin30", "PIsin30", true},
      {"sinPI", "sinPI", true},
      {"2radsin1", "2radsin1", false},
      {"rad", "", true},
      {"ppii", "pPIi", true},
      {"**10^10^", "*E10^", false},
      {"((()))", "", false},
      {"sin30", "sin30", false},
  };
  expect_normalised(cases, std::size(cases));
}

// Writing the same term another way must not change its value.
TEST(EvaluateTerm, EquivalentSpellingsAgree) {
  const char* pairs[][2] = {
      {"sin30", "sin(30)"},        {"2sin30", "(2)sin((30))"},   {"2*3sin30", "2x3sin30"},
      {"5E3cos60", "5e3cos60"},    {"sin30.25", "sin30,25"},     {"5E2tan10", "5*10^2tan10"},
      {"5E2tan10", "5x10^2tan10"}, {"1.5asin0.2", "1,5asin0,2"}, {"sin(pi/3)", "sin((pi)/(3))"},
      {"cos0.5E1", "cos0.5x10^1"}, {"sec45", "sec(45)"},         {"2.5E-1sin10", "2,5e-1sin10"},
  };
  for (const auto& pair : pairs) {
    EXPECT_EQ(term_value(pair[0]), term_value(pair[1])) << pair[0] << " vs " << pair[1];
  }
}

// sin^2 + cos^2 = 1 and tan x cotg = 1, in degrees over a grid of angles.
TEST(EvaluateTerm, PythagoreanIdentityOverAGrid) {
  for (int degrees = -360; degrees <= 360; degrees += 7) {
    const std::string angle = std::to_string(degrees);
    const double s = term_value(("sin" + angle).c_str());
    const double c = term_value(("cos" + angle).c_str());
    EXPECT_NEAR(s * s + c * c, 1.0, 1e-15) << degrees;
    if (degrees % 90 != 0) {
      const double t = term_value(("tan" + angle).c_str());
      const double ct = term_value(("cotg" + angle).c_str());
      EXPECT_NEAR(t * ct, 1.0, 1e-12) << degrees;
    }
  }
}

// An inverse function undoes its direct function within its principal range.
TEST(EvaluateTerm, InverseUndoesDirect) {
  for (int degrees = -80; degrees <= 80; degrees += 10) {
    const std::string angle = std::to_string(degrees);
    const double s = term_value(("sin" + angle).c_str());
    const double t = term_value(("tan" + angle).c_str());
    EXPECT_NEAR(term_value(("asin" + std::to_string(s)).c_str()), degrees, 1e-4) << degrees;
    EXPECT_NEAR(term_value(("atan" + std::to_string(t)).c_str()), degrees, 1e-4) << degrees;
  }
}

// Full 99-byte terms of the characters every pass looks at: nothing is read or written
// outside the term buffer (the sanitizer build checks), and none of them names a function
// with an argument, except the cosecant of an empty argument, 1/sin 0.
TEST(EvaluateTerm, FullBuffersOfSpecialCharacters) {
  const PrintedCase fills[] = {
      {"e", "0"},  {"p", "0"}, {"i", "0"}, {"pi", "0"},  {"*10^", "0"},    {"(", "0"},
      {")", "0"},  {"=", "0"}, {"+", "0"}, {"*", "0"},   {"/", "0"},       {"-", "0"},
      {"x", "0"},  {"a", "0"}, {"s", "0"}, {"sin", "0"}, {"rad", "0"},     {"E", "0"},
      {"PI", "0"}, {"9", "0"}, {".", "0"}, {",", "0"},   {"cosec", "inf"},
  };
  for (const PrintedCase& fill : fills) {
    std::string text;
    while (text.size() < line_capacity - 1) text += fill.term;
    text.resize(line_capacity - 1);
    EXPECT_EQ(printed(term_value(text.c_str())), fill.printed) << fill.term;
  }
}

}  // namespace
