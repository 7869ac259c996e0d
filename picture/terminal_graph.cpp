#include "picture/terminal_graph.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "picture/braille_canvas.h"

namespace {

// The parts of the terminal a graph takes, in cells.
struct GraphLayout {
  int margin;        // the value labels' column, and a blank
  int plot_columns;  // the plot
  int plot_rows;
};

// A canvas of one row, for the angle labels.
BrailleCanvas& label_row() {
  static BrailleCanvas canvas;
  return canvas;
}

BrailleCanvas& plot_canvas() {
  static BrailleCanvas canvas;
  return canvas;
}

// The plot's rows: about two thirds of the terminal, less the labels' row and the legend.
int plot_rows_for(const GraphPlan& plan, int rows) {
  const int total = (2 * rows + 1) / 3;
  return std::max(3, std::min(canvas_row_capacity, total - 1 - plan.part_count));
}

// The value labels' width for the ticks of the values sampled for a plot `columns` wide.
int value_margin(GraphPlan& plan, int columns, int plot_rows) {
  sample_graph(plan, 2 * columns);
  value_ticks(plan.y_low, plan.y_high, plot_rows / 2 + 1, plan.y_ticks);
  int widest = 1;
  for (int t = 0; t < plan.y_ticks.count; ++t) widest = std::max(widest, plan.y_ticks.widths[t]);
  return widest + 1;
}

GraphLayout lay_out(GraphPlan& plan, TerminalSize size) {
  const int columns = std::max(graph_least_columns, size.columns);
  const int rows = std::max(graph_least_rows, size.rows);
  GraphLayout layout;
  layout.plot_rows = plot_rows_for(plan, rows);
  layout.margin =
      value_margin(plan, std::min(canvas_column_capacity, columns - 12), layout.plot_rows);
  layout.plot_columns = std::min(canvas_column_capacity, columns - layout.margin - 3);
  return layout;
}

double dot_column(const GraphPlan& plan, const GraphLayout& layout, double x) {
  return (x - plan.x_low) / (plan.x_high - plan.x_low) * (2 * layout.plot_columns - 1);
}

double dot_row(const GraphPlan& plan, const GraphLayout& layout, double y) {
  return (plan.y_high - y) / (plan.y_high - plan.y_low) * (4 * layout.plot_rows - 1);
}

// The axes where 0 is in view, each asymptote dotted, and each zero a short tick across the
// axis.
void draw_frame(const GraphPlan& plan, const GraphLayout& layout, BrailleCanvas& canvas) {
  const int width = 2 * layout.plot_columns, height = 4 * layout.plot_rows;
  if (plan.y_low <= 0 && plan.y_high >= 0) {
    const double row = dot_row(plan, layout, 0);
    draw_line(canvas, 0, row, width - 1, row, axis_ink, 0xFF);
  }
  if (plan.x_low <= 0 && plan.x_high >= 0) {
    const double column = dot_column(plan, layout, 0);
    draw_line(canvas, column, 0, column, height - 1, axis_ink, 0xFF);
  }
  for (int p = 0; p < plan.part_count; ++p) {
    const CurveMarks& marks = plan.parts[p].marks;
    for (int k = 0; k < marks.pole_count; ++k) {
      draw_dotted_column(canvas,
                         static_cast<int>(std::lround(dot_column(plan, layout, marks.poles[k]))),
                         axis_ink);
    }
  }
}

void draw_zeros(const GraphPlan& plan, const GraphLayout& layout, int part, BrailleCanvas& canvas) {
  if (!(plan.y_low <= 0 && plan.y_high >= 0)) return;
  const int row = static_cast<int>(std::lround(dot_row(plan, layout, 0)));
  const CurveMarks& marks = plan.parts[part].marks;
  for (int k = 0; k < marks.zero_count; ++k) {
    const int column = static_cast<int>(std::lround(dot_column(plan, layout, marks.zeros[k])));
    for (int d = -2; d <= 2; ++d) set_dot(canvas, column, row + d, first_curve_ink + part);
  }
}

void draw_curve(const CurveTrace& trace, unsigned char ink, unsigned char pattern,
                BrailleCanvas& canvas) {
  for (int k = 0; k < trace.count; ++k) {
    const TracedPoint& point = trace.points[k];
    if (point.joined && k > 0) {
      const TracedPoint& before = trace.points[k - 1];
      draw_line(canvas, before.x, before.y, point.x, point.y, ink, pattern);
    } else {
      draw_line(canvas, point.x, point.y, point.x, point.y, ink, pattern);
    }
  }
}

// Row `row` of the value labels: the label of the tick nearest that row, right-aligned.
void put_value_label(const GraphPlan& plan, const GraphLayout& layout, int row, PictureText& text) {
  const char* label = "";
  for (int t = 0; t < plan.y_ticks.count; ++t) {
    const int tick_row =
        static_cast<int>(std::lround(dot_row(plan, layout, plan.y_ticks.values[t]))) / 4;
    if (tick_row == row) label = plan.y_ticks.labels[t];
  }
  for (int pad = layout.margin - 1 - text_width(label); pad > 0; --pad) put_picture_text(text, " ");
  put_picture_text(text, label);
  put_picture_text(text, " ");
}

// The angle labels, each centred under its tick, the ones that would touch the one before left
// out.
void put_angle_labels(const GraphPlan& plan, const GraphLayout& layout, PictureText& text) {
  BrailleCanvas& labels = label_row();
  clear_canvas(labels, layout.margin + layout.plot_columns + 3, 1);
  int free_from = 0;
  for (int t = 0; t < plan.x_ticks.count; ++t) {
    const int cell = static_cast<int>(dot_column(plan, layout, plan.x_ticks.values[t])) / 2;
    const int start = layout.margin + cell - plan.x_ticks.widths[t] / 2;
    if (start < free_from) continue;
    put_canvas_text(labels, start, 0, plan.x_ticks.labels[t], axis_ink);
    free_from = start + plan.x_ticks.widths[t] + 1;
  }
  write_canvas_row(labels, 0, false, text);
  put_picture_text(text, "\n");
}

// A sample of a curve's line: three cells of its dashes through their middle, in its colour.
void put_line_sample(int part, bool colours, PictureText& text) {
  const unsigned char pattern = colours ? 0xFF : dash_patterns[part];
  if (colours) put_picture_text(text, ink_colour(first_curve_ink + part));
  for (int cell = 0; cell < 3; ++cell) {
    const int left = (pattern >> ((2 * cell) % 8)) & 1,
              right = (pattern >> ((2 * cell + 1) % 8)) & 1;
    const unsigned char dots = (left ? 0x02 : 0) | (right ? 0x10 : 0);
    if (dots == 0) {
      put_picture_text(text, " ");
    } else {
      put_braille(text, dots);
    }
  }
  if (colours) put_picture_text(text, "\033[0m");
}

}  // namespace

