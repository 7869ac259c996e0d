// The pictures' reckoning (picture/): periods, zeros and poles of curves whose values are known
// by hand, the table's steps, angles written as multiples of π, the trace refined so that a
// narrow peak is not missed and never joined across a pole, braille dots, XML escaping and the
// facts about an angle on the unit circle.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "natural/natural_reading.h"
#include "picture/angle_text.h"
#include "picture/braille_canvas.h"
#include "picture/graph_plan.h"
#include "picture/period.h"
#include "picture/svg_graph.h"
#include "picture/unit_circle.h"
#include "picture/value_table.h"

namespace {

constexpr double pi = 3.141592653589793;

NaturalReading& read(const char* line) {
  static NaturalReading reading;
  read_natural_line(line, static_cast<int>(std::strlen(line)), reading, nullptr);
  EXPECT_TRUE(reading.read) << line;
  return reading;
}

// The plan of `line`, sampled with 720 samples (a column every half degree over a turn).
GraphPlan& planned(const char* line) {
  static GraphPlan plan;
  EXPECT_TRUE(plan_graph(read(line), true, plan, nullptr)) << line;
  sample_graph(plan, 720);
  return plan;
}

std::string marks_text(const double* marks, int count) {
  std::string text;
  for (int k = 0; k < count; ++k) {
    char angle[angle_text_capacity];
    angle_text(marks[k], false, true, false, 6, angle);
    text += (k > 0 ? " " : "") + std::string(angle);
  }
  return text;
}

// Periods by hand: sen and cos repeat every 360°, tg every 180°; sen(bx) every 360°/b; a sum
// every common multiple; x + sen x never. In radians, 2π and π.
TEST(Picture, PeriodsOfExpressions) {
  struct Case {
    const char* line;
    double period;
  };
  const Case cases[] = {
      {"sen x", 360},
      {"tg x", 180},
      {"2 sen(3x)", 120},
      {"sen(x/3)", 1080},
      {"sen x + cos(2x)", 360},
      {"tg(2x) + sen(3x)", 360},
      {"sen(x + 30)", 360},
      {"1/cos x", 360},
      {"x + sen x", 0},
      {"x^2", 0},
      {"sen x * cos x", 360},
      {"sen(2x), x ∈ [0, π]", pi},
      {"tg(x/2), x ∈ [0, π]", 2 * pi},
  };
  for (const Case& c : cases) {
    const NaturalReading& reading = read(c.line);
    EXPECT_NEAR(expression_period(reading.program, reading.numbers, 0, reading.shape.part_end[0]),
                c.period, 1e-9)
        << c.line;
  }
}

// Zeros and poles over the interval drawn (one period by default), by hand.
TEST(Picture, ZerosAndPolesOfCurves) {
  struct Case {
    const char* line;
    const char* zeros;
    const char* poles;
  };
  const Case cases[] = {
      {"sen x", "0 180 360", ""},
      {"cos x", "90 270", ""},
      {"tg x, 0 ≤ x ≤ 360", "0 180 360", "90 270"},
      {"2 sen(3x)", "0 60 120", ""},
      {"1/sen x, 0 < x < 360", "", "0 180 360"},
      {"sen x = 1/2", "30 150", ""},
      {"(sen x)^2", "0 180 360", ""},  // touching the axis without crossing it
      {"cos x + 1", "180", ""},
      {"sen x + 1/2", "210 330", ""},
      {"raiz(sen x) - raiz(1/2)", "30 150", ""},  // no value from 180° to 360°
      {"sen x - 2", "", ""},
  };
  for (const Case& c : cases) {
    const GraphPlan& plan = planned(c.line);
    const CurveMarks& marks = plan.parts[0].marks;
    EXPECT_EQ(marks_text(marks.zeros, marks.zero_count), c.zeros) << c.line;
    EXPECT_EQ(marks_text(marks.poles, marks.pole_count), c.poles) << c.line;
  }
}

// The interval drawn: the line's, one period, or one turn where there is none.
TEST(Picture, IntervalsDrawn) {
  struct Case {
    const char* line;
    double low, high;
  };
  const Case cases[] = {
      {"sen x", 0, 360},
      {"tg x", 0, 180},
      {"x + sen x", 0, 360},
      {"sen x, x ∈ [0, 2π]", 0, 2 * pi},
      {"sen x, -180 ≤ x ≤ 180", -180, 180},
      {"cos x em [0°, 720°]", 0, 720},
      {"x^2, x ∈ [-π, π]", -pi, pi},
  };
  for (const Case& c : cases) {
    double low = 0, high = 0;
    EXPECT_TRUE(graph_interval(read(c.line), low, high, nullptr)) << c.line;
    EXPECT_NEAR(low, c.low, 1e-12) << c.line;
    EXPECT_NEAR(high, c.high, 1e-12) << c.line;
  }
}

// Steps of the table: at most 24 of them over the interval (15° for a turn, 15° for half of
// one), in radians the same angles as multiples of π.
TEST(Picture, TableSteps) {
  struct Case {
    double low, high;
    bool radians;
    double step;
  };
  const Case cases[] = {
      {0, 360, false, 15},     {0, 180, false, 15},        {0, 120, false, 5},
      {0, 1, false, 1},        {-180, 180, false, 15},     {0, 720, false, 30},
      {0, 36000, false, 1800}, {0, 2 * pi, true, pi / 12}, {0, pi, true, pi / 12},
  };
  for (const Case& c : cases) {
    EXPECT_NEAR(table_step(c.low, c.high, c.radians), c.step, 1e-12) << c.low << " " << c.high;
  }
}

// Angles as the labels write them.
TEST(Picture, AnglesInTheLineUnit) {
  struct Case {
    double x;
    bool radians, unicode;
    const char* text;
  };
  const Case cases[] = {
      {90, false, true, "90°"},
      {-180, false, true, "-180°"},
      {0, true, true, "0"},
      {pi, true, true, "π"},
      {3 * pi / 2, true, true, "3π/2"},
      {-pi / 4, true, true, "-π/4"},
      {2 * pi, true, false, "2pi"},
      {5 * pi / 12, true, true, "5π/12"},
      {1, true, true, "1"},
      {-0.0, false, true, "0°"},
  };
  for (const Case& c : cases) {
    char text[angle_text_capacity];
    angle_text(c.x, c.radians, c.unicode, true, 6, text);
    EXPECT_STREQ(text, c.text);
  }
}

// A peak 0.1° wide between columns half a degree apart is traced to within a dot of its top;
// the trace of tg x never goes from above the frame to below it in one line (across a pole),
// in radians, where it finds the poles by halving alone.
TEST(Picture, TraceRefinedAndBrokenAtPoles) {
  GraphPlan& peak = planned("1/(1 + ((x - 100.3)*20)^2)");
  const PlotFrame frame = {0, 360, 0, 1, 719, 100};
  trace_curve(peak.parts[0].function, peak.parts[0].samples, frame, 1000000, peak.parts[0].trace);
  double top = frame.height;
  for (int k = 0; k < peak.parts[0].trace.count; ++k) {
    top = std::fmin(top, peak.parts[0].trace.points[k].y);
  }
  EXPECT_LE(top, 1.0);

  // In radians no sample is ever at the pole itself, as 90° is in degrees.
  GraphPlan& tangent = planned("tg x, x ∈ [0, 2π]");
  const PlotFrame tangent_frame = {0, 2 * pi, -5, 5, 719, 100};
  const CurveTrace& trace = tangent.parts[0].trace;
  trace_curve(tangent.parts[0].function, tangent.parts[0].samples, tangent_frame, 1000000,
              tangent.parts[0].trace);
  int breaks = 0;
  for (int k = 1; k < trace.count; ++k) {
    const TracedPoint& a = trace.points[k - 1];
    const TracedPoint& b = trace.points[k];
    if (!b.joined) ++breaks;
    EXPECT_FALSE(b.joined && ((a.y < 0 && b.y > 100) || (a.y > 100 && b.y < 0))) << k;
  }
  EXPECT_EQ(breaks, 2);  // at π/2 and 3π/2
}

// The braille cell of each dot, as U+2800 numbers them (dots 1 to 8).
TEST(Picture, BrailleDots) {
  struct Case {
    int x, y;
    const char* cell;
  };
  const Case cases[] = {
      {0, 0, "\u2801"}, {0, 1, "\u2802"}, {0, 2, "\u2804"}, {0, 3, "\u2840"},
      {1, 0, "\u2808"}, {1, 1, "\u2810"}, {1, 2, "\u2820"}, {1, 3, "\u2880"},
  };
  static BrailleCanvas canvas;
  static PictureText text;
  for (const Case& c : cases) {
    clear_canvas(canvas, 1, 1);
    clear_picture_text(text);
    set_dot(canvas, c.x, c.y, axis_ink);
    write_canvas_row(canvas, 0, false, text);
    EXPECT_STREQ(text.bytes, c.cell) << c.x << "," << c.y;
  }
}

TEST(Picture, XmlTextEscaped) {
  static PictureText text;
  clear_picture_text(text);
  const char typed[] = "a<b & \"c\"\x01>";
  put_xml_text(text, typed, static_cast<int>(std::strlen(typed)));
  EXPECT_STREQ(text.bytes, "a&lt;b &amp; &quot;c&quot; &gt;");
}

// The facts about an angle: its quadrant, reference angle and the sign its sine takes from it,
// by hand (our texts without their accents: the tests choose no text form).
TEST(Picture, AnglesOnTheUnitCircle) {
  struct Case {
    const char* line;
    const char* facts;
  };
  const Case cases[] = {
      {"sen 150", "quadrante II\nangulo de referencia: 30°\nsen 150° = sen 30° = "},
      {"tg 225°", "quadrante III\nangulo de referencia: 45°\nsen 225° = −sen 45° = "},
      {"cos 300", "quadrante IV\nangulo de referencia: 60°\nsen 300° = −sen 60° = "},
      {"cos(2π/3)", "quadrante II\nangulo de referencia: π/3\nsen 2π/3 = sen π/3 = "},
      {"sen(-π/6)", "quadrante IV\nangulo de referencia: π/6\nsen -π/6 = −sen π/6 = "},
      {"sen 20", "quadrante I\nangulo de referencia: 20°\nsen 20° = 0.34202"},
      {"cos 180", "sobre um eixo, em nenhum quadrante\n"},
  };
  static PictureText text;
  const ValueFormat format = {6, false, true, FormShown::none, true};
  for (const Case& c : cases) {
    const NaturalReading& reading = read(c.line);
    ASSERT_TRUE(is_function_of_angle(reading)) << c.line;
    clear_picture_text(text);
    write_angle_facts(reading, format, text);
    EXPECT_NE(std::strstr(text.bytes, c.facts), nullptr) << c.line << ":\n" << text.bytes;
  }
  EXPECT_FALSE(is_function_of_angle(read("2 sen 30")));
  EXPECT_FALSE(is_function_of_angle(read("arcsen 0.5")));
  EXPECT_FALSE(is_function_of_angle(read("sen 30 + 1")));
}

}  // namespace
