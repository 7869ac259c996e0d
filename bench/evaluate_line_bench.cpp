// Lines per second of evaluate_line over a corpus of representative lines, beside a floor
// that does only the unavoidable work for the same lines (one strtod per number in the line
// and one libm call per function in it) and beside the natural reading of the same lines
// (evaluate_natural_line). bench/evaluate.sh turns the three into ratios.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "line/evaluate_line.h"

namespace {

struct CorpusLine {
  std::string line;       // the line as typed
  std::string numbers;    // each number in it as strtod reads it, separated by blanks
  std::string functions;  // one letter per function: s c t sine, cosine, tangent; S C T inverses
};

struct CorpusGroup {
  const char* name;               // benchmark suffix
  std::vector<CorpusLine> lines;  // the group's lines
};

// `unit` repeated until `tail` would no longer fit in 99 bytes, then `tail`; the floor's
// numbers and functions repeat with it. Every line built this way is exactly 99 bytes.
CorpusLine filled_line(const CorpusLine& unit, const CorpusLine& tail, const std::string& pad) {
  CorpusLine built;
  while (built.line.size() + unit.line.size() + tail.line.size() + pad.size() <= 99) {
    built.line += unit.line;
    if (!unit.numbers.empty()) built.numbers += unit.numbers + " ";
    built.functions += unit.functions;
  }
  while (built.line.size() + tail.line.size() < 99) built.line += pad;
  built.line += tail.line;
  built.numbers += tail.numbers;
  built.functions += tail.functions;
  return built;
}

std::vector<CorpusGroup> build_corpus() {
  std::vector<CorpusGroup> groups = {
      {"plain",
       {{"sin30", "30", "s"},
        {"arcsen0.5", "0.5", "S"},
        {"cotg45", "45", "t"},
        {"cos60", "60", "c"},
        {"tg45", "45", "t"},
        {"sec60", "60", "c"},
        {"cosec30", "30", "s"},
        {"acos0.5", "0.5", "C"},
        {"atg1", "1", "T"}}},
      {"amplitude",
       {{"2*3sin30", "2 3 30", "s"},
        {"sin60/2*3", "60 2 3", "s"},
        {"2,5cos60", "2.5 60", "c"},
        {"-3tg45+15", "-3 45 15", "t"},
        {"10/4arcsen0.5", "10 4 0.5", "S"},
        {"2+3sin30-1", "2 3 30 1", "s"}}},
      {"normalise",
       {{"5x10^3sin(9x10^1)", "5e3 9e1", "s"},
        {"sin(pi/2)", "2", "s"},
        {"radsin1.5707963", "1.5707963", "s"},
        {"2,5e2cos(1,5x10^1)", "2.5e2 1.5e1", "c"},
        {"radtan(pi/4)", "4", "t"},
        {"3,0X10^-1asin(0,5)", "3.0e-1 0.5", "S"}}},
      {"bracketed",
       {{"[sin30]+[2]*[cos60]", "30 2 60", "sc"},
        {"[2sin30]-[1,5]/[3]", "2 30 1.5 3", "s"},
        {"[5x10^1]*[tg45]", "5e1 45", "t"},
        filled_line({"[sin30]+[2]*", "30 2", "s"}, {"[cos60]", "60", "c"}, " ")}},
      {"worst99",
       {filled_line({"1,5+", "1.5", ""}, {"sin30", "30", "s"}, "0"),
        filled_line({"2*", "2", ""}, {"cos(pi/3)", "3", "c"}, " "),
        filled_line({"(1x10^1)", "1e1", ""}, {"tg45", "45", "t"}, " "),
        filled_line({"[1,5]+", "1.5", ""}, {"[2]", "2", ""}, " "),
        filled_line({"3", "", ""}, {"sin3", "3", "s"}, "3"),
        filled_line({"cose", "", ""}, {"sin30", "30", ""}, " ")}},
  };
  // "3333...sin3" has one 95-digit amplitude: its floor number is those same digits.
  CorpusLine& digits = groups[4].lines[4];
  digits.numbers = digits.line.substr(0, digits.line.size() - 4) + " 3";
  return groups;
}

const std::vector<CorpusGroup>& corpus() {
  static const std::vector<CorpusGroup> groups = build_corpus();
  return groups;
}

std::vector<const CorpusLine*> group_lines(int group) {
  std::vector<const CorpusLine*> lines;
  for (int g = 0; g < static_cast<int>(corpus().size()); ++g) {
    if (group >= 0 && g != group) continue;
    for (const CorpusLine& line : corpus()[g].lines) lines.push_back(&line);
  }
  return lines;
}

double apply_function(char function, double argument) {
  switch (function) {
    case 's':
      return std::sin(argument);
    case 'c':
      return std::cos(argument);
    case 't':
      return std::tan(argument);
    case 'S':
      return std::asin(argument);
    case 'C':
      return std::acos(argument);
    case 'T':
      return std::atan(argument);
    default:
      std::abort();
  }
}

// The unavoidable work for one line: its numbers converted, its functions applied to the
// last number converted (the argument, for a term).
double floor_work(const CorpusLine& line) {
  const char* at = line.numbers.c_str();
  double sum = 0.0;
  double last = 0.0;
  while (*at != '\0') {
    char* end = nullptr;
    last = std::strtod(at, &end);
    if (end == at) break;
    sum += last;
    at = end;
  }
  for (char function : line.functions) sum += apply_function(function, last);
  return sum;
}

void evaluate_benchmark(benchmark::State& state, int group) {
  const std::vector<const CorpusLine*> lines = group_lines(group);
  for (auto _ : state) {
    for (const CorpusLine* line : lines) {
      // As the dialogue does per line: the line's length taken, the line evaluated.
      const char* text = line->line.c_str();
      benchmark::DoNotOptimize(evaluate_line(text, static_cast<int>(std::strlen(text)), nullptr));
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * lines.size()));
}

void natural_benchmark(benchmark::State& state, int group) {
  const std::vector<const CorpusLine*> lines = group_lines(group);
  for (auto _ : state) {
    for (const CorpusLine* line : lines) {
      const char* text = line->line.c_str();
      benchmark::DoNotOptimize(
          evaluate_natural_line(text, static_cast<int>(std::strlen(text)), nullptr));
    }
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * lines.size()));
}

