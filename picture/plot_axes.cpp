#include "picture/plot_axes.h"

#include <cmath>
#include <initializer_list>

#include "trig/trig_constants.h"

namespace {

// Steps of the angle ticks in degrees: below 90° wide, the fine ones; otherwise the multiples
// of 30° and 45° and then of 90°.
constexpr double fine_degree_steps[] = {0.01, 0.02, 0.05, 0.1, 0.2, 0.5, 1, 2, 5, 10, 15, 30};
constexpr double degree_steps[] = {30, 45, 90, 180, 360, 720, 1800, 3600, 7200, 18000, 36000};
// In radians: below π/2 wide, decimals; otherwise multiples of π over these.
constexpr double fine_radian_steps[] = {0.001, 0.002, 0.005, 0.01, 0.02, 0.05, 0.1, 0.2, 0.5};
constexpr double pi_steps[] = {1.0 / 6, 0.25, 0.5, 1, 2, 4, 10, 20, 40, 100, 200};

// Fills `ticks` with the multiples of `step` from `low` to `high`; false when too many.
bool fill_ticks(double low, double high, double step, bool radians, bool unicode,
                AxisTicks& ticks) {
  const double first = std::ceil(low / step - 1e-9), last = std::floor(high / step + 1e-9);
  if (last - first + 1 > tick_capacity) return false;
  ticks.count = 0;
  for (double k = first; k <= last; ++k) {
    const int t = ticks.count++;
    ticks.values[t] = k * step;
    angle_text(ticks.values[t], radians, unicode, true, 6, ticks.labels[t]);
    ticks.widths[t] = text_width(ticks.labels[t]);
  }
  return true;
}

// The characters the ticks' labels take with two between each.
int ticks_room(const AxisTicks& ticks) {
  int room = 0;
  for (int t = 0; t < ticks.count; ++t) room += ticks.widths[t] + 2;
  return room;
}

// The first of `count` `steps` (times `unit`) whose ticks fit in `room`; the last otherwise.
void first_fitting(double low, double high, const double* steps, int count, double unit,
                   bool radians, bool unicode, int room, AxisTicks& ticks) {
  for (int s = 0; s < count; ++s) {
    if (fill_ticks(low, high, steps[s] * unit, radians, unicode, ticks) &&
        (ticks_room(ticks) <= room || s + 1 == count)) {
      return;
    }
  }
  ticks.count = 0;
}

}  // namespace

int text_width(const char* text) {
  int width = 0;
  for (const char* c = text; *c != '\0'; ++c) width += is_character_start(*c);
  return width;
}

void angle_ticks(double low, double high, bool radians, bool unicode, int room, AxisTicks& ticks) {
  const double width = high - low;
  if (!radians) {
    if (width < 90)
      return first_fitting(low, high, fine_degree_steps, 12, 1, false, unicode, room, ticks);
    return first_fitting(low, high, degree_steps, 11, 1, false, unicode, room, ticks);
  }
  if (width < trig_pi / 2) {
    return first_fitting(low, high, fine_radian_steps, 9, 1, true, unicode, room, ticks);
  }
  first_fitting(low, high, pi_steps, 11, trig_pi, true, unicode, room, ticks);
}

void value_ticks(double& low, double& high, int most, AxisTicks& ticks) {
  if (most < 2) most = 2;
  const double raw = (high - low) / (most - 1);
  double step = std::pow(10.0, std::floor(std::log10(raw)));
  for (const double times : {1.0, 2.0, 5.0, 10.0}) {
    if (std::ceil(high / (step * times) - 1e-9) - std::floor(low / (step * times) + 1e-9) + 1 <=
        most) {
      step *= times;
      break;
    }
  }
  const double first = std::floor(low / step + 1e-9), last = std::ceil(high / step - 1e-9);
  low = first * step;
  high = last * step;
  ticks.count = 0;
  for (double k = first; k <= last && ticks.count < tick_capacity; ++k) {
    const int t = ticks.count++;
    ticks.values[t] = k * step;
    number_text(ticks.values[t], 4, ticks.labels[t]);
    ticks.widths[t] = text_width(ticks.labels[t]);
  }
}
