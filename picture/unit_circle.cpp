#include "picture/unit_circle.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "line/exact_line.h"
#include "picture/angle_text.h"
#include "picture/braille_canvas.h"
#include "picture/plot_axes.h"
#include "picture/svg_graph.h"
#include "program/program_functions.h"
#include "program/run_doubles.h"
#include "term/compute_term.h"
#include "trig/trig_constants.h"

namespace {

// Cells each side of the circle for the labels of its axes.
constexpr int circle_label_cells = 5;
// The facts' lines: the angle, the reference angle, the six functions.
constexpr int fact_line_count = 8;

// The six functions, in the order they are told, with their Portuguese names and the
// quadrants (bits 1 to 4) where they are positive.
struct SixFunction {
  TermFunction function;
  const char* name;
  int positive;
};
constexpr SixFunction six_functions[] = {
    {TermFunction::sine, "sen", 0x6},    {TermFunction::cosine, "cos", 0x12},
    {TermFunction::tangent, "tg", 0xA},  {TermFunction::cotangent, "cotg", 0xA},
    {TermFunction::secant, "sec", 0x12}, {TermFunction::cosecant, "cossec", 0x6}};

// Where the angle of the line stands.
struct AngleFacts {
  double theta;      // the angle, in the line's unit
  bool radians;      // the line's unit
  double degrees;    // the angle reduced to [0, 360) in degrees
  int quadrant;      // 1 to 4; 0 on an axis
  double reference;  // the reference angle, in the line's unit
};

// The angle reduced to a turn, by whole numbers where it is a multiple of π/d.
AngleFacts facts_of(double theta, bool radians) {
  AngleFacts facts = {theta, radians, 0, 0, 0};
  long n = 0, d = 1;
  const bool fraction = radians && pi_fraction(theta, n, d);
  if (fraction) {
    n = ((n % (2 * d)) + 2 * d) % (2 * d);
    facts.degrees = 180.0 * static_cast<double>(n) / static_cast<double>(d);
    const bool axis = (2 * n) % d == 0;
    facts.quadrant = axis ? 0 : static_cast<int>(2 * n / d) + 1;
    const long reference[4] = {n, d - n, n - d, 2 * d - n};
    if (!axis) facts.reference = static_cast<double>(reference[facts.quadrant - 1]) * trig_pi / d;
    return facts;
  }
  const double turn = radians ? 2 * trig_pi : 360;
  double reduced = std::fmod(theta, turn);
  if (reduced < 0) reduced += turn;
  facts.degrees = radians ? reduced * 180 / trig_pi : reduced;
  const bool axis = !radians && std::fmod(reduced, 90) == 0;
  facts.quadrant = axis ? 0 : std::min(4, static_cast<int>(facts.degrees / 90) + 1);
  const double half = turn / 2;
  const double reference[4] = {reduced, half - reduced, reduced - half, turn - reduced};
  if (!axis) facts.reference = reference[facts.quadrant - 1];
  return facts;
}

// The angle the line's function is taken of.
double line_angle(const NaturalReading& reading) {
  const Program& program = reading.program;
  return run_program_steps(program, reading.numbers, 1, program.step_count - 1, 0, nullptr);
}

bool line_in_radians(const NaturalReading& reading) {
  return reading.program.steps[reading.program.step_count - 1].radians != 0;
}

// Digits that tell an exact decimal from a rounded one: a value the module writes with fewer
// is that decimal exactly.
constexpr int exact_decimal_digits = 30;
// The largest denominator a rational value is written over ("1/2", "-3/4").
constexpr int fraction_denominator_capacity = 12;

// The minus sign of the forms: U+2212 in UTF-8, as the module writes it.
const char* minus_sign(bool unicode) {
  return unicode ? "\xe2\x88\x92" : "-";
}

// What an exact form turned out to be.
enum class FormFound {
  none,  // none: the digits alone
  form,  // a form, for the digits beside it
  whole  // a whole number, which the digits would only repeat
};

// Writes the rational `value` as n/d (or n) when d is at most fraction_denominator_capacity.
FormFound put_fraction(double value, bool unicode, PictureText& text) {
  for (int d = 1; d <= fraction_denominator_capacity; ++d) {
    const double n = value * d;
    if (n != std::nearbyint(n) || std::fabs(n) > 1e6) continue;
    const char* minus = n < 0 ? minus_sign(unicode) : "";
    if (d == 1) {
      put_picture_format(text, "%s%.0f", minus, std::fabs(n));
      return FormFound::whole;
    }
    put_picture_format(text, "%s%.0f/%d", minus, std::fabs(n), d);
    return FormFound::form;
  }
  return FormFound::none;
}

// The exact form of `program`'s value: the module's, or the fraction of a value it writes as
// an exact decimal.
FormFound put_exact_form(const Program& program, const NumberStore& store, bool unicode,
                         PictureText& text) {
  static char digits[exact_text_capacity];
  static ExactForm form;
  form.unicode = unicode;
  form.length = 0;
  const int written =
      exact_program_text(program, store, exact_decimal_digits, digits, nullptr, &form);
  if (form.length > 0) {
    put_picture_text(text, form.text);
    return FormFound::form;
  }
  double value = 0;
  if (written >= exact_decimal_digits || std::sscanf(digits, "%lf", &value) != 1) {
    return FormFound::none;
  }
  return put_fraction(value, unicode, text);
}

// The value of `function` at the line's angle: its exact form beside its digits where the
// module finds one, the digits alone otherwise (and in doubles without the module).
void put_function_value(const NaturalReading& reading, TermFunction function, ValueFormat format,
                        PictureText& text) {
  static Program program;
  program = reading.program;
  program.steps[program.step_count - 1].argument =
      static_cast<short>(program_function_of(function));
  char value[result_line_capacity];
  format_result_line(run_program(program, reading.numbers, nullptr), format.digits, "", "", value,
                     result_line_capacity);
  const FormFound found = exact_mode_available()
                              ? put_exact_form(program, reading.numbers, format.unicode, text)
                              : FormFound::none;
  if (found == FormFound::whole) return;  // "2", not "2 ≈ 2"
  if (found == FormFound::form) {
    put_picture_text(text, form_separator(format.unicode));
  }
  put_picture_text(text, value);
}

// "sen 150° = sen 30° = 1/2 ≈ 0.5", "tg 90° não existe".
void put_function_line(const NaturalReading& reading, const AngleFacts& facts,
                       const SixFunction& six, ValueFormat format, PictureText& text) {
  char angle[angle_text_capacity], reference[angle_text_capacity];
  angle_text(facts.theta, facts.radians, format.unicode, true, format.digits, angle);
  put_picture_format(text, "%s %s", six.name, angle);
  if (facts.quadrant == 0 && at_pole_in_degrees(six.function, facts.degrees)) {
    put_picture_words(text, " não existe\n");
    return;
  }
  if (facts.quadrant > 1) {  // in the first quadrant the angle is its own reference
    angle_text(facts.reference, facts.radians, format.unicode, true, format.digits, reference);
    const bool positive = (six.positive >> facts.quadrant & 1) != 0;
    put_picture_format(text, " = %s%s %s", positive ? "" : minus_sign(format.unicode), six.name,
                       reference);  // U+2212
  }
  put_picture_text(text, " = ");
  put_function_value(reading, six.function, format, text);
  put_picture_text(text, "\n");
}

// The quadrants' numerals.
constexpr const char* quadrant_names[5] = {"", "I", "II", "III", "IV"};

// The dot where the angle `t` (radians) meets a circle of `radius` about (`x`, `y`).
void circle_point(double x, double y, double radius, double t, double& px, double& py) {
  px = x + radius * std::cos(t);
  py = y - radius * std::sin(t);
}

// The circle, its axes with their labels, the angle's arc and ray, the point and its
// projections (the cosine on the horizontal axis, the sine on the vertical one).
void draw_circle(const AngleFacts& facts, bool unicode, BrailleCanvas& canvas) {
  const int radius = 2 * canvas.rows - 3;
  const double cx = 2 * circle_label_cells + radius + 1, cy = 2 * canvas.rows - 1;
  draw_line(canvas, cx - radius - 3, cy, cx + radius + 3, cy, axis_ink, 0xFF);
  draw_line(canvas, cx, cy - radius - 1, cx, cy + radius + 1, axis_ink, 0xFF);
  for (int k = 0; k < 16 * radius; ++k) {
    double x = 0, y = 0;
    circle_point(cx, cy, radius, 2 * trig_pi * k / (16 * radius), x, y);
    set_dot(canvas, static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)), axis_ink);
  }
  const double t = facts.degrees * trig_pi / 180;
  for (int k = 0; k <= 4 * radius; ++k) {
    double x = 0, y = 0;
    circle_point(cx, cy, radius / 4.0, t * k / (4 * radius), x, y);
    set_dot(canvas, static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)),
            first_curve_ink);
  }
  double px = 0, py = 0;
  circle_point(cx, cy, radius, t, px, py);
  draw_line(canvas, cx, cy, px, cy, first_curve_ink + 1, 0xFF);
  draw_line(canvas, cx, cy, cx, py, first_curve_ink + 2, 0xFF);
  draw_dotted_line(canvas, px, py, px, cy, first_curve_ink + 1);
  draw_dotted_line(canvas, px, py, cx, py, first_curve_ink + 2);
  draw_line(canvas, cx, cy, px, py, first_curve_ink, 0xFF);
  const int row = static_cast<int>(cy) / 4, column = static_cast<int>(cx) / 2;
  const double quarter = facts.radians ? trig_pi / 2 : 90;
  char label[angle_text_capacity];
  angle_text(0, facts.radians, unicode, true, 6, label);
  put_canvas_text(canvas, column + radius / 2 + 2, row, label, axis_ink);
  angle_text(quarter, facts.radians, unicode, true, 6, label);
  put_canvas_text(canvas, column + 1, 0, label, axis_ink);
  angle_text(2 * quarter, facts.radians, unicode, true, 6, label);
  put_canvas_text(canvas,
                  std::max(0, column - radius / 2 - 2 - static_cast<int>(std::strlen(label)) + 1),
                  row, label, axis_ink);
  angle_text(3 * quarter, facts.radians, unicode, true, 6, label);
  put_canvas_text(canvas, column + 1, canvas.rows - 1, label, axis_ink);
  const int point_column = static_cast<int>(px) / 2 + (px >= cx ? 1 : -1);
  put_canvas_text(canvas, point_column, static_cast<int>(py) / 4 + (py < cy ? 0 : 0), "P",
                  first_curve_ink);
}

