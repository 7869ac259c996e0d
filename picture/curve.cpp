#include "picture/curve.h"

#include <algorithm>
#include <cmath>

#include "program/run_doubles.h"
#include "term/value_breaks.h"

namespace {

// Halvings of a column while tracing: 2^-40 of it is near the doubles' own resolution.
constexpr int trace_depth_capacity = 40;
// Bisections of a change of sign: enough to reach adjacent doubles from any interval.
constexpr int bisection_capacity = 1100;
// Steps of the search for a minimum of |f| between three samples.
constexpr int minimum_search_capacity = 100;

// True when one of `breaks` is a pole: the value grows without end there.
bool at_a_pole(const ValueBreaks& breaks) {
  for (int b = 0; b < breaks.count; ++b) {
    const BreakKind kind = breaks.breaks[b].kind;
    if (kind == BreakKind::division_by_zero || kind == BreakKind::function_pole ||
        kind == BreakKind::pole_in_degrees || kind == BreakKind::overflow) {
      return true;
    }
  }
  return false;
}

// Adds the mark at `x` unless it is the last one again, to within `near`. Marks come in the
// samples' order, so that one found twice comes twice in a row.
void add_mark(double* marks, int& count, bool& cut, double x, double near = 0) {
  if (count > 0 && std::fabs(marks[count - 1] - x) <= near) return;
  if (count == curve_mark_capacity) {
    cut = true;
    return;
  }
  marks[count++] = x;
}

// Bisects the change of sign between `a` and `b` to adjacent doubles and marks what is there:
// a zero where |f| falls far below `scale`, a pole where it grows far above it (or where a
// value on the way is one), nothing at a jump or where the curve has no value.
void bisect_sign_change(const CurveFunction& function, CurvePoint a, CurvePoint b, double scale,
                        double near, CurveMarks& marks) {
  for (int step = 0; step < bisection_capacity; ++step) {
    const double middle = a.x + (b.x - a.x) / 2;
    if (middle == a.x || middle == b.x) break;
    const CurvePoint m = curve_point(function, middle);
    marks.cost += function.cost;
    if (m.kind == PointKind::pole) {
      return add_mark(marks.poles, marks.pole_count, marks.cut, m.x, near);
    }
    if (m.kind == PointKind::none) return;
    if (m.y == 0) return add_mark(marks.zeros, marks.zero_count, marks.cut, m.x, near);
    if ((m.y < 0) == (a.y < 0)) {
      a = m;
    } else {
      b = m;
    }
  }
  const CurvePoint& nearer = std::fabs(a.y) < std::fabs(b.y) ? a : b;
  if (std::fabs(nearer.y) <= 1e-6 * scale) {
    add_mark(marks.zeros, marks.zero_count, marks.cut, nearer.x, near);
  } else if (std::fabs(nearer.y) >= 1e6 * scale) {
    add_mark(marks.poles, marks.pole_count, marks.cut, (a.x + b.x) / 2, near);
  }
}

// A zero that touches the axis without crossing it (sen²x at 0): the least |f| between
// `before` and `after`, by golden sections, marked when it is 0 to the doubles' resolution
// (once: a sample may have found it already, within `near`).
void find_touching_zero(const CurveFunction& function, double before, double after, double scale,
                        double near, CurveMarks& marks) {
  const double golden = 0.6180339887498949;
  double low = before, high = after;
  for (int step = 0; step < minimum_search_capacity && low < high; ++step) {
    const double left = high - golden * (high - low), right = low + golden * (high - low);
    const CurvePoint l = curve_point(function, left), r = curve_point(function, right);
    marks.cost += 2 * function.cost;
    if (l.kind != PointKind::value || r.kind != PointKind::value) return;
    if (std::fabs(l.y) < std::fabs(r.y)) {
      high = right;
    } else {
      low = left;
    }
  }
  const CurvePoint least = curve_point(function, (low + high) / 2);
  if (least.kind == PointKind::value && std::fabs(least.y) <= 1e-12 * scale) {
    add_mark(marks.zeros, marks.zero_count, marks.cut, least.x, near);
  }
}

// True when sample `k` is a least |f| of its neighbours, of one sign with them, near 0.
bool touches_zero(const CurveSamples& samples, int k, double scale) {
  const CurvePoint& a = samples.points[k - 1];
  const CurvePoint& m = samples.points[k];
  const CurvePoint& b = samples.points[k + 1];
  if (a.kind != PointKind::value || m.kind != PointKind::value || b.kind != PointKind::value) {
    return false;
  }
  const bool one_sign = (a.y < 0) == (m.y < 0) && (m.y < 0) == (b.y < 0) && m.y != 0;
  return one_sign && std::fabs(m.y) <= std::fabs(a.y) && std::fabs(m.y) <= std::fabs(b.y) &&
         std::fabs(m.y) <= 0.05 * scale;
}

// What tracing one curve needs.
struct Tracer {
  const CurveFunction& function;
  const PlotFrame& frame;
  CurveTrace& trace;
  int cost_capacity;
};

double frame_x(const PlotFrame& frame, double x) {
  return (x - frame.x_low) / (frame.x_high - frame.x_low) * frame.width;
}

// The value's place, held within 4 frames of the frame.
double frame_y(const PlotFrame& frame, double y) {
  const double place = (frame.y_high - y) / (frame.y_high - frame.y_low) * frame.height;
  return std::max(-4 * frame.height, std::min(5 * frame.height, place));
}

// -1 above the frame, 1 below it, 0 inside.
int side_of(const PlotFrame& frame, double place) {
  return place < 0 ? -1 : place > frame.height ? 1 : 0;
}

void emit(Tracer& tracer, const CurvePoint& point, bool joined) {
  CurveTrace& trace = tracer.trace;
  if (trace.count == curve_point_capacity) {
    trace.cut = true;
    return;
  }
  trace.points[trace.count++] = {static_cast<float>(frame_x(tracer.frame, point.x)),
                                 static_cast<float>(frame_y(tracer.frame, point.y)), joined};
}

// The end of a halving: `b` joined to `a` unless one has no value, or, at the last halving,
// they stand on opposite sides outside the frame (a pole between them).
void end_between(Tracer& tracer, const CurvePoint& a, const CurvePoint& b, bool last) {
  if (b.kind != PointKind::value) return;
  if (a.kind != PointKind::value) return emit(tracer, b, false);
  const int side_a = side_of(tracer.frame, frame_y(tracer.frame, a.y));
  const int side_b = side_of(tracer.frame, frame_y(tracer.frame, b.y));
  emit(tracer, b, !(last && side_a != 0 && side_a == -side_b));
}

// True when the line from `a` to `b` shows the curve to within a unit: short, passing within
// half a unit of `m`, or wholly on one side outside the frame with `m`.
bool line_will_do(const PlotFrame& frame, const CurvePoint& a, const CurvePoint& m,
                  const CurvePoint& b) {
  if (a.kind != PointKind::value || m.kind != PointKind::value || b.kind != PointKind::value) {
    return false;
  }
  const double ya = frame_y(frame, a.y), ym = frame_y(frame, m.y), yb = frame_y(frame, b.y);
  const int side = side_of(frame, ya);
  if (side != 0 && side == side_of(frame, ym) && side == side_of(frame, yb)) return true;
  return std::fabs(ya - yb) <= 1 && std::fabs(ym - (ya + yb) / 2) <= 0.5;
}

// Emits the trace after `a` up to `b`, halving where the line between them is not enough.
void trace_between(Tracer& tracer, const CurvePoint& a, const CurvePoint& b, int depth) {
  CurveTrace& trace = tracer.trace;
  const bool last = depth == trace_depth_capacity;
  if (last || trace.cost >= tracer.cost_capacity) {
    if (!last) trace.cut = true;
    return end_between(tracer, a, b, last);
  }
  if (a.kind != PointKind::value && b.kind != PointKind::value) return;  // nothing seen between
  const CurvePoint m = curve_point(tracer.function, a.x + (b.x - a.x) / 2);
  trace.cost += tracer.function.cost;
  if (line_will_do(tracer.frame, a, m, b)) return end_between(tracer, a, b, false);
  trace_between(tracer, a, m, depth + 1);
  trace_between(tracer, m, b, depth + 1);
}

}  // namespace

