// The history file: this run's lines added to what the file holds when the run ends, the
// last 1,000 lines kept, its place from the environment, its folders made when missing, a
// second run waiting for the first's lock a bounded time, one warning when it cannot be read
// or written, and nothing harmed of what stands at its path or of whose it is.
#include "console/history_file.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

HistoryLines added;   // this run's lines
HistoryLines merged;  // the file's and this run's, as saved

// A temporary folder of the test's own, removed with everything in it.
struct Folder {
  std::string path;
  Folder() {
    char name[] = "/tmp/trigcalc-history-XXXXXX";
    path = mkdtemp(name) != nullptr ? name : "";
  }
  ~Folder() {
    if (!path.empty()) std::filesystem::remove_all(path);
  }
};

std::string contents(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

void write_file(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// `lines` as this run's lines.
void run_added(const std::vector<std::string>& lines) {
  clear_history_lines(added);
  for (const std::string& line : lines) add_history_line(added, line.c_str());
}

// What a call writes to its warning stream, and whether it succeeded.
struct Outcome {
  bool succeeded;
  std::string warnings;
};

template <typename Call>
Outcome warned(Call call) {
  FILE* err = std::tmpfile();
  const bool succeeded = call(err);
  std::rewind(err);
  std::string warnings;
  for (int c; (c = std::fgetc(err)) != EOF;) warnings += static_cast<char>(c);
  std::fclose(err);
  return {succeeded, warnings};
}

using namespace std::string_literals;  // "...\0..."s: a line holding a NUL

struct MergeCase {
  const char* name;
  std::optional<std::string> file;  // the file when the run ends; nullopt: no file yet
  std::vector<std::string> lines;   // this run's lines
  std::string saved;                // the file afterwards
};

TEST(HistoryFile, AddsThisRunsLinesToWhatTheFileHoldsWhenTheRunEnds) {
  const std::string overlong = std::string(200, '1') + "\ncos0\n";  // 200 bytes: no line read
  const MergeCase cases[] = {
      {"lines another run added meanwhile", "sin30\ncos0\n", {"tan45"}, "sin30\ncos0\ntan45\n"},
      {"no file yet", std::nullopt, {"sin30", "cos0"}, "sin30\ncos0\n"},
      {"empty lines left out", "sin30\n\n\ncos0\n", {"", "tan45", ""}, "sin30\ncos0\ntan45\n"},
      {"a line equal to the one before left out",
       "sin30\nsin30\ncos0\n",
       {"cos0", "tan45", "tan45", "cos0"},
       "sin30\ncos0\ntan45\ncos0\n"},
      {"a last line without its end", "sin30\ncos0", {"tan45"}, "sin30\ncos0\ntan45\n"},
      {"a line no run can have typed left out", overlong, {"tan45"}, "cos0\ntan45\n"},
      {"127 bytes kept, 128 left out",
       std::string(127, '1') + "\n" + std::string(128, '2') + "\n",
       {"tan45"},
       std::string(127, '1') + "\ntan45\n"},
      {"a line holding a NUL left out, not cut",
       "sin30\ncos\0"s
       "60\nsin90\n",
       {"tan45"},
       "sin30\nsin90\ntan45\n"},
      {"CRLF ends read as ends of line", "sin30\r\ncos0\r\n", {"tan45"}, "sin30\ncos0\ntan45\n"},
      {"nothing typed: the file left alone", "sin30\n\n", {}, "sin30\n\n"},
  };
  for (const MergeCase& c : cases) {
    Folder folder;
    const std::string path = folder.path + "/history";
    if (c.file) write_file(path, *c.file);
    run_added(c.lines);
    const Outcome outcome =
        warned([&](FILE* err) { return save_history_file(path.c_str(), added, merged, err); });
    EXPECT_TRUE(outcome.succeeded) << c.name;
    EXPECT_EQ(outcome.warnings, "") << c.name;
    EXPECT_EQ(contents(path), c.saved) << c.name;
  }
}

TEST(HistoryFile, KeepsTheLast1000Lines) {
  Folder folder;
  const std::string path = folder.path + "/history";
  std::string file;
  for (int i = 1; i <= 999; ++i) file += "sin" + std::to_string(i) + "\n";
  write_file(path, file);
  run_added({"cos1", "cos2", "cos3"});
  ASSERT_TRUE(save_history_file(path.c_str(), added, merged, stderr));
  std::string kept;
  for (int i = 3; i <= 999; ++i) kept += "sin" + std::to_string(i) + "\n";
  EXPECT_EQ(contents(path), kept + "cos1\ncos2\ncos3\n");

  clear_history_lines(merged);
  ASSERT_TRUE(read_history_file(path.c_str(), merged, stderr));
  ASSERT_EQ(merged.count, 1000);
  EXPECT_STREQ(history_line(merged, 0), "sin3");
  EXPECT_STREQ(history_line(merged, 999), "cos3");
}

TEST(HistoryFile, MakesMissingFoldersPrivateAndTheFilePrivate) {
  Folder folder;
  const std::string path = folder.path + "/state/trigcalc/history";
  run_added({"sin30"});
  ASSERT_TRUE(save_history_file(path.c_str(), added, merged, stderr));
  EXPECT_EQ(contents(path), "sin30\n");
  const std::string made[] = {folder.path + "/state", folder.path + "/state/trigcalc", path};
  const mode_t modes[] = {0700, 0700, 0600};
  for (int i = 0; i < 3; ++i) {
    struct stat status;
    ASSERT_EQ(stat(made[i].c_str(), &status), 0) << made[i];
    EXPECT_EQ(status.st_mode & 0777, modes[i]) << made[i];
  }
}

// Each failure gives exactly one warning naming the file, and leaves nothing behind; a
// missing file is no failure.
TEST(HistoryFile, WarnsOnceWhenTheFileCannotBeReadOrWritten) {
  Folder folder;
  write_file(folder.path + "/plain", "");
  std::filesystem::create_directory(folder.path + "/folder");
  const std::string below_a_file = folder.path + "/plain/history";
  const std::string a_folder = folder.path + "/folder";
  run_added({"sin30"});
  const struct {
    std::string path;
    bool save;  // saved, else read
    const char* reason;
  } cases[] = {
      {below_a_file, true, "Not a directory"},
      {a_folder, true, "nao e um arquivo comum; historico nao usado"},
      {a_folder, false, "nao e um arquivo comum; historico nao usado"},
  };
  for (const auto& c : cases) {
    const Outcome outcome = warned([&](FILE* err) {
      return c.save ? save_history_file(c.path.c_str(), added, merged, err)
                    : read_history_file(c.path.c_str(), merged, err);
    });
    EXPECT_FALSE(outcome.succeeded) << c.path;
    EXPECT_EQ(outcome.warnings, "trigcalc: historico: " + c.path + ": " + c.reason + "\n");
  }
  const std::filesystem::directory_iterator entries(folder.path), end;
  EXPECT_EQ(std::distance(entries, end), 2) << "a temporary file was left behind";
  EXPECT_TRUE(std::filesystem::is_empty(a_folder));

  clear_history_lines(merged);  // a file not made yet is no failure: no lines, no warning
  const Outcome missing = warned([&](FILE* err) {
    return read_history_file((folder.path + "/none/history").c_str(), merged, err);
  });
  EXPECT_TRUE(missing.succeeded && missing.warnings.empty() && merged.count == 0);
}

// Every entry below `folder`, sorted, as "name:kind": a regular file by its contents, a
// link by where it leads.
std::string described(const std::string& folder) {
  std::vector<std::pair<std::string, std::string>> entries;  // sorted by name
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    const std::string name = entry.path().lexically_relative(folder).string();
    const auto status = entry.symlink_status();
    std::string kind = std::filesystem::is_fifo(status)             ? "fifo"
                       : std::filesystem::is_character_file(status) ? "device"
                       : std::filesystem::is_directory(status)      ? "folder"
                       : std::filesystem::is_symlink(status)
                           ? "link>" + std::filesystem::read_symlink(entry.path()).string()
                           : "'" + contents(entry.path().string()) + "'";
    entries.emplace_back(name, kind);
  }
  std::sort(entries.begin(), entries.end());
  std::string text;
  for (const auto& [name, kind] : entries) text += (text.empty() ? "" : " ") + name + ":" + kind;
  return text;
}

const std::string not_regular = "nao e um arquivo comum; historico nao usado";

// Only a regular file is read or replaced: a FIFO or a device is never opened (a read of
// either would stall), the null device turns history off without a word, a link stays and
// the file it leads to is replaced, and temporary files of killed runs go, nothing else.
TEST(HistoryFile, NeverHarmsWhatItFindsAtThePath) {
  const struct {
    const char* name;
    bool needs_root;                                  // mknod
    std::function<void(const std::string&)> prepare;  // given the folder; the file is "history"
    const char* read_warning;                         // the end of the one warning; "" none
    bool read;                                        // read_history_file's result
    const char* save_warning;                         // when this run's "cos0" is saved
    const char* after;                                // the folder afterwards
  } cases[] = {
      {"a FIFO", false, [](const std::string& f) { mkfifo((f + "/history").c_str(), 0600); },
       not_regular.c_str(), false, not_regular.c_str(), "history:fifo"},
      {"a copy of /dev/zero", true,
       [](const std::string& f) { mknod((f + "/history").c_str(), S_IFCHR | 0666, makedev(1, 5)); },
       not_regular.c_str(), false, not_regular.c_str(), "history:device"},
      {"a copy of /dev/null: no history, no warning", true,
       [](const std::string& f) { mknod((f + "/history").c_str(), S_IFCHR | 0666, makedev(1, 3)); },
       "", false, "", "history:device"},
      {"a link to a dotfiles folder", false,
       [](const std::string& f) {
         std::filesystem::create_directory(f + "/dotfiles");
         write_file(f + "/dotfiles/history", "sin30\n");
         EXPECT_EQ(symlink("dotfiles/history", (f + "/history").c_str()), 0);
       },
       "", true, "",
       "dotfiles:folder dotfiles/history:'sin30\ncos0\n' history:link>dotfiles/history"},
      {"a link leading nowhere", false,
       [](const std::string& f) {
         EXPECT_EQ(symlink("dotfiles/history", (f + "/history").c_str()), 0);
       },
       "", true, "No such file or directory", "history:link>dotfiles/history"},
      {"temporary files of killed runs, and only they, removed", false,
       [](const std::string& f) {
         write_file(f + "/history", "sin30\n");
         write_file(f + "/history.trigcalc-tmp-0123abcd", "sin");
         write_file(f + "/history.backup", "mine");
       },
       "", true, "", "history:'sin30\ncos0\n' history.backup:'mine'"},
  };
  alarm(60);  // a read that blocks ends the test rather than hanging it
  for (const auto& c : cases) {
    if (c.needs_root && geteuid() != 0) {
      std::printf("skipped %s: mknod needs root\n", c.name);
      continue;
    }
    Folder folder;
    const std::string path = folder.path + "/history";
    c.prepare(folder.path);
    clear_history_lines(merged);
    const Outcome read =
        warned([&](FILE* err) { return read_history_file(path.c_str(), merged, err); });
    run_added({"cos0"});
    const Outcome saved =
        warned([&](FILE* err) { return save_history_file(path.c_str(), added, merged, err); });
    const auto warning = [&](const char* end) {
      return *end == '\0' ? "" : "trigcalc: historico: " + path + ": " + end + "\n";
    };
    EXPECT_EQ(read.succeeded, c.read) << c.name;
    EXPECT_EQ(read.warnings, warning(c.read_warning)) << c.name;
    EXPECT_EQ(saved.succeeded, c.read && *c.save_warning == '\0') << c.name;
    EXPECT_EQ(saved.warnings, warning(c.save_warning)) << c.name;
    EXPECT_EQ(described(folder.path), c.after) << c.name;
  }
  alarm(0);
}

// A run of root's with another user's HOME never takes that user's file or folders: an
// existing file keeps its owner, group and mode; what is made belongs to that user, whose
// next run (an unprivileged process) saves as before.
TEST(HistoryFile, KeepsTheOwnerOfAnotherUsersFileAndFolders) {
  if (geteuid() != 0) GTEST_SKIP() << "giving files to another user needs root";
  constexpr uid_t user = 65534;  // nobody
  constexpr gid_t group = 65534;
  const struct {
    const char* name;
    const char* file;   // below the home, which is the user's
    const char* found;  // what the file holds before; null: neither it nor its folders exist
    mode_t mode;        // the file's mode before, and after
  } cases[] = {
      {"the user's file", "history", "sin30\n", 0640},
      {"a home without .local", ".local/state/trigcalc/history", nullptr, 0600},
  };
  for (const auto& c : cases) {
    Folder home;
    ASSERT_EQ(chown(home.path.c_str(), user, group), 0);
    const std::string path = home.path + "/" + c.file;
    if (c.found != nullptr) {
      write_file(path, c.found);
      ASSERT_EQ(chown(path.c_str(), user, group), 0);
      ASSERT_EQ(chmod(path.c_str(), c.mode), 0);
    }
    run_added({"cos0"});
    ASSERT_TRUE(save_history_file(path.c_str(), added, merged, stderr)) << c.name;
    for (std::string made = path; made != home.path; made = made.substr(0, made.rfind('/'))) {
      struct stat status;
      ASSERT_EQ(lstat(made.c_str(), &status), 0) << made;
      EXPECT_TRUE(status.st_uid == user && status.st_gid == group) << c.name << ": " << made;
    }
    struct stat status;
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, c.mode) << c.name;
    const pid_t child = fork();
    if (child == 0) {
      run_added({"tan45"});
      const bool as_user = setgroups(0, nullptr) == 0 && setgid(group) == 0 && setuid(user) == 0;
      _exit(as_user && save_history_file(path.c_str(), added, merged, stderr) ? 0 : 1);
    }
    int exit_status = 0;
    ASSERT_EQ(waitpid(child, &exit_status, 0), child);
    EXPECT_TRUE(WIFEXITED(exit_status) && WEXITSTATUS(exit_status) == 0) << c.name;
    EXPECT_EQ(contents(path), std::string(c.found ? c.found : "") + "cos0\ntan45\n") << c.name;
  }
}

