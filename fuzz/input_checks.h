// What must hold for any input bytes, shared by the fuzz targets and the regression replay:
// a line is evaluated without leaving its buffers, and a piped session keeps the dialogue's
// shape. A broken property prints what broke and aborts.
#pragma once

#include <cstddef>
#include <cstdint>

// Evaluates `data` as one input line (its first 99 bytes, NULs included) and checks that the
// value does not depend on what earlier lines left in the buffers or on ',' versus '.'.
void check_line_input(const std::uint8_t* data, std::size_t size);

// Runs a whole session reading `data` and checks that it returns 0 and that the transcript
// is the help text followed by prompt, result line and question, in that order only.
void check_dialogue_input(const std::uint8_t* data, std::size_t size);

// Computes `data` after its first byte exactly, at a number of digits its first byte picks,
// and checks that the value is "%g"'s form within those digits, or "nan" with the one note
// that says why, and the same again without notes. Nothing in a build without the exact mode.
void check_exact_line_input(const std::uint8_t* data, std::size_t size);

// Reads `data` after its first byte as ordinary arithmetic (the natural reading) and checks,
// in doubles, that taking notes changes no bit of the value and every note lies in the line,
// and that a line it could not read has no value and a note; exactly (at the digits the first
// byte picks, when the build has the exact mode), that the value is "%g"'s form or "nan" with
// a note saying why, and the same again without notes.
void check_natural_line_input(const std::uint8_t* data, std::size_t size);

// Makes a textbook equation in x from `data` (coefficients, functions, their powers, multiples
// and shifts of x, the value they equal) and checks its answer against the equation in
// doubles: every solution listed in the turn solves it, no sign change of it in the turn (away
// from its poles) lacks a solution listed there, and an identity is 0 wherever it has a value.
// Nothing in a build without the exact mode.
void check_equation_input(const std::uint8_t* data, std::size_t size);

// Ends the run, saying so, when the exact mode's module cannot be loaded: a target that checks
// the exact mode would otherwise pass every input having checked nothing. For the targets'
// LLVMFuzzerInitialize; `target` names the one that needs it.
void require_exact_mode(const char* target);