CurveFunction curve_function(const Program& program, const NumberStore& store, int first, int end) {
  int cost = 0;
  for (int s = first; s < end && s < program.step_count; ++s) {
    const int code = program.steps[s].code;
    cost += code == program_power      ? power_step_cost
            : code == program_function ? function_step_cost
                                       : 1;
  }
  return {&program, &store, first, end, cost > 0 ? cost : 1};
}

CurvePoint curve_point(const CurveFunction& function, double x) {
  ValueBreaks breaks;
  breaks.count = 0;
  breaks.dropped = 0;
  const double y = run_program_steps(*function.program, *function.store, function.first,
                                     function.end, x, &breaks);
  if (std::isfinite(y)) return {x, y, PointKind::value};
  return {x, y, std::isinf(y) || at_a_pole(breaks) ? PointKind::pole : PointKind::none};
}

void sample_curve(const CurveFunction& function, double low, double high, int count,
                  CurveSamples& samples) {
  samples.count = std::max(2, std::min(count, sample_capacity));
  const int last = samples.count - 1;
  for (int k = 0; k <= last; ++k) {
    const double x = k == last ? high : low + (high - low) * k / last;
    samples.points[k] = curve_point(function, x);
  }
}

void find_marks(const CurveFunction& function, const CurveSamples& samples, double scale,
                int cost_capacity, CurveMarks& marks) {
  marks.zero_count = marks.pole_count = marks.cost = 0;
  marks.cut = false;
  const double width = samples.points[samples.count - 1].x - samples.points[0].x;
  const double near = 1e-9 * std::fabs(width);  // one zero, found twice
  for (int k = 0; k < samples.count; ++k) {
    if (marks.cost >= cost_capacity) {
      marks.cut = true;
      return;
    }
    const CurvePoint& a = samples.points[k];
    // A pole or a zero at a sample; or one the doubles miss by their rounding alone (sen 360°
    // is -2.4e-16, 1/sen 360° is -4e15), once.
    const bool huge = a.kind == PointKind::value && std::fabs(a.y) >= 1e12 * scale;
    if (a.kind == PointKind::pole || huge) {
      add_mark(marks.poles, marks.pole_count, marks.cut, a.x, near);
    }
    if (a.kind == PointKind::value && std::fabs(a.y) <= 1e-12 * scale) {
      add_mark(marks.zeros, marks.zero_count, marks.cut, a.x, near);
    }
    if (k > 0 && k + 1 < samples.count && touches_zero(samples, k, scale)) {
      find_touching_zero(function, samples.points[k - 1].x, samples.points[k + 1].x, scale, near,
                         marks);
    }
    if (k + 1 == samples.count) break;
    const CurvePoint& b = samples.points[k + 1];
    if (a.kind == PointKind::value && b.kind == PointKind::value && (a.y < 0) != (b.y < 0) &&
        a.y != 0 && b.y != 0) {
      bisect_sign_change(function, a, b, scale, near, marks);
    }
  }
}