void floor_benchmark(benchmark::State& state, int group) {
  const std::vector<const CorpusLine*> lines = group_lines(group);
  for (auto _ : state) {
    for (const CorpusLine* line : lines) benchmark::DoNotOptimize(floor_work(*line));
  }
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * lines.size()));
}

// A corpus line that is not what its group promises would make the figures meaningless.
void check_corpus() {
  for (const CorpusGroup& group : corpus()) {
    for (const CorpusLine& line : group.lines) {
      const bool long_group = std::string(group.name) == "worst99";
      if (line.line.size() > 99 || (long_group && line.line.size() != 99)) {
        std::fprintf(stderr, "corpus line of %zu bytes: %s\n", line.line.size(), line.line.c_str());
        std::exit(1);
      }
    }
  }
}

void register_benchmarks() {
  const int groups = static_cast<int>(corpus().size());
  for (int g = -1; g < groups; ++g) {
    const std::string name = g < 0 ? "all" : corpus()[g].name;
    benchmark::RegisterBenchmark(("evaluate/" + name).c_str(), evaluate_benchmark, g);
    benchmark::RegisterBenchmark(("floor/" + name).c_str(), floor_benchmark, g);
    benchmark::RegisterBenchmark(("natural/" + name).c_str(), natural_benchmark, g);
  }
}

}  // namespace

int main(int argc, char** argv) {
  check_corpus();
  register_benchmarks();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
