// Lines in the unknown: textbook equations with their solution sets worked out by hand (the
// angles of the unit circle, the identities that turn each into one function of one angle),
// identities and lines that depend on x, and what is not solved and why. Every answer is
// checked whole, as a student reads it; the solutions listed in the turn are also put back
// into the line in doubles, which must come within rounding of 0 there.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "line/exact_line.h"
#include "line/value_line.h"
#include "natural/natural_reading.h"
#include "program/run_doubles.h"

namespace {

int length_of(const char* line) {
  return static_cast<int>(std::strlen(line));
}

// The answer to `line` as the command line prints it in a UTF-8 locale (or in ASCII when
// `unicode` is false); its notes in `notes`.
std::string answer_to(const char* line, ReadingNotes& notes, bool unicode = true) {
  static char text[value_line_capacity];
  clear_notes(notes);
  const ValueFormat format = {6, false, true, FormShown::none, unicode};
  const int length = line_value_text(line, length_of(line), format, "", "", text, &notes);
  return std::string(text, static_cast<std::size_t>(length));
}

struct Case {
  const char* line;
  const char* answer;
};

// The value of one solution as the expected answers write it: "30°", "-116.565°", "−3π/4",
// "π", "13π/6" (in radians).
double value_written(std::string item) {
  const std::string minus = "\xe2\x88\x92";
  const std::string pi = "\xcf\x80";
  double sign = 1;
  if (item.compare(0, minus.size(), minus) == 0) {
    sign = -1;
    item.erase(0, minus.size());
  }
  const std::size_t at_pi = item.find(pi);
  if (at_pi == std::string::npos) return sign * std::strtod(item.c_str(), nullptr);
  const double times = at_pi == 0 ? 1 : std::strtod(item.substr(0, at_pi).c_str(), nullptr);
  const std::size_t bar = item.find('/', at_pi);
  const double over = bar == std::string::npos ? 1 : std::strtod(item.c_str() + bar + 1, nullptr);
  return sign * times * M_PI / over;
}

// Puts each solution listed after the answer's last ": " back into the line (its left side
// less its right, run in doubles at that x): it must be 0 within rounding.
void expect_listed_solutions_solve(const char* line, const std::string& answer) {
  const std::size_t colon = answer.rfind(": ");
  if (colon == std::string::npos || answer.compare(colon + 2, 7, "nenhuma") == 0) return;
  static NaturalReading reading;
  read_natural_line(line, length_of(line), reading, nullptr);
  ASSERT_TRUE(reading.read) << line;
  Program part = reading.program;  // the equation alone, without its interval's bounds
  part.step_count = reading.shape.part_end[0];
  std::string rest = answer.substr(colon + 2);
  for (std::size_t end; !rest.empty();
       rest = end == std::string::npos ? "" : rest.substr(end + 2)) {
    end = rest.find(", ");
    const std::string item = rest.substr(0, end);
    const double x = value_written(item);
    const double value = run_program_at(part, reading.numbers, x, nullptr);
    // Six significant digits of an angle put a value within about 1e-4 of 0.
    const bool digits = item.find('.') != std::string::npos;
    EXPECT_NEAR(value, 0.0, digits ? 1e-4 : 1e-9) << line << " at " << x;
  }
}

// Checks each case's whole answer, and that what it lists solves the line; the module
// answers, so without it there is nothing to see.
void expect_answers(const Case* cases, int count) {
  if (!exact_mode_available()) GTEST_SKIP() << "the exact mode's module is not in this build";
  for (int c = 0; c < count; ++c) {
    ReadingNotes notes;
    EXPECT_EQ(answer_to(cases[c].line, notes), cases[c].answer) << cases[c].line;
    EXPECT_EQ(notes.count, 0) << cases[c].line;
    expect_listed_solutions_solve(cases[c].line, cases[c].answer);
  }
}

// Equations in degrees, one function of one angle after an identity or none. By hand: the
// angles of the unit circle at which the function takes the value, then every such angle
// a whole turn (or, for the tangent, half a turn) away; families whose turns together make a
// shorter period are one family (sen²x = 1/4: 30 and 210 are 180 apart).
TEST(Equations, TextbookEquationsInDegrees) {
  const Case cases[] = {
      {"sen x = 1/2",
       "x = 30° + k·360° ou x = 150° + k·360° (k inteiro); em [0°, 360°): 30°, 150°"},
      {"sen x = 0,5",
       "x = 30° + k·360° ou x = 150° + k·360° (k inteiro); em [0°, 360°): 30°, 150°"},
      {"sen x = -1/2",
       "x = 210° + k·360° ou x = 330° + k·360° (k inteiro); em [0°, 360°): 210°, 330°"},
      {"sen x = √3/2",
       "x = 60° + k·360° ou x = 120° + k·360° (k inteiro); em [0°, 360°): 60°, 120°"},
      {"sen x = -√2/2",
       "x = 225° + k·360° ou x = 315° + k·360° (k inteiro); em [0°, 360°): 225°, 315°"},
      {"sen x = 1", "x = 90° + k·360° (k inteiro); em [0°, 360°): 90°"},
      {"sen x = 0", "x = k·180° (k inteiro); em [0°, 360°): 0°, 180°"},
      {"cos x = 1/2",
       "x = 60° + k·360° ou x = 300° + k·360° (k inteiro); em [0°, 360°): 60°, 300°"},
      {"cos x = -1", "x = 180° + k·360° (k inteiro); em [0°, 360°): 180°"},
      {"cos x = 0", "x = 90° + k·180° (k inteiro); em [0°, 360°): 90°, 270°"},
      {"cos x = √3/2",
       "x = 30° + k·360° ou x = 330° + k·360° (k inteiro); em [0°, 360°): 30°, 330°"},
      {"cos x = -√2/2",
       "x = 135° + k·360° ou x = 225° + k·360° (k inteiro); em [0°, 360°): 135°, 225°"},
      {"tg x = 1", "x = 45° + k·180° (k inteiro); em [0°, 360°): 45°, 225°"},
      {"tg x = -√3", "x = 120° + k·180° (k inteiro); em [0°, 360°): 120°, 300°"},
      {"tg x = 0", "x = k·180° (k inteiro); em [0°, 360°): 0°, 180°"},
      {"cotg x = √3", "x = 30° + k·180° (k inteiro); em [0°, 360°): 30°, 210°"},
      {"sec x = 2", "x = 60° + k·360° ou x = 300° + k·360° (k inteiro); em [0°, 360°): 60°, 300°"},
      {"cossec x = 2",
       "x = 30° + k·360° ou x = 150° + k·360° (k inteiro); em [0°, 360°): 30°, 150°"},
      {"2 sen x - 1 = 0",
       "x = 30° + k·360° ou x = 150° + k·360° (k inteiro); em [0°, 360°): 30°, 150°"},
      {"2cos x + √3 = 0",
       "x = 150° + k·360° ou x = 210° + k·360° (k inteiro); em [0°, 360°): 150°, 210°"},
      {"√3 tg x - 1 = 0", "x = 30° + k·180° (k inteiro); em [0°, 360°): 30°, 210°"},
      // Squares: the function at plus and minus a value.
      {"sen²x = 1/4",
       "x = 30° + k·180° ou x = 150° + k·180° (k inteiro); em [0°, 360°): 30°, 150°, 210°, 330°"},
      {"cos²x = 1", "x = k·180° (k inteiro); em [0°, 360°): 0°, 180°"},
      {"tg²x = 1", "x = 45° + k·90° (k inteiro); em [0°, 360°): 45°, 135°, 225°, 315°"},
      // Quadratic in one function: its two roots, each a value on the circle.
      {"2sen²x - sen x - 1 = 0",  // sen x = 1 or -1/2: 90, 210, 330, a third of a turn apart
       "x = 90° + k·120° (k inteiro); em [0°, 360°): 90°, 210°, 330°"},
      {"2cos²x - cos x - 1 = 0", "x = k·120° (k inteiro); em [0°, 360°): 0°, 120°, 240°"},
      {"sen²x - sen x = 0",  // sen x = 0 or 1
       "x = k·180° ou x = 90° + k·360° (k inteiro); em [0°, 360°): 0°, 90°, 180°"},
      {"2sen²x + cos x - 1 = 0",  // 2 - 2cos²x + cos x - 1: cos x = 1 or -1/2
       "x = k·120° (k inteiro); em [0°, 360°): 0°, 120°, 240°"},
      {"cos 2x + sen x = 0",  // 1 - 2sen²x + sen x: sen x = 1 or -1/2
       "x = 90° + k·120° (k inteiro); em [0°, 360°): 90°, 210°, 330°"},
      {"tg x + cotg x = 2", "x = 45° + k·180° (k inteiro); em [0°, 360°): 45°, 225°"},
      // Products equal to 0, and equations made one by an identity.
      {"sen 2x = sen x",  // sen x (2cos x - 1) = 0
       "x = k·180° ou x = 60° + k·360° ou x = 300° + k·360° (k inteiro); em [0°, 360°): 0°, 60°, "
       "180°, 300°"},
      {"sen 2x = cos x",  // cos x (2sen x - 1) = 0: 90, 270, 30, 150
       "x = 30° + k·120° ou x = 90° + k·360° (k inteiro); em [0°, 360°): 30°, 90°, 150°, 270°"},
      {"sen x cos x = 0", "x = k·90° (k inteiro); em [0°, 360°): 0°, 90°, 180°, 270°"},
      {"sen x cos x = 1/4",  // sen 2x = 1/2
       "x = 15° + k·180° ou x = 75° + k·180° (k inteiro); em [0°, 360°): 15°, 75°, 195°, 255°"},
      {"sen⁴x - cos⁴x = 1/2",  // -cos 2x = 1/2
       "x = 60° + k·180° ou x = 120° + k·180° (k inteiro); em [0°, 360°): 60°, 120°, 240°, 300°"},
      {"sen x + sen 3x = 0",  // 2 sen 2x cos x = 0
       "x = k·90° (k inteiro); em [0°, 360°): 0°, 90°, 180°, 270°"},
      {"cos x + cos 3x = 0",  // 2 cos 2x cos x = 0
       "x = 45° + k·90° ou x = 90° + k·180° (k inteiro); em [0°, 360°): 45°, 90°, 135°, 225°, "
       "270°, 315°"},
      {"sen 2x = 2 sen x",  // 2 sen x (cos x - 1) = 0
       "x = k·180° (k inteiro); em [0°, 360°): 0°, 180°"},
      // a sen x + b cos x = c: R sen(x + φ) = c.
      {"sen x = cos x", "x = 45° + k·180° (k inteiro); em [0°, 360°): 45°, 225°"},
      {"sen x + cos x = 1",  // √2 sen(x + 45) = 1: x + 45 = 45 or 135
       "x = k·360° ou x = 90° + k·360° (k inteiro); em [0°, 360°): 0°, 90°"},
      {"sen x + cos x = √2", "x = 45° + k·360° (k inteiro); em [0°, 360°): 45°"},
      {"√3 sen x + cos x = 1",  // 2 sen(x + 30) = 1
       "x = k·360° ou x = 120° + k·360° (k inteiro); em [0°, 360°): 0°, 120°"},
      {"sen x - √3 cos x = 0", "x = 60° + k·180° (k inteiro); em [0°, 360°): 60°, 240°"},
      // Multiples and shifts of the angle.
      {"sen 3x = 1", "x = 30° + k·120° (k inteiro); em [0°, 360°): 30°, 150°, 270°"},
      {"cos 2x = 1/2",
       "x = 30° + k·180° ou x = 150° + k·180° (k inteiro); em [0°, 360°): 30°, 150°, 210°, 330°"},
      {"tg 3x = 0", "x = k·60° (k inteiro); em [0°, 360°): 0°, 60°, 120°, 180°, 240°, 300°"},
      // Past what is light, answered in the bounded child: 30x = 180k, sixty in the turn.
      {"sen 30x = 0",
       "x = k·6° (k inteiro); em [0°, 360°): 0°, 6°, 12°, 18°, 24°, 30°, 36°, 42°, 48°, 54°, 60°, "
       "66°, 72°, 78°, 84°, 90°, 96°, 102°, 108°, 114°, 120°, 126°, 132°, 138°, 144°, 150°, 156°, "
       "162°, 168°, 174°, 180°, 186°, 192°, 198°, 204°, 210°, 216°, 222°, 228°, 234°, 240°, 246°, "
       "252°, 258°, 264°, 270°, 276°, 282°, 288°, 294°, 300°, 306°, 312°, 318°, 324°, 330°, 336°, "
       "342°, 348°, 354°"},
      {"sen(x + 30°) = 1/2",
       "x = k·360° ou x = 120° + k·360° (k inteiro); em [0°, 360°): 0°, 120°"},
      {"cos(2x - 60°) = 0", "x = 75° + k·90° (k inteiro); em [0°, 360°): 75°, 165°, 255°, 345°"},
      {"tg(2x − 30°) = 1",
       "x = 37.5° + k·90° (k inteiro); em [0°, 360°): 37.5°, 127.5°, 217.5°, 307.5°"},
      {"tg 3x = 2",  // 3x = arctg 2 + 180k (arctg 2 = 63.4349488...)
       "x = arctg(2)/3 + k·60° ≈ 21.145° + k·60° (k inteiro); em [0°, 360°): 21.145°, 81.145°, "
       "141.145°, 201.145°, 261.145°, 321.145°"},
      {"cos(2x/3) = 1/2",  // 2x/3 = 60 or -60 + 360k
       "x = 90° + k·540° ou x = 450° + k·540° (k inteiro); em [0°, 360°): 90°"},
      {"sen(x/2) = 1/2",  // x/2 = 30 or 150 + 360k
       "x = 60° + k·720° ou x = 300° + k·720° (k inteiro); em [0°, 360°): 60°, 300°"},
      {"sen x = sen 40°",
       "x = 40° + k·360° ou x = 140° + k·360° (k inteiro); em [0°, 360°): 40°, 140°"},
      {"cos x = cos 50",
       "x = 50° + k·360° ou x = 310° + k·360° (k inteiro); em [0°, 360°): 50°, 310°"},
      // Quotients: where a denominator is 0 there is no solution.
      {"1/cos x = 2",
       "x = 60° + k·360° ou x = 300° + k·360° (k inteiro); em [0°, 360°): 60°, 300°"},
      {"sen x / (1 + cos x) = 1",  // tg(x/2) = 1; x = 180, where 1 + cos x = 0, is none
       "x = 90° + k·360° (k inteiro); em [0°, 360°): 90°"},
      {"sen x / sen x = 2", "sem solução"},
      // No solution, and an x outside the angles.
      {"sen x = 2", "sem solução"},
      {"cos x = -3/2", "sem solução"},
      {"sen²x + cos²x = 2", "sem solução"},
      {"sen x + 1 = sen x", "sem solução"},
      {"2x = 60", "x = 30°"},
      {"sen x = 0^0", "x = 90° + k·360° (k inteiro); em [0°, 360°): 90°"},  // 0^0 is 1
      {"x + 30 = 0", "x = −30°"},
      // Angles that are no rational number of degrees: the inverse function, and its digits
      // (arcsen(1/3) = 19.4712206..., arccos(1/3) = 70.5287793..., arctg 2 = 63.4349488...,
      // from mpmath).
      {"sen x = 1/3",
       "x = arcsen(1/3) + k·360° ≈ 19.4712° + k·360° ou x = 180° − arcsen(1/3) + k·360° ≈ "
       "160.529° + k·360° (k inteiro); em [0°, 360°): 19.4712°, 160.529°"},
      // A function negated: each root put back into the line with its sign (arcsen(-1/3) =
      // -19.4712206..., arccos(-1/4) = 104.4775122..., from mpmath).
      {"-sen x = 1/3",
       "x = 180° − arcsen(−1/3) + k·360° ≈ 199.471° + k·360° ou x = 360° + arcsen(−1/3) + "
       "k·360° ≈ 340.529° + k·360° (k inteiro); em [0°, 360°): 199.471°, 340.529°"},
      {"-cos x = 1/4",
       "x = arccos(−1/4) + k·360° ≈ 104.478° + k·360° ou x = 360° − arccos(−1/4) + k·360° ≈ "
       "255.522° + k·360° (k inteiro); em [0°, 360°): 104.478°, 255.522°"},
      {"tg x = 2",
       "x = arctg(2) + k·180° ≈ 63.4349° + k·180° (k inteiro); em [0°, 360°): 63.4349°, "
       "243.435°"},
      {"3cos x = 1",
       "x = arccos(1/3) + k·360° ≈ 70.5288° + k·360° ou x = 360° − arccos(1/3) + k·360° ≈ "
       "289.471° + k·360° (k inteiro); em [0°, 360°): 70.5288°, 289.471°"},
  };
  expect_answers(cases, static_cast<int>(sizeof cases / sizeof cases[0]));
}

// The unknown in radians where the line holds π or "rad", and intervals written after the
// equation: every solution in them, bounds in or out as written.
TEST(Equations, RadiansAndIntervals) {
  const Case cases[] = {
      {"sen x = 1/2, 0 ≤ x < 2π",
       "x = π/6 + 2kπ ou x = 5π/6 + 2kπ (k inteiro); em [0, 2π): π/6, 5π/6"},
      {"rad sen x = 1/2", "x = π/6 + 2kπ ou x = 5π/6 + 2kπ (k inteiro); em [0, 2π): π/6, 5π/6"},
      {"cos x = 0 em [0, 2π]", "x = π/2 + kπ (k inteiro); em [0, 2π]: π/2, 3π/2"},
      {"tg x = 1, x ∈ [-π, π]", "x = π/4 + kπ (k inteiro); em [−π, π]: −3π/4, π/4"},
      {"sen x = 1/2 em [0, 4π]",
       "x = π/6 + 2kπ ou x = 5π/6 + 2kπ (k inteiro); em [0, 4π]: π/6, 5π/6, 13π/6, 17π/6"},
      {"sen x = -1/2, 0 ≤ x < 2π",
       "x = 7π/6 + 2kπ ou x = 11π/6 + 2kπ (k inteiro); em [0, 2π): 7π/6, 11π/6"},
      {"sen x = 1/2, 0 ≤ x ≤ 720",
       "x = 30° + k·360° ou x = 150° + k·360° (k inteiro); em [0°, 720°]: 30°, 150°, 390°, 510°"},
      {"sen x = 1/2, x ∈ [0°, 720°]",
       "x = 30° + k·360° ou x = 150° + k·360° (k inteiro); em [0°, 720°]: 30°, 150°, 390°, 510°"},
      {"cos x = 1, 0 < x < 360", "x = k·360° (k inteiro); em (0°, 360°): nenhuma"},
      {"cos x = 1, 0 ≤ x ≤ 360", "x = k·360° (k inteiro); em [0°, 360°]: 0°, 360°"},
      {"tg x = 2, -180 < x < 180",
       "x = arctg(2) + k·180° ≈ 63.4349° + k·180° (k inteiro); em (−180°, 180°): -116.565°, "
       "63.4349°"},
      {"2x = 60, 0 ≤ x ≤ 20", "x = 30°; em [0°, 20°]: nenhuma"},
      // Past the list's room, how many: two a turn, a hundred turns.
      {"sen x = 1/2, 0 ≤ x ≤ 36000",
       "x = 30° + k·360° ou x = 150° + k·360° (k inteiro); em [0°, 36000°] há 200 soluções"},
      {"cos 2x = 1, 0 ≤ x ≤ 4π", "x = kπ (k inteiro); em [0, 4π]: 0, π, 2π, 3π, 4π"},
      {"sen θ = 1/2",
       "θ = 30° + k·360° ou θ = 150° + k·360° (k inteiro); em [0°, 360°): 30°, 150°"},
  };
  expect_answers(cases, static_cast<int>(sizeof cases / sizeof cases[0]));
}

// Identities, and lines without "=" decided for every x: constant where the line has a value
// (the points without one named), or dependent on x with the period of the angles.
TEST(Equations, IdentitiesAndLinesWithoutEquals) {
  const Case cases[] = {
      {"sen 2x = 2 sen x cos x", "vale para todo x"},
      {"tg x = sen x / cos x", "vale para todo x, exceto x = 90° + k·180° (k inteiro)"},
      {"sen x / sen x = 1", "vale para todo x, exceto x = k·180° (k inteiro)"},
      {"x = x", "vale para todo x"},
      {"sen²x + cos²x", "1 para todo x"},
      {"sen(90° − x) − cos x", "0 para todo x"},
      {"cos²x - sen²x - cos 2x", "0 para todo x"},
      {"(sen x + cos x)² - 2 sen x cos x", "1 para todo x"},
      {"tg x · cos x - sen x", "0 para todo x, exceto x = 90° + k·180° (k inteiro)"},
      {"1/sen²x - cotg²x", "1 para todo x, exceto x = k·180° (k inteiro)"},
      {"sen x", "depende de x (período 360°)"},
      {"tg x", "depende de x (período 180°)"},
      {"sen²x", "depende de x (período 180°)"},
      {"sen x cos x", "depende de x (período 180°)"},
      {"sen 2x + cos 4x", "depende de x (período 180°)"},
      {"sen(x/2)", "depende de x (período 720°)"},
      {"sen(x + π)", "depende de x (período 2π)"},
      {"tg(x - π/4)", "depende de x (período π)"},
      {"2x", "depende de x"},
      {"sen²x + cos²x; tg x", "1 para todo x; depende de x (período 180°)"},  // each part
      // Outside what is solved, a line can still be shown to depend on x: exactly, its values
      // at 1° and 2° differ (1·sen 1° against 2·sen 2°).
      {"x sen x", "depende de x"},
      {"sen(x²)", "depende de x"},
      {"sen 30 = 1/2", "verdadeiro"},
      {"sen 30 = 0,6", "falso"},
      {"cos 36 - cos 72 = 1/2", "verdadeiro"},
  };
  expect_answers(cases, static_cast<int>(sizeof cases / sizeof cases[0]));
}

// Outside the equations solved: "não sei resolver", and the note why.
TEST(Equations, WhatIsNotSolvedSaysWhy) {
  if (!exact_mode_available()) GTEST_SKIP() << "the exact mode's module is not in this build";
  const struct {
    const char* line;
    NoteKind kind;
  } cases[] = {
      {"x·sen x = 1", NoteKind::unsolved_outside_angle},
      {"sen x = x", NoteKind::unsolved_outside_angle},
      {"sen(x²) = 1/2", NoteKind::unsolved_outside_angle},
      {"sen(sen x) = 0", NoteKind::unsolved_angle_not_linear},
      {"sen x = sen 1 rad", NoteKind::unsolved_not_algebraic},
      {"arcsen x = 30", NoteKind::unsolved_inverse_of_unknown},
      {"(sen x)^0,5 = 1", NoteKind::unsolved_power},
      {"sen x = 1/2, 0 ≤ x ≤ sen 1 rad", NoteKind::unsolved_bound},
      {"sen(x²) - sen(x²)", NoteKind::unsolved_outside_angle},  // the same at 1° and 2°
  };
  for (const auto& c : cases) {
    ReadingNotes notes;
    EXPECT_EQ(answer_to(c.line, notes), "não sei resolver") << c.line;
    ASSERT_EQ(notes.count, 1) << c.line;
    EXPECT_EQ(notes.notes[0].kind, c.kind) << c.line;
  }
}

// Outside a UTF-8 locale the answer is ASCII, as the exact forms are.
TEST(Equations, AsciiOutsideUtf8) {
  if (!exact_mode_available()) GTEST_SKIP() << "the exact mode's module is not in this build";
  ReadingNotes notes;
  EXPECT_EQ(answer_to("sen x = 1/2", notes, false),
            "x = 30 + k*360 ou x = 150 + k*360 (k inteiro, em graus); em [0, 360): 30, 150");
  EXPECT_EQ(answer_to("sen x = -1/2, 0 <= x < 2pi", notes, false),
            "x = 7*pi/6 + 2*k*pi ou x = 11*pi/6 + 2*k*pi (k inteiro); em [0, 2*pi): 7*pi/6, "
            "11*pi/6");
}

}  // namespace
