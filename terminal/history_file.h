// The history that lasts across runs: where its file lives, a bounded list of lines, the
// file's lines read at start, and this run's lines merged into the file at the end, under a
// lock on its folder, through a temporary file renamed into place (or, for a file with a
// second name or attributes of its own, rewritten in place). Only a regular file of the
// history's user is ever read or written: the running user, or, for root, the owner of the
// folder HOME names (root when HOME is unset, empty or names no folder), whatever variable
// chose the path; root works only in that user's folders. A symbolic link stays and the file
// it leads to is written. POSIX systems only.
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

// Adds the lines of the file at `path` to `lines`, which keeps the last of them; a line of
// history_line_capacity bytes or more, or holding a NUL, is left out, and a '\r' ending a line
// is dropped (a CRLF end). A missing file holds no lines. False when there is no history to
// keep: the null device (silently), or, with one warning on `err`, a file that cannot be read,
// is not a regular file (a FIFO or a device is never opened for reading, even one put there
// while it is opened), is not the history's user's, or, for root, is in a folder not that
// user's.
bool read_history_file(const char* path, HistoryLines& lines, FILE* err);

// Adds `added` to the file at `path`, or to the file a symbolic link there leads to: its
// missing folders are made (mode 0700); after waiting two seconds at most for a lock on its
// folder, what the file holds by then followed by `added` goes through `merged` into a
// temporary file that is renamed into place, the folder synced, and the temporary files runs
// killed while saving left there removed; a file with a second name, an extended attribute or
// an ACL is rewritten in place instead, keeping them (a crash while it is written can leave
// it part written). The signals that end or stop the program wait from the moment the lock is
// held until then. An existing file keeps its owner, group and mode; a new one is private
// (0600). What root makes, it makes only in a folder of the history's user's and gives to that
// user. Nothing is done when `added` is empty. False, with one warning on `err`, when that
// fails, or when the file is not one read_history_file would read: it is then left as it was.
bool save_history_file(const char* path, const HistoryLines& added, HistoryLines& merged,
                       FILE* err);
