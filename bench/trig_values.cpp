// For the accuracy measurement (bench/accuracy.py): reads lines "NAME ARGUMENT" (NAME one of
// sin cos tan asin acos atan, ARGUMENT a double in C99 hexadecimal) and writes, per line, the
// C library's value and the portable one, both in hexadecimal, so that no digit is lost.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "trig/trig_functions.h"

namespace {

struct FunctionPair {
  const char* name;
  double (*library)(double);   // the C library's function, as the Linux build applies it
  double (*portable)(double);  // the program's own, as the Windows build applies it
};

constexpr FunctionPair pairs[] = {
    {"sin", trig_sin, portable_sin},    {"cos", trig_cos, portable_cos},
    {"tan", trig_tan, portable_tan},    {"asin", trig_asin, portable_asin},
    {"acos", trig_acos, portable_acos}, {"atan", trig_atan, portable_atan},
};

const FunctionPair* find_pair(const char* name) {
  for (const FunctionPair& pair : pairs) {
    if (std::strcmp(pair.name, name) == 0) return &pair;
  }
  return nullptr;
}

}  // namespace

int main() {
  char name[8];
  char argument[64];
  while (std::scanf("%7s %63s", name, argument) == 2) {
    const FunctionPair* pair = find_pair(name);
    if (pair == nullptr) return 2;
    const double x = std::strtod(argument, nullptr);
    std::printf("%a %a\n", pair->library(x), pair->portable(x));
  }
  return 0;
}
