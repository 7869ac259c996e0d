#include "picture/value_table.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "line/exact_line.h"
#include "picture/angle_text.h"
#include "picture/curve.h"
#include "picture/graph_plan.h"
#include "trig/trig_constants.h"

namespace {

// Digits of a row's angle: every multiple of a step within the widest interval told apart,
// whatever the digits of the values.
constexpr int table_angle_digits = 15;

// Samples searched for the poles a row may fall on.
constexpr int table_pole_samples = 512;

// Bytes of one value's text: a form, " ≈ ", the digits.
constexpr int table_value_capacity = exact_form_capacity + exact_text_capacity + 8;

struct TableRow {
  double x;
  int bound;          // 0: a multiple of the step; 1: the low bound; 2: the high one
  long long degrees;  // a multiple: the angle in degrees, a whole number
};

// The rows: the multiples of `step` inside the interval, and each bound kept that is none;
// `degrees` is the step in degrees.
int table_rows(const ProgramShape& shape, double low, double high, double step, long long degrees,
               TableRow (&rows)[table_row_capacity]) {
  int count = 0;
  const double first = std::ceil(low / step - 1e-9), last = std::floor(high / step + 1e-9);
  const bool low_multiple = std::fabs(first * step - low) <= 1e-9 * step;
  const bool high_multiple = std::fabs(last * step - high) <= 1e-9 * step;
  if (!low_multiple && !shape.low_open) rows[count++] = {low, 1, 0};
  for (double k = first; k <= last && count < table_row_capacity - 1; ++k) {
    if ((k == first && low_multiple && shape.low_open) ||
        (k == last && high_multiple && shape.high_open))
      continue;
    rows[count++] = {k * step + 0.0, 0, static_cast<long long>(k) * degrees};  // never -0
  }
  if (!high_multiple && !shape.high_open && count < table_row_capacity)
    rows[count++] = {high, 2, 0};
  return count;
}

// The steps pushing a row's angle, `degrees` (a whole number) as the line's unknown: itself in
// degrees, times π/180 in radians (the store gains a π when it has none); or a bound's own
// steps. Returns how many, 0 when they do not fit.
int row_angle_steps(const NaturalReading& reading, const TableRow& row, NumberStore& store,
                    ProgramStep (&steps)[program_step_capacity]) {
  const ProgramShape& shape = reading.shape;
  if (row.bound != 0) {
    const int from = shape.part_end[shape.part_count - 2 + row.bound];
    const int to = shape.part_end[shape.part_count - 1 + row.bound];
    for (int s = from; s < to; ++s) steps[s - from] = reading.program.steps[s];
    return to - from;
  }
  if (std::llabs(row.degrees) > 32767) return 0;
  steps[0] = {program_push_integer, 0, static_cast<short>(row.degrees), 0, 0};
  if (!shape.radians) return 1;
  int pi = 0;
  while (pi < store.count && store.numbers[pi].form != NumberForm::pi) ++pi;
  if (pi == store.count) {
    if (store.count == number_read_capacity) return 0;
    store.numbers[store.count++] = {NumberForm::pi, '+', 0, 0, 0, 0, 0};
  }
  steps[1] = {program_push_number, 0, static_cast<short>(pi), 0, 0};
  steps[2] = {program_multiply, 0, 0, 0, 0};
  steps[3] = {program_push_integer, 0, 180, 0, 0};
  steps[4] = {program_divide, 0, 0, 0, 0};
  return 5;
}

// True when `x` is one of the poles found, to the doubles' resolution of the interval.
bool at_pole(const CurveMarks& marks, double x, double width) {
  for (int k = 0; k < marks.pole_count; ++k) {
    if (std::fabs(marks.poles[k] - x) <= 1e-9 * width) return true;
  }
  return false;
}

// One value of a row: nan at a pole, else the doubles' or the exact text.
void put_row_value(const NaturalReading& reading, int part, const TableRow& row,
                   const CurvePoint& point, bool pole, ValueFormat format, PictureText& text) {
  static char value[table_value_capacity];
  static NumberStore store;
  static Program program;
  static ProgramStep angle[program_step_capacity];
  const ProgramShape& shape = reading.shape;
  int written = 0;
  if (format.exact) {
    store = reading.numbers;
    const int first = part == 0 ? 0 : shape.part_end[part - 1];
    const int count = row_angle_steps(reading, row, store, angle);
    if (count > 0 &&
        program_at_angle(reading, first, shape.part_end[part], angle, count, program)) {
      written = exact_or_double_text(program, store, 0, format, value, table_value_capacity);
    }
  }
  if (written == 0) {
    const double y = pole || point.kind != PointKind::value ? std::nan("") : point.y;
    written = format_result_line(y, format.digits, "", "", value, table_value_capacity);
  }
  put_picture_bytes(text, value, written);
}

}  // namespace

