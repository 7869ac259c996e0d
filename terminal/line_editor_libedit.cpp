// The line editor on libedit, with the history file read at open and saved at close, also
// when a hang-up or SIGTERM ends the session.
#include <histedit.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <cwchar>

#include "terminal/history_file.h"
#include "terminal/line_editor.h"
#include "terminal/terminal.h"

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

// A byte that begins no character of the locale's character type ("°" typed in the C
// locale, a lone UTF-8 lead byte) is kept as typed: the editor holds it as the code point
// raw_byte_base + the byte, a lone surrogate, which no conversion of the locale gives, and
// the line gives it back as that byte. libedit shows it as "\U+DCxx".
constexpr wchar_t raw_byte_base = 0xDC00;
constexpr int raw_byte_width = 7;  // the columns of "\U+DCxx"

// Bytes of a line as the editor holds it, and more: the editor refuses a character that
// takes a line past its limit (at most 99 bytes) as soon as it is read.
constexpr int edited_line_capacity = 256;

// Bytes read from the terminal but not given yet: those after a lead byte that turned out to
// begin no character, read again as the start of the next.
struct HeldBytes {
  unsigned char bytes[MB_LEN_MAX + 1];
  int count;
  int next;
};
HeldBytes held;
constexpr int read_cancelled = 2;  // what read_byte returns once Ctrl-C cancelled the line

// Rows up and back to the row's start, then everything below erased: the loop's way of
// drawing its prompt and line again without clearing what the shell shows above them. They
// are written here rather than by terminal.h, the owner of the terminal's state, because they
// change none of it: they only move the cursor over the editor's own rows, as libedit itself
// does, so there is nothing for put_terminal_back to undo.
constexpr char rows_up_format[] = "\033[%dA";
constexpr char erase_from_row_start[] = "\r\033[J";

char* prompt_of_the_editor(EditLine*) {
  return const_cast<char*>(the_editor.setup.prompt);  // libedit only reads it
}

bool is_raw_byte(wchar_t character) {
  return character >= raw_byte_base && character <= raw_byte_base + 0xFF;
}

// Writes the bytes `character` stands for at `bytes` (room for MB_LEN_MAX); returns how many.
int character_bytes(wchar_t character, char* bytes) {
  if (is_raw_byte(character)) {
    bytes[0] = static_cast<char>(character - raw_byte_base);
    return 1;
  }
  std::mbstate_t state = {};
  const size_t count = std::wcrtomb(bytes, character, &state);
  return count == static_cast<size_t>(-1) ? 0 : static_cast<int>(count);
}

// The bytes of the `count` characters at `text`, at most `capacity` - 1 of them, put in
// `bytes` and terminated; returns how many. Stops at an end of line or a terminator.
int line_bytes(const wchar_t* text, int count, char* bytes, int capacity) {
  int length = 0;
  for (int k = 0; k < count && text[k] != L'\0' && text[k] != L'\n'; ++k) {
    char character[MB_LEN_MAX];
    const int size = character_bytes(text[k], character);
    if (length + size > capacity - 1) break;
    std::memcpy(bytes + length, character, static_cast<size_t>(size));
    length += size;
  }
  bytes[length] = '\0';
  return length;
}

// Bytes of the characters from `first` to `last` of the line being edited.
int bytes_between(const wchar_t* first, const wchar_t* last) {
  int length = 0;
  for (; first < last; ++first) {
    char character[MB_LEN_MAX];
    length += character_bytes(*first, character);
  }
  return length;
}

// Bytes of the line being edited.
int line_length(EditLine* edit) {
  const LineInfoW* info = el_wline(edit);
  return bytes_between(info->buffer, info->lastchar);
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
  const LineInfoW* info = el_wline(edit);
  char line[edited_line_capacity];
  const int length =
      line_bytes(info->buffer, static_cast<int>(info->lastchar - info->buffer), line, sizeof line);
  const int cursor = bytes_between(info->buffer, info->cursor);
  NameCompletion completion;
  complete_name(line, cursor < length ? cursor : length, the_editor.setup.completion, completion);
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
  const LineInfoW* info = el_wline(edit);
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
    const LineInfoW* info = el_wline(edit);
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
  run_terminal_command(editor.out, TerminalCommand::clear_screen);
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
    const int shown = is_raw_byte(*c) ? raw_byte_width : wcwidth(*c);
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
                               {terminal_event_descriptor(), POLLIN, 0}};  // -1: left out
    const int ready = poll(waited, 2, -1);
    const bool interrupted = ready < 0 && errno == EINTR;
    const int events = take_terminal_events();
    if ((events & terminal_redraw) && editor.setup.screen_text != nullptr) {
      redraw_screen(editor);
    } else if (events & terminal_redraw) {
      redraw_line(editor, (events & terminal_resumed) != 0);
    }
    if (events & terminal_interrupt) editor.cancelling = true;
    if (events & terminal_ending) editor.ending = true;
    if (editor.ending || editor.cancelling || (ready > 0 && waited[0].revents != 0)) return true;
    if (ready < 0 && !interrupted) return false;
  }
}

