// The history file: this run's lines added to what the file holds when the run ends, the
// last 1,000 lines kept, its place from the environment, its folders made when missing, a
// second run waiting for the first's lock a bounded time, one warning when it cannot be read
// or written, and nothing harmed of what stands at its path or of whose it is: no file of
// another user's, no FIFO swapped in, no second name, extended attribute or ACL.
#include "terminal/history_file.h"

#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

// For root the history's files are HOME's owner's: the tests run without HOME, so that the
// files are the running user's, whoever runs them, except where a case sets HOME itself.
struct WithoutHome : testing::Environment {
  void SetUp() override { unsetenv("HOME"); }
};
testing::Environment* const without_home = testing::AddGlobalTestEnvironment(new WithoutHome);

constexpr uid_t nobody = 65534;  // another user, for the cases that need root
constexpr gid_t nobody_group = 65534;

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
  // A name of 250 bytes is allowed, but its temporary file's name (the name, an infix and
  // 8 hex digits) is longer than the 255 bytes a name may have.
  const std::string long_name = folder.path + "/" + std::string(250, 'h');
  run_added({"sin30"});
  const struct {
    std::string path;
    bool save;  // saved, else read
    const char* reason;
  } cases[] = {
      {below_a_file, true, "Not a directory"},
      {long_name, true, "File name too long"},
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

// The names of the extended attributes of the file at `path` a user sets (user.*) or an ACL
// is (system.*), each after a "+"; the security.* ones some systems give every file are left out.
std::string attributes(const std::string& path) {
  char list[1024];
  const ssize_t size = llistxattr(path.c_str(), list, sizeof list);
  std::string names;
  for (ssize_t at = 0; at < size; at += static_cast<ssize_t>(std::strlen(list + at)) + 1) {
    const std::string name = list + at;
    if (name.rfind("user.", 0) == 0 || name.rfind("system.", 0) == 0) names += "+" + name;
  }
  return names;
}

// Every entry below `folder`, sorted, as "name:kind": a regular file by its contents and its
// attributes, a link by where it leads.
std::string described(const std::string& folder) {
  std::vector<std::pair<std::string, std::string>> entries;  // sorted by name
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
    const std::string name = entry.path().lexically_relative(folder).string();
    const auto status = entry.symlink_status();
    std::string kind =
        std::filesystem::is_fifo(status)             ? "fifo"
        : std::filesystem::is_character_file(status) ? "device"
        : std::filesystem::is_directory(status)      ? "folder"
        : std::filesystem::is_symlink(status)
            ? "link>" + std::filesystem::read_symlink(entry.path()).string()
            : "'" + contents(entry.path().string()) + "'" + attributes(entry.path().string());
    entries.emplace_back(name, kind);
  }
  std::sort(entries.begin(), entries.end());
  std::string text;
  for (const auto& [name, kind] : entries) text += (text.empty() ? "" : " ") + name + ":" + kind;
  return text;
}

const std::string not_regular = "nao e um arquivo comum; historico nao usado";
const std::string other_user = "de outro usuario; historico nao usado";
const std::string other_folder = "numa pasta de outro usuario; historico nao usado";

// An access ACL as the kernel keeps it in the attribute system.posix_acl_access (version 2,
// then per entry a tag, permissions and an id, little-endian) that lets `reader` read the
// file besides its owner: user::rw- user:READER:r-- group::--- mask::r-- other::---.
std::string acl_letting_read(uint32_t reader) {
  constexpr uint32_t no_id = ~0u;
  const struct {
    uint16_t tag;  // 0x01 the owner, 0x02 a user, 0x04 the group, 0x10 the mask, 0x20 others
    uint16_t permissions;
    uint32_t id;
  } entries[] = {
      {0x01, 6, no_id}, {0x02, 4, reader}, {0x04, 0, no_id}, {0x10, 4, no_id}, {0x20, 0, no_id}};
  std::string acl;
  const auto put = [&](uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) acl += static_cast<char>((value >> (8 * i)) & 0xff);
  };
  put(2, 4);
  for (const auto& entry : entries) {
    put(entry.tag, 2);
    put(entry.permissions, 2);
    put(entry.id, 4);
  }
  return acl;
}

