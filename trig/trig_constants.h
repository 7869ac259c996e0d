// The two constants of angle conversion, shared by every part of the evaluator.
#pragma once

constexpr double trig_pi = 3.141592653589793;  // the double nearest to pi
constexpr double half_turn_degrees = 180.0;    // degrees in pi radians
