#include "cli/report.h"

#include <cstring>

#include "console/diagnostics.h"
#include "term/closest_names.h"
#include "term/function_names.h"

namespace {

constexpr int report_capacity = 8192;  // the longest report: every note of a 99-byte line

// A report being put together, written out at once so that it never mixes with other output.
struct ReportText {
  char text[report_capacity];
  int length;  // bytes used; what does not fit is left out
};

void append(ReportText& report, const char* bytes, int count) {
  const int room = report_capacity - report.length;
  const int kept = count < room ? count : room;
  std::memcpy(report.text + report.length, bytes, static_cast<std::size_t>(kept));
  report.length += kept;
}

void append(ReportText& report, const char* text) {
  append(report, text, static_cast<int>(std::strlen(text)));
}

void append_number(ReportText& report, long number) {
  char digits[24];
  append(report, digits, std::snprintf(digits, sizeof digits, "%ld", number));
}

// Bytes in the UTF-8 character at `bytes` (`available` of them there), or 0 when they begin
// no valid one. `code` receives its code point.
int utf8_length(const unsigned char* bytes, int available, long& code) {
  const unsigned char lead = bytes[0];
  int length = lead < 0x80                    ? 1
               : lead >= 0xC2 && lead <= 0xDF ? 2
               : lead >= 0xE0 && lead <= 0xEF ? 3
               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                              : 0;
  if (length == 0 || length > available) return 0;
  code = length == 1 ? lead : lead & (0x7F >> length);
  for (int k = 1; k < length; ++k) {
    if ((bytes[k] & 0xC0) != 0x80) return 0;
    code = (code << 6) | (bytes[k] & 0x3F);
  }
  const long smallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (code < smallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

// Code points a terminal acts on rather than shows: C0 and C1 controls, DEL, and the
// characters that reorder or break the text shown around them.
bool acts_on_terminal(long code) {
  return code < 0x20 || (code >= 0x7F && code <= 0x9F) || code == 0x2028 || code == 0x2029 ||
         (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069);
}

// How the byte at `at` and the ones of its character are shown: their count and the text.
// A character shown as it is has a text of its own bytes; any other byte is escaped alone.
int shown_character(const unsigned char* bytes, int available, char (&shown)[8], int& width) {
  long code = 0;
  const int length = utf8_length(bytes, available, code);
  width = 1;
  if (length > 0 && !acts_on_terminal(code) && code != '\\') {
    std::memcpy(shown, bytes, static_cast<std::size_t>(length));
    shown[length] = '\0';
    return length;
  }
  static const char named[] = "\a\b\t\n\v\f\r\x1b\\";
  static const char* const names[] = {"\\a", "\\b", "\\t", "\\n", "\\v",
                                      "\\f", "\\r", "\\e", "\\\\"};
  const char* found = bytes[0] != 0 ? std::strchr(named, bytes[0]) : nullptr;
  if (found != nullptr) {
    std::strcpy(shown, names[found - named]);
  } else {
    std::snprintf(shown, sizeof shown, "\\x%02X", bytes[0]);
  }
  width = static_cast<int>(std::strlen(shown));
  return 1;
}

// Appends the `length` bytes at `text` as shown: escaped where a terminal would act on them.
void append_shown(ReportText& report, const char* text, int length) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  for (int at = 0; at < length;) {
    char shown[8];
    int width = 0;
    at += shown_character(bytes + at, length - at, shown, width);
    append(report, shown);
  }
}

// The 1-based column of byte `offset`: characters before it, one per UTF-8 character.
long column_of(const char* text, int length, int offset) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  long column = 1;
  for (int at = 0; at < offset && at < length; ++column) {
    long code = 0;
    const int size = utf8_length(bytes + at, length - at, code);
    at += size > 0 ? size : 1;
  }
  return column + (offset > length ? offset - length : 0);
}

bool is_skip(NoteKind kind) {
  return kind == NoteKind::skipped || kind == NoteKind::number_tail ||
         kind == NoteKind::number_unread;
}

bool inside(const ReadingNote& inner, const ReadingNote& outer) {
  return inner.column >= outer.column && inner.column + inner.length <= outer.column + outer.length;
}

// True when `note` says nothing another one does not: text skipped inside a note that
// explains it, or anything inside a term that names no function at all.
bool covered(const ReadingNote& note, const ReadingNote* notes, int count) {
  for (int k = 0; k < count; ++k) {
    const ReadingNote& other = notes[k];
    if (&other == &note || other.length == 0 || is_skip(other.kind) || !inside(note, other))
      continue;
    if (is_skip(note.kind) || (other.kind == NoteKind::no_name && note.kind != NoteKind::no_name)) {
      return true;
    }
  }
  return false;
}

// The notes to report: those not covered by another, by column, with skipped bytes that
// stand side by side joined into one note. Returns how many.
int tidy_notes(const ReadingNotes& taken, ReadingNote (&notes)[reading_note_capacity]) {
  int count = 0;
  for (int k = 0; k < taken.count; ++k) {
    if (covered(taken.notes[k], taken.notes, taken.count)) continue;
    int at = count++;  // insertion by column, earlier notes first among equals
    for (; at > 0 && notes[at - 1].column > taken.notes[k].column; --at) notes[at] = notes[at - 1];
    notes[at] = taken.notes[k];
  }
  int joined = 0;
  for (int k = 0; k < count; ++k) {
    ReadingNote* last = joined > 0 ? &notes[joined - 1] : nullptr;
    if (last != nullptr && is_skip(last->kind) && is_skip(notes[k].kind) &&
        last->column + last->length == notes[k].column) {
      last->length = static_cast<unsigned char>(last->length + notes[k].length);
    } else {
      notes[joined++] = notes[k];
    }
  }
  return joined;
}

// Appends `"TEXT"`: the note's bytes of the expression, as shown.
void append_quoted(ReportText& report, const char* expression, int length,
                   const ReadingNote& note) {
  const int end = note.column + note.length < length ? note.column + note.length : length;
  append(report, "\"");
  if (note.column < end) append_shown(report, expression + note.column, end - note.column);
  append(report, "\"");
}

bool only_letters(const char* text, int from, int to) {
  for (int k = from; k < to; ++k) {
    const char c = text[k];
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) return false;
  }
  return to > from;
}