// The circle's rows: about two thirds of the terminal, fewer where the facts would not fit
// beside it, never fewer than the facts' lines.
int circle_rows(const PictureText& facts, TerminalSize size) {
  int widest = 0;
  for (const char* line = facts.bytes; *line != '\0';) {
    const char* end = std::strchr(line, '\n');
    if (end == nullptr) break;
    int width = 0;
    for (const char* c = line; c < end; ++c) width += is_character_start(*c);
    widest = std::max(widest, width);
    line = end + 1;
  }
  const int high = (2 * std::max(graph_least_rows, size.rows) + 1) / 3;
  const int wide =
      (std::max(graph_least_columns, size.columns) - widest - 2 - 2 * circle_label_cells) / 2;
  return std::max(fact_line_count, std::min(high, wide));
}

}  // namespace

bool is_function_of_angle(const NaturalReading& reading) {
  const Program& program = reading.program;
  const int n = program.step_count;
  if (!reading.read || reading.shape.unknown || reading.shape.equation || n < 3) return false;
  const ProgramStep& amplitude = program.steps[0];
  const ProgramStep& applied = program.steps[n - 1];
  const TermFunction function = term_function_of(applied.argument);
  return amplitude.code == program_push_integer && amplitude.argument == 1 &&
         applied.code == program_function && is_direct_trigonometric(function) &&
         amplitude.column == applied.column;
}

