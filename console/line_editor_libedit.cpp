// The line editor on libedit.
#include <histedit.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cwchar>

#include "console/line_editor.h"
#include "console/terminal.h"

constexpr int history_capacity = 100;  // lines the up arrow can bring back; older ones go

struct LineEditor {
  EditLine* edit;     // the editing state: line, cursor, key bindings
  History* lines;     // this run's lines, kept in memory only
  FILE* in;           // the terminal typed on
  FILE* out;          // the terminal drawn on
  EditorSetup setup;  // completion words and the text above the line
};

namespace {

LineEditor the_editor;  // the dialogue's one editor

// The dialogue writes its multi-line prompt itself; the editor adds nothing before the line.
char* empty_prompt(EditLine*) {
  static char empty[] = "";
  return empty;
}

// Shows the candidates on the line below the one being edited.
void list_candidates(FILE* out, const NameCompletion& completion) {
  std::fputc('\n', out);
  for (int i = 0; i < completion.candidate_count; ++i) {
    std::fputs(completion.candidates[i], out);
    std::fputs(i + 1 < completion.candidate_count ? "  " : "\n", out);
  }
  std::fflush(out);
}

// Tab: completes the name at the cursor as far as it is certain, lists the candidates when
// it is not, and beeps when no name fits.
unsigned char complete_at_cursor(EditLine* edit, int) {
  const LineInfo* info = el_line(edit);
  NameCompletion completion;
  complete_name(info->buffer, static_cast<int>(info->cursor - info->buffer),
                the_editor.setup.completion, completion);
  if (completion.candidate_count == 0) return CC_ERROR;
  if (completion.insertion[0] != '\0') {
    return el_insertstr(edit, completion.insertion) == 0 ? CC_REFRESH : CC_ERROR;
  }
  if (completion.candidate_count == 1) return CC_NORM;
  list_candidates(the_editor.out, completion);
  return CC_REDISPLAY;
}

// Ctrl-D: the end of input on an empty line, as at a plain terminal (nothing is echoed);
// otherwise deletes the character under the cursor.
unsigned char end_or_delete(EditLine* edit, int) {
  const LineInfo* info = el_line(edit);
  if (info->lastchar == info->buffer) return CC_EOF;
  if (info->cursor == info->lastchar) return CC_ERROR;
  el_cursor(edit, 1);
  el_deletestr(edit, 1);
  return CC_REFRESH;
}

// After a resize or a resumption the rows on screen no longer match the editor's idea of
// them (the terminal may have rewrapped them, the shell written over them): the screen is
// cleared, the text above the line written again, and the line drawn for the window's width.
void redraw_screen(LineEditor& editor) {
  el_resize(editor.edit);
  run_console_command(editor.out, ConsoleCommand::clear_screen);
  std::fputs(editor.setup.screen_text, editor.out);
  std::fflush(editor.out);
  el_set(editor.edit, EL_REFRESH);
}

// Waits until a key can be read from the editor's terminal, redrawing after every resize or
// resumption meanwhile; false when waiting fails. poll is never restarted after a handler,
// so it returns for those even though plain reads are restarted.
bool wait_for_key(LineEditor& editor) {
  for (;;) {
    struct pollfd waited[2] = {{fileno(editor.in), POLLIN, 0},
                               {console_event_descriptor(), POLLIN, 0}};  // -1: left out
    const int ready = poll(waited, 2, -1);
    const bool interrupted = ready < 0 && errno == EINTR;
    if (take_console_events()) redraw_screen(editor);
    if (ready > 0 && waited[0].revents != 0) return true;
    if (ready < 0 && !interrupted) return false;
  }
}

// The editor's character reader: one character, as many bytes as the character type of the
// environment makes it (UTF-8: "°" is two). 1 for a character, 0 at the end of input, -1 on
// an error. A byte sequence that is no character in that locale is dropped.
int read_character(EditLine*, wchar_t* character) {
  std::mbstate_t state = {};
  for (;;) {
    if (!wait_for_key(the_editor)) return -1;
    char byte;
    const ssize_t count = read(fileno(the_editor.in), &byte, 1);
    if (count == 0) return 0;
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return -1;
    const size_t used = std::mbrtowc(character, &byte, 1, &state);
    if (used == static_cast<size_t>(-2)) continue;  // more bytes of the character to come
    if (used == static_cast<size_t>(-1)) {
      state = {};
      continue;
    }
    return 1;
  }
}

// Emacs key bindings, Tab for completion, Ctrl-D, and the Home, End and Delete keys as terminals
// in the vt220 and rxvt families send them.
void bind_keys(EditLine* edit) {
  el_set(edit, EL_EDITOR, "emacs");
  // Wide names: libedit keeps them as given, where narrow ones are copied and never freed.
  el_wset(edit, EL_ADDFN, L"trigcalc-complete", L"Complete a function name", complete_at_cursor);
  el_set(edit, EL_BIND, "^I", "trigcalc-complete", nullptr);
  el_wset(edit, EL_ADDFN, L"trigcalc-end-or-delete", L"End of input or delete", end_or_delete);
  el_set(edit, EL_BIND, "^D", "trigcalc-end-or-delete", nullptr);
  el_set(edit, EL_BIND, "\033[1~", "ed-move-to-beg", nullptr);
  el_set(edit, EL_BIND, "\033[7~", "ed-move-to-beg", nullptr);
  el_set(edit, EL_BIND, "\033[4~", "ed-move-to-end", nullptr);
  el_set(edit, EL_BIND, "\033[8~", "ed-move-to-end", nullptr);
  el_set(edit, EL_BIND, "\033[3~", "ed-delete-next-char", nullptr);
}

// Copies the edited `text` up to its end of line, keeping at most capacity - 1 bytes.
void keep_line(const char* text, char* line, int capacity) {
  int length = 0;
  for (; length < capacity - 1 && text[length] != '\0' && text[length] != '\n'; ++length) {
    line[length] = text[length];
  }
  line[length] = '\0';
}

// The editor's settings. libedit's own signal handling stays off (EL_SIGNAL 0): its handlers
// exist only while a line is read, know nothing of the colours or the window size, and pass
// every signal on with kill(0, ...), to the whole process group: a shell script running the
// program in its own group gets the signal too. The console's handlers put everything back,
// and the character reader above redraws after a resize or fg.
void configure(EditLine* edit, History* lines) {
  el_set(edit, EL_SIGNAL, 0);
  el_set(edit, EL_PROMPT, empty_prompt);
  el_set(edit, EL_HIST, history, lines);
  el_set(edit, EL_GETCFN, read_character);
  bind_keys(edit);
}

}  // namespace