bool only_blanks(const char* text, int from, int to) {
  for (int k = from; k < to; ++k) {
    if (text[k] != ' ' && text[k] != '\t') return false;
  }
  return to > from;
}

// Appends "; nomes parecidos: "a", "b" ou "c"" for the word the note is about: names at most
// two edits away, fewer than the word has letters, and nearer than `read_as` (when given),
// the name it was read as.
void append_suggestions(ReadingNote note, const char* expression, const char* read_as,
                        ReportText& report) {
  const char* word = expression + note.column;
  int limit = note.length - 1 < max_suggested_distance ? note.length - 1 : max_suggested_distance;
  if (read_as != nullptr) {
    const int distance = spelling_distance(word, note.length, read_as);
    if (distance - 1 < limit) limit = distance - 1;
  }
  const char* names[suggestion_capacity];
  const int found = closest_function_names(word, note.length, limit, names);
  for (int k = 0; k < found; ++k) {
    append(report, k == 0 ? "; nomes parecidos: \"" : k + 1 < found ? ", \"" : " ou \"");
    append(report, names[k]);
    append(report, "\"");
  }
}

// How a note says what was read: the text before the note's bytes, whether they are quoted,
// and the text after them. Indexed by NoteKind; the kinds of skipped bytes and the line cut
// are worded by their own functions.
struct NoteMessage {
  const char* before;
  bool quoted;
  const char* after;
};

constexpr NoteMessage note_messages[] = {
    {"", true, " foi ignorado"},                                 // skipped
    {"o numero termina antes de ", true, ", que foi ignorado"},  // number_tail
    {"", true, " nao e um numero: lido como 0"},                 // number_unread
    {"nada depois de ", true, ": lido como 0"},                  // empty_after
    {"nada antes de ", true, ": lido como 0"},                   // empty_before
    {"a amplitude ", true, " nao tem numero: lida como 0"},      // amplitude_without_number
    {"falta o argumento: lido como 0", false, ""},               // empty_argument
    {"o \"+\" depois de \"E\" foi lido como soma: so \"-\" e sinal de expoente", false,
     ""},                                                  // plus_after_exponent
    {"o que vem depois de \"=\" foi cortado", false, ""},  // cut_after_equals
    {"segundo nome de funcao ", true,
     ": so o primeiro conta, suas letras foram ignoradas"},                 // second_name
    {"", true, " foi lido como \""},                                        // name_read_as
    {"nome de funcao desconhecido ", true, ": lido como 0"},                // unknown_name
    {"nenhuma funcao trigonometrica reconhecida: lido como 0", false, ""},  // no_name
    {"\"pi\" na amplitude poe o termo todo em radianos", false, ""},        // pi_in_amplitude
    {"\"pi\" logo depois de um numero foi ignorado (para multiplicar, \"*pi\")", false,
     ""},                                                                   // pi_after_digit
    {"\"rad\" so conta no inicio do termo: aqui foi ignorado", false, ""},  // rad_not_at_start
    {"", true, " nao tem numero nem funcao: lido como 0"},                  // bracket_not_number
    {"falta um operador logo depois do \"]\" anterior: os operadores seguintes ficam com os "
     "valores errados",
     false, ""},                                                   // bracket_without_operator
    {"mais de ", false, " bytes: o resto da linha foi ignorado"},  // line_cut
};
static_assert(sizeof note_messages / sizeof note_messages[0] ==
                  static_cast<int>(NoteKind::line_cut) + 1,
              "one message per kind of note");

