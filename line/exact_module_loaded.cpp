// The exact mode through its loadable module (exact/exact_module.h): looked for beside the
// program, one directory up and in the installed place, each relative to the program's own
// file, loaded once, on the first use, and used only when its stamp is the program's.
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "exact/exact_module.h"
#include "line/exact_line.h"

namespace {

constexpr int path_capacity = 4096;  // PATH_MAX on Linux

// The module as loaded: its value entry, or why there is none.
struct LoadedModule {
  bool tried;
  ExactValueEntry entry;
  ModuleState state;
};

// Records why the module is not available; a text too long for its room is cut.
void say_why(LoadedModule& module, ModuleProblem problem, const char* where, const char* detail) {
  module.state.problem = problem;
  std::snprintf(module.state.where, sizeof module.state.where, "%s", where);
  std::snprintf(module.state.detail, sizeof module.state.detail, "%s", detail);
}

// The directory of the executable's file, with its final '/'; false, with the reason in
// `module`, when it cannot be had.
bool executable_directory(char (&directory)[path_capacity], LoadedModule& module) {
  const ssize_t length = readlink("/proc/self/exe", directory, path_capacity - 1);
  const int error = errno;
  char* slash = nullptr;
  if (length > 0) {
    directory[length] = '\0';
    slash = std::strrchr(directory, '/');
  }
  if (slash == nullptr) {
    say_why(module, ModuleProblem::no_directory, "/proc/self/exe",
            length < 0 ? std::strerror(error) : "");
    return false;
  }
  slash[1] = '\0';
  return true;
}

// True, with the entry in `module`, when the module at `path` loads and its stamp is this
// program's; otherwise says why in `module`.
bool load_at(const char* path, LoadedModule& module) {
  void* handle = dlopen(path, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* error = dlerror();
    say_why(module, ModuleProblem::not_loaded, path, error != nullptr ? error : "");
    return false;
  }
  // POSIX lets a function's address come through dlsym's void pointer.
  const auto stamp_entry = reinterpret_cast<ExactStampEntry>(dlsym(handle, exact_stamp_entry_name));
  ExactModuleStamp stamp = {};
  if (stamp_entry != nullptr) stamp_entry(&stamp);
  const ExactModuleStamp own = exact_module_stamp();
  if (stamp_entry == nullptr || std::memcmp(&stamp, &own, sizeof stamp) != 0) {
    char versions[module_detail_capacity];
    std::snprintf(versions, sizeof versions, "%s/%d, %s/%d",
                  stamp_entry != nullptr ? stamp.version : "?", stamp.revision, own.version,
                  own.revision);
    say_why(module, ModuleProblem::other_version, path, versions);
    dlclose(handle);
    return false;
  }
  module.entry = reinterpret_cast<ExactValueEntry>(dlsym(handle, exact_value_entry_name));
  if (module.entry != nullptr) return true;
  say_why(module, ModuleProblem::no_entry, path, exact_value_entry_name);
  dlclose(handle);
  return false;
}

// Loads the module from the first place that holds it.
void load_module(LoadedModule& module) {
  char directory[path_capacity];
  if (!executable_directory(directory, module)) return;
  say_why(module, ModuleProblem::not_found, directory, exact_module_file);
  for (const char* place : exact_module_places) {
    char path[path_capacity];
    const int written =
        std::snprintf(path, sizeof path, "%s%s%s", directory, place, exact_module_file);
    struct stat status;
    if (written <= 0 || written >= path_capacity || stat(path, &status) != 0) continue;
    if (load_at(path, module)) {
      module.state.problem = ModuleProblem::none;
      return;
    }
  }
}

LoadedModule& loaded_module() {
  static LoadedModule module = {false, nullptr, {ModuleProblem::none, "", ""}};
  if (!module.tried) load_module(module);
  module.tried = true;
  return module;
}

}  // namespace

bool exact_mode_available() {
  return loaded_module().entry != nullptr;
}

const ModuleState& exact_module_state() {
  return loaded_module().state;
}

int exact_program_text(const Program& program, const NumberStore& store, int digits,
                       char (&text)[exact_text_capacity], ReadingNotes* notes, ExactForm* form) {
  const ExactValueEntry entry = loaded_module().entry;
  if (form != nullptr) form->length = 0;
  if (entry == nullptr) return write_no_value(text);
  ReadingNote note;
  bool noted = false;
  const int length = entry(&program, &store, digits, &text, form, &note, &noted);
  if (noted) add_whole_note(notes, note);
  return length;
}
