#include "cli/expression_output.h"

#include <cerrno>

#include "cli/options.h"
#include "io/diagnostics.h"
#include "io/text_form.h"
#include "line/exact_line.h"
#include "line/result_text.h"
#include "picture/picture_text.h"
#include "terminal/terminal.h"

namespace {

// What a picture asked for is at this moment: a graph only at a terminal in UTF-8, as wide and
// high as it is now; the table anywhere else.
PictureRequest picture_request(const ExpressionPrinting& printing) {
  PictureRequest request = {printing.picture, {0, 0}, false, printing.format};
  if (request.kind != PictureKind::graph) return request;
  const bool at_terminal = terminal_window_size(stdout, request.size.columns, request.size.rows);
  if (!at_terminal || !printing.format.unicode) request.kind = PictureKind::table;
  request.colours = request.kind == PictureKind::graph && takes_colours(stdout);
  return request;
}

// Reports `notes` of the line after what was printed before them; true when reported.
bool report_after(const char* line, int length, const ExpressionSource& source,
                  const ExpressionPrinting& printing, const ReadingNotes& notes) {
  if (notes.count == 0) return false;
  flush_output(*printing.output);
  return report_notes(printing.reports, source, line, shown_length(length), notes);
}

// Draws the expression's picture and prints it.
bool draw_and_print(const char* line, int length, const ExpressionSource& source,
                    const ExpressionPrinting& printing) {
  static PictureText picture;  // 2 MiB: kept off the stack
  ReadingNotes notes;
  clear_notes(notes);
  write_line_picture(line, length, picture_request(printing), picture, &notes);
  put_bytes(*printing.output, picture.bytes, picture.used);
  return report_after(line, length, source, printing, notes);
}

}  // namespace

bool evaluate_and_print(const char* line, int length, const ExpressionSource& source,
                        const ExpressionPrinting& printing) {
  if (printing.format.exact && !exact_mode_available()) {
    flush_output(*printing.output);
    report_exact_unavailable(printing.reports, printing.format.form != FormShown::none);
    *printing.unavailable = true;
    return false;
  }
  if (printing.picture != PictureKind::none) return draw_and_print(line, length, source, printing);
  ReadingNotes notes;
  clear_notes(notes);
  char result[value_line_capacity];
  bool worded = false;
  const int written = line_value_text(line, length, printing.format, "", "\n", result, &notes,
                                      &worded, printing.last);
  if (worded) put_our_text(*printing.output, result);
  if (!worded) put_bytes(*printing.output, result, written);
  return report_after(line, length, source, printing, notes);
}

bool printing_stopped(const ExpressionPrinting& printing) {
  return printing.output->error != 0 || *printing.unavailable;
}

int finish_command_line(OutputBuffer& output, int status) {
  if (close_output(output)) return status;
  if (output.error != EPIPE) report_write_error(output.error);
  return exit_not_understood;
}