// Appends the message for a note of skipped bytes.
void append_skip_message(ReportText& report, const char* expression, int length,
                         const ReadingNote& note) {
  const int end = note.column + note.length;
  if (only_letters(expression, note.column, end < length ? end : length)) {
    append(report, note.length == 1 ? "a letra " : "as letras ");
    append_quoted(report, expression, length, note);
    append(report, note.length == 1 ? " nao nomeia nada e foi ignorada"
                                    : " nao nomeiam nada e foram ignoradas");
  } else if (only_blanks(expression, note.column, end < length ? end : length)) {
    append_quoted(report, expression, length, note);
    append(report, " foi ignorado e juntou os algarismos dos dois lados num so numero");
  } else {
    const NoteMessage& message = note_messages[static_cast<int>(note.kind)];
    append(report, message.before);
    append_quoted(report, expression, length, note);
    append(report, message.after);
  }
}

// Appends how the note's text was read.
void append_message(ReportText& report, const char* expression, int length,
                    const ReadingNote& note) {
  if (is_skip(note.kind)) return append_skip_message(report, expression, length, note);
  const NoteMessage& message = note_messages[static_cast<int>(note.kind)];
  append(report, message.before);
  if (message.quoted) append_quoted(report, expression, length, note);
  if (note.kind == NoteKind::line_cut) append_number(report, length);
  append(report, message.after);
  if (note.kind == NoteKind::name_read_as) {
    const char* spelling = function_spellings[note.detail].spelling;
    append(report, spelling);
    append(report, "\"");
    append_suggestions(note, expression, spelling, report);
  } else if (note.kind == NoteKind::unknown_name) {
    append_suggestions(note, expression, nullptr, report);
  }
}

// Appends "trigcalc: SOURCE:LINE:COLUMN: " for a note at `column` (1-based).
void append_place(ReportText& report, const ExpressionSource& source, long column) {
  append(report, program_name);
  append(report, ": ");
  append(report, source.standard_input ? standard_input_name : arguments_name);
  append(report, ":");
  append_number(report, source.number);
  append(report, ":");
  append_number(report, column);
  append(report, ": ");
}

// Appends the expression as shown, indented, and under it a '^' at the first byte of every
// note and a '~' under its other bytes.
void append_expression_and_carets(ReportText& report, const char* expression, int length,
                                  const ReadingNote* notes, int count) {
  constexpr char indent[] = "  ";
  append(report, indent);
  append_shown(report, expression, length);
  append(report, "\n");
  append(report, indent);
  const auto* bytes = reinterpret_cast<const unsigned char*>(expression);
  for (int at = 0; at <= length;) {
    char shown[8];
    int width = 1;
    const int size = at < length ? shown_character(bytes + at, length - at, shown, width) : 1;
    const char* mark = " ";
    for (int k = 0; k < count; ++k) {
      if (notes[k].column == at) mark = "^";
      const bool within = at > notes[k].column && at < notes[k].column + notes[k].length;
      if (*mark == ' ' && within) mark = "~";
    }
    append(report, mark);  // a wide escape is marked on its first column, underlined after
    for (int w = 1; w < width; ++w) append(report, *mark == ' ' ? " " : "~");
    at += size;
  }
  while (report.length > 0 && report.text[report.length - 1] == ' ') --report.length;
  append(report, "\n");
}

}  // namespace

bool report_notes(FILE* err, const ExpressionSource& source, const char* expression, int length,
                  const ReadingNotes& taken) {
  ReadingNote notes[reading_note_capacity];
  const int count = tidy_notes(taken, notes);
  if (count == 0) return false;
  static ReportText report;  // 8 KiB: kept off the stack
  report.length = 0;
  append_place(report, source, column_of(expression, length, notes[0].column));
  append_message(report, expression, length, notes[0]);
  append(report, "\n");
  append_expression_and_carets(report, expression, length, notes, count);
  for (int k = 1; k < count; ++k) {
    append(report, "  coluna ");
    append_number(report, column_of(expression, length, notes[k].column));
    append(report, ": ");
    append_message(report, expression, length, notes[k]);
    append(report, "\n");
  }
  if (taken.dropped > 0) {
    append(report, "  e mais ");
    append_number(report, taken.dropped);
    append(report, taken.dropped == 1 ? " nota\n" : " notas\n");
  }
  std::fwrite(report.text, 1, static_cast<std::size_t>(report.length), err);
  return true;
}