void write_angle_facts(const NaturalReading& reading, ValueFormat format, PictureText& text) {
  const AngleFacts facts = facts_of(line_angle(reading), line_in_radians(reading));
  char angle[angle_text_capacity];
  angle_text(facts.theta, facts.radians, format.unicode, true, format.digits, angle);
  put_picture_format(text, "%s = %s: ", format.unicode ? "\xce\xb8" : "theta", angle);  // U+03B8
  if (facts.quadrant == 0) {
    put_picture_words(text, "sobre um eixo, em nenhum quadrante\n");
  } else {
    put_picture_words(text, "quadrante ");
    put_picture_format(text, "%s\n", quadrant_names[facts.quadrant]);
    angle_text(facts.reference, facts.radians, format.unicode, true, format.digits, angle);
    put_picture_words(text, "ângulo de referência: ");
    put_picture_format(text, "%s\n", angle);
  }
  for (const SixFunction& six : six_functions) put_function_line(reading, facts, six, format, text);
}

void draw_unit_circle(const NaturalReading& reading, ValueFormat format, TerminalSize size,
                      bool colours, PictureText& text) {
  static PictureText facts_text;
  clear_picture_text(facts_text);
  write_angle_facts(reading, format, facts_text);
  const AngleFacts facts = facts_of(line_angle(reading), line_in_radians(reading));
  const int rows = circle_rows(facts_text, size);
  static BrailleCanvas canvas;
  clear_canvas(canvas, 2 * circle_label_cells + 2 * rows, std::min(rows, canvas_row_capacity));
  draw_circle(facts, format.unicode, canvas);
  const char* fact = facts_text.bytes;
  const int first_fact = (canvas.rows - fact_line_count) / 2;
  for (int row = 0; row < canvas.rows; ++row) {
    write_canvas_row(canvas, row, colours, text);
    const char* end = std::strchr(fact, '\n');
    if (row >= first_fact && end != nullptr) {
      put_picture_text(text, "  ");
      put_picture_bytes(text, fact, static_cast<int>(end - fact));
      fact = end + 1;
    }
    put_picture_text(text, "\n");
  }
}

