// The answer to a line in the unknown as the module writes it (an equation's solutions, an
// identity's exceptions, or what a line without "=" is for every x): what crosses between the
// engine and the module. Writing it is the module's (exact/equation_answer.h).
#pragma once

// Bytes of an answer and its terminator: the families, the solutions listed in an interval
// (at most answer_list_capacity of them) and their digits.
constexpr int exact_answer_capacity = 4096;

// Solutions listed in an interval at most; past it, only how many there are is written.
constexpr int answer_list_capacity = 60;
