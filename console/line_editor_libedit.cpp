// The line editor on libedit, with the history file read at open and saved at close, also
// when a hang-up or SIGTERM ends the session.
#include <histedit.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <cwchar>

#include "console/history_file.h"
#include "console/line_editor.h"
#include "console/terminal.h"

struct LineEditor {
  EditLine* edit;     // the editing state: line, cursor, key bindings
  History* lines;     // what the up arrow brings back: the file's lines, then this run's
  FILE* in;           // the terminal typed on
  FILE* out;          // the terminal drawn on
  EditorSetup setup;  // completion words, prompt and the text above the line
  int limit;          // bytes the line being edited may hold
  bool cancelling;    // Ctrl-C came: every key read from now on ends the line
  bool ending;        // a signal was put off to save the history: the input has ended
  bool history_kept;  // the history file has a path and was read: it is saved at close
  char history_path[history_path_capacity];  // the history file, when kept
};

namespace {

LineEditor the_editor;    // the run's one editor
HistoryLines file_lines;  // the file's lines: read at open, then merged with this run's
HistoryLines run_lines;   // this run's lines, added to the file at close

// A character no terminal key sends (the C1 control U+009F): the character reader hands it to
// the editor when the line went past its limit, to have what went past taken back.
constexpr wchar_t refusal_key = 0x9f;
constexpr int read_cancelled = 2;  // what read_byte returns once Ctrl-C cancelled the line

// Rows up and back to the row's start, then everything below erased: the loop's way of
// drawing its prompt and line again without clearing what the shell shows above them.
constexpr char rows_up_format[] = "\033[%dA";
constexpr char erase_from_row_start[] = "\r\033[J";

char* prompt_of_the_editor(EditLine*) {
  return const_cast<char*>(the_editor.setup.prompt);  // libedit only reads it
}

// Bytes of the line being edited.
int line_length(EditLine* edit) {
  const LineInfo* info = el_line(edit);
  return static_cast<int>(info->lastchar - info->buffer);
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
// it is not, and beeps when no name fits or the completion would not fit in the line.
unsigned char complete_at_cursor(EditLine* edit, int) {
  const LineInfo* info = el_line(edit);
  NameCompletion completion;
  complete_name(info->buffer, static_cast<int>(info->cursor - info->buffer),
                the_editor.setup.completion, completion);
  if (completion.candidate_count == 0) return CC_ERROR;
  if (completion.insertion[0] != '\0') {
    const int length = line_length(edit) + static_cast<int>(std::strlen(completion.insertion));
    if (length > the_editor.limit) return CC_ERROR;
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

// The refusal key: takes back the characters before the cursor (those just put there) until
// the line fits its limit again, with a bell, so that the line shown is the line read.
unsigned char refuse_past_limit(EditLine* edit, int) {
  if (line_length(edit) <= the_editor.limit) return CC_NORM;
  while (line_length(edit) > the_editor.limit) {
    const LineInfo* info = el_line(edit);
    if (info->cursor == info->buffer) el_cursor(edit, line_length(edit));
    el_deletestr(edit, 1);
  }
  return CC_REFRESH_BEEP;
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

// Rows from the prompt's row down to the cursor's, once the terminal has rewrapped the line
// for the window's new width.
int rows_above_cursor(LineEditor& editor) {
  int columns = 0;
  if (el_get(editor.edit, EL_GETTC, "co", &columns) != 0 || columns <= 0) return 0;
  const LineInfoW* info = el_wline(editor.edit);
  int width = static_cast<int>(std::strlen(editor.setup.prompt));
  for (const wchar_t* c = info->buffer; c < info->cursor; ++c) {
    const int shown = wcwidth(*c);
    width += shown < 0 ? 2 : shown;  // a control character is shown as ^X
  }
  return width / columns;
}

// The interactive loop's redraw: the prompt and the line drawn again from their first row,
// which after a resumption is the cursor's (a fresh line below what the shell wrote), and
// after a resize as many rows above it as the new width puts before the cursor.
void redraw_line(LineEditor& editor, bool resumed) {
  el_resize(editor.edit);
  const int rows = resumed ? 0 : rows_above_cursor(editor);
  if (rows > 0) std::fprintf(editor.out, rows_up_format, rows);
  std::fputs(erase_from_row_start, editor.out);
  std::fflush(editor.out);
  el_set(editor.edit, EL_REFRESH);
}

// Waits until a key can be read from the editor's terminal, redrawing after every resize or
// resumption meanwhile; Ctrl-C (in the interactive loop) sets `cancelling` and ends the wait
// too. False when waiting fails. poll is never restarted after a handler, so it returns for
// those even though plain reads are restarted.
bool wait_for_key(LineEditor& editor) {
  for (;;) {
    struct pollfd waited[2] = {{fileno(editor.in), POLLIN, 0},
                               {console_event_descriptor(), POLLIN, 0}};  // -1: left out
    const int ready = poll(waited, 2, -1);
    const bool interrupted = ready < 0 && errno == EINTR;
    const int events = take_console_events();
    if ((events & console_redraw) && editor.setup.screen_text != nullptr) {
      redraw_screen(editor);
    } else if (events & console_redraw) {
      redraw_line(editor, (events & console_resumed) != 0);
    }
    if (events & console_interrupt) editor.cancelling = true;
    if (events & console_ending) editor.ending = true;
    if (editor.ending || editor.cancelling || (ready > 0 && waited[0].revents != 0)) return true;
    if (ready < 0 && !interrupted) return false;
  }
}

// One byte typed: 1, 0 at the end of input (a signal put off included), -1 on an error,
// read_cancelled once Ctrl-C cancelled the line. Every handler the console installs restarts
// reads (SA_RESTART), and poll has said a byte is there, so the read is never interrupted.
int read_byte(LineEditor& editor, char& byte) {
  if (!editor.cancelling && !editor.ending && !wait_for_key(editor)) return -1;
  if (editor.ending) return 0;
  if (editor.cancelling) return read_cancelled;
  const ssize_t count = read(fileno(editor.in), &byte, 1);
  return count > 0 ? 1 : static_cast<int>(count);
}

// Hands `key` to the editor as the character read.
int give_key(wchar_t* character, wchar_t key) {
  *character = key;
  return 1;
}

// The editor's character reader: one character, as many bytes as the character type of the
// environment makes it (UTF-8: "°" is two). 1 for a character, 0 at the end of input, -1 on
// an error. A byte sequence that is no character is dropped, and the byte that showed it is
// read again as the start of the next character (a lone lead byte takes no key with it).
// Enter once the line is cancelled; the refusal key once the line went past its limit.
int read_character(EditLine*, wchar_t* character) {
  if (the_editor.ending) return 0;
  if (the_editor.cancelling) return give_key(character, L'\n');
  if (line_length(the_editor.edit) > the_editor.limit) return give_key(character, refusal_key);
  std::mbstate_t state = {};
  bool inside = false;  // bytes of a character were taken, more are to come
  bool again = false;   // `byte` ended a bad sequence and begins the next character
  char byte = 0;
  for (;;) {
    if (!again) {
      const int got = read_byte(the_editor, byte);
      if (got == read_cancelled) return give_key(character, L'\n');
      if (got != 1) return got;
    }
    const size_t used = std::mbrtowc(character, &byte, 1, &state);
    if (used != static_cast<size_t>(-1) && used != static_cast<size_t>(-2)) return 1;
    again = used == static_cast<size_t>(-1) && inside;
    inside = used == static_cast<size_t>(-2);
    if (used == static_cast<size_t>(-1)) state = {};
  }
}

// Emacs key bindings, Tab for completion, Ctrl-D, the refusal key, and the Home, End and
// Delete keys as terminals in the vt220 and rxvt families send them, whatever the terminal
// type's description says.
void bind_keys(EditLine* edit) {
  el_set(edit, EL_EDITOR, "emacs");
  // Wide names: libedit keeps them as given, where narrow ones are copied and never freed.
  el_wset(edit, EL_ADDFN, L"trigcalc-complete", L"Complete a function name", complete_at_cursor);
  el_set(edit, EL_BIND, "^I", "trigcalc-complete", nullptr);
  el_wset(edit, EL_ADDFN, L"trigcalc-end-or-delete", L"End of input or delete", end_or_delete);
  el_set(edit, EL_BIND, "^D", "trigcalc-end-or-delete", nullptr);
  el_wset(edit, EL_ADDFN, L"trigcalc-refuse", L"Take back what went past the limit",
          refuse_past_limit);
  const wchar_t refusal[] = {refusal_key, L'\0'};
  el_wset(edit, EL_BIND, refusal, L"trigcalc-refuse", nullptr);
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
  el_set(edit, EL_PROMPT, prompt_of_the_editor);
  el_set(edit, EL_HIST, history, lines);
  el_set(edit, EL_GETCFN, read_character);
  bind_keys(edit);
}

// True when the editor gives `line` back as it was typed: no longer than `limit` bytes, and
// characters of the locale's character type all through, as the character reader reads them
// (a line written in UTF-8 and read in the C locale is not: libedit would refuse it with a
// bell, and every older line with it).
bool gives_back(const char* line, int limit) {
  const size_t length = std::strlen(line);
  if (length > static_cast<size_t>(limit)) return false;
  std::mbstate_t state = {};
  for (size_t at = 0; at < length;) {
    wchar_t character;
    const size_t used = std::mbrtowc(&character, line + at, length - at, &state);
    if (used == 0 || used == static_cast<size_t>(-1) || used == static_cast<size_t>(-2)) {
      return false;
    }
    at += used;
  }
  return true;
}

// Offers the up arrow the history file's lines that the editor gives back as typed (the
// others stay in the file); the file is kept only when it has a path and could be read, and
// then the signals that end a session wait for it to be saved.
void load_history(LineEditor& editor) {
  clear_history_lines(file_lines);
  clear_history_lines(run_lines);
  editor.history_kept = find_history_path(editor.history_path, stderr) &&
                        read_history_file(editor.history_path, file_lines, stderr);
  HistEvent event;
  for (int i = 0; i < file_lines.count; ++i) {
    const char* line = history_line(file_lines, i);
    if (gives_back(line, editor.setup.line_capacity - 1)) {
      history(editor.lines, &event, H_ENTER, line);
    }
  }
  defer_ending_signals(editor.history_kept);
}

// A non-empty line joins the up arrow's lines and this run's lines for the file.
void remember_line(LineEditor& editor, const char* line) {
  if (line[0] == '\0') return;
  HistEvent event;
  history(editor.lines, &event, H_ENTER, line);
  add_history_line(run_lines, line);
}

}  // namespace

LineEditor* open_line_editor(FILE* in, FILE* out, const EditorSetup& setup) {
  if (!is_terminal(in) || !takes_console_commands(out)) return nullptr;
  History* lines = history_init();
  if (lines == nullptr) return nullptr;
  HistEvent event;
  history(lines, &event, H_SETSIZE, history_line_limit);
  history(lines, &event, H_SETUNIQUE, 1);
  EditLine* edit = el_init("trigcalc", in, out, stderr);
  if (edit == nullptr) {
    history_end(lines);
    return nullptr;
  }
  the_editor.edit = edit;
  the_editor.lines = lines;
  the_editor.in = in;
  the_editor.out = out;
  the_editor.setup = setup;
  the_editor.ending = false;
  configure(edit, lines);
  load_history(the_editor);
  return &the_editor;
}

EditedLine edit_line(LineEditor& editor, char* line, int capacity) {
  std::fflush(editor.out);
  // el_gets takes the window's size and draws the line afresh: earlier events need nothing.
  (void)take_console_events();
  editor.limit = capacity - 1;
  editor.cancelling = false;
  int count = 0;
  const char* text = el_gets(editor.edit, &count);
  line[0] = '\0';
  if (editor.ending) return EditedLine::end_of_input;
  if (editor.cancelling) {
    editor.cancelling = false;
    return EditedLine::cancelled;
  }
  if (text == nullptr || count <= 0) return EditedLine::end_of_input;
  keep_line(text, line, capacity);
  remember_line(editor, line);
  return EditedLine::line;
}

void close_line_editor(LineEditor* editor) {
  if (editor == nullptr) return;
  el_end(editor->edit);
  history_end(editor->lines);
  editor->edit = nullptr;  // released: nothing holds libedit's memory any more
  editor->lines = nullptr;
  // From here a signal ends the program at once: the save holds them back only once it has
  // its lock, and a wait for that lock can be cut short like any other.
  defer_ending_signals(false);
  if (editor->history_kept) save_history_file(editor->history_path, run_lines, file_lines, stderr);
  end_if_signal_deferred();
}
