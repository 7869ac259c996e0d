// Builds without the editor library (and Windows): there is no editor, every line is read
// plainly, and no history file is kept.
#include "terminal/line_editor.h"

LineEditor* open_line_editor(FILE*, FILE*, const EditorSetup&) {
  return nullptr;
}

EditedLine edit_line(LineEditor&, char* line, int) {
  line[0] = '\0';
  return EditedLine::end_of_input;
}

void close_line_editor(LineEditor*) {}