// HOME set to `home` (nullptr: unset) while it lives, unset again afterwards.
struct HomeSet {
  explicit HomeSet(const char* home) {
    if (home != nullptr) setenv("HOME", home, 1);
  }
  ~HomeSet() { unsetenv("HOME"); }
};

// Only a regular file of the history's user is read or replaced: a FIFO or a device is never
// opened (a read of either would stall), the null device turns history off without a word, a
// link stays and the file it leads to is replaced, a file with a second name, an extended
// attribute or an ACL is rewritten where it is, and temporary files of killed runs go,
// nothing else. Root, run with another user's HOME, uses only that user's files and folders.
TEST(HistoryFile, NeverHarmsWhatItFindsAtThePath) {
  const std::string secret = "line-one\nline-two\n";  // a file of root's
  const std::string odd = "history.trigcalc-tmp-";    // temporary names of no run's
  const struct {
    const char* name;
    const char* needs_root;  // why the case needs root; null: it does not
    uid_t home_user;         // not 0: HOME is the folder, given to that user; 0: HOME unset
    std::function<void(const std::string&)> prepare;  // given the folder; the file is "history"
    const char* attribute;     // an extended attribute then set on "history"; null: none
    std::string value;         // its value
    const char* read_warning;  // the end of the one warning; "" none
    bool read;                 // read_history_file's result
    const char* save_warning;  // when this run's "cos0" is saved
    std::string after;         // the folder afterwards
  } cases[] = {
      {"a FIFO", nullptr, 0, [](const std::string& f) { mkfifo((f + "/history").c_str(), 0600); },
       nullptr, "", not_regular.c_str(), false, not_regular.c_str(), "history:fifo"},
      {"a copy of /dev/zero", "mknod", 0,
       [](const std::string& f) { mknod((f + "/history").c_str(), S_IFCHR | 0666, makedev(1, 5)); },
       nullptr, "", not_regular.c_str(), false, not_regular.c_str(), "history:device"},
      {"a copy of /dev/null: no history, no warning", "mknod", 0,
       [](const std::string& f) { mknod((f + "/history").c_str(), S_IFCHR | 0666, makedev(1, 3)); },
       nullptr, "", "", false, "", "history:device"},
      {"a link to a dotfiles folder", nullptr, 0,
       [](const std::string& f) {
         std::filesystem::create_directory(f + "/dotfiles");
         write_file(f + "/dotfiles/history", "sin30\n");
         EXPECT_EQ(symlink("dotfiles/history", (f + "/history").c_str()), 0);
       },
       nullptr, "", "", true, "",
       "dotfiles:folder dotfiles/history:'sin30\ncos0\n' history:link>dotfiles/history"},
      {"a link leading nowhere", nullptr, 0,
       [](const std::string& f) {
         EXPECT_EQ(symlink("dotfiles/history", (f + "/history").c_str()), 0);
       },
       nullptr, "", "", true, "No such file or directory", "history:link>dotfiles/history"},
      {"temporary files of killed runs, and only they, removed", nullptr, 0,
       [](const std::string& f) {
         write_file(f + "/history", "sin30\n");
         write_file(f + "/history.trigcalc-tmp-0123abcd", "sin");
         write_file(f + "/history.backup", "mine");
       },
       nullptr, "", "", true, "", "history:'sin30\ncos0\n' history.backup:'mine'"},
      {"temporary names of no run's (8 lower-case hex digits only) left alone", nullptr, 0,
       [&](const std::string& f) {
         write_file(f + "/history", "sin30\n");
         for (const char* end : {"zzzzzzzz", "0123456G", "0123ABCD", "0123abc", "0123abcde"}) {
           write_file(f + "/" + odd + end, "x");
         }
       },
       nullptr, "", "", true, "",
       "history:'sin30\ncos0\n' " + odd + "0123456G:'x' " + odd + "0123ABCD:'x' " + odd +
           "0123abc:'x' " + odd + "0123abcde:'x' " + odd + "zzzzzzzz:'x'"},
      {"a second name: both names keep one file", nullptr, 0,
       [](const std::string& f) {
         write_file(f + "/history", "sin30\n");
         EXPECT_EQ(link((f + "/history").c_str(), (f + "/other").c_str()), 0);
       },
       nullptr, "", "", true, "", "history:'sin30\ncos0\n' other:'sin30\ncos0\n'"},
      {"a second name, and a line left out: the file shorter", nullptr, 0,
       [](const std::string& f) {
         write_file(f + "/history", std::string(200, '1') + "\nsin30\n");
         EXPECT_EQ(link((f + "/history").c_str(), (f + "/other").c_str()), 0);
       },
       nullptr, "", "", true, "", "history:'sin30\ncos0\n' other:'sin30\ncos0\n'"},
      {"an extended attribute kept", nullptr, 0,
       [](const std::string& f) { write_file(f + "/history", "sin30\n"); }, "user.origin",
       "dotfiles", "", true, "", "history:'sin30\ncos0\n'+user.origin"},
      {"an ACL kept", nullptr, 0,
       [](const std::string& f) { write_file(f + "/history", "sin30\n"); },
       "system.posix_acl_access", acl_letting_read(nobody), "", true, "",
       "history:'sin30\ncos0\n'+system.posix_acl_access"},
      {"a link to a file of root's, in another user's home", "giving files to another user", nobody,
       [&](const std::string& f) {
         write_file(f + "/secret", secret);
         EXPECT_EQ(symlink("secret", (f + "/history").c_str()), 0);
       },
       nullptr, "", other_user.c_str(), false, other_user.c_str(),
       "history:link>secret secret:'" + secret + "'"},
      {"a second name of a file of root's, in another user's home", "giving files to another user",
       nobody,
       [&](const std::string& f) {
         write_file(f + "/secret", secret);
         EXPECT_EQ(link((f + "/secret").c_str(), (f + "/history").c_str()), 0);
       },
       nullptr, "", other_user.c_str(), false, other_user.c_str(),
       "history:'" + secret + "' secret:'" + secret + "'"},
      {"a link to the user's own file, in the user's home", "giving files to another user", nobody,
       [&](const std::string& f) {
         write_file(f + "/secret", secret);
         EXPECT_EQ(chown((f + "/secret").c_str(), nobody, nobody_group), 0);
         EXPECT_EQ(symlink("secret", (f + "/history").c_str()), 0);
       },
       nullptr, "", "", true, "", "history:link>secret secret:'" + secret + "cos0\n'"},
      {"root's own run: a link in a folder of another user's to a file of root's",
       "giving files to another user", 0,
       [&](const std::string& f) {
         EXPECT_EQ(chown(f.c_str(), nobody, nobody_group), 0);
         std::filesystem::create_directory(f + "/rootdir");
         write_file(f + "/rootdir/secret", secret);
         EXPECT_EQ(symlink("rootdir/secret", (f + "/history").c_str()), 0);
       },
       nullptr, "", other_folder.c_str(), false, other_folder.c_str(),
       "history:link>rootdir/secret rootdir:folder rootdir/secret:'" + secret + "'"},
      {"a link someone else put there, to a file of root's", "giving files to another user", 0,
       [](const std::string& f) {
         write_file(f + "/mine", "sin30\n");
         EXPECT_EQ(symlink("mine", (f + "/history").c_str()), 0);
         EXPECT_EQ(lchown((f + "/history").c_str(), nobody, nobody_group), 0);
       },
       nullptr, "", other_user.c_str(), false, other_user.c_str(),
       "history:link>mine mine:'sin30\n'"},
      {"a link to the user's file in a folder of root's", "giving files to another user", nobody,
       [&](const std::string& f) {
         std::filesystem::create_directory(f + "/rootdir");
         write_file(f + "/rootdir/history", "sin30\n");
         EXPECT_EQ(chown((f + "/rootdir/history").c_str(), nobody, nobody_group), 0);
         EXPECT_EQ(symlink("rootdir/history", (f + "/history").c_str()), 0);
       },
       nullptr, "", other_folder.c_str(), false, other_folder.c_str(),
       "history:link>rootdir/history rootdir:folder rootdir/history:'sin30\n'"},
  };
  alarm(60);  // a read that blocks ends the test rather than hanging it
  for (const auto& c : cases) {
    if (c.needs_root != nullptr && geteuid() != 0) {
      std::printf("skipped %s: %s needs root\n", c.name, c.needs_root);
      continue;
    }
    Folder folder;
    const std::string path = folder.path + "/history";
    const HomeSet home(c.home_user != 0 ? folder.path.c_str() : nullptr);
    if (c.home_user != 0) {
      ASSERT_EQ(chown(folder.path.c_str(), c.home_user, c.home_user), 0);
    }
    c.prepare(folder.path);
    if (c.attribute != nullptr &&
        setxattr(path.c_str(), c.attribute, c.value.data(), c.value.size(), 0) != 0) {
      std::printf("skipped %s: the file system refuses %s (%s)\n", c.name, c.attribute,
                  std::strerror(errno));
      continue;
    }
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
// next run (an unprivileged process) saves as before. Nothing is made in a folder of root's
// there: it would be root's file in the user's place, or the user's in root's.
TEST(HistoryFile, KeepsTheOwnerOfAnotherUsersFileAndFolders) {
  if (geteuid() != 0) GTEST_SKIP() << "giving files to another user needs root";
  const struct {
    const char* name;
    const char* file;         // below the home, which is the user's
    const char* found;        // what the file holds before; null: neither it nor its folders exist
    mode_t mode;              // the file's mode before, and after
    const char* root_folder;  // a folder of root's made below the home first; null: none
  } cases[] = {
      {"the user's file", "history", "sin30\n", 0640, nullptr},
      {"a home without .local", ".local/state/trigcalc/history", nullptr, 0600, nullptr},
      {"a folder of root's in the home", "rootdir/trigcalc/history", nullptr, 0600, "rootdir"},
  };
  for (const auto& c : cases) {
    Folder home;
    const HomeSet home_set(home.path.c_str());
    ASSERT_EQ(chown(home.path.c_str(), nobody, nobody_group), 0);
    const std::string path = home.path + "/" + c.file;
    if (c.found != nullptr) {
      write_file(path, c.found);
      ASSERT_EQ(chown(path.c_str(), nobody, nobody_group), 0);
      ASSERT_EQ(chmod(path.c_str(), c.mode), 0);
    }
    run_added({"cos0"});
    if (c.root_folder != nullptr) {
      const std::string folder = home.path + "/" + c.root_folder;
      std::filesystem::create_directory(folder);
      const Outcome outcome =
          warned([&](FILE* err) { return save_history_file(path.c_str(), added, merged, err); });
      EXPECT_FALSE(outcome.succeeded) << c.name;
      EXPECT_EQ(outcome.warnings, "trigcalc: historico: " + path + ": " + other_folder + "\n");
      EXPECT_TRUE(std::filesystem::is_empty(folder)) << c.name;
      continue;
    }
    ASSERT_TRUE(save_history_file(path.c_str(), added, merged, stderr)) << c.name;
    for (std::string made = path; made != home.path; made = made.substr(0, made.rfind('/'))) {
      struct stat status;
      ASSERT_EQ(lstat(made.c_str(), &status), 0) << made;
      EXPECT_TRUE(status.st_uid == nobody && status.st_gid == nobody_group)
          << c.name << ": " << made;
    }
    struct stat status;
    ASSERT_EQ(stat(path.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, c.mode) << c.name;
    const pid_t child = fork();
    if (child == 0) {
      run_added({"tan45"});
      const bool as_user =
          setgroups(0, nullptr) == 0 && setgid(nobody_group) == 0 && setuid(nobody) == 0;
      _exit(as_user && save_history_file(path.c_str(), added, merged, stderr) ? 0 : 1);
    }
    int exit_status = 0;
    ASSERT_EQ(waitpid(child, &exit_status, 0), child);
    EXPECT_TRUE(WIFEXITED(exit_status) && WEXITSTATUS(exit_status) == 0) << c.name;
    EXPECT_EQ(contents(path), std::string(c.found ? c.found : "") + "cos0\ntan45\n") << c.name;
  }
}

// Waits until the process `child` sleeps (S) or has ended (Z); false after 20 seconds.
bool waits_asleep(pid_t child) {
  const std::string stat_path = "/proc/" + std::to_string(child) + "/stat";
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  for (std::string state; state != "S" && state != "Z";) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const std::string stat = contents(stat_path);
    state = stat.substr(stat.rfind(')') + 2, 1);
  }
  return true;
}

// Runs start while something swaps the file's name between a regular file and a FIFO as fast
// as it can: each start reads the file or refuses the FIFO, and none opens the FIFO for
// reading. A writer waits to open the FIFO the whole time; any reader, for however short a
// time, would let it through.
TEST(HistoryFile, NeverOpensAFifoSwappedInWhileRunsStart) {
  Folder folder;
  const std::string path = folder.path + "/history", other = folder.path + "/other";
  write_file(path, "sin30\n");
  ASSERT_EQ(mkfifo(other.c_str(), 0600), 0);
  const auto swap = [&] {
    return renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, other.c_str(), RENAME_EXCHANGE) == 0;
  };
  if (!swap() || !swap()) GTEST_SKIP() << "renameat2 RENAME_EXCHANGE: " << std::strerror(errno);
  const pid_t writer = fork();
  if (writer == 0) {
    alarm(30);  // ends it should the test fail before letting it through
    _exit(open(other.c_str(), O_WRONLY) >= 0 ? 0 : 1);  // waits for a reader
  }
  ASSERT_GT(writer, 0);
  ASSERT_TRUE(waits_asleep(writer));
  std::atomic<bool> swapping{true};
  std::atomic<int> swap_error{0};
  std::thread swapper([&] {
    while (swapping && swap_error == 0) swap_error = swap() ? 0 : errno;
  });
  alarm(60);  // a read that blocks ends the test rather than hanging it
  int regular = 0, fifo = 0, other_outcome = 0;
  pid_t released = 0;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
  while (released == 0 && std::chrono::steady_clock::now() < end) {
    clear_history_lines(merged);
    const Outcome read =
        warned([&](FILE* err) { return read_history_file(path.c_str(), merged, err); });
    if (read.succeeded && merged.count == 1 && read.warnings.empty()) {
      ++regular;
    } else if (!read.succeeded &&
               read.warnings == "trigcalc: historico: " + path + ": " + not_regular + "\n") {
      ++fifo;
    } else {
      ++other_outcome;
    }
    released = waitpid(writer, nullptr, WNOHANG);
  }
  swapping = false;
  swapper.join();
  alarm(0);
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // a writer just let through
  if (released == 0) released = waitpid(writer, nullptr, WNOHANG);
  EXPECT_EQ(released, 0) << "a FIFO was opened for reading";
  if (released == 0) {  // the test's own reader lets the writer through
    for (const std::string& name : {path, other}) close(open(name.c_str(), O_RDONLY | O_NONBLOCK));
    EXPECT_EQ(waitpid(writer, nullptr, 0), writer);
  }
  EXPECT_EQ(swap_error, 0) << std::strerror(swap_error);
  EXPECT_GT(regular, 0) << "the file was never read";
  EXPECT_GT(fifo, 0) << "the FIFO was never refused";
  EXPECT_EQ(other_outcome, 0) << "read neither the file nor refused the FIFO";
  std::printf("%d starts read the file, %d refused the FIFO\n", regular, fifo);
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
  // Asleep, waiting for the lock; or ended, having waited for nothing.
  ASSERT_TRUE(waits_asleep(child)) << "the child never waited";
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
