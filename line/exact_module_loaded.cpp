// The exact mode through its loadable module (exact/exact_module.h): looked for beside the
// program, one directory up and in the installed place, each relative to the program's own
// file, loaded once, on the first use, only when it is a regular file whole as its ELF
// headers describe it, and used only when its stamp is the program's.
#include <dlfcn.h>
#include <fcntl.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "exact/exact_module.h"
#include "line/exact_line.h"

namespace {

constexpr int path_capacity = 4096;           // PATH_MAX on Linux
constexpr int descriptor_path_capacity = 32;  // "/proc/self/fd/" and a descriptor's digits
// The ELF class of this program's own files, which a module of its own shares.
constexpr unsigned char native_elf_class = sizeof(ElfW(Addr)) == 8 ? ELFCLASS64 : ELFCLASS32;

// The module as loaded: its value entry, or why there is none.
struct LoadedModule {
  bool tried;
  ExactValueEntry entry;
  ExactAnswerEntry answer;
  ModuleState state;
};

ExactWaiting line_waiting = {};  // what the module's waits ask of the program, with every line

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

// The bytes the ELF file open at `descriptor` says it holds: the end of its furthest program
// header, loaded segment or section header table; 0 when it is no ELF file of this program's
// kind (the loader then says what it is). A file shorter than this was cut short, and the
// loader, which maps it, would fault on the bytes that are missing.
off_t described_size(int descriptor) {
  ElfW(Ehdr) header;
  if (pread(descriptor, &header, sizeof header, 0) != static_cast<ssize_t>(sizeof header) ||
      std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
      header.e_ident[EI_CLASS] != native_elf_class || header.e_phentsize != sizeof(ElfW(Phdr))) {
    return 0;
  }
  off_t end = static_cast<off_t>(header.e_phoff + header.e_phnum * sizeof(ElfW(Phdr)));
  const off_t sections = static_cast<off_t>(header.e_shoff + header.e_shnum * header.e_shentsize);
  if (sections > end) end = sections;
  for (int k = 0; k < header.e_phnum; ++k) {
    ElfW(Phdr) segment;
    const off_t at = static_cast<off_t>(header.e_phoff + k * sizeof segment);
    if (pread(descriptor, &segment, sizeof segment, at) != static_cast<ssize_t>(sizeof segment))
      break;  // the headers' own end, counted above, already passes the file's
    const off_t segment_end = static_cast<off_t>(segment.p_offset + segment.p_filesz);
    if (segment.p_type == PT_LOAD && segment_end > end) end = segment_end;
  }
  return end;
}

// Opens the module at `path` without waiting (a FIFO there would hold the open) and checks it
// is a regular file as long as its ELF headers say; the descriptor, or -1 with the reason in
// `module`.
int open_whole_module(const char* path, LoadedModule& module) {
  const int descriptor = open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  struct stat status;
  if (descriptor < 0 || fstat(descriptor, &status) != 0) {
    say_why(module, ModuleProblem::not_loaded, path, std::strerror(errno));
    if (descriptor >= 0) close(descriptor);
    return -1;
  }
  const off_t described = S_ISREG(status.st_mode) ? described_size(descriptor) : 0;
  if (S_ISREG(status.st_mode) && described <= status.st_size) return descriptor;
  char sizes[module_detail_capacity] = "";
  if (S_ISREG(status.st_mode)) {
    std::snprintf(sizes, sizeof sizes, "%lld/%lld", static_cast<long long>(status.st_size),
                  static_cast<long long>(described));
  }
  say_why(module, S_ISREG(status.st_mode) ? ModuleProblem::not_whole : ModuleProblem::not_regular,
          path, sizes);
  close(descriptor);
  return -1;
}

// Loads the module at `path`, the very file checked (through its descriptor): its handle, or
// null with the reason in `module`.
void* open_module(const char* path, LoadedModule& module) {
  const int descriptor = open_whole_module(path, module);
  if (descriptor < 0) return nullptr;
  char checked[descriptor_path_capacity];
  std::snprintf(checked, sizeof checked, "/proc/self/fd/%d", descriptor);
  void* handle = dlopen(checked, RTLD_NOW | RTLD_LOCAL);
  close(descriptor);
  if (handle == nullptr) {
    const char* error = dlerror();
    say_why(module, ModuleProblem::not_loaded, path, error != nullptr ? error : "");
  }
  return handle;
}

// True, with the entry in `module`, when the module at `path` loads and its stamp is this
// program's; otherwise says why in `module`.
bool load_at(const char* path, LoadedModule& module) {
  void* handle = open_module(path, module);
  if (handle == nullptr) return false;
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
  module.answer = reinterpret_cast<ExactAnswerEntry>(dlsym(handle, exact_answer_entry_name));
  if (module.entry != nullptr && module.answer != nullptr) return true;
  module.entry = nullptr;
  say_why(module, ModuleProblem::no_entry, path,
          module.answer == nullptr ? exact_answer_entry_name : exact_value_entry_name);
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
  static LoadedModule module = {false, nullptr, nullptr, {ModuleProblem::none, "", ""}};
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

void set_exact_waiting(const ExactWaiting& waiting) {
  line_waiting = waiting;
}

int exact_program_text(const Program& program, const NumberStore& store, int digits,
                       char (&text)[exact_text_capacity], ReadingNotes* notes, ExactForm* form) {
  const ExactValueEntry entry = loaded_module().entry;
  if (form != nullptr) form->length = 0;
  if (entry == nullptr) return write_no_value(text);
  ReadingNote note;
  bool noted = false;
  const int length = entry(&program, &store, digits, &text, form, &note, &noted, &line_waiting);
  if (noted) add_whole_note(notes, note);
  return length;
}

int exact_answer_text(const NaturalReading& reading, const AnswerRequest& request,
                      char (&text)[exact_answer_capacity], ReadingNotes* notes) {
  const ExactAnswerEntry entry = loaded_module().answer;
  ReadingNote note;
  bool noted = false;
  if (loaded_module().entry == nullptr) {
    std::strcpy(text, "não sei resolver");
    add_note(notes, NoteKind::equation_without_module, 0, 0);
    return static_cast<int>(std::strlen(text));
  }
  const int length =
      entry(&reading.program, &reading.numbers, &reading.shape, request.name, request.name_length,
            request.digits, request.unicode, &text, &note, &noted, &line_waiting);
  if (noted) add_whole_note(notes, note);
  return length;
}
