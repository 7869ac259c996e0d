// One expression in the unknown as a curve: its values in doubles, sampled over an interval
// once per column of the drawing; its zeros and poles found between the samples; the range of
// values a drawing shows; and its trace in the drawing's own units, refined where it is steep
// so that no peak between two samples is missed by more than a unit, never joined across a
// pole or where it has no value.
#pragma once

#include "program/program.h"
#include "term/term_reading.h"

// An expression of a line: the steps `first` up to `end` of `program`, over `store`'s numbers,
// and what computing one of its values costs.
struct CurveFunction {
  const Program* program;
  const NumberStore* store;
  int first;
  int end;
  int cost;  // cost units (below) of one value
};

// The work a picture may do is counted in cost units, about the time of one plain step of a
// program each: a function 4 of them, a power 100 (its double-double logarithm and exponential),
// as measured by bench/picture_bench.cpp.
constexpr int function_step_cost = 4;
constexpr int power_step_cost = 100;

// The expression of steps `first` up to `end` of `program`, with its cost.
CurveFunction curve_function(const Program& program, const NumberStore& store, int first, int end);

// What a curve is at one point.
enum class PointKind : unsigned char {
  value,  // a finite value
  pole,   // no value, at a pole (a division by 0, a function at its pole, an infinity)
  none    // no value (outside a function's domain)
};

struct CurvePoint {
  double x;
  double y;  // the value, when `kind` is value
  PointKind kind;
};

// The curve at `x`, in the unit of the line's unknown.
CurvePoint curve_point(const CurveFunction& function, double x);

// Samples of one curve: one per column of the widest drawing (a graph 400 cells wide has
// 800 columns of dots; an SVG plot 720 pixels).
constexpr int sample_capacity = 1024;

struct CurveSamples {
  int count;
  CurvePoint points[sample_capacity];
};

// `count` samples (2 to sample_capacity) from `low` to `high`, evenly spaced, both included.
void sample_curve(const CurveFunction& function, double low, double high, int count,
                  CurveSamples& samples);

// Zeros and poles of one curve kept; the drawing lists the first ones.
constexpr int curve_mark_capacity = 48;

struct CurveMarks {
  int zero_count;
  double zeros[curve_mark_capacity];  // in increasing order
  int pole_count;
  double poles[curve_mark_capacity];
  bool cut;  // more were found, or searched for, than there is room for
  int cost;  // cost units of the values computed to find them
};

// The zeros (a sample at 0, a change of sign, or a minimum of |f| at 0 between samples) and
// poles (a sample at a pole, or a change of sign across which |f| grows without end) between
// `samples`, each located by bisection to the last bit; `scale` is a size of the curve's
// values, to tell a zero (|f| far below it) from a pole (far above) and from a jump. Searches
// at most `cost_capacity` cost units' worth (a curve that changes sign between most samples,
// as sen(x²) does, is searched that far), then marks the rest cut.
void find_marks(const CurveFunction& function, const CurveSamples& samples, double scale,
                int cost_capacity, CurveMarks& marks);

// The values a drawing shows: from the samples' least to their greatest, or, where some are
// far larger than most (near a pole), the range that holds nine in ten of them.
struct ValueRange {
  double low;
  double high;
};

// The range of the finite values of `count` curves' samples; `poles` says a pole was found
// in one of them. [-1, 1] when there is no value, a range around a constant one.
ValueRange value_range(const CurveSamples* const* samples, int count, bool poles);

// A drawing's frame: the angles and values it shows, and its size in its own units (dots or
// pixels), x from 0 at `x_low` to `width` at `x_high`, y from 0 at `y_high` to `height`.
struct PlotFrame {
  double x_low, x_high, y_low, y_high;
  double width, height;
};

// The points of a trace kept, per curve.
constexpr int curve_point_capacity = 16384;

// One point of a trace, in the frame's units; `joined`: a line goes to it from the one before.
struct TracedPoint {
  float x;
  float y;
  bool joined;
};

struct CurveTrace {
  int count;
  bool cut;  // the points or the cost ran out: drawn with less detail
  int cost;  // cost units of the values computed while tracing
  TracedPoint points[curve_point_capacity];
};

// Traces the curve through its `samples` in `frame`, computing at most `cost_capacity` cost
// units' worth of more values: between two samples, a value halfway wherever the line between them
// is more than one unit long or passes more than half a unit from it, down to a width of 2^-40 of a
// column; the trace is broken where there is no value and where it leaves the frame on one
// side and comes back on the other within that width (a pole). Points far outside the frame
// are held 4 frames away from it, which keeps every line's part inside.
void trace_curve(const CurveFunction& function, const CurveSamples& samples, const PlotFrame& frame,
                 int cost_capacity, CurveTrace& trace);