// A lock held by something else is waited for a bounded time, then the file is left as it is.
TEST(HistoryFile, GivesUpWhenTheLockIsNotHadWithinItsWait) {
  Folder folder;
  const std::string path = folder.path + "/history";
  write_file(path, "sin30\n");
  const int lock = open(folder.path.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_EQ(flock(lock, LOCK_EX), 0);
  run_added({"cos0"});
  const Outcome outcome =
      warned([&](FILE* err) { return save_history_file(path.c_str(), added, merged, err); });
  close(lock);
  EXPECT_FALSE(outcome.succeeded);
  EXPECT_EQ(outcome.warnings, "trigcalc: historico: " + path +
                                  ": em uso por outro processo; historico nao gravado\n");
  EXPECT_EQ(described(folder.path), "history:'sin30\n'");
}

// The child saves while the test holds the folder's lock, as a run that is saving would;
// the line that run writes meanwhile must survive the child's save.
TEST(HistoryFile, ASaveWaitsForTheLockOfAnotherRun) {
  Folder folder;
  const std::string path = folder.path + "/history";
  const int lock = open(folder.path.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_EQ(flock(lock, LOCK_EX), 0);
  run_added({"cos0"});
  const pid_t child = fork();
  if (child == 0) {
    close(lock);  // the lock stays with the test's descriptor
    _exit(save_history_file(path.c_str(), added, merged, stderr) ? 0 : 1);
  }
  ASSERT_GT(child, 0);
  const std::string stat_path = "/proc/" + std::to_string(child) + "/stat";
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  // S: asleep, waiting for the lock; Z: ended, having waited for nothing.
  for (std::string state; state != "S" && state != "Z";) {
    ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the child never waited";
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const std::string stat = contents(stat_path);
    state = stat.substr(stat.rfind(')') + 2, 1);
  }
  // While it waits for the lock its signals act: none of those that end it is blocked.
  std::istringstream status_text(contents("/proc/" + std::to_string(child) + "/status"));
  unsigned long long blocked = ~0ULL;
  for (std::string line; std::getline(status_text, line);) {
    if (line.rfind("SigBlk:", 0) == 0) blocked = std::stoull(line.substr(7), nullptr, 16);
  }
  for (int ending : {SIGHUP, SIGINT, SIGTERM}) {
    EXPECT_EQ(blocked & (1ULL << (ending - 1)), 0u) << "signal " << ending << " blocked";
  }
  write_file(path, "sin30\n");
  close(lock);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  EXPECT_EQ(contents(path), "sin30\ncos0\n");
}

TEST(HistoryFile, FindsItsPlaceFromTheEnvironment) {
  const struct {
    const char* history;  // TRIGCALC_HISTORY; null: unset
    const char* state;    // XDG_STATE_HOME; null: unset
    const char* home;     // HOME; null: unset
    const char* path;     // null: no file
  } cases[] = {
      {"/h/mine", "/s", "/home/u", "/h/mine"},
      {"", "/s", "/home/u", nullptr},
      {nullptr, "/s", "/home/u", "/s/trigcalc/history"},
      {nullptr, "relative", "/home/u", "/home/u/.local/state/trigcalc/history"},
      {nullptr, "", "/home/u", "/home/u/.local/state/trigcalc/history"},
      {nullptr, nullptr, nullptr, nullptr},
  };
  const char* const names[] = {"TRIGCALC_HISTORY", "XDG_STATE_HOME", "HOME"};
  std::string saved[3];
  bool was_set[3];
  for (int i = 0; i < 3; ++i) {
    const char* value = std::getenv(names[i]);
    was_set[i] = value != nullptr;
    saved[i] = value != nullptr ? value : "";
  }
  for (const auto& c : cases) {
    const char* const values[] = {c.history, c.state, c.home};
    for (int i = 0; i < 3; ++i) {
      if (values[i] != nullptr) setenv(names[i], values[i], 1);
      if (values[i] == nullptr) unsetenv(names[i]);
    }
    char path[history_path_capacity];
    const bool found = find_history_path(path, stderr);
    EXPECT_EQ(found ? std::string(path) : "no file", c.path ? c.path : "no file");
  }
  for (int i = 0; i < 3; ++i) {
    if (was_set[i]) setenv(names[i], saved[i].c_str(), 1);
    if (!was_set[i]) unsetenv(names[i]);
  }
}

}  // namespace
