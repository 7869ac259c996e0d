#include "cli/expression_output.h"

#include <cerrno>

#include "cli/options.h"
#include "io/diagnostics.h"
#include "line/exact_line.h"
#include "line/result_text.h"

bool evaluate_and_print(const char* line, int length, const ExpressionSource& source,
                        const ExpressionPrinting& printing) {
  if (printing.format.exact && !exact_mode_available()) {
    flush_output(*printing.output);
    report_exact_unavailable(printing.reports, printing.format.form != FormShown::none);
    *printing.unavailable = true;
    return false;
  }
  ReadingNotes notes;
  clear_notes(notes);
  char result[value_line_capacity];
  put_bytes(*printing.output, result,
            line_value_text(line, length, printing.format, "", "\n", result, &notes));
  if (notes.count == 0) return false;
  flush_output(*printing.output);
  return report_notes(printing.reports, source, line, shown_length(length), notes);
}

bool printing_stopped(const ExpressionPrinting& printing) {
  return printing.output->error != 0 || *printing.unavailable;
}

int finish_command_line(OutputBuffer& output, int status) {
  if (close_output(output)) return status;
  if (output.error != EPIPE) report_write_error(output.error);
  return exit_not_understood;
}
