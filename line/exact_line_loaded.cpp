// The exact mode through its loadable module (line/exact_module.h): looked for beside the
// program, one directory up and in the installed place, each relative to the program's own
// file, and loaded once, on the first line asked for exactly.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "line/exact_line.h"
#include "line/exact_module.h"

namespace {

constexpr int path_capacity = 4096;  // PATH_MAX on Linux

// The directory of the program's file, with its final '/'; false when it cannot be had.
bool program_directory(char (&directory)[path_capacity]) {
  const ssize_t length = readlink("/proc/self/exe", directory, path_capacity - 1);
  if (length <= 0) return false;
  directory[length] = '\0';
  char* slash = std::strrchr(directory, '/');
  if (slash == nullptr) return false;
  slash[1] = '\0';
  return true;
}

// The module's entry, loaded at the first call; null when the module cannot be loaded.
ExactEntry exact_entry() {
  static bool tried = false;
  static ExactEntry entry = nullptr;
  if (tried) return entry;
  tried = true;
  char directory[path_capacity];
  if (!program_directory(directory)) return nullptr;
  for (const char* place : exact_module_places) {
    char path[path_capacity];
    const int written =
        std::snprintf(path, sizeof path, "%s%s%s", directory, place, exact_module_file);
    if (written <= 0 || written >= path_capacity) continue;
    void* module = dlopen(path, RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) continue;
    // POSIX lets a function's address come through dlsym's void pointer.
    entry = reinterpret_cast<ExactEntry>(dlsym(module, "trigcalc_exact_reading_text"));
    if (entry != nullptr) return entry;
    dlclose(module);
  }
  return nullptr;
}

}  // namespace

bool exact_mode_available() {
  return exact_entry() != nullptr;
}

int exact_reading_text(const LineReading& reading, int digits, char (&text)[exact_text_capacity],
                       ReadingNotes* notes) {
  const ExactEntry entry = exact_entry();
  if (entry == nullptr) {
    std::strcpy(text, "nan");
    return 3;
  }
  ExactNote note;
  const int length = entry(&reading, digits, &text, &note);
  if (note.taken) add_note(notes, note.kind, note.column, note.length, note.name);
  return length;
}
