#include <cstring>

#include "term/function_names.h"
#include "term/normalise_term.h"
#include "term/operand_reading.h"
#include "term/parenthesis_notes.h"
#include "term/term_reading.h"

namespace {

constexpr int work_capacity = line_capacity + 1;  // a 99-byte term, the closing '=' and terminator

// A term's text as the notes about its name need it: normalised, its origins, and the bytes
// of the line it was read from (which begin at `column`).
struct TermText {
  const char* text;
  const TextOrigins* origins;
  const char* source;
  int column;
  bool argument_found;  // an argument text follows a name the argument follows
};

// True when `row` is a spelling of a function in the term reading.
bool names_term_function(const FunctionSpelling& row) {
  return (row.readings & in_term) != 0 && term_function_for(row.word) != TermFunction::none;
}

// A letter function names are spelt with, or the closing '='.
bool is_function_letter(char c) {
  return c == '=' || function_letter_classes.in_name[static_cast<unsigned char>(c)];
}

bool begins_argument_name(char c) {
  return function_letter_classes.begins_argument[static_cast<unsigned char>(c)];
}

// Notes every "pi" in the amplitude: it puts the whole term in radians.
void note_pi_in_amplitude(const char* amplitude_text, const TextOrigins& origins,
                          ReadingNotes* notes) {
  for (const char* pi = std::strstr(amplitude_text, "PI"); pi != nullptr;
       pi = std::strstr(pi + 2, "PI")) {
    note_text(notes, origins, NoteKind::pi_in_amplitude, static_cast<int>(pi - amplitude_text), 2);
  }
}

// The amplitude is the text before the first letter that begins a function name (its
// `length` bytes, as normalising found them), read as an operand expression; a term that
// begins with its function name has none (amplitude 1). Its closing '=' stands where the name
// begins, and has that byte's origin.
OperandsRead read_amplitude(const char* text, int length, const TextOrigins& origins,
                            NumberStore& store, ReadingNotes* notes) {
  if (length == 0) return {static_cast<short>(store.count), 0};
  char amplitude_text[work_capacity];
  std::memcpy(amplitude_text, text, static_cast<std::size_t>(length));
  amplitude_text[length] = '=';
  amplitude_text[length + 1] = '\0';
  if (notes != nullptr && text[length] != '\0')
    note_pi_in_amplitude(amplitude_text, origins, notes);
  return read_operands(amplitude_text, {&origins, 0, OperandRole::amplitude}, store, notes);
}

// Notes a cut after the '=' at `mark` that drops more than blanks.
void note_cut(const char* text, const char* mark, const TextOrigins& origins, ReadingNotes* notes) {
  bool only_blanks = true;
  for (const char* c = mark + 1; *c != '\0'; ++c) only_blanks = only_blanks && is_blank(*c);
  if (only_blanks) return;
  const int at = static_cast<int>(mark - text);
  const int end = at + static_cast<int>(std::strlen(mark));
  add_note(notes, NoteKind::cut_after_equals, origin_column(origins, at),
           origin_column(origins, end) - origin_column(origins, at));
}

// Ends the text right after its first '=', appending one when there is none, so that
// nothing typed after a '=' takes part; notes a cut that drops more than blanks. Returns the
// bytes of the text.
int close_term(char (&text)[work_capacity], const TermShape& shape, const TextOrigins& origins,
               ReadingNotes* notes) {
  if (shape.equals < 0) {
    text[shape.length] = '=';
    text[shape.length + 1] = '\0';
    return shape.length + 1;
  }
  if (notes != nullptr) note_cut(text, text + shape.equals, origins, notes);
  text[shape.equals + 1] = '\0';
  return shape.equals + 1;
}

// The first byte from `text` on that a name is spelt with, or the '=' that ends them (or the
// terminator): the letters of a name are read so, other bytes skipped.
const char* next_letter(const char* text) {
  while (*text != '\0' && !is_function_letter(*text)) ++text;
  return text;
}

// The end of the letters from `text` on (as next_letter reads them) that spell `wanted`,
// whose bytes are all letters; nullptr when they do not. A byte equal to the one wanted is the
// next letter: only another byte needs skipping over, and `skipped` is set then.
const char* letters_spelling(const char* text, const char* wanted, bool& skipped) {
  for (; *wanted != '\0'; ++wanted, ++text) {
    if (*text == *wanted) continue;
    const char* letter = next_letter(text);
    if (*letter != *wanted) return nullptr;
    skipped = true;
    text = letter;
  }
  return text;
}

// A name as its letters were recognised: the row of function_spellings (-1: none) and, when
// its spelling stands whole in the text from the term's first letter on, the end of it there
// (nullptr otherwise).
struct Recognised {
  int row;
  const char* whole_end;
  const char* first_letter;  // where the letters begin in the text
};

// Length of the first spelling in the table that the argument follows and that begins at
// `text`; 0 when none begins there.
int argument_name_length(const char* text) {
  const int letter = index_letter(text[0]);
  if (letter < 0) return 0;
  for (int k = 0; k < spelling_index.count[letter]; ++k) {
    const FunctionSpelling& row = function_spellings[spelling_index.rows[letter][k]];
    if (row.argument_follows && starts_with(text + 1, row.spelling + 1)) {
      return spelling_index.length[letter][k];
    }
  }
  return 0;
}

// The argument text is everything after the leftmost name the argument follows; nullptr
// when there is none.
const char* find_argument_text(const char* text) {
  for (; *text != '\0'; ++text) {
    if (!begins_argument_name(*text)) continue;
    const int length = argument_name_length(text);
    if (length > 0) return text + length;
  }
  return nullptr;
}

// The argument text of the closed `text` (`closed` bytes, '=' included), whose letters were
// recognised as `name`. When that name is one the argument follows, written whole where the
// amplitude ends, with no letter of a name before it, the argument follows it:
// find_argument_text would find no earlier name, and that row first among those of its
// letter. Otherwise it is looked for, from where the amplitude ends (no name begins before).
const char* argument_text_of(const char* text, const TermShape& shape, const Recognised& name,
                             int closed) {
  const int start = shape.amplitude_length < closed ? shape.amplitude_length : closed;
  if (name.row >= 0 && function_spellings[name.row].argument_follows &&
      name.first_letter == text + start && name.whole_end != nullptr) {
    return name.whole_end;
  }
  return find_argument_text(text + start);
}

static_assert(
    [] {
      for (const FunctionSpelling& row : function_spellings) {
        const bool term = (row.readings & in_term) != 0;
        if (term && (row.spelling[0] == '\0' || row.spelling[1] == '\0')) return false;
      }
      return true;
    }(),
    "recognise_spelling compares second letters: every term spelling has two at least");

// The name the letters of the closed `text` (as next_letter reads them) begin with: the row
// of function_spellings whose spelling they begin with, rows whose second letter differs
// passed over at once.
Recognised recognise_spelling(const char* text) {
  const char* letters = next_letter(text);
  const char second = *next_letter(letters[0] != '\0' ? letters + 1 : letters);
  const int letter = index_letter(letters[0]);
  const int rows = letter < 0 ? 0 : spelling_index.count[letter];
  for (int k = 0; k < rows; ++k) {
    const int row = spelling_index.rows[letter][k];
    if (function_spellings[row].spelling[1] != second || !accepted(row, in_term)) continue;
    bool skipped = false;
    const char* end = letters_spelling(letters + 1, function_spellings[row].spelling + 1, skipped);
    if (end != nullptr) return {row, skipped ? nullptr : end, letters};
  }
  return {-1, nullptr, letters};
}

// Bytes in the run of lower-case letters at `text` (what a user typed as one word).
int letter_run_length(const char* text) {
  int length = 0;
  while (is_lower_letter(text[length])) ++length;
  return length;
}

// Index of the first letter a name is spelt with: the function letters begin there.
int first_name_letter(const char* text) {
  int first = 0;
  while (text[first] != '\0' && (text[first] == '=' || !is_function_letter(text[first]))) ++first;
  return first;
}

// True when the bytes around the word from `at` to `end`, blanks aside, are digits: the word
// stands inside a number, whose two parts it joins once its letters are skipped.
bool between_digits(const char* text, int at, int end) {
  int before = at - 1;
  while (before >= 0 && is_blank(text[before])) --before;
  while (text[end] != '\0' && is_blank(text[end])) ++end;
  return before >= 0 && is_digit(text[before]) && is_digit(text[end]);
}

// Notes every word after the first name that begins with a spelling of a function: its
// letters are skipped and only the first name counts.
void note_second_names(const char* text, int from, const TextOrigins& origins,
                       ReadingNotes* notes) {
  for (int at = from; text[at] != '\0'; ++at) {
    if (!is_lower_letter(text[at]) || (at > 0 && is_lower_letter(text[at - 1]))) continue;
    for (const FunctionSpelling& row : function_spellings) {
      if (!names_term_function(row) || !starts_with(text + at, row.spelling)) continue;
      const int length = letter_run_length(text + at);
      const NoteKind kind = between_digits(text, at, at + length) ? NoteKind::second_name_joining
                                                                  : NoteKind::second_name;
      note_text(notes, origins, kind, at, length);
      break;
    }
  }
}

// Index in `text` right after the letters that spell `spelling` from `first` on, the
// function letters being collected as the name is recognised (other bytes skipped).
int spelling_end(const char* text, int first, const char* spelling) {
  int at = first;
  for (const char* wanted = spelling; *wanted != '\0' && text[at] != '\0'; ++at) {
    if (text[at] == *wanted) ++wanted;
  }
  return at;
}

// True when byte `index` of the term's text is a letter as typed: a lower-case letter, or an
// 'E' the normaliser made of a typed 'e' ("se30" is the word "se" before a number).
bool typed_letter(const TermText& term, int index) {
  const char c = term.text[index];
  if (is_lower_letter(c)) return true;
  const int at = origin_column(*term.origins, index) - term.column;
  return c == 'E' && at >= 0 && term.source[at] == 'e';
}

// Notes an unknown name: the whole word of letters it stands in as typed ("log", not "og";
// "se", not "s"), or, when that word is "rad" followed by a known name, that the "rad" joined
// the name.
void note_unknown_name(const TermText& term, int first, int run, ReadingNotes* notes) {
  const char* text = term.text;
  const TextOrigins& origins = *term.origins;
  int start = first;
  while (start > 0 && typed_letter(term, start - 1)) --start;
  int end = first + run;
  while (text[end] != '\0' && typed_letter(term, end)) ++end;
  const int length = end - start;
  if (starts_with(text + start, radians_prefix)) {
    const int rest = start + static_cast<int>(sizeof radians_prefix - 1);
    for (const FunctionSpelling& row : function_spellings) {
      const int spelling_length = static_cast<int>(std::strlen(row.spelling));
      if (!names_term_function(row) || spelling_length != start + length - rest ||
          !starts_with(text + rest, row.spelling)) {
        continue;
      }
      const int column = origin_column(origins, start);
      const int end = origin_end(origins, start + length - 1);
      return add_note(notes, NoteKind::rad_joined_name, column, end - column, row.spelling);
    }
  }
  note_text(notes, origins, NoteKind::unknown_name, start, length);
}

// Notes a known name read otherwise than it stands: spelt over several words ("arc sen"), or
// read from a longer word ("sinh", "sine" whose 'e' became an exponent, "cossec").
void note_name_read(const TermText& term, int first, int run, int row, ReadingNotes* notes) {
  const char* text = term.text;
  const TextOrigins& origins = *term.origins;
  const char* spelling = function_spellings[row].spelling;
  const int length = static_cast<int>(std::strlen(spelling));
  const int column = origin_column(origins, first);
  if (run < length) {  // the name's letters go on past the word: it was spelt apart
    const int end = spelling_end(text, first, spelling);
    const bool lost = function_spellings[row].argument_follows && !term.argument_found;
    add_note(notes, lost ? NoteKind::name_split_without_argument : NoteKind::name_split, column,
             origin_end(origins, end - 1) - column, spelling);
    return note_second_names(text, end, origins, notes);
  }
  const int after = origin_column(origins, first + run) - term.column;
  const bool exponent_e = text[first + run] == 'E' && term.source[after] == 'e';
  const int word = run + (exponent_e ? 1 : 0);  // "sine": its 'e' was read as an exponent
  if (word != length || !starts_with(text + first, spelling)) {
    add_note(notes, NoteKind::name_read_as, column, origin_end(origins, first + word - 1) - column,
             spelling);
  }
  note_second_names(text, first + run, origins, notes);
}

// Notes how the function name was read: no name at all, letters that name nothing, letters
// read as a name other than the word they form, or a second name.
void note_function_name(const TermText& term, int row, ReadingNotes* notes) {
  const char* text = term.text;
  const TextOrigins& origins = *term.origins;
  const int first = first_name_letter(text);
  const int run = letter_run_length(text + first);
  if (run == 0) {
    const int end = static_cast<int>(std::strlen(text)) - 1;  // the closing '='
    add_note(notes, NoteKind::no_name, origin_column(origins, 0),
             origin_column(origins, end) - origin_column(origins, 0));
  } else if (row < 0) {
    note_unknown_name(term, first, run, notes);
  } else {
    note_name_read(term, first, run, row, notes);
  }
}

}  // namespace

