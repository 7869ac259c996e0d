// A value's exact form as the module writes it beside its digits ("√3/2" for sin 60): what
// crosses between the engine and the module when a form is asked for. Finding and writing it
// is the module's (exact/form_finding.h).
#pragma once

// Bytes of a form's text and its terminator: a form that would be longer counts as none, its
// value being written as digits alone.
constexpr int exact_form_capacity = 128;

// A form asked for and, once the module has answered, found or not.
struct ExactForm {
  bool unicode;                    // asked: √, π and − (U+2212) in UTF-8; otherwise ASCII
  int length;                      // answered: the form's length, 0 when there is none to write
  char text[exact_form_capacity];  // answered: the form, terminated
};
