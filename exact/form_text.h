// A value's exact form written as a textbook writes it: the terms ordered (those added before
// those taken away; an integer, then square roots by falling radicand, higher roots, nested
// roots), a sign that applies to all of them in front, one fraction bar, pi beside the
// numerator (or in the denominator for a power below 0). In UTF-8 with √, ∛, ∜, π, −
// (U+2212) and superscript digits ("(√6 − √2)/4", "π√3/2", "π²"); in ASCII as an expression
// a reader can evaluate ("(sqrt(6) - sqrt(2))/4", "pi*sqrt(3)/2", "pi^2"). Needs FLINT;
// built into the exact mode's module only.
#pragma once

#include "exact/exact_form.h"
#include "exact/radical_form.h"

// Writes `form` into `text` (UTF-8 when `unicode`); returns its length, or 0 when it does not
// fit in exact_form_capacity - 1 bytes.
int write_radical_form(const radical_form& form, bool unicode, char (&text)[exact_form_capacity]);