double table_step(double low, double high, bool radians) {
  const double width = radians ? (high - low) * 180 / trig_pi : high - low;
  for (const double step : table_steps) {
    if (width / step <= table_step_count + 1e-9) return radians ? step * trig_pi / 180 : step;
  }
  const double widest = table_steps[sizeof table_steps / sizeof table_steps[0] - 1];
  return radians ? widest * trig_pi / 180 : widest;
}

bool program_at_angle(const NaturalReading& reading, int first, int end, const ProgramStep* angle,
                      int angle_steps, Program& program) {
  program.step_count = 0;
  program.complete = 1;
  for (int s = first; s < end; ++s) {
    const ProgramStep& step = reading.program.steps[s];
    const bool unknown = step.code == program_unknown;
    const int needed = unknown ? angle_steps : 1;
    if (program.step_count + needed > program_step_capacity) return false;
    if (unknown) {
      std::memcpy(program.steps + program.step_count, angle, sizeof(ProgramStep) * angle_steps);
    } else {
      program.steps[program.step_count] = step;
    }
    program.step_count += needed;
  }
  return true;
}

int exact_or_double_text(const Program& program, const NumberStore& store, double value,
                         ValueFormat format, char* out, int out_capacity) {
  static char digits[exact_text_capacity];
  static ExactForm form;
  if (!format.exact) return format_result_line(value, format.digits, "", "", out, out_capacity);
  form.unicode = format.unicode;
  form.length = 0;
  const bool asked = format.form != FormShown::none;
  const int written =
      exact_program_text(program, store, format.digits, digits, nullptr, asked ? &form : nullptr);
  if (asked && form.length > 0 && format.form == FormShown::only) {
    return std::snprintf(out, static_cast<std::size_t>(out_capacity), "%s", form.text);
  }
  if (asked && form.length > 0) {
    return std::snprintf(out, static_cast<std::size_t>(out_capacity), "%s%s%.*s", form.text,
                         form_separator(format.unicode), written, digits);
  }
  return std::snprintf(out, static_cast<std::size_t>(out_capacity), "%.*s", written, digits);
}

void write_value_table(const NaturalReading& reading, ValueFormat format, PictureText& text,
                       ReadingNotes* notes) {
  double low = 0, high = 0;
  if (!graph_interval(reading, low, high, notes)) return;
  const ProgramShape& shape = reading.shape;
  const double step = table_step(low, high, shape.radians != 0);
  TableRow rows[table_row_capacity];
  const long long degrees = std::llround(shape.radians ? step * 180 / trig_pi : step);
  const int row_count = table_rows(shape, low, high, step, degrees, rows);
  static CurveSamples samples;
  static CurveMarks marks[program_part_capacity];
  CurveFunction functions[program_part_capacity];
  for (int p = 0; p < shape.part_count; ++p) {
    functions[p] = curve_function(reading.program, reading.numbers,
                                  p == 0 ? 0 : shape.part_end[p - 1], shape.part_end[p]);
    sample_curve(functions[p], low, high, table_pole_samples, samples);
    const CurveSamples* sampled = &samples;
    const ValueRange range = value_range(&sampled, 1, false);
    find_marks(functions[p], samples, std::fmax(std::fabs(range.low), std::fabs(range.high)),
               graph_mark_cost_capacity / shape.part_count, marks[p]);
  }
  for (int r = 0; r < row_count; ++r) {
    char angle[angle_text_capacity];
    const int written =
        angle_text(rows[r].x, shape.radians != 0, format.unicode, false, table_angle_digits, angle);
    put_picture_bytes(text, angle, written);
    for (int p = 0; p < shape.part_count; ++p) {
      put_picture_text(text, "\t");
      const bool pole = at_pole(marks[p], rows[r].x, high - low);
      put_row_value(reading, p, rows[r], curve_point(functions[p], rows[r].x), pole, format, text);
    }
    put_picture_text(text, "\n");
  }
}
