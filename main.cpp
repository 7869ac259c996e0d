// trigcalc: an interactive console calculator for trigonometric expressions.
#include "dialogue/dialogue.h"

int main() {
  return run_dialogue();
}