LineEditor* open_line_editor(FILE* in, FILE* out, const EditorSetup& setup) {
  if (!is_terminal(in) || !takes_console_commands(out)) return nullptr;
  History* lines = history_init();
  if (lines == nullptr) return nullptr;
  HistEvent event;
  history(lines, &event, H_SETSIZE, history_capacity);
  history(lines, &event, H_SETUNIQUE, 1);
  EditLine* edit = el_init("trigcalc", in, out, stderr);
  if (edit == nullptr) {
    history_end(lines);
    return nullptr;
  }
  the_editor = {edit, lines, in, out, setup};
  configure(edit, lines);
  return &the_editor;
}

bool edit_line(LineEditor& editor, char* line, int capacity) {
  std::fflush(editor.out);
  el_resize(editor.edit);  // the window may have changed since the last line
  // The screen was just drawn for the window as it is: earlier resizes need no redraw.
  (void)take_console_events();
  int count = 0;
  const char* text = el_gets(editor.edit, &count);
  line[0] = '\0';
  if (text == nullptr || count <= 0) return false;
  keep_line(text, line, capacity);
  HistEvent event;
  if (line[0] != '\0') history(editor.lines, &event, H_ENTER, line);
  return true;
}

void close_line_editor(LineEditor* editor) {
  if (editor == nullptr) return;
  el_end(editor->edit);
  history_end(editor->lines);
}
