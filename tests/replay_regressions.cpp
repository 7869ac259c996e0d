// Replays every input kept in a regressions directory through the same checks the fuzz
// targets make: as one line, as a whole session, as a line in the exact mode, and as a line
// read as ordinary arithmetic. Fails on a broken
// check or an empty directory. Usage: trigcalc_replay DIRECTORY
#include <cstdint>
#include <cstdio>
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

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: trigcalc_replay DIRECTORY\n");
    return 2;
  }
  int replayed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(argv[1])) {
    if (!entry.is_regular_file() || entry.path().filename().string()[0] == '.') continue;
    const std::vector<std::uint8_t> bytes = file_bytes(entry.path());
    std::printf("%s (%zu bytes)\n", entry.path().filename().c_str(), bytes.size());
    check_line_input(bytes.data(), bytes.size());
    check_dialogue_input(bytes.data(), bytes.size());
    check_exact_line_input(bytes.data(), bytes.size());
    check_natural_line_input(bytes.data(), bytes.size());
    check_equation_input(bytes.data(), bytes.size());
    ++replayed;
  }
  std::printf("%d inputs replayed\n", replayed);
  return replayed > 0 ? 0 : 1;
}
