// The notes of parentheses that look as if they group part of a term and do not: a term's
// parentheses are only deleted before it is read, so "sen(30)*2" is the sine of 30*2 and
// "(1+2)*3sin30" has the amplitude 1+2*3. Parentheses that group nothing a reader would take
// apart ("(-5)*3", "sin((30)+60)") are read as written and get no note.
#pragma once

#include "term/term_reading.h"

// Notes each operand list of `term` that goes on after a ')' whose parentheses look like a
// grouping: opened right after the function's name (blanks aside), holding an operator of the
// list, taking in the name, or cutting one of its numbers. `source` holds the term's `length`
// bytes as typed, from column term.column; the note is about the whole list, and names
// `spelling`, the function's, when the list is the argument.
void note_ungrouped_parentheses(const char* source, int length, const TermReading& term,
                                const NumberStore& store, const char* spelling,
                                ReadingNotes* notes);
