// The exact form of a line's value for the module's entry, found, checked and written: a
// rational multiple of a power of pi that the balls' run knows exactly, or else an algebraic
// number times a power of pi from the run in algebraic numbers, written with radicals
// (exact/radical_form.h). Either way the form's own ball, computed from the form alone, must
// hold the value's ball before the form is written; a rational whose digits show it exactly
// gets no form beside them. Needs FLINT, Arb and Calcium; built into the module only.
#pragma once

#include "exact/exact_form.h"
#include "exact/exact_value.h"

// Writes the form of the value of `program` (computed into `outcome`) into
// `form`, in the script `form.unicode` asks for; `form.length` is 0 when there is none to write
// beside the digits: no value, no short form, or digits that are the value exactly.
void find_exact_form(const ExactProgram& program, const ExactOutcome& outcome, ExactForm& form);