void write_svg_unit_circle(const NaturalReading& reading, ValueFormat format, const char* line,
                           int length, PictureText& text) {
  static PictureText facts_text;
  clear_picture_text(facts_text);
  format.unicode = true;
  write_angle_facts(reading, format, facts_text);
  const AngleFacts facts = facts_of(line_angle(reading), line_in_radians(reading));
  const double cx = 200, cy = 230, radius = 150, t = facts.degrees * trig_pi / 180;
  const double px = cx + radius * std::cos(t), py = cy - radius * std::sin(t);
  put_svg_opening(text, 420, line, length);
  put_picture_format(text,
                     "<g stroke=\"#000000\" fill=\"none\">\n<line x1=\"%g\" y1=\"%g\" x2=\"%g\" "
                     "y2=\"%g\"/>\n<line x1=\"%g\" y1=\"%g\" x2=\"%g\" y2=\"%g\"/>\n<circle "
                     "cx=\"%g\" cy=\"%g\" r=\"%g\"/>\n</g>\n",
                     cx - radius - 20, cy, cx + radius + 20, cy, cx, cy - radius - 20, cx,
                     cy + radius + 20, cx, cy, radius);
  put_picture_format(text,
                     "<line x1=\"%g\" y1=\"%g\" x2=\"%.2f\" y2=\"%g\" stroke=\"#1f77b4\" "
                     "stroke-width=\"3\"/>\n<line x1=\"%g\" y1=\"%g\" x2=\"%g\" y2=\"%.2f\" "
                     "stroke=\"#2ca02c\" stroke-width=\"3\"/>\n",
                     cx, cy, px, cy, cx, cy, cx, py);
  put_picture_format(text,
                     "<g stroke-dasharray=\"4 4\"><line x1=\"%.2f\" y1=\"%.2f\" x2=\"%.2f\" "
                     "y2=\"%g\" stroke=\"#1f77b4\"/>\n<line x1=\"%.2f\" y1=\"%.2f\" x2=\"%g\" "
                     "y2=\"%.2f\" stroke=\"#2ca02c\"/></g>\n<line x1=\"%g\" y1=\"%g\" x2=\"%.2f\" "
                     "y2=\"%.2f\" stroke=\"#d62728\" stroke-width=\"2\"/>\n<circle cx=\"%.2f\" "
                     "cy=\"%.2f\" r=\"5\" fill=\"#d62728\"/>\n",
                     px, py, px, cy, px, py, cx, py, cx, cy, px, py, px, py);
  put_picture_text(text, "<g fill=\"#000000\">\n");
  int y = 90;
  for (const char* fact = facts_text.bytes; *fact != '\0'; y += 26) {
    const char* end = std::strchr(fact, '\n');
    if (end == nullptr) break;
    put_picture_format(text, "<text x=\"420\" y=\"%d\">", y);
    put_xml_text(text, fact, static_cast<int>(end - fact));
    put_picture_text(text, "</text>\n");
    fact = end + 1;
  }
  put_picture_text(text, "</g>\n</svg>\n");
}
