#include "picture/svg_graph.h"

#include <cmath>

namespace {

// The curves' colours, as the terminal's: red, blue, green, magenta, orange, cyan, and two
// more.
constexpr const char* curve_colours[program_part_capacity] = {
    "#d62728", "#1f77b4", "#2ca02c", "#9467bd", "#ff7f0e", "#17becf", "#8c564b", "#e377c2"};

double page_x(const GraphPlan& plan, double x) {
  return svg_plot_left + (x - plan.x_low) / (plan.x_high - plan.x_low) * svg_plot_width;
}

double page_y(const GraphPlan& plan, double y) {
  return svg_plot_top + (plan.y_high - y) / (plan.y_high - plan.y_low) * svg_plot_height;
}

void put_grid(const GraphPlan& plan, PictureText& text) {
  put_picture_text(text, "<g stroke=\"#dddddd\" stroke-width=\"1\">\n");
  for (int t = 0; t < plan.x_ticks.count; ++t) {
    const double x = page_x(plan, plan.x_ticks.values[t]);
    put_picture_format(text, "<line x1=\"%.1f\" y1=\"%d\" x2=\"%.1f\" y2=\"%d\"/>\n", x,
                       svg_plot_top, x, svg_plot_top + svg_plot_height);
  }
  for (int t = 0; t < plan.y_ticks.count; ++t) {
    const double y = page_y(plan, plan.y_ticks.values[t]);
    put_picture_format(text, "<line x1=\"%d\" y1=\"%.1f\" x2=\"%d\" y2=\"%.1f\"/>\n", svg_plot_left,
                       y, svg_plot_left + svg_plot_width, y);
  }
  put_picture_text(text, "</g>\n");
}

void put_axes(const GraphPlan& plan, PictureText& text) {
  put_picture_format(text,
                     "<rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\" fill=\"none\" "
                     "stroke=\"#999999\"/>\n",
                     svg_plot_left, svg_plot_top, svg_plot_width, svg_plot_height);
  put_picture_text(text, "<g stroke=\"#000000\" stroke-width=\"1.2\">\n");
  if (plan.y_low <= 0 && plan.y_high >= 0) {
    const double y = page_y(plan, 0);
    put_picture_format(text, "<line x1=\"%d\" y1=\"%.1f\" x2=\"%d\" y2=\"%.1f\"/>\n", svg_plot_left,
                       y, svg_plot_left + svg_plot_width, y);
  }
  if (plan.x_low <= 0 && plan.x_high >= 0) {
    const double x = page_x(plan, 0);
    put_picture_format(text, "<line x1=\"%.1f\" y1=\"%d\" x2=\"%.1f\" y2=\"%d\"/>\n", x,
                       svg_plot_top, x, svg_plot_top + svg_plot_height);
  }
  put_picture_text(text, "</g>\n");
}

// The labels: the angles under the plot, the values at its left, each at its tick.
void put_labels(const GraphPlan& plan, PictureText& text) {
  put_picture_text(text, "<g fill=\"#000000\" text-anchor=\"middle\">\n");
  for (int t = 0; t < plan.x_ticks.count; ++t) {
    put_picture_format(text, "<text x=\"%.1f\" y=\"%d\">%s</text>\n",
                       page_x(plan, plan.x_ticks.values[t]), svg_plot_top + svg_plot_height + 20,
                       plan.x_ticks.labels[t]);
  }
  put_picture_text(text, "</g>\n<g fill=\"#000000\" text-anchor=\"end\">\n");
  for (int t = 0; t < plan.y_ticks.count; ++t) {
    put_picture_format(text, "<text x=\"%d\" y=\"%.1f\" dominant-baseline=\"central\">%s</text>\n",
                       svg_plot_left - 8, page_y(plan, plan.y_ticks.values[t]),
                       plan.y_ticks.labels[t]);
  }
  put_picture_text(text, "</g>\n");
}

// A curve's trace as one path, each break a new "M".
void put_curve(const GraphPart& part, const char* colour, PictureText& text) {
  put_picture_format(text,
                     "<path fill=\"none\" stroke=\"%s\" stroke-width=\"2\" "
                     "stroke-linejoin=\"round\" d=\"",
                     colour);
  for (int k = 0; k < part.trace.count; ++k) {
    const TracedPoint& point = part.trace.points[k];
    const bool joined = point.joined && k > 0;
    put_picture_format(text, "%s%.2f %.2f", joined ? " L" : (k > 0 ? " M" : "M"),
                       svg_plot_left + point.x, svg_plot_top + point.y);
  }
  put_picture_text(text, "\"/>\n");
}

// The asymptotes dashed, across the plot; the zeros as dots on the axis.
void put_marks(const GraphPlan& plan, const GraphPart& part, const char* colour,
               PictureText& text) {
  for (int k = 0; k < part.marks.pole_count; ++k) {
    const double x = page_x(plan, part.marks.poles[k]);
    put_picture_format(text,
                       "<line x1=\"%.1f\" y1=\"%d\" x2=\"%.1f\" y2=\"%d\" stroke=\"#777777\" "
                       "stroke-dasharray=\"5 4\"/>\n",
                       x, svg_plot_top, x, svg_plot_top + svg_plot_height);
  }
  if (!(plan.y_low <= 0 && plan.y_high >= 0)) return;
  for (int k = 0; k < part.marks.zero_count; ++k) {
    put_picture_format(text, "<circle cx=\"%.1f\" cy=\"%.1f\" r=\"3.5\" fill=\"%s\"/>\n",
                       page_x(plan, part.marks.zeros[k]), page_y(plan, 0), colour);
  }
}

void put_legend(const GraphPlan& plan, const char* line, PictureText& text) {
  for (int p = 0; p < plan.part_count; ++p) {
    const GraphPart& part = plan.parts[p];
    const int y = svg_plot_top + svg_plot_height + 50 + p * svg_legend_line;
    put_picture_format(text,
                       "<line x1=\"%d\" y1=\"%d\" x2=\"%d\" y2=\"%d\" stroke=\"%s\" "
                       "stroke-width=\"3\"/>\n<text xml:space=\"preserve\" x=\"%d\" y=\"%d\" "
                       "dominant-baseline=\"central\">",
                       svg_plot_left, y, svg_plot_left + 30, y, curve_colours[p],
                       svg_plot_left + 40, y);
    put_xml_text(text, line + part.column, part.length);
    put_marks_legend(plan, part.marks, text);
    put_picture_text(text, "</text>\n");
  }
}

}  // namespace

