// The history file on POSIX systems: plain reads and writes through buffers of its own,
// flock on the folder, mkstemp and rename.
#include "console/history_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace {

constexpr int chunk_capacity = 4096;                           // bytes per read or write
constexpr int temporary_capacity = history_path_capacity + 8;  // the path and ".XXXXXX"
constexpr char state_file_name[] = "trigcalc/history";         // below the state folder

// One warning for the run: "trigcalc: historico: PATH: reason". Returns false, for the
// failure it reports.
bool warn(FILE* err, const char* path, int error) {
  std::fprintf(err, "trigcalc: historico: %s: %s\n", path, std::strerror(error));
  return false;
}

// A line being read from the file, byte by byte.
struct LineBeingRead {
  char text[history_line_capacity];
  int length;
  bool too_long;  // longer than a line the program keeps: left out
};

void take_byte(LineBeingRead& line, char byte, HistoryLines& lines) {
  if (byte != '\n') {
    if (line.length < history_line_capacity - 1) {
      line.text[line.length++] = byte;
    } else {
      line.too_long = true;
    }
    return;
  }
  line.text[line.length] = '\0';
  if (!line.too_long) add_history_line(lines, line.text);
  line.length = 0;
  line.too_long = false;
}

// Adds every line of `descriptor` to `lines`; false on a read error (errno says which).
bool read_lines(int descriptor, HistoryLines& lines) {
  LineBeingRead line = {};
  char chunk[chunk_capacity];
  for (;;) {
    const ssize_t count = read(descriptor, chunk, sizeof chunk);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) return false;
    if (count == 0) break;
    for (ssize_t i = 0; i < count; ++i) take_byte(line, chunk[i], lines);
  }
  take_byte(line, '\n', lines);  // a last line without its end of line
  return true;
}

// Adds the lines of the file at `path` to `lines`; true when it was read or is missing,
// false with errno set otherwise.
bool read_lines_at(const char* path, HistoryLines& lines) {
  const int descriptor = open(path, O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return errno == ENOENT;
  const bool read_all = read_lines(descriptor, lines);
  const int error = errno;
  close(descriptor);
  errno = error;
  return read_all;
}

bool write_all(int descriptor, const char* bytes, int length) {
  while (length > 0) {
    const ssize_t count = write(descriptor, bytes, static_cast<size_t>(length));
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return false;
    bytes += count;
    length -= static_cast<int>(count);
  }
  return true;
}

// Writes `lines`, one per line, to `descriptor`, a chunk at a time; false on an error.
bool write_lines(int descriptor, const HistoryLines& lines) {
  char chunk[chunk_capacity];
  int used = 0;
  for (int i = 0; i < lines.count; ++i) {
    const char* line = history_line(lines, i);
    const int length = static_cast<int>(std::strlen(line));
    if (used + length + 1 > chunk_capacity) {
      if (!write_all(descriptor, chunk, used)) return false;
      used = 0;
    }
    std::memcpy(chunk + used, line, static_cast<size_t>(length));
    used += length;
    chunk[used++] = '\n';
  }
  return write_all(descriptor, chunk, used);
}

// Writes `lines` to a new file beside `path`, private to the user, and renames it into
// place, so that the file is always either the old one or the whole new one.
bool replace_file(const char* path, const HistoryLines& lines) {
  char temporary[temporary_capacity];
  if (std::snprintf(temporary, sizeof temporary, "%s.XXXXXX", path) >= temporary_capacity) {
    errno = ENAMETOOLONG;
    return false;
  }
  const int descriptor = mkstemp(temporary);  // mode 0600
  if (descriptor < 0) return false;
  bool written = write_lines(descriptor, lines) && fsync(descriptor) == 0;
  written = close(descriptor) == 0 && written;
  if (written && rename(temporary, path) == 0) return true;
  const int error = errno;
  unlink(temporary);
  errno = error;
  return false;
}

// Puts into `folder` the folder part of `path` ("." when it has none).
void folder_of(const char* path, char (&folder)[history_path_capacity]) {
  std::snprintf(folder, sizeof folder, "%s", path);
  char* slash = std::strrchr(folder, '/');
  if (slash == nullptr) {
    std::snprintf(folder, sizeof folder, ".");
  } else {
    slash[slash == folder ? 1 : 0] = '\0';  // "/history" keeps its root
  }
}

// Makes `folder` and each missing folder above it, mode 0700; false with errno set when one
// cannot be made.
bool make_folders(char (&folder)[history_path_capacity]) {
  for (char* slash = std::strchr(folder + 1, '/');; slash = std::strchr(slash + 1, '/')) {
    if (slash != nullptr) *slash = '\0';
    const bool made = mkdir(folder, 0700) == 0 || errno == EEXIST;
    if (slash != nullptr) *slash = '/';
    if (!made) return false;
    if (slash == nullptr) return true;
  }
}

// Locks `folder` for this process until the returned descriptor is closed; -1 with errno
// set when it cannot be opened.
int lock_folder(const char* folder) {
  const int descriptor = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return -1;
  while (flock(descriptor, LOCK_EX) != 0) {
    if (errno != EINTR) {
      const int error = errno;
      close(descriptor);
      errno = error;
      return -1;
    }
  }
  return descriptor;
}

// Under the lock on its folder: what the file at `path` holds, then `added`, through `merged`
// into a new file renamed into place; false with errno set when that fails.
bool merge_locked(const char* path, const HistoryLines& added, HistoryLines& merged) {
  clear_history_lines(merged);
  if (!read_lines_at(path, merged)) return false;
  for (int i = 0; i < added.count; ++i) add_history_line(merged, history_line(added, i));
  return replace_file(path, merged);
}

// Holds back, until `previous` is put back, the signals that would end or stop the program
// while it holds the lock and a temporary file: the save finishes first, then they act.
void hold_signals(sigset_t& previous) {
  constexpr int held_signals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGTSTP};
  sigset_t held;
  sigemptyset(&held);
  for (int signal_number : held_signals) sigaddset(&held, signal_number);
  sigprocmask(SIG_BLOCK, &held, &previous);
}

