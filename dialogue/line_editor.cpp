#include "dialogue/line_editor.h"

#if defined(TRIGCALC_HAVE_LIBEDIT) && !defined(_WIN32)

#include <histedit.h>
#include <termios.h>

#include <csignal>

#include "dialogue/name_completion.h"
#include "dialogue/terminal.h"

constexpr int history_capacity = 100;  // lines the up arrow can bring back; older ones go

struct LineEditor {
  EditLine* edit;  // the editing state: line, cursor, key bindings
  History* lines;  // this run's lines, kept in memory only
  FILE* in;        // the terminal typed on
  FILE* out;       // the terminal drawn on
};

namespace {

LineEditor the_editor;  // the dialogue's one editor

constexpr int guarded_count = 2;                                   // signals guarded below
constexpr int guarded_signals[guarded_count] = {SIGINT, SIGTERM};  // they end the program

struct termios cooked_modes;                        // the terminal's modes outside editing
volatile std::sig_atomic_t cooked_descriptor = -1;  // terminal to give them back, or -1
struct sigaction outer_actions[guarded_count];      // the handlers replaced while editing

// While a line is edited the terminal is in raw mode: a signal that ends the program gives
// the terminal its usual modes back, then is delivered again to the handler it replaced.
extern "C" void restore_modes_and_forward(int signal_number) {
  if (cooked_descriptor >= 0) tcsetattr(cooked_descriptor, TCSANOW, &cooked_modes);
  const int index = signal_number == SIGINT ? 0 : 1;
  sigaction(signal_number, &outer_actions[index], nullptr);
  raise(signal_number);  // blocked until this handler returns, then goes to the outer one
}

// Remembers the terminal's modes and puts restore_modes_and_forward in front of the
// handlers of the signals that end the program; ignored signals stay ignored.
void guard_modes(FILE* in) {
  if (tcgetattr(fileno(in), &cooked_modes) != 0) return;
  cooked_descriptor = fileno(in);
  struct sigaction action = {};
  action.sa_handler = restore_modes_and_forward;
  sigemptyset(&action.sa_mask);
  for (int i = 0; i < guarded_count; ++i) {
    sigaction(guarded_signals[i], nullptr, &outer_actions[i]);
    if (outer_actions[i].sa_handler != SIG_IGN) sigaction(guarded_signals[i], &action, nullptr);
  }
}

// Puts back the handlers guard_modes replaced.
void unguard_modes() {
  if (cooked_descriptor < 0) return;
  for (int i = 0; i < guarded_count; ++i) sigaction(guarded_signals[i], &outer_actions[i], nullptr);
  cooked_descriptor = -1;
}

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

// Tab: completes the function name at the cursor as far as it is certain, lists the
// candidates when it is not, and beeps when no name fits.
unsigned char complete_at_cursor(EditLine* edit, int) {
  const LineInfo* info = el_line(edit);
  NameCompletion completion;
  complete_function_name(info->buffer, static_cast<int>(info->cursor - info->buffer), completion);
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

// Copies the edited `text` up to its end of line, keeping at most 99 bytes.
void keep_line(const char* text, char (&line)[line_capacity]) {
  int length = 0;
  for (; length < line_capacity - 1 && text[length] != '\0' && text[length] != '\n'; ++length) {
    line[length] = text[length];
  }
  line[length] = '\0';
}

}  // namespace

LineEditor* open_line_editor(FILE* in, FILE* out) {
  if (!is_terminal(in) || !is_terminal(out)) return nullptr;
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
  el_set(edit, EL_SIGNAL, 0);
  el_set(edit, EL_PROMPT, empty_prompt);
  el_set(edit, EL_HIST, history, lines);
  bind_keys(edit);
  the_editor = {edit, lines, in, out};
  return &the_editor;
}

bool edit_line(LineEditor& editor, char (&line)[line_capacity]) {
  std::fflush(editor.out);
  el_resize(editor.edit);  // the window may have changed since the last line
  guard_modes(editor.in);
  int count = 0;
  const char* text = el_gets(editor.edit, &count);
  unguard_modes();
  line[0] = '\0';
  if (text == nullptr || count <= 0) return false;
  keep_line(text, line);
  HistEvent event;
  if (line[0] != '\0') history(editor.lines, &event, H_ENTER, line);
  return true;
}

void close_line_editor(LineEditor* editor) {
  if (editor == nullptr) return;
  el_end(editor->edit);
  history_end(editor->lines);
}

#else

// Built without line editing: every line is read plainly.

LineEditor* open_line_editor(FILE*, FILE*) {
  return nullptr;
}

bool edit_line(LineEditor&, char (&line)[line_capacity]) {
  line[0] = '\0';
  return false;
}

void close_line_editor(LineEditor*) {}

#endif
