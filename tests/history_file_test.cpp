// The history file: this run's lines added to what the file holds when the run ends, the
// last 1,000 lines kept, its place from the environment, its folders made when missing, a
// second run waiting for the first's lock, and one warning when it cannot be read or written.
#include "console/history_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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

struct MergeCase {
  const char* name;
  const char* file;                // the file when the run ends; null: no file yet
  std::vector<std::string> lines;  // this run's lines
  const char* saved;               // the file afterwards
};

TEST(HistoryFile, AddsThisRunsLinesToWhatTheFileHoldsWhenTheRunEnds) {
  const std::string overlong = std::string(200, '1') + "\ncos0\n";  // 200 bytes: no line read
  const MergeCase cases[] = {
      {"lines another run added meanwhile", "sin30\ncos0\n", {"tan45"}, "sin30\ncos0\ntan45\n"},
      {"no file yet", nullptr, {"sin30", "cos0"}, "sin30\ncos0\n"},
      {"empty lines left out", "sin30\n\n\ncos0\n", {"", "tan45", ""}, "sin30\ncos0\ntan45\n"},
      {"a line equal to the one before left out",
       "sin30\nsin30\ncos0\n",
       {"cos0", "tan45", "tan45", "cos0"},
       "sin30\ncos0\ntan45\ncos0\n"},
      {"a last line without its end", "sin30\ncos0", {"tan45"}, "sin30\ncos0\ntan45\n"},
      {"a line no run can have typed left out", overlong.c_str(), {"tan45"}, "cos0\ntan45\n"},
      {"nothing typed: the file left alone", "sin30\n\n", {}, "sin30\n\n"},
  };
  for (const MergeCase& c : cases) {
    Folder folder;
    const std::string path = folder.path + "/history";
    if (c.file != nullptr) write_file(path, c.file);
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
      {a_folder, true, "Is a directory"},
      {a_folder, false, "Is a directory"},
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
