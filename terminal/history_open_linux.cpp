// The history file's opening on Linux: a look is an O_PATH descriptor, which opens nothing (a
// FIFO's waiting writer stays waiting, a device's driver is not called), and the file is opened
// again through /proc/self/fd, which gives the very file looked at whatever its name holds
// since; folders on the way are O_PATH descriptors too, which need only the right to search
// them. Without /proc (a chroot or a container that lacks it) the name is opened again:
// non-blocking, so a FIFO swapped in meanwhile is opened at once, letting a waiting writer
// through, but the caller's check of the descriptor then refuses it and nothing is read.
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "terminal/history_open.h"

namespace {

constexpr int proc_path_capacity = 32;                // "/proc/self/fd/" and a descriptor's digits
constexpr int attribute_list_capacity = 1024;         // the names of a file's attributes, listed
constexpr char selinux_label[] = "security.selinux";  // every file's where SELinux runs

}  // namespace

int look_at(int directory, const char* name, FileLook& look) {
  look.handle = openat(directory, name, O_PATH | O_NOFOLLOW | O_CLOEXEC);
  if (look.handle < 0) return errno;
  if (fstat(look.handle, &look.status) == 0) return 0;
  const int error = errno;
  end_look(look);
  return error;
}

void end_look(FileLook& look) {
  if (look.handle >= 0) close(look.handle);
  look.handle = -1;
}

int open_again(int handle, int directory, const char* name, int access) {
  char proc_path[proc_path_capacity];
  std::snprintf(proc_path, sizeof proc_path, "/proc/self/fd/%d", handle);
  const int descriptor = open(proc_path, access | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (descriptor >= 0 || errno != ENOENT) return descriptor;
  return open_by_name(directory, name, access);  // no /proc: see the top of the file
}

int open_folder_to_search(int parent, const char* name) {
  return openat(parent, name, O_PATH | O_DIRECTORY | O_CLOEXEC);
}

// The SELinux label alone does not count: a new file in the folder gets the folder's label,
// as the file did, and counting it would rewrite every file in place where SELinux runs.
bool has_own_attributes(int descriptor) {
  char names[attribute_list_capacity];
  const ssize_t size = flistxattr(descriptor, names, sizeof names);
  if (size < 0) return errno == ERANGE;  // more names than the list holds; else none possible
  for (ssize_t at = 0; at < size; at += static_cast<ssize_t>(std::strlen(names + at)) + 1) {
    if (std::strcmp(names + at, selinux_label) != 0) return true;
  }
  return false;
}
