// Replays every input kept in a regressions directory through the same checks the fuzz
// targets make: as one line, as a whole session, as a line in the exact mode, and as a line
// read as ordinary arithmetic. Fails on a broken check, an empty directory, or an input that
// passes the fuzz targets' own limits given in libFuzzer's spelling (-timeout=SECONDS: the
// processor time an input may take, its bounded children's included, so that a machine busy
// with other work changes nothing; ten times that in wall-clock time ends a hang;
// -rss_limit_mb=MB: the memory this process may reach), and -slowdown=N for a build that runs
// N times slower than the fuzz targets, which multiplies the time limits.
// Usage: trigcalc_replay DIRECTORY [-timeout=SECONDS] [-rss_limit_mb=MB] [-slowdown=N]
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "fuzz/input_checks.h"

namespace {

std::vector<std::uint8_t> file_bytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file),
                                   std::istreambuf_iterator<char>());
}

// The limits an input is held to; 0: none.
struct InputLimits {
  unsigned seconds;
  long megabytes;
  unsigned slowdown;  // how many times slower this build runs than the fuzz targets
};

// Reads the limits among `arguments`; false on one it does not know.
bool read_limits(int count, char** arguments, InputLimits& limits) {
  for (int k = 0; k < count; ++k) {
    const char* argument = arguments[k];
    if (std::strncmp(argument, "-timeout=", 9) == 0) {
      limits.seconds = static_cast<unsigned>(std::strtoul(argument + 9, nullptr, 10));
    } else if (std::strncmp(argument, "-slowdown=", 10) == 0) {
      limits.slowdown = static_cast<unsigned>(std::strtoul(argument + 10, nullptr, 10));
    } else if (std::strncmp(argument, "-rss_limit_mb=", 14) == 0) {
      limits.megabytes = std::strtol(argument + 14, nullptr, 10);
    } else {
      return false;
    }
  }
  return true;
}

// An input that hangs: said, and the replay ends (as libFuzzer's -timeout does).
extern "C" void end_at_time_limit(int) {
  constexpr char said[] = "the input above hangs, ten times past -timeout\n";
  (void)!write(2, said, sizeof said - 1);
  _exit(1);
}

// The processor seconds this process and its children (those waited for) took so far.
double processor_seconds() {
  double seconds = 0;
  for (const int who : {RUSAGE_SELF, RUSAGE_CHILDREN}) {
    rusage usage = {};
    getrusage(who, &usage);
    seconds += static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
               static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
  }
  return seconds;
}

// True when this process stayed within `limits.megabytes` of memory so far.
bool within_memory(const InputLimits& limits) {
  rusage usage = {};
  getrusage(RUSAGE_SELF, &usage);
  return limits.megabytes == 0 || usage.ru_maxrss <= limits.megabytes * 1024;
}

}  // namespace

int main(int argc, char** argv) {
  InputLimits limits = {0, 0, 1};
  if (argc < 2 || !read_limits(argc - 2, argv + 2, limits)) {
    std::fprintf(stderr,
                 "usage: trigcalc_replay DIRECTORY [-timeout=SECONDS] [-rss_limit_mb=MB] "
                 "[-slowdown=N]\n");
    return 2;
  }
  std::signal(SIGALRM, end_at_time_limit);
  int replayed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
    if (!entry.is_regular_file() || entry.path().filename().string()[0] == '.') continue;
    const std::vector<std::uint8_t> bytes = file_bytes(entry.path());
    std::printf("%s (%zu bytes)\n", entry.path().filename().c_str(), bytes.size());
    std::fflush(stdout);
    // Each check is one fuzz target's, held to that target's limits on its own.
    void (*const checks[])(const std::uint8_t*, std::size_t) = {
        check_line_input, check_dialogue_input, check_exact_line_input, check_natural_line_input,
        check_equation_input};
    for (const auto check : checks) {
      const double before = processor_seconds();
      const unsigned seconds = limits.seconds * limits.slowdown;
      alarm(10 * seconds);
      check(bytes.data(), bytes.size());
      alarm(0);
      if (seconds > 0 && processor_seconds() - before > seconds) {
        std::fprintf(stderr, "the input above took more processor time than -timeout allows\n");
        return 1;
      }
    }
    if (!within_memory(limits)) {
      std::fprintf(stderr, "the input above took more memory than -rss_limit_mb allows\n");
      return 1;
    }
    ++replayed;
  }
  std::printf("%d inputs replayed\n", replayed);
  return replayed > 0 ? 0 : 1;
}