namespace {

// The spelling of a function that the `length` letters at `word` name once lowered, when at
// least one of them is a capital ("SIN", "Cos"); nullptr when they name none so.
const char* capital_spelling(const char* word, int length) {
  char lowered[note_name_capacity];
  if (length >= note_name_capacity) return nullptr;
  bool capital = false;
  for (int k = 0; k < length; ++k) {
    capital = capital || !is_lower_letter(word[k]);
    lowered[k] = lower_case(word[k]);
  }
  lowered[length] = '\0';
  for (const FunctionSpelling& row : function_spellings) {
    if (capital && names_term_function(row) && std::strcmp(row.spelling, lowered) == 0) {
      return row.spelling;
    }
  }
  return nullptr;
}

// Sets the columns of the function's name: from where the amplitude ends (`name_start` in
// the normalised text) to where the argument begins (`argument_start`; 0: no argument
// follows, and the name's columns are none).
void set_name_columns(TermReading& term, const TextOrigins& origins, int name_start,
                      int argument_start) {
  term.name_column = static_cast<unsigned char>(origin_column(origins, name_start));
  const int end = argument_start > 0 ? origin_end(origins, argument_start - 1) : term.name_column;
  term.name_length = static_cast<unsigned char>(end - term.name_column);
}

}  // namespace

