#include "picture/picture_line.h"

#include "line/evaluate_line.h"
#include "natural/natural_reading.h"
#include "picture/graph_plan.h"
#include "picture/svg_graph.h"
#include "picture/unit_circle.h"
#include "picture/value_table.h"

namespace {

// A line in the unknown: its graph or table.
void write_curves(const NaturalReading& reading, const char* line, int shown,
                  const PictureRequest& request, PictureText& text, ReadingNotes* notes) {
  static GraphPlan plan;  // 1.7 MiB: kept off the stack
  if (request.kind == PictureKind::table) {
    return write_value_table(reading, request.format, text, notes);
  }
  const bool svg = request.kind == PictureKind::svg;
  if (!plan_graph(reading, svg || request.format.unicode, plan, notes)) return;
  if (svg) return write_svg_graph(plan, line, shown, text, notes);
  draw_terminal_graph(plan, line, request.size, request.colours, text, notes);
}

// A line without the unknown that is one function of an angle: its unit circle, or the facts
// about the angle.
void write_angle(const NaturalReading& reading, const char* line, int shown,
                 const PictureRequest& request, PictureText& text) {
  if (request.kind == PictureKind::graph) {
    return draw_unit_circle(reading, request.format, request.size, request.colours, text);
  }
  if (request.kind == PictureKind::svg) {
    return write_svg_unit_circle(reading, request.format, line, shown, text);
  }
  write_angle_facts(reading, request.format, text);
}

// Any other line in a table: its value line, as without a picture, with its own notes.
void write_value(const char* line, int length, const PictureRequest& request, PictureText& text,
                 ReadingNotes* notes) {
  static char value[value_line_capacity];
  if (notes != nullptr) clear_notes(*notes);
  const int written = line_value_text(line, length, request.format, "", "\n", value, notes);
  put_picture_bytes(text, value, written);
}

}  // namespace

void write_line_picture(const char* line, int length, const PictureRequest& request,
                        PictureText& text, ReadingNotes* notes) {
  static NaturalReading reading;  // 6 KiB: kept off the stack
  clear_picture_text(text);
  read_natural_line(line, length, reading, notes);
  const int shown = shown_length(length);
  const bool angle = is_function_of_angle(reading);
  if (reading.read && !reading.shape.unknown && !angle && request.kind == PictureKind::table) {
    return write_value(line, length, request, text, notes);
  }
  if (length > shown) add_note(notes, NoteKind::line_cut, shown, 0);
  if (reading.read && reading.shape.unknown) {
    write_curves(reading, line, shown, request, text, notes);
  } else if (angle) {
    write_angle(reading, line, shown, request, text);
  } else if (reading.read) {
    add_note(notes, NoteKind::picture_nothing_to_draw, 0, shown);
  }
  if (notes != nullptr) finish_notes(*notes, line, shown);
}
