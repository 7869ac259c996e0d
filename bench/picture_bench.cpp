// The time of one picture in doubles (picture/picture_line.h), which the issue bounds at 50 ms:
// a graph at an 80 × 24 terminal and at a 400-column one, its SVG document and its table, for
// lines from the gentlest (sen x) to the steepest a graph refines (sen(1e7 x), which spends its
// whole cost capacity; sen(x²), whose every value takes a power) and the most curves a line
// holds (eight).
#include <benchmark/benchmark.h>

#include <cstring>

#include "picture/picture_line.h"

namespace {

// The lines drawn, by name.
struct PictureLine {
  const char* name;
  const char* line;
};

constexpr PictureLine picture_lines[] = {
    {"sine", "sen x"},
    {"tangent", "tg x, 0 <= x <= 360"},
    {"two_curves", "sen x; cos x"},
    {"eight_curves",
     "sen x; cos x; tg x; 2sen(3x); cos(x/2); sen x^2; 1/cos x; sen(5x), 0<=x<=720"},
    {"steep", "sen(1e7 x), 0 <= x <= 360"},
    {"steep_power", "sen x^2, 0 <= x <= 720"},
};

void draw(benchmark::State& state, PictureKind kind, TerminalSize size) {
  const PictureLine& picture = picture_lines[state.range(0)];
  static PictureText text;
  const ValueFormat format = {6, false, true, FormShown::none, true};
  const PictureRequest request = {kind, size, true, format};
  const int length = static_cast<int>(std::strlen(picture.line));
  for (auto _ : state) {
    ReadingNotes notes;
    clear_notes(notes);
    write_line_picture(picture.line, length, request, text, &notes);
    benchmark::DoNotOptimize(text.used);
  }
  state.SetLabel(picture.name);
}

void graph_80x24(benchmark::State& state) {
  draw(state, PictureKind::graph, {80, 24});
}
void graph_400x120(benchmark::State& state) {
  draw(state, PictureKind::graph, {400, 120});
}
void svg(benchmark::State& state) {
  draw(state, PictureKind::svg, {80, 24});
}
void table(benchmark::State& state) {
  draw(state, PictureKind::table, {80, 24});
}

constexpr int line_count = sizeof picture_lines / sizeof picture_lines[0];
BENCHMARK(graph_80x24)->DenseRange(0, line_count - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(graph_400x120)->DenseRange(0, line_count - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(svg)->DenseRange(0, line_count - 1)->Unit(benchmark::kMillisecond);
BENCHMARK(table)->DenseRange(0, line_count - 1)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
