// The history file on POSIX systems: reads and writes through buffers of its own (the retries
// on interruption are io/descriptor_io.h's), a bounded wait for flock on the folder, a
// temporary file of its own beside the file, renameat and fsync of the folder, or, for a file
// with a second name or attributes of its own, a rewrite in place. Nothing but a regular file
// of the history's user is ever read or written, and it is checked on the descriptor opened
// (terminal/history_open.h): a FIFO or a device put at its name meanwhile is never read.
//
// Whose the history is: the running user's, or, for root, the owner's of the folder HOME
// names (sudo keeping HOME runs root in that user's session), root's own when HOME is unset,
// empty or names no folder; whichever of TRIGCALC_HISTORY, XDG_STATE_HOME and HOME chose the
// path, since HOME, not the path, says whose session it is. A file of anyone else's, at the
// path or where a symbolic link there leads, is neither read nor written, and a link is
// followed only when it is that user's or root's. Root moreover works only in that user's
// folders (the one holding the path's name, the one holding a link's file, and any folder it
// makes one in) and gives what it makes to that user.
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
#include "io/diagnostics.h"
#include "io/text_form.h"
#include "terminal/history_open.h"
#include "text/messages.h"

namespace {

constexpr int history_chunk_capacity = 4096;            // bytes per read or write
constexpr int name_capacity = NAME_MAX + 1;             // one name in a folder, terminator included
constexpr char state_file_name[] = "trigcalc/history";  // below the state folder
// Temporary files are named NAME.trigcalc-tmp-XXXXXXXX (8 lower-case hex digits, as %x writes
// them): a name no user picks, so that those left by a run killed while saving can be told
// apart and removed, and no other name is.
constexpr char temporary_infix[] = ".trigcalc-tmp-";
constexpr int temporary_digits = 8;
constexpr char temporary_digit_set[] = "0123456789abcdef";
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
constexpr int error_other_user = -4;         // the file is not the history's user's
constexpr int error_other_folder = -5;       // root in a folder not the history's user's
constexpr int history_reason_capacity = 64;  // the longest of the program's own reasons
static_assert(sizeof words::history_not_regular <= history_reason_capacity &&
                  sizeof words::history_locked <= history_reason_capacity &&
                  sizeof words::history_other_user <= history_reason_capacity &&
                  sizeof words::history_other_folder <= history_reason_capacity,
              "every reason of the program's own fits history_reason_capacity");

constexpr int folder_flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;  // a folder locked and listed

// The words of a warning for `error`, one of the program's own or an errno value.
const char* reason_of(int error) {
  if (error == error_not_regular) return words::history_not_regular;
  if (error == error_locked) return words::history_locked;
  if (error == error_other_user) return words::history_other_user;
  if (error == error_other_folder) return words::history_other_folder;
  return std::strerror(error);
}

// One warning for the run: "trigcalc: historico: PATH: reason"; none for the null device.
// Returns false, for the failure it reports.
bool warn(FILE* err, const char* path, int error) {
  if (error != error_null_device) {
    char own[history_reason_capacity];  // the program's own words, in the texts' form
    const char* reason = error < 0 ? our_text(reason_of(error), own, sizeof own) : reason_of(error);
    print_our_text(err, words::history_warning, command_name, path, reason);
  }
  return false;
}

// 0 when `status` is a regular file's; otherwise why the file is not used.
int kind_error(const struct stat& status) {
  if (S_ISREG(status.st_mode)) return 0;
  if (S_ISLNK(status.st_mode)) return ELOOP;  // a link put there since the path was resolved
  struct stat null_device;
  const bool null = S_ISCHR(status.st_mode) && stat("/dev/null", &null_device) == 0 &&
                    S_ISCHR(null_device.st_mode) && null_device.st_rdev == status.st_rdev;
  return null ? error_null_device : error_not_regular;
}

// The user the history file belongs to (see the top of the file).
uid_t history_user() {
  const uid_t running = geteuid();
  const char* home = std::getenv("HOME");
  struct stat status;
  if (running != 0 || home == nullptr || home[0] == '\0' || stat(home, &status) != 0 ||
      !S_ISDIR(status.st_mode)) {
    return running;
  }
  return status.st_uid;
}

// 0 when `status` is a regular file of `user`'s; otherwise why the file is not used.
int file_error(const struct stat& status, uid_t user) {
  const int error = kind_error(status);
  if (error != 0) return error;
  return status.st_uid == user ? 0 : error_other_user;
}

// 0 when root may work in the folder whose status is `folder` for `user`: it is that user's.
// Any other user works where the system lets it.
int folder_error(const struct stat& folder, uid_t user) {
  return geteuid() != 0 || folder.st_uid == user ? 0 : error_other_folder;
}

// 0 when the file open as `descriptor` is a regular file of `user`'s, its status then in
// `status`; otherwise why it is not used.
int opened_error(int descriptor, uid_t user, struct stat& status) {
  return fstat(descriptor, &status) == 0 ? file_error(status, user) : errno;
}

// Opens for reading the entry `name` of `directory` (a symbolic link is not followed) only
// when it is a regular file of `user`'s, its status then in `status`: looked at first, checked,
// opened from the look, and checked again on the descriptor. The descriptor, or -1 with
// `error` saying why (ENOENT: nothing there).
int open_checked(int directory, const char* name, uid_t user, struct stat& status, int& error) {
  FileLook look;
  error = look_at(directory, name, look);
  if (error == 0) error = file_error(look.status, user);
  int descriptor = -1;
  if (error == 0 && (descriptor = open_again(look.handle, directory, name, O_RDONLY)) < 0) {
    error = errno;
  }
  end_look(look);
  if (descriptor >= 0 && (error = opened_error(descriptor, user, status)) != 0) {
    close(descriptor);  // something else was put there: never read
    descriptor = -1;
  }
  return descriptor;
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
  unsigned char chunk[history_chunk_capacity];
  for (;;) {
    const int count = read_descriptor(descriptor, chunk, history_chunk_capacity);  // EINTR retried
    if (count < 0) return false;
    if (count == 0) break;
    for (int i = 0; i < count; ++i) take_byte(line, static_cast<char>(chunk[i]), lines);
  }
  take_byte(line, '\n', lines);  // a last line without its end of line
  return true;
}

// Writes `lines`, one per line, to `descriptor`, a chunk at a time; false on an error.
bool write_lines(int descriptor, const HistoryLines& lines) {
  char chunk[history_chunk_capacity];
  int used = 0;
  for (int i = 0; i < lines.count; ++i) {
    const char* line = history_line(lines, i);
    const int length = static_cast<int>(std::strlen(line));
    if (used + length + 1 > history_chunk_capacity) {
      if (!write_descriptor(descriptor, chunk, used)) return false;
      used = 0;
    }
    std::memcpy(chunk + used, line, static_cast<size_t>(length));
    used += length;
    chunk[used++] = '\n';
  }
  return write_descriptor(descriptor, chunk, used);
}

// The bytes write_lines writes for `lines`.
off_t lines_size(const HistoryLines& lines) {
  off_t size = 0;
  for (int i = 0; i < lines.count; ++i) {
    size += static_cast<off_t>(std::strlen(history_line(lines, i)) + 1);  // and its end of line
  }
  return size;
}

// Whose the new file is and what it may be used for.
struct FileOwner {
  uid_t user;
  gid_t group;
  mode_t mode;  // permission bits
};

// The owner of a file made for `user` in the folder `directory`: that user, private (0600);
// made by root for another user, in that user's folder, with the folder's group too, as if
// that user had made it.
FileOwner new_file_owner(int directory, uid_t user) {
  FileOwner owner = {user, getegid(), 0600};
  struct stat folder;
  if (user != geteuid() && fstat(directory, &folder) == 0) owner.group = folder.st_gid;
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

// True when `entry` is the name of a temporary file for `name` as make_temporary writes it.
bool is_temporary_of(const char* entry, const char* name) {
  const size_t length = std::strlen(name);
  const size_t infix = sizeof temporary_infix - 1;
  if (std::strncmp(entry, name, length) != 0 ||
      std::strncmp(entry + length, temporary_infix, infix) != 0) {
    return false;
  }
  const char* digits = entry + length + infix;
  return std::strlen(digits) == temporary_digits &&
         std::strspn(digits, temporary_digit_set) == temporary_digits;
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

// Reserves `size` bytes for the file open as `descriptor`, so that writing them cannot run
// out of space midway; 0 or why not. A file system that cannot reserve is written all the same.
int reserve_space(int descriptor, off_t size) {
  const int error = posix_fallocate(descriptor, 0, size);
  return error == EINVAL || error == EOPNOTSUPP ? 0 : error;
}

// Rewrites the file open as `descriptor` (the file `name` of `directory`) with `lines`, in
// place: every name, attribute and ACL of it stays, as do its owner and mode. Room for the
// whole is reserved first, so that a full file system leaves the file as it was; what this
// gives up is the rename's all-or-nothing: a crash while it writes can leave the file part
// new, part old, or cut short. 0 or why not.
int rewrite_in_place(int descriptor, const struct stat& status, int directory, const char* name,
                     const HistoryLines& lines) {
  const int writing = open_again(descriptor, directory, name, O_RDWR);
  if (writing < 0) return errno;
  struct stat opened;
  int error = fstat(writing, &opened) == 0 ? 0 : errno;
  if (error == 0 && (opened.st_dev != status.st_dev || opened.st_ino != status.st_ino)) {
    error = ESTALE;  // opened by name (no /proc) and not the file read: never written
  }
  const off_t size = lines_size(lines);
  if (error == 0) error = reserve_space(writing, size);
  if (error == 0 && !write_lines(writing, lines)) error = errno;
  if (error == 0 && ftruncate(writing, size) != 0) error = errno;
  if (error == 0 && fsync(writing) != 0) error = errno;
  if (close(writing) != 0 && error == 0) error = errno;
  return error;
}

// Puts `lines` into the file `name` of `directory` for `user`. A file open as `descriptor`
// that has a second name, or attributes of its own (an ACL among them), is rewritten in place,
// since a new file would have neither; any other, or no file yet (`descriptor` -1), becomes a
// new file renamed into place, with the old one's owner, group and mode. 0 or why not.
int write_merged(int directory, const char* name, int descriptor, const struct stat& status,
                 uid_t user, const HistoryLines& lines) {
  if (descriptor < 0) {
    return replace_file(directory, name, lines, new_file_owner(directory, user));
  }
  if (status.st_nlink > 1 || has_own_attributes(descriptor)) {
    return rewrite_in_place(descriptor, status, directory, name, lines);
  }
  const FileOwner owner = {status.st_uid, status.st_gid,
                           static_cast<mode_t>(status.st_mode & 0777)};
  return replace_file(directory, name, lines, owner);
}

// Under the lock on `directory`: what its file `name` holds, when it is a regular file of
// `user`'s, then `added`, through `merged` back into the file; 0 or why not. Temporary files
// runs killed while saving left go too: under the lock no other run is saving.
int merge_locked(int directory, const char* name, uid_t user, const HistoryLines& added,
                 HistoryLines& merged) {
  struct stat status = {};
  int error = 0;
  const int descriptor = open_checked(directory, name, user, status, error);
  if (descriptor < 0 && error != ENOENT) return error;
  remove_stale_temporaries(directory, name);
  clear_history_lines(merged);
  error = descriptor < 0 || read_lines(descriptor, merged) ? 0 : errno;
  for (int i = 0; i < added.count; ++i) add_history_line(merged, history_line(added, i));
  if (error == 0) error = write_merged(directory, name, descriptor, status, user, merged);
  if (descriptor >= 0) close(descriptor);
  return error;
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

// Puts in `name` the next name of the path at `rest`, moving `rest` past it; false at the
// path's end, or, with `error` ENAMETOOLONG, at a name longer than a folder's entries may be.
bool next_name(const char*& rest, char (&name)[name_capacity], int& error) {
  while (*rest == '/') ++rest;
  const size_t length = std::strcspn(rest, "/");
  if (length == 0) return false;
  if (length >= sizeof name) {
    error = ENAMETOOLONG;
    return false;
  }
  std::memcpy(name, rest, length);
  name[length] = '\0';
  rest += length;
  return true;
}

// Makes the folder `name` in `parent` (mode 0700) unless another run has made it meanwhile.
// Root makes one only in a folder of `user`'s, and gives it to that user with the folder's
// group, as if that user had made it. 0 or why not.
int make_folder_in(int parent, const char* name, uid_t user) {
  struct stat above;
  if (fstat(parent, &above) != 0) return errno;
  const int error = folder_error(above, user);
  if (error != 0) return error;
  if (mkdirat(parent, name, 0700) != 0) return errno == EEXIST ? 0 : errno;
  if (user == geteuid()) return 0;
  return fchownat(parent, name, user, above.st_gid, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : errno;
}

// Opens the folder `name` in `parent` to search it (a symbolic link to a folder followed),
// making it first when it is missing; the descriptor, or -1 with `error` saying why.
int open_folder_in(int parent, const char* name, uid_t user, int& error) {
  int folder = open_folder_to_search(parent, name);
  if (folder < 0 && errno == ENOENT) {
    error = make_folder_in(parent, name, user);
    if (error != 0) return -1;
    folder = open_folder_to_search(parent, name);
  }
  error = folder < 0 ? errno : 0;
  return folder;
}

// Opens the folder `folder` for `user` to search it, a name at a time from its start, making
// each folder of it that is missing; the descriptor, or -1 with `error` saying why.
int open_folders(const char* folder, uid_t user, int& error) {
  int current = open_folder_to_search(AT_FDCWD, folder[0] == '/' ? "/" : ".");
  error = current < 0 ? errno : 0;
  char name[name_capacity];
  for (const char* rest = folder; current >= 0 && next_name(rest, name, error);) {
    const int next = open_folder_in(current, name, user, error);
    close(current);
    current = next;
  }
  if (error != 0 && current >= 0) {
    close(current);
    current = -1;
  }
  return current;
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

// 0 when the symbolic link at `path`, whose status is `link`, may be followed for `user`: it
// is that user's or root's, not one someone else put there (in /tmp, say, leading to a file
// of that user's), and, for root, it is in a folder of that user's. Why not otherwise.
int link_error(const char* path, const struct stat& link, uid_t user) {
  if (link.st_uid != user && link.st_uid != 0) return error_other_user;
  char folder[history_path_capacity];
  folder_of(path, folder);
  struct stat status;
  return stat(folder, &status) == 0 ? folder_error(status, user) : errno;
}

// Puts in `target` the file `path` names: `path` itself, or, when it is a symbolic link, the
// file it leads to, so that the link stays a link. 0, or why that file is not used (checked
// here by name, and again on the descriptor once opened): something there other than a
// regular file of `user`'s, a link leading nowhere (ENOENT), a link root may not use. A
// missing file is no failure.
int resolve_target(const char* path, uid_t user, char (&target)[history_path_capacity]) {
  struct stat status;
  std::snprintf(target, sizeof target, "%s", path);  // fits: find_history_path saw to that
  if (lstat(path, &status) != 0) return errno == ENOENT ? 0 : errno;
  if (S_ISLNK(status.st_mode)) {
    const int error = link_error(path, status, user);
    if (error != 0) return error;
    if (realpath(path, target) == nullptr || stat(target, &status) != 0) return errno;
  }
  return file_error(status, user);
}

// Adds the lines of the file `target` (no symbolic link) to `lines`, when its folder may be
// used and it is a regular file of `user`'s; 0 or why not (ENOENT: no file yet).
int read_target(const char* target, uid_t user, HistoryLines& lines) {
  char folder[history_path_capacity];
  folder_of(target, folder);
  const int directory = open_folder_to_search(AT_FDCWD, folder);
  if (directory < 0) return errno;
  struct stat status;
  int error = fstat(directory, &status) == 0 ? folder_error(status, user) : errno;
  int descriptor = -1;
  if (error == 0) descriptor = open_checked(directory, name_of(target), user, status, error);
  close(directory);
  if (descriptor < 0) return error;
  if (!read_lines(descriptor, lines)) error = errno;
  close(descriptor);
  return error;
}

// Opens the folder `searched` again to lock and list it, once root may use it for `user`;
// the descriptor, or -1 with `error` saying why.
int open_to_lock(int searched, uid_t user, int& error) {
  struct stat status;
  error = fstat(searched, &status) == 0 ? folder_error(status, user) : errno;
  const int directory = error == 0 ? openat(searched, ".", folder_flags) : -1;
  if (error == 0 && directory < 0) error = errno;
  return directory;
}

// Adds `added` to the file `target` (no symbolic link) of `user`'s under the lock on its
// folder, made first when missing; 0 or why not.
int save_at(const char* target, uid_t user, const HistoryLines& added, HistoryLines& merged) {
  char folder[history_path_capacity];
  folder_of(target, folder);
  int error = 0;
  const int searched = open_folders(folder, user, error);
  if (searched < 0) return error;
  const int directory = open_to_lock(searched, user, error);
  close(searched);
  if (directory < 0) return error;
  error = lock_within_wait(directory);
  if (error == 0) {
    // Only once the lock is held: a wait for it can be interrupted as any other.
    sigset_t previous;
    hold_signals(previous);
    error = merge_locked(directory, name_of(target), user, added, merged);
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
  const uid_t user = history_user();
  char target[history_path_capacity];
  int error = resolve_target(path, user, target);
  if (error == 0) error = read_target(target, user, lines);
  return error == 0 || error == ENOENT || warn(err, path, error);  // ENOENT: no file yet
}

bool save_history_file(const char* path, const HistoryLines& added, HistoryLines& merged,
                       FILE* err) {
  if (added.count == 0) return true;
  const uid_t user = history_user();
  char target[history_path_capacity];
  int error = resolve_target(path, user, target);
  if (error == 0) error = save_at(target, user, added, merged);
  return error == 0 || warn(err, path, error);
}