void put_xml_text(PictureText& text, const char* bytes, int length) {
  for (int k = 0; k < length; ++k) {
    const char c = bytes[k];
    if (c == '&') {
      put_picture_text(text, "&amp;");
    } else if (c == '<') {
      put_picture_text(text, "&lt;");
    } else if (c == '>') {
      put_picture_text(text, "&gt;");
    } else if (c == '"') {
      put_picture_text(text, "&quot;");
    } else {
      const bool control = static_cast<unsigned char>(c) < 0x20 || c == 0x7f;
      put_picture_bytes(text, control ? " " : &c, 1);
    }
  }
}

void put_svg_opening(PictureText& text, int height, const char* line, int length) {
  put_picture_format(text,
                     "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                     "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"%d\" "
                     "height=\"%d\" viewBox=\"0 0 %d %d\" font-family=\"DejaVu Sans, Verdana, "
                     "sans-serif\" font-size=\"13\">\n<title>",
                     svg_width, height, svg_width, height);
  put_xml_text(text, line, length);
  put_picture_format(text,
                     "</title>\n<rect width=\"%d\" height=\"%d\" fill=\"#ffffff\"/>\n"
                     "<text x=\"%d\" y=\"30\" text-anchor=\"middle\" font-size=\"17\">",
                     svg_width, height, svg_width / 2);
  put_xml_text(text, line, length);
  put_picture_text(text, "</text>\n");
}

void write_svg_graph(GraphPlan& plan, const char* line, int length, PictureText& text,
                     ReadingNotes* notes) {
  sample_graph(plan, svg_plot_width + 1);
  value_ticks(plan.y_low, plan.y_high, svg_plot_height / 40, plan.y_ticks);
  angle_ticks(plan.x_low, plan.x_high, plan.radians, true, svg_plot_width / 8, plan.x_ticks);
  const PlotFrame frame = {plan.x_low,  plan.x_high,    plan.y_low,
                           plan.y_high, svg_plot_width, svg_plot_height};
  trace_graph(plan, frame, notes);
  const int height = svg_plot_top + svg_plot_height + 50 + plan.part_count * svg_legend_line;
  put_svg_opening(text, height, line, length);
  put_grid(plan, text);
  put_axes(plan, text);
  put_labels(plan, text);
  put_picture_format(text,
                     "<clipPath id=\"plot\"><rect x=\"%d\" y=\"%d\" width=\"%d\" height=\"%d\"/>"
                     "</clipPath>\n<g clip-path=\"url(#plot)\">\n",
                     svg_plot_left, svg_plot_top, svg_plot_width, svg_plot_height);
  for (int p = 0; p < plan.part_count; ++p) put_marks(plan, plan.parts[p], curve_colours[p], text);
  for (int p = 0; p < plan.part_count; ++p) put_curve(plan.parts[p], curve_colours[p], text);
  put_picture_text(text, "</g>\n");
  put_legend(plan, line, text);
  put_picture_text(text, "</svg>\n");
}