ValueRange value_range(const CurveSamples* const* samples, int count, bool poles) {
  static double values[sample_capacity * 8];
  constexpr int value_capacity = sample_capacity * 8;
  int used = 0;
  for (int c = 0; c < count; ++c) {
    for (int k = 0; k < samples[c]->count && used < value_capacity; ++k) {
      const CurvePoint& point = samples[c]->points[k];
      if (point.kind == PointKind::value) values[used++] = point.y;
    }
  }
  if (used == 0) return {-1, 1};
  std::sort(values, values + used);
  ValueRange range = {values[0], values[used - 1]};
  const double low = values[used / 20], high = values[used - 1 - used / 20];
  if (high > low && (poles || range.high - range.low > 20 * (high - low))) range = {low, high};
  const double size = std::max(std::fabs(range.low), std::fabs(range.high));
  if (range.high - range.low <= 1e-9 * size || range.high - range.low < 1e-300) {
    const double half = size > 0 ? size / 2 : 1;
    range = {range.low - half, range.high + half};
  }
  return range;
}

void trace_curve(const CurveFunction& function, const CurveSamples& samples, const PlotFrame& frame,
                 int cost_capacity, CurveTrace& trace) {
  trace.count = 0;
  trace.cut = false;
  trace.cost = 0;
  Tracer tracer = {function, frame, trace, cost_capacity};
  if (samples.count == 0) return;
  if (samples.points[0].kind == PointKind::value) emit(tracer, samples.points[0], false);
  for (int k = 0; k + 1 < samples.count; ++k) {
    trace_between(tracer, samples.points[k], samples.points[k + 1], 0);
  }
}