// Composes the history file's path in `path`; its length, or -1 when there is no file.
int compose_path(char (&path)[history_path_capacity]) {
  const char* chosen = std::getenv("TRIGCALC_HISTORY");
  if (chosen != nullptr) {
    return chosen[0] == '\0' ? -1 : std::snprintf(path, sizeof path, "%s", chosen);
  }
  const char* state = std::getenv("XDG_STATE_HOME");
  if (state != nullptr && state[0] == '/') {
    return std::snprintf(path, sizeof path, "%s/%s", state, state_file_name);
  }
  const char* home = std::getenv("HOME");
  if (home == nullptr || home[0] == '\0') return -1;
  return std::snprintf(path, sizeof path, "%s/.local/state/%s", home, state_file_name);
}

}  // namespace

void clear_history_lines(HistoryLines& lines) {
  lines.oldest = 0;
  lines.count = 0;
}

void add_history_line(HistoryLines& lines, const char* line) {
  const size_t length = std::strlen(line);
  if (length == 0 || length >= static_cast<size_t>(history_line_capacity)) return;
  if (lines.count > 0 && std::strcmp(history_line(lines, lines.count - 1), line) == 0) return;
  const int slot = (lines.oldest + lines.count) % history_line_limit;
  std::memcpy(lines.text[slot], line, length + 1);
  if (lines.count < history_line_limit) {
    ++lines.count;
  } else {
    lines.oldest = (lines.oldest + 1) % history_line_limit;
  }
}

const char* history_line(const HistoryLines& lines, int index) {
  return lines.text[(lines.oldest + index) % history_line_limit];
}

bool find_history_path(char (&path)[history_path_capacity], FILE* err) {
  const int length = compose_path(path);
  if (length < history_path_capacity) return length > 0;
  return warn(err, path, ENAMETOOLONG);
}

bool read_history_file(const char* path, HistoryLines& lines, FILE* err) {
  return read_lines_at(path, lines) || warn(err, path, errno);
}

bool save_history_file(const char* path, const HistoryLines& added, HistoryLines& merged,
                       FILE* err) {
  if (added.count == 0) return true;
  char folder[history_path_capacity];
  folder_of(path, folder);
  if (!make_folders(folder)) return warn(err, path, errno);
  sigset_t previous;
  hold_signals(previous);
  const int lock = lock_folder(folder);
  const bool saved = lock >= 0 && merge_locked(path, added, merged);
  const int error = errno;
  if (lock >= 0) close(lock);
  sigprocmask(SIG_SETMASK, &previous, nullptr);
  return saved || warn(err, path, error);
}