void draw_terminal_graph(GraphPlan& plan, const char* line, TerminalSize size, bool colours,
                         PictureText& text, ReadingNotes* notes) {
  const GraphLayout layout = lay_out(plan, size);
  const double y_low = plan.y_low, y_high = plan.y_high;
  sample_graph(plan, 2 * layout.plot_columns);
  plan.y_low = y_low;
  plan.y_high = y_high;
  angle_ticks(plan.x_low, plan.x_high, plan.radians, plan.unicode, layout.plot_columns,
              plan.x_ticks);
  const PlotFrame frame = {plan.x_low,
                           plan.x_high,
                           plan.y_low,
                           plan.y_high,
                           2.0 * layout.plot_columns - 1,
                           4.0 * layout.plot_rows - 1};
  trace_graph(plan, frame, notes);
  BrailleCanvas& canvas = plot_canvas();
  clear_canvas(canvas, layout.plot_columns, layout.plot_rows);
  draw_frame(plan, layout, canvas);
  for (int p = 0; p < plan.part_count; ++p) {
    const unsigned char pattern = colours ? 0xFF : dash_patterns[p];
    draw_curve(plan.parts[p].trace, first_curve_ink + p, pattern, canvas);
    draw_zeros(plan, layout, p, canvas);
  }
  for (int row = 0; row < layout.plot_rows; ++row) {
    put_value_label(plan, layout, row, text);
    write_canvas_row(canvas, row, colours, text);
    put_picture_text(text, "\n");
  }
  put_angle_labels(plan, layout, text);
  for (int p = 0; p < plan.part_count; ++p) {
    put_line_sample(p, colours, text);
    put_picture_text(text, " ");
    put_picture_bytes(text, line + plan.parts[p].column, plan.parts[p].length);
    put_marks_legend(plan, plan.parts[p].marks, text);
    put_picture_text(text, "\n");
  }
}
