// The history that lasts across runs: where its file lives, a bounded list of lines, the
// file's lines read at start, and this run's lines merged into the file at the end, under a
// lock on its folder, through a temporary file renamed into place. POSIX systems only.
#pragma once

#include <cstdio>

constexpr int history_line_limit = 1000;     // lines kept, in the file and in memory
constexpr int history_line_capacity = 128;   // bytes of one line, terminator included
constexpr int history_path_capacity = 4096;  // bytes of the file's path, terminator included

// At most history_line_limit lines, oldest first; when it is full a new line pushes the
// oldest out.
struct HistoryLines {
  char text[history_line_limit][history_line_capacity];  // a ring of lines
  int oldest;                                            // index in `text` of the oldest
  int count;                                             // lines held
};

// Empties `lines`.
void clear_history_lines(HistoryLines& lines);

// Adds `line` as the newest, unless it is empty, equal to the newest, or longer than
// history_line_capacity - 1 bytes (no line the program reads is).
void add_history_line(HistoryLines& lines, const char* line);

// The line `index` places after the oldest (0: the oldest); index < lines.count.
const char* history_line(const HistoryLines& lines, int index);

// Puts the history file's path in `path`: $TRIGCALC_HISTORY when set, else
// $XDG_STATE_HOME/trigcalc/history (an absolute XDG_STATE_HOME), else
// $HOME/.local/state/trigcalc/history. False when there is no file: TRIGCALC_HISTORY empty,
// no home, or a path too long for `path` (then with one warning on `err`).
bool find_history_path(char (&path)[history_path_capacity], FILE* err);

// Adds the lines of the file at `path` to `lines`, which keeps the last of them. A missing
// file holds no lines. False, with one warning on `err`, when the file cannot be read.
bool read_history_file(const char* path, HistoryLines& lines, FILE* err);

// Adds `added` to the file at `path`: its folders are made (mode 0700) when missing and,
// under a lock on its folder, what the file holds by then followed by `added` goes through
// `merged` into a temporary file (mode 0600) that is renamed into place; the signals that
// end or stop the program wait until then. Nothing is done when `added` is empty. False,
// with one warning on `err`, when that fails: the file is then left as it was.
bool save_history_file(const char* path, const HistoryLines& added, HistoryLines& merged,
                       FILE* err);
