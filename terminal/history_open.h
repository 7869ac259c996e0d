// How the history file is opened without opening anything else: what is at its name is
// looked at first, through a descriptor that can read nothing where the platform has one, and
// only what the caller accepted from that look is opened again for reading or writing, then
// checked again on the descriptor opened. Also folders opened only to be searched, and whether
// a file carries extended attributes (an ACL among them) that replacing it would lose. A file per
// platform: terminal/history_open_linux.cpp (O_PATH, /proc/self/fd, flistxattr) and
// terminal/history_open_posix.cpp (the name opened again; no attributes seen). POSIX only.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>

// What a look at a name found.
struct FileLook {
  int handle;          // a descriptor that reads nothing, or -1 where the platform has none
  struct stat status;  // what was there when looked at
};

// Looks at the entry `name` of the folder `directory` (a symbolic link there is looked at
// itself, not followed), opening nothing for reading or writing: a FIFO's writer waiting for
// a reader is not let through. 0 or an errno value; end_look undoes it either way.
int look_at(int directory, const char* name, FileLook& look);

// Ends `look`: closes its handle, if any.
void end_look(FileLook& look);

// Opens with `access` (O_RDONLY or O_RDWR), never blocking, the file `handle` is open on (a
// look's handle, or a descriptor reading it), or, where that cannot be had, the entry `name`
// of `directory` again; the descriptor, or -1 with errno set. By name something else may have
// been put there meanwhile: the caller checks the descriptor before using it.
int open_again(int handle, int directory, const char* name, int access);

// Opens the folder `name` of `parent` (AT_FDCWD: a path) to look at, make and open what is in
// it, which needs only the right to search it where the platform can (O_PATH), or to read it
// too; the descriptor, or -1 with errno set.
int open_folder_to_search(int parent, const char* name);

// True when the file open as `descriptor` has an extended attribute that a new file put in
// its place would not get (a user's attribute, an ACL).
bool has_own_attributes(int descriptor);

// Opens the entry `name` of `directory` with `access`, a symbolic link not followed,
// non-blocking and never as a controlling terminal: a FIFO is opened at once, and a device
// never becomes the program's terminal.
inline int open_by_name(int directory, const char* name, int access) {
  return openat(directory, name, access | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
}
