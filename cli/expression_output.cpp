#include "cli/expression_output.h"

#include <cerrno>
#include <cstring>

#include "cli/options.h"
#include "console/diagnostics.h"
#include "line/result_text.h"

bool evaluate_and_print(LineState& state, int length, const ExpressionSource& source,
                        const ExpressionOutput& output) {
  const int kept = length < line_capacity ? length : line_capacity - 1;
  char typed[line_capacity];  // the evaluation edits the line; the report quotes it as typed
  std::memcpy(typed, state.line, static_cast<std::size_t>(kept));
  ReadingNotes notes;
  clear_notes(notes);
  const double value = evaluate_line(state, &notes);
  if (length > kept) add_note(&notes, NoteKind::line_cut, kept, 0);
  char line[result_line_capacity];
  put_bytes(*output.values, line, format_result_line(value, output.digits, "", "\n", line));
  if (notes.count == 0) return false;
  flush_output(*output.values);
  return report_notes(output.reports, source, typed, kept, notes);
}

int finish_command_line(OutputBuffer& output, int status) {
  if (close_output(output)) return status;
  if (output.error != EPIPE) report_write_error(output.error);
  return exit_not_understood;
}