bool note_capital_name(const char* text, const TextOrigins& origins, int first_note,
                       ReadingNotes* notes) {
  for (int at = 0; text[at] != '\0';) {
    int end = at;
    while (is_ascii_letter(text[end])) ++end;
    const char* spelling = capital_spelling(text + at, end - at);
    if (spelling != nullptr) {
      notes->count = first_note;
      const int column = origin_column(origins, at);
      add_note(notes, NoteKind::capital_name, column, origin_end(origins, end - 1) - column,
               spelling);
      return true;
    }
    at = end > at ? end : at + 1;
  }
  return false;
}

void read_term(const char* source, int length, int column, TermReading& term, NumberStore& store,
               ReadingNotes* notes) {
  const int shown = shown_length(length);
  char text[work_capacity];  // room for the closing '=' after a 99-byte term
  TermShape shape;
  TextOrigins origins;
  start_origins(origins, column);
  const int first_note = notes != nullptr ? notes->count : 0;
  term.radians = false;
  term.column = static_cast<unsigned char>(column);
  term.length = static_cast<unsigned char>(shown);
  normalise_term_text(source, shown, text, shape, term.radians, origins, notes);
  const int name_start = shape.amplitude_length;
  term.amplitude = read_amplitude(text, name_start, origins, store, notes);
  const int closed = close_term(text, shape, origins, notes);
  const Recognised name = recognise_spelling(text);
  const int row = name.row;
  term.function = row < 0 ? TermFunction::none : function_of_row(row);
  if (notes != nullptr && row < 0 && note_capital_name(text, origins, first_note, notes)) {
    notes = nullptr;  // nothing more of this term is worth a word
  }
  const char* argument_text = argument_text_of(text, shape, name, closed);
  if (notes != nullptr) {
    note_function_name({text, &origins, source, column, argument_text != nullptr}, row, notes);
  }
  const int argument_start = argument_text != nullptr ? static_cast<int>(argument_text - text) : 0;
  set_name_columns(term, origins, name_start, argument_start);
  term.argument =
      argument_text == nullptr
          ? OperandsRead{static_cast<short>(store.count), 0}
          : read_operands(argument_text, {&origins, argument_start, OperandRole::argument}, store,
                          notes);
  if (notes != nullptr && row >= 0) {
    note_ungrouped_parentheses(source, shown, term, store, function_spellings[row].spelling, notes);
  }
}
