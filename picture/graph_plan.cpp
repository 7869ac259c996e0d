#include "picture/graph_plan.h"

#include <cmath>

#include "picture/angle_text.h"
#include "picture/period.h"
#include "program/run_doubles.h"
#include "trig/trig_constants.h"

namespace {

// The steps of expression `part` of the reading: from the end of the one before.
int part_first(const ProgramShape& shape, int part) {
  return part == 0 ? 0 : shape.part_end[part - 1];
}

// One period of all the expressions together; 0 when they have none in common.
double common_period_of(const NaturalReading& reading) {
  const ProgramShape& shape = reading.shape;
  double period = 0;
  for (int p = 0; p < shape.part_count; ++p) {
    const double own = expression_period(reading.program, reading.numbers, part_first(shape, p),
                                         shape.part_end[p]);
    if (own == 0) return 0;
    period = common_period(period, own);
    if (period == 0) return 0;
  }
  return period;
}

// Notes the interval's bytes in the line as `kind`.
bool refuse_interval(const NaturalReading& reading, NoteKind kind, ReadingNotes* notes) {
  const ProgramShape& shape = reading.shape;
  int column = 0, length = 0;
  steps_extent(reading.program, shape.part_end[shape.part_count - 1],
               shape.part_end[shape.part_count + 1], column, length);
  add_note(notes, kind, column, length);
  return false;
}

// Appends the angles of `marks` (count of them), a few at most.
void put_angles(const GraphPlan& plan, const double* angles, int count, bool more,
                PictureText& text) {
  for (int k = 0; k < count && k < legend_mark_capacity; ++k) {
    char angle[angle_text_capacity];
    angle_text(angles[k], plan.radians, plan.unicode, true, 6, angle);
    put_picture_text(text, k > 0 ? ", " : " ");
    put_picture_text(text, angle);
  }
  if (count > legend_mark_capacity || more)
    put_picture_text(text, plan.unicode ? ", \xe2\x80\xa6" : ", ...");
}

}  // namespace

void put_marks_legend(const GraphPlan& plan, const CurveMarks& marks, PictureText& text) {
  if (marks.zero_count > 0) {
    put_picture_words(text, "   zeros:");
    put_angles(plan, marks.zeros, marks.zero_count, marks.cut, text);
  }
  if (marks.pole_count > 0) {
    put_picture_words(text, "   assíntotas:");
    put_angles(plan, marks.poles, marks.pole_count, marks.cut, text);
  }
}

void steps_extent(const Program& program, int first, int end, int& column, int& length) {
  int from = 255, to = 0;
  for (int s = first; s < end && s < program.step_count; ++s) {
    const ProgramStep& step = program.steps[s];
    if (step.length == 0) continue;
    if (step.column < from) from = step.column;
    if (step.column + step.length > to) to = step.column + step.length;
  }
  column = from <= to ? from : 0;
  length = from <= to ? to - from : 0;
}

bool graph_interval(const NaturalReading& reading, double& low, double& high, ReadingNotes* notes) {
  const ProgramShape& shape = reading.shape;
  const double turn = shape.radians ? 2 * trig_pi : 360.0;
  if (!shape.interval) {
    const double period = common_period_of(reading);
    low = 0;
    high = period > 0 && period <= interval_turn_capacity * turn ? period : turn;
    return true;
  }
  const int bounds = shape.part_end[shape.part_count - 1];
  low = run_program_steps(reading.program, reading.numbers, bounds,
                          shape.part_end[shape.part_count], 0, nullptr);
  high = run_program_steps(reading.program, reading.numbers, shape.part_end[shape.part_count],
                           shape.part_end[shape.part_count + 1], 0, nullptr);
  const double size = std::fmax(1, std::fmax(std::fabs(low), std::fabs(high)));
  if (!std::isfinite(low) || !std::isfinite(high) || !(high - low > 1e-9 * size)) {
    return refuse_interval(reading, NoteKind::picture_interval_empty, notes);
  }
  if (high - low > interval_turn_capacity * turn || size > interval_bound_capacity) {
    return refuse_interval(reading, NoteKind::picture_interval_too_wide, notes);
  }
  return true;
}

bool plan_graph(const NaturalReading& reading, bool unicode, GraphPlan& plan, ReadingNotes* notes) {
  const ProgramShape& shape = reading.shape;
  plan.radians = shape.radians != 0;
  plan.unicode = unicode;
  plan.part_count = shape.part_count;
  for (int p = 0; p < shape.part_count; ++p) {
    GraphPart& part = plan.parts[p];
    part.function =
        curve_function(reading.program, reading.numbers, part_first(shape, p), shape.part_end[p]);
    steps_extent(reading.program, part.function.first, part.function.end, part.column, part.length);
  }
  return graph_interval(reading, plan.x_low, plan.x_high, notes);
}

void sample_graph(GraphPlan& plan, int count) {
  const CurveSamples* samples[program_part_capacity];
  for (int p = 0; p < plan.part_count; ++p) {
    sample_curve(plan.parts[p].function, plan.x_low, plan.x_high, count, plan.parts[p].samples);
    samples[p] = &plan.parts[p].samples;
  }
  const ValueRange rough = value_range(samples, plan.part_count, false);
  const double scale = std::fmax(std::fabs(rough.low), std::fabs(rough.high));
  bool poles = false;
  for (int p = 0; p < plan.part_count; ++p) {
    find_marks(plan.parts[p].function, plan.parts[p].samples, scale,
               graph_mark_cost_capacity / plan.part_count, plan.parts[p].marks);
    poles = poles || plan.parts[p].marks.pole_count > 0;
  }
  const ValueRange range = value_range(samples, plan.part_count, poles);
  plan.y_low = range.low;
  plan.y_high = range.high;
}

void trace_graph(GraphPlan& plan, const PlotFrame& frame, ReadingNotes* notes) {
  const int capacity = graph_trace_cost_capacity / (plan.part_count > 0 ? plan.part_count : 1);
  for (int p = 0; p < plan.part_count; ++p) {
    GraphPart& part = plan.parts[p];
    trace_curve(part.function, part.samples, frame, capacity, part.trace);
    if (part.trace.cut) add_note(notes, NoteKind::picture_detail_cut, part.column, part.length);
    bool any_value = false;
    for (int k = 0; k < part.samples.count; ++k) {
      any_value = any_value || part.samples.points[k].kind == PointKind::value;
    }
    if (!any_value) add_note(notes, NoteKind::picture_no_value, part.column, part.length);
  }
}
