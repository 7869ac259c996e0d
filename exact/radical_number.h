/* The form with radicals (exact/radical_form.h) of an algebraic number given as one of
   Calcium's. Plain C: Calcium's headers are. */
#ifndef TRIGCALC_RADICAL_NUMBER_H
#define TRIGCALC_RADICAL_NUMBER_H

#include <calcium/qqbar.h>

#include "exact/radical_form.h"

/* The form of the real algebraic number `x`, of degree 4 at most, into `form` (without pi):
   1 when there is one and, rebuilt as an algebraic number of its own, it equals `x`. */
int radical_form_of_number(struct radical_form* form, const qqbar_t x);

#endif
