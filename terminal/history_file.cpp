// The history file on POSIX systems: reads and writes through buffers of its own (the retries
// on interruption are io/descriptor_io.h's), a
// bounded wait for flock on the folder, a temporary file of its own beside the file, renameat
// and fsync of the folder. Nothing but a regular file is ever opened, read or replaced.
#include "terminal/history_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "io/descriptor_io.h"
#include "io/text_form.h"

namespace {

constexpr int chunk_capacity = 4096;                    // bytes per read or write
constexpr int name_capacity = NAME_MAX + 1;             // one name in a folder, terminator included
constexpr char state_file_name[] = "trigcalc/history";  // below the state folder
// Temporary files are named NAME.trigcalc-tmp-XXXXXXXX (8 hex digits): a name no user picks,
// so that those left by a run killed while saving can be told apart and removed.
constexpr char temporary_infix[] = ".trigcalc-tmp-";
constexpr int temporary_digits = 8;
constexpr int temporary_tries = 100;  // names tried before giving up on a crowded folder
// Another run saves in a few milliseconds; a lock held longer is held by something else,
// which must not stall this program: it waits this long, then leaves the file as it is.
constexpr int lock_wait_ms = 2000;
constexpr int lock_retry_ms = 20;

static_assert(history_path_capacity >= PATH_MAX, "realpath writes up to PATH_MAX bytes");

// Failures of the program's own, besides errno values (which are positive).
constexpr int error_not_regular = -1;        // something other than a regular file is at the path
constexpr int error_null_device = -2;        // the null device: history turned off, no warning
constexpr int error_locked = -3;             // the folder's lock was not had within lock_wait_ms
constexpr int history_reason_capacity = 64;  // the longest of the program's own reasons

// The words of a warning for `error`, one of the program's own or an errno value.
const char* reason_of(int error) {
  if (error == error_not_regular) return "não é um arquivo comum; histórico não usado";
  if (error == error_locked) return "em uso por outro processo; histórico não gravado";
  return std::strerror(error);
}

// One warning for the run: "trigcalc: historico: PATH: reason"; none for the null device.
// Returns false, for the failure it reports.
bool warn(FILE* err, const char* path, int error) {
  if (error != error_null_device) {
    char own[history_reason_capacity];  // the program's own words, in the texts' form
    const char* reason = error < 0 ? our_text(reason_of(error), own, sizeof own) : reason_of(error);
    print_our_text(err, "trigcalc: histórico: %s: %s\n", path, reason);
  }
  return false;
}

// 0 when `status` is a regular file's; otherwise why the file is not used.
int kind_error(const struct stat& status) {
  if (S_ISREG(status.st_mode)) return 0;
  struct stat null_device;
  const bool null = S_ISCHR(status.st_mode) && stat("/dev/null", &null_device) == 0 &&
                    S_ISCHR(null_device.st_mode) && null_device.st_rdev == status.st_rdev;
  return null ? error_null_device : error_not_regular;
}

// A line being read from the file, byte by byte.
struct LineBeingRead {
  char text[history_line_capacity];
  int length;
  bool unusable;  // longer than a line the program keeps, or holding a NUL: left out
};

// Takes the next byte of the file: at an end of line, the line joins `lines` unless unusable.
void take_byte(LineBeingRead& line, char byte, HistoryLines& lines) {
  if (byte != '\n') {
    if (byte == '\0' || line.length == history_line_capacity - 1) {
      line.unusable = true;
    } else {
      line.text[line.length++] = byte;
    }
    return;
  }
  if (line.length > 0 && line.text[line.length - 1] == '\r') --line.length;  // a CRLF end
  line.text[line.length] = '\0';
  if (!line.unusable) add_history_line(lines, line.text);
  line.length = 0;
  line.unusable = false;
}

// Adds every line of `descriptor` to `lines`; false on a read error (errno says which).
bool read_lines(int descriptor, HistoryLines& lines) {
  LineBeingRead line = {};
  unsigned char chunk[chunk_capacity];
  for (;;) {
    const int count = read_descriptor(descriptor, chunk, chunk_capacity);  // EINTR retried
    if (count < 0) return false;
    if (count == 0) break;
    for (int i = 0; i < count; ++i) take_byte(line, static_cast<char>(chunk[i]), lines);
  }
  take_byte(line, '\n', lines);  // a last line without its end of line
  return true;
}

// Adds the lines of the regular file opened as `descriptor` to `lines`, and closes it; 0 or
// why not. Non-blocking opens keep a FIFO put there meanwhile from stalling the program.
int read_opened(int descriptor, HistoryLines& lines, struct stat& status) {
  int error = fstat(descriptor, &status) == 0 ? kind_error(status) : errno;
  if (error == 0 && !read_lines(descriptor, lines)) error = errno;
  close(descriptor);
  return error;
}

// Writes `lines`, one per line, to `descriptor`, a chunk at a time; false on an error.
bool write_lines(int descriptor, const HistoryLines& lines) {
  char chunk[chunk_capacity];
  int used = 0;
  for (int i = 0; i < lines.count; ++i) {
    const char* line = history_line(lines, i);
    const int length = static_cast<int>(std::strlen(line));
    if (used + length + 1 > chunk_capacity) {
      if (!write_descriptor(descriptor, chunk, used)) return false;
      used = 0;
    }
    std::memcpy(chunk + used, line, static_cast<size_t>(length));
    used += length;
    chunk[used++] = '\n';
  }
  return write_descriptor(descriptor, chunk, used);
}

// Whose the new file is and what it may be used for.
struct FileOwner {
  uid_t user;
  gid_t group;
  mode_t mode;  // permission bits
};

// The owner of a file made in the folder `directory`: the running user, except that root
// making it in a folder of another user's (root run with that user's HOME) gives it to that
// user, as if that user had made it; private to its owner (0600).
FileOwner new_file_owner(int directory) {
  FileOwner owner = {geteuid(), getegid(), 0600};
  struct stat folder;
  if (owner.user == 0 && fstat(directory, &folder) == 0 && folder.st_uid != 0) {
    owner.user = folder.st_uid;
    owner.group = folder.st_gid;
  }
  return owner;
}

// Gives the file `descriptor` the owner, group and mode of `owner`; 0 or why not. The owner
// must be had (or the file would not be the user's any more); the group is kept when it can be.
int give_owner(int descriptor, const FileOwner& owner) {
  if (fchmod(descriptor, owner.mode) != 0) return errno;
  if (owner.user == geteuid() && owner.group == getegid()) return 0;
  const uid_t kept = static_cast<uid_t>(-1);  // fchown's "leave the owner as it is"
  const uid_t user = owner.user == geteuid() ? kept : owner.user;
  if (fchown(descriptor, user, owner.group) != 0 && user != kept) return errno;
  return 0;
}

// Makes a new temporary file for `name` in `directory`, its name in `temporary`; the
// descriptor, or -1 with errno set.
int make_temporary(int directory, const char* name, char (&temporary)[name_capacity]) {
  struct timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  unsigned value = static_cast<unsigned>(now.tv_nsec) ^ (static_cast<unsigned>(getpid()) << 12);
  for (int k = 0; k < temporary_tries; ++k, value = value * 1103515245u + 12345u) {
    const int length = std::snprintf(temporary, sizeof temporary, "%s%s%0*x", name, temporary_infix,
                                     temporary_digits, value);
    if (length >= name_capacity) {
      errno = ENAMETOOLONG;
      return -1;
    }
    const int descriptor =
        openat(directory, temporary, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (descriptor >= 0 || errno != EEXIST) return descriptor;
  }
  return -1;  // errno: EEXIST, every name tried taken
}

// True when `entry` is the name of a temporary file for `name`.
bool is_temporary_of(const char* entry, const char* name) {
  const size_t length = std::strlen(name);
  const size_t infix = sizeof temporary_infix - 1;
  return std::strncmp(entry, name, length) == 0 &&
         std::strncmp(entry + length, temporary_infix, infix) == 0 &&
         std::strlen(entry) == length + infix + temporary_digits;
}

// Removes the temporary files of `name` that runs killed while saving left in `directory`:
// under the folder's lock no other run is saving, so every one there is left over.
void remove_stale_temporaries(int directory, const char* name) {
  const int listed = openat(directory, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* entries = listed >= 0 ? fdopendir(listed) : nullptr;
  if (entries == nullptr) {
    if (listed >= 0) close(listed);
    return;
  }
  for (const dirent* entry; (entry = readdir(entries)) != nullptr;) {
    struct stat status;
    if (is_temporary_of(entry->d_name, name) &&
        fstatat(directory, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(status.st_mode)) {
      unlinkat(directory, entry->d_name, 0);
    }
  }
  closedir(entries);
}

// Adds the lines of the file `name` in `directory` to `lines` and puts in `owner` whose it
// is (a missing file: whose a new one would be); 0 or why not.
int read_existing(int directory, const char* name, HistoryLines& lines, FileOwner& owner) {
  struct stat status;
  if (fstatat(directory, name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
    owner = new_file_owner(directory);
    return errno == ENOENT ? 0 : errno;
  }
  if (S_ISLNK(status.st_mode)) return ELOOP;  // a link put there since the path was resolved
  if (kind_error(status) != 0) return kind_error(status);
  const int descriptor =
      openat(directory, name, O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
  if (descriptor < 0) return errno;
  const int error = read_opened(descriptor, lines, status);
  owner = {status.st_uid, status.st_gid, static_cast<mode_t>(status.st_mode & 0777)};
  return error;
}

// Writes `lines` to a new file beside `name` in `directory`, owned as `owner` says, and
// renames it into place, so that the file is always either the old one or the whole new
// one; the folder is synced so that the rename outlasts a crash. 0 or why not.
int replace_file(int directory, const char* name, const HistoryLines& lines,
                 const FileOwner& owner) {
  char temporary[name_capacity];
  const int descriptor = make_temporary(directory, name, temporary);
  if (descriptor < 0) return errno;
  int error = write_lines(descriptor, lines) ? 0 : errno;
  if (error == 0) error = give_owner(descriptor, owner);
  if (error == 0 && fsync(descriptor) != 0) error = errno;
  if (close(descriptor) != 0 && error == 0) error = errno;
  if (error == 0 && renameat(directory, temporary, directory, name) != 0) error = errno;
  if (error != 0) {
    unlinkat(directory, temporary, 0);
    return error;
  }
  // Some file systems cannot sync a folder (EINVAL): the rename stands all the same.
  return fsync(directory) == 0 || errno != EIO ? 0 : EIO;
}

// Under the lock on `directory`: what its file `name` holds, then `added`, through `merged`
// into a new file renamed into place; 0 or why not.
int merge_locked(int directory, const char* name, const HistoryLines& added, HistoryLines& merged) {
  remove_stale_temporaries(directory, name);
  clear_history_lines(merged);
  FileOwner owner = {geteuid(), getegid(), 0600};
  const int error = read_existing(directory, name, merged, owner);
  if (error != 0) return error;
  for (int i = 0; i < added.count; ++i) add_history_line(merged, history_line(added, i));
  return replace_file(directory, name, merged, owner);
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

// The name part of `path`.
const char* name_of(const char* path) {
  const char* slash = std::strrchr(path, '/');
  return slash == nullptr ? path : slash + 1;
}

// Makes the folder `folder` (mode 0700) unless it exists; made by root in a folder of another
// user's, it is given to that user, whose folder it is. False with errno set when it cannot
// be made or given.
bool make_folder(const char* folder) {
  if (mkdir(folder, 0700) != 0) return errno == EEXIST;
  if (geteuid() != 0) return true;
  char parent[history_path_capacity];
  folder_of(folder, parent);
  struct stat status;
  if (stat(parent, &status) != 0 || status.st_uid == 0) return true;
  return lchown(folder, status.st_uid, status.st_gid) == 0;
}

// Makes `folder` and each missing folder above it; false with errno set when one cannot be
// made.
bool make_folders(char (&folder)[history_path_capacity]) {
  for (char* slash = std::strchr(folder + 1, '/');; slash = std::strchr(slash + 1, '/')) {
    if (slash != nullptr) *slash = '\0';
    const bool made = make_folder(folder);
    if (slash != nullptr) *slash = '/';
    if (!made) return false;
    if (slash == nullptr) return true;
  }
}

// Locks the folder `directory` for this process until it is closed, waiting lock_wait_ms at
// most; 0, error_locked, or another reason.
int lock_within_wait(int directory) {
  const struct timespec pause = {0, lock_retry_ms * 1000000L};
  for (int waited = 0;; waited += lock_retry_ms) {
    if (flock(directory, LOCK_EX | LOCK_NB) == 0) return 0;
    if (errno != EWOULDBLOCK && errno != EINTR) return errno;
    if (waited >= lock_wait_ms) return error_locked;
    nanosleep(&pause, nullptr);
  }
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

// Puts in `target` the file a save replaces: the file at `path`, or, when `path` is a
// symbolic link, the file it leads to, so that the link stays a link. 0, or why no file is
// saved: something other than a regular file there, a link leading nowhere.
int resolve_target(const char* path, char (&target)[history_path_capacity]) {
  struct stat status;
  std::snprintf(target, sizeof target, "%s", path);  // fits: find_history_path saw to that
  if (lstat(path, &status) != 0) return errno == ENOENT ? 0 : errno;
  if (S_ISLNK(status.st_mode) &&
      (realpath(path, target) == nullptr || stat(target, &status) != 0)) {
    return errno;
  }
  return kind_error(status);
}

// Adds `added` to the file `target` (no symbolic link) under the lock on its folder; 0 or
// why not.
int save_at(const char* target, const HistoryLines& added, HistoryLines& merged) {
  char folder[history_path_capacity];
  folder_of(target, folder);
  if (!make_folders(folder)) return errno;
  const int directory = open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (directory < 0) return errno;
  int error = lock_within_wait(directory);
  if (error == 0) {
    // Only once the lock is held: a wait for it can be interrupted as any other.
    sigset_t previous;
    hold_signals(previous);
    error = merge_locked(directory, name_of(target), added, merged);
    sigprocmask(SIG_SETMASK, &previous, nullptr);
  }
  close(directory);  // the lock goes with it
  return error;
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
  struct stat status;
  if (stat(path, &status) != 0) return errno == ENOENT || warn(err, path, errno);
  if (kind_error(status) != 0) return warn(err, path, kind_error(status));  // never opened
  const int descriptor = open(path, O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (descriptor < 0) return warn(err, path, errno);
  const int error = read_opened(descriptor, lines, status);
  return error == 0 || warn(err, path, error);
}

bool save_history_file(const char* path, const HistoryLines& added, HistoryLines& merged,
                       FILE* err) {
  if (added.count == 0) return true;
  char target[history_path_capacity];
  int error = resolve_target(path, target);
  if (error == 0) error = save_at(target, added, merged);
  return error == 0 || warn(err, path, error);
}