// One byte typed: 1, 0 at the end of input (a signal put off included), -1 on an error,
// read_cancelled once Ctrl-C cancelled the line. Every handler the terminal layer installs restarts
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

// The next byte typed, a held one first: 1, or what read_byte returns.
int next_typed_byte(char& byte) {
  if (held.next < held.count) {
    byte = static_cast<char>(held.bytes[held.next++]);
    return 1;
  }
  held.count = held.next = 0;
  return read_byte(the_editor, byte);
}

// Hands the first of the `count` bytes at `bytes`, which begin no character, to the editor
// as a raw byte, and holds the others to be read again.
int give_raw_byte(wchar_t* character, const unsigned char* bytes, int count) {
  held.count = held.next = 0;
  for (int k = 1; k < count; ++k) held.bytes[held.count++] = bytes[k];
  return give_key(character, static_cast<wchar_t>(raw_byte_base + bytes[0]));
}

// The editor's character reader: one character, as many bytes as the character type of the
// environment makes it (UTF-8: "°" is two). 1 for a character, 0 at the end of input, -1 on
// an error. A byte that begins no character is kept as a raw byte, and the bytes after it
// that showed it are read again as the start of the next character.
// Enter once the line is cancelled; the refusal key once the line went past its limit.
int read_character(EditLine*, wchar_t* character) {
  if (the_editor.ending) return 0;
  if (the_editor.cancelling) return give_key(character, L'\n');
  if (line_length(the_editor.edit) > the_editor.limit) return give_key(character, refusal_key);
  std::mbstate_t state = {};
  unsigned char taken[MB_LEN_MAX + 1];  // the bytes of the character being read
  int count = 0;
  for (;;) {
    char byte = 0;
    const int got = next_typed_byte(byte);
    if (got == read_cancelled) return give_key(character, L'\n');
    if (got != 1) return got;
    taken[count++] = static_cast<unsigned char>(byte);
    const size_t used = std::mbrtowc(character, &byte, 1, &state);
    if (used == static_cast<size_t>(-1) ||
        (used == static_cast<size_t>(-2) && count > MB_LEN_MAX)) {
      return give_raw_byte(character, taken, count);
    }
    if (used != static_cast<size_t>(-2)) return 1;
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

// The editor's settings. libedit's own signal handling stays off (EL_SIGNAL 0): its handlers
// exist only while a line is read, know nothing of the colours or the window size, and pass
// every signal on with kill(0, ...), to the whole process group: a shell script running the
// program in its own group gets the signal too. The terminal layer's handlers put everything back,
// and the character reader above redraws after a resize or fg.
void configure(EditLine* edit, History* lines) {
  el_set(edit, EL_SIGNAL, 0);  // libedit's default already (el_init clears it): said, not changed
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

// A non-empty line joins this run's lines for the file, and the up arrow's lines when the
// editor gives it back as typed (a raw byte it would not).
void remember_line(LineEditor& editor, const char* line) {
  if (line[0] == '\0') return;
  HistEvent event;
  if (gives_back(line, editor.setup.line_capacity - 1))
    history(editor.lines, &event, H_ENTER, line);
  add_history_line(run_lines, line);
}

}  // namespace

LineEditor* open_line_editor(FILE* in, FILE* out, const EditorSetup& setup) {
  if (!is_terminal(in) || !takes_terminal_commands(out)) return nullptr;
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
  (void)take_terminal_events();
  editor.limit = capacity - 1;
  editor.cancelling = false;
  int count = 0;
  const wchar_t* text = el_wgets(editor.edit, &count);
  line[0] = '\0';
  if (editor.ending) return EditedLine::end_of_input;
  if (editor.cancelling) {
    editor.cancelling = false;
    return EditedLine::cancelled;
  }
  if (text == nullptr || count <= 0) return EditedLine::end_of_input;
  line_bytes(text, count, line, capacity);
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
