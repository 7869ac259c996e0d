// The history file's opening on POSIX systems other than Linux, which have no descriptor that
// opens nothing: a look is a status by name, and the file is then opened again by name,
// non-blocking. A FIFO swapped in between the two is opened at once (a writer waiting for a
// reader is let through) and a device's driver is called, but the caller's check of the
// descriptor refuses either and nothing is read or written. Folders on the way are opened for
// reading, which needs the right to read them, not only to search them. Extended attributes
// are not listed in one portable way: none is seen, and a file is always replaced whole.
#include <cerrno>

#include "terminal/history_open.h"

int look_at(int directory, const char* name, FileLook& look) {
  look.handle = -1;
  return fstatat(directory, name, &look.status, AT_SYMLINK_NOFOLLOW) == 0 ? 0 : errno;
}

void end_look(FileLook& look) {
  look.handle = -1;
}

int open_again(int, int directory, const char* name, int access) {
  return open_by_name(directory, name, access);
}

int open_folder_to_search(int parent, const char* name) {
  return openat(parent, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
}

bool has_own_attributes(int) {
  return false;
}
