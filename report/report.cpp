#include "report/report.h"

#include <cstring>

#include "io/diagnostics.h"
#include "io/text_form.h"
#include "line/closest_names.h"
#include "report/shown_text.h"

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

// Appends our zero-terminated `text` in the chosen form: with its accents or without them.
void append(ReportText& report, const char* text) {
  report.length += form_text(text, static_cast<int>(std::strlen(text)), report.text + report.length,
                             report_capacity - report.length);
}

void append_number(ReportText& report, long number) {
  char digits[24];
  append(report, digits, std::snprintf(digits, sizeof digits, "%ld", number));
}

// Appends the `length` bytes at `text` as shown: escaped where a terminal would act on them.
void append_shown(ReportText& report, const char* text, int length) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  for (int at = 0; at < length;) {
    char shown[shown_capacity];
    int width = 0;
    at += shown_character(bytes + at, length - at, shown, width);
    append(report, shown, static_cast<int>(std::strlen(shown)));  // input bytes, as they are
  }
}

// The expression a report is about.
struct Expression {
  const char* text;
  int length;
};

// Appends " (NAME)" for the first character of the `length` bytes at `text` that is shown
// escaped because a terminal shows it as a blank or as nothing: a pasted no-break space
// looks like the blank that is read, and is not.
void append_invisible_name(ReportText& report, const char* text, int length) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  for (int at = 0; at < length; ++at) {
    const char* name = invisible_character_name(bytes + at, length - at);
    if (name == nullptr) continue;
    append(report, " (");
    append(report, name);
    return append(report, ")");
  }
}

// Appends `before`, `"TEXT"` (the note's bytes of the expression, as shown, naming a character
// that would look like a blank) and `after`.
void append_quoted(ReportText& report, const char* before, const Expression& expression,
                   const ReadingNote& note, const char* after) {
  const int end =
      note.column + note.length < expression.length ? note.column + note.length : expression.length;
  append(report, before);
  append(report, "\"");
  if (note.column < end) append_shown(report, expression.text + note.column, end - note.column);
  append(report, "\"");
  if (note.column < end)
    append_invisible_name(report, expression.text + note.column, end - note.column);
  append(report, after);
}

// Appends "; nomes parecidos: "a", "b" ou "c"" for the word the note is about: names at most
// two edits away, fewer than the word has letters, and nearer than `read_as` (when given),
// the name it was read as.
void append_suggestions(ReportText& report, const Expression& expression, const ReadingNote& note,
                        const char* read_as) {
  const char* word = expression.text + note.column;
  int limit = note.length - 1 < max_suggested_distance ? note.length - 1 : max_suggested_distance;
  if (read_as != nullptr) {
    const int distance = spelling_distance(word, note.length, read_as);
    if (distance - 1 < limit) limit = distance - 1;
  }
  const char* names[suggestion_capacity];
  const NameList list =
      note.kind == NoteKind::natural_unknown_word ? NameList::natural : NameList::term;
  const int found = closest_names(list, word, note.length, limit, names);
  for (int k = 0; k < found; ++k) {
    append(report, k == 0 ? "; nomes parecidos: \"" : k + 1 < found ? ", \"" : " ou \"");
    append(report, names[k]);
    append(report, "\"");
  }
}

// Appends how an amplitude without a number was read: as 0. Blanks alone before the name
// ("rad sen 30", "[ sen30 ]") are said to be that amplitude: quoted, they would look like
// nothing at all.
void append_amplitude_without_number(ReportText& report, const Expression& expression,
                                     const ReadingNote& note) {
  bool blanks = note.length > 0 && note.column + note.length <= expression.length;
  for (int k = 0; blanks && k < note.length; ++k) {
    const char c = expression.text[note.column + k];
    blanks = c == ' ' || c == '\t';
  }
  if (blanks) {
    return append(report,
                  "o espaço em branco antes do nome é lido como uma amplitude sem número: o termo "
                  "vale 0");
  }
  append_quoted(report, "a amplitude ", expression, note, " não tem número: lida como 0");
}

// Appends how the note's letters were read as another name, and the names nearer to them.
void append_read_as(ReportText& report, const Expression& expression, const ReadingNote& note) {
  append_quoted(report, "", expression, note, " foi lido como \"");
  append(report, note.name);
  append(report, "\"");
  append_suggestions(report, expression, note, note.name);
}

// Appends how a '-' after an operator and a blank was read: as a subtraction, the operator
// meeting 0. After a '+' that is the value written ("30 + -9" is 21); after any other it is
// not ("2 * -3" is 2 x 0 - 3).
void append_blank_before_sign(ReportText& report, const Expression& expression,
                              const ReadingNote& note) {
  append_quoted(report, "o \"-\" depois de ", expression, note,
                " e um espaço subtrai, não dá sinal: ");
  const bool plus = expression.text[note.column] == '+';
  append(report, plus ? "o valor é o escrito"
                      : "o operador ficou sem número depois (lido como 0) e o valor mudou");
}

// Appends the `length` bytes at `text` as shown, less their parentheses.
void append_shown_without_parentheses(ReportText& report, const char* text, int length) {
  for (int at = 0; at < length;) {
    int run = 0;
    while (at + run < length && text[at + run] != '(' && text[at + run] != ')') ++run;
    append_shown(report, text + at, run);
    at += run + (at + run < length ? 1 : 0);
  }
}

// The index in the `length` bytes at `text`, which begin with '(', of the ')' that closes it;
// -1 when none does.
int closing_parenthesis(const char* text, int length) {
  int depth = 0;
  for (int at = 0; at < length; ++at) {
    depth += text[at] == '(' ? 1 : text[at] == ')' ? -1 : 0;
    if (depth == 0) return at;
  }
  return -1;
}

// Appends how to have the parentheses group: --natural; for an argument that opens with them
// right after the name, what that reads ("(sen 30)*2").
void append_natural_way(ReportText& report, const Expression& expression, const ReadingNote& note) {
  const char* list = expression.text + note.column;
  const int length = note.column + note.length <= expression.length ? note.length : 0;
  const int close = length > 0 && list[0] == '(' ? closing_parenthesis(list, length) : -1;
  if (note.name[0] == '\0' || close < 0) return append(report, "; para que agrupem, use --natural");
  append(report, "; para (");
  append(report, note.name);
  append(report, " ");
  append_shown(report, list + 1, close - 1);
  append(report, ")");
  append_shown(report, list + close + 1, length - close - 1);
  append(report, ", use --natural");
}

// Appends how an operand list whose parentheses do not group was read: without them.
void append_ungrouped(ReportText& report, const Expression& expression, const ReadingNote& note) {
  const bool argument = note.name[0] != '\0';
  append_quoted(report,
                argument ? "os parênteses não agrupam: o argumento "
                         : "os parênteses não agrupam: a amplitude ",
                expression, note, argument ? " é lido como \"" : " é lida como \"");
  if (note.column + note.length <= expression.length) {
    append_shown_without_parentheses(report, expression.text + note.column, note.length);
  }
  append(report, "\"");
  append_natural_way(report, expression, note);
}

// How a function without a value is named, and why it has none; null for the functions that
// always have one (the sine, cosine and arc tangent).
struct NoValueWording {
  const char* function;
  const char* reason;
};

NoValueWording no_value_wording(TermFunction function) {
  switch (function) {
    case TermFunction::tangent:
      return {"a tangente de ", ": o cosseno do ângulo é 0"};
    case TermFunction::secant:
      return {"a secante de ", ": o cosseno do ângulo é 0"};
    case TermFunction::cotangent:
      return {"a cotangente de ", ": o seno do ângulo é 0"};
    case TermFunction::cosecant:
      return {"a cossecante de ", ": o seno do ângulo é 0"};
    case TermFunction::arc_sine:
      return {"o arco-seno de ", ": só existe de -1 a 1"};
    case TermFunction::arc_cosine:
      return {"o arco-cosseno de ", ": só existe de -1 a 1"};
    case TermFunction::none:
    case TermFunction::sine:
    case TermFunction::cosine:
    case TermFunction::arc_tangent:
      break;
  }
  return {nullptr, nullptr};
}

// Appends why the term the note is about has no exact value: its function where the
// function's denominator is 0, or an inverse function outside [-1, 1].
void append_no_value(ReportText& report, const Expression& expression, const ReadingNote& note) {
  const NoValueWording wording = no_value_wording(note.function);
  if (wording.function == nullptr)
    return append_quoted(report, "", expression, note, " não tem valor");
  append(report, wording.function);
  append_quoted(report, "", expression, note, " não existe");
  append(report, wording.reason);
}

// Appends how the note's text was read, worded by its kind.
void append_message(ReportText& report, const Expression& expression, const ReadingNote& note) {
  const bool one = note.length == 1;
  switch (note.kind) {
    case NoteKind::skipped:
      return append_quoted(report, "", expression, note, " foi ignorado");
    case NoteKind::skipped_letters:
      return append_quoted(
          report, one ? "a letra " : "as letras ", expression, note,
          one ? " não nomeia nada e foi ignorada" : " não nomeiam nada e foram ignoradas");
    case NoteKind::joined_number:
      return append_quoted(report, "", expression, note,
                           " foi ignorado e juntou os algarismos dos dois lados num só número");
    case NoteKind::number_tail:
      return append_quoted(report, "o número termina antes de ", expression, note,
                           ", que foi ignorado");
    case NoteKind::number_unread:
      return append_quoted(report, "", expression, note, " não é um número: lido como 0");
    case NoteKind::empty_after:
      return append_quoted(report, "nada depois de ", expression, note, ": lido como 0");
    case NoteKind::empty_before:
      return append_quoted(report, "nada antes de ", expression, note, ": lido como 0");
    case NoteKind::amplitude_without_number:
      return append_amplitude_without_number(report, expression, note);
    case NoteKind::empty_argument:
      return append(report, "falta o argumento: lido como 0");
    case NoteKind::plus_after_exponent:
      return append(report,
                    "o \"+\" depois de \"E\" foi lido como soma: só \"-\" é sinal de expoente");
    case NoteKind::cut_after_equals:
      return append(report, "o que vem depois de \"=\" foi cortado");
    case NoteKind::second_name:
      return append_quoted(report, "segundo nome de função ", expression, note,
                           ": só o primeiro conta, suas letras foram ignoradas");
    case NoteKind::name_read_as:
      return append_read_as(report, expression, note);
    case NoteKind::unknown_name:
      append_quoted(report, "nome de função desconhecido ", expression, note, ": lido como 0");
      return append_suggestions(report, expression, note, nullptr);
    case NoteKind::no_name:
      return append(report, "nenhuma função trigonométrica reconhecida: lido como 0");
    case NoteKind::pi_in_amplitude:
      return append(report, "\"pi\" na amplitude põe o termo todo em radianos");
    case NoteKind::pi_after_digit:
      return append(report,
                    "\"pi\" logo depois de um número não foi lido (para multiplicar, \"*pi\"), "
                    "mas pôs o termo em radianos");
    case NoteKind::bracket_pi_after_digit:
      return append(report,
                    "\"pi\" logo depois de um número foi ignorado (para multiplicar, \"*pi\")");
    case NoteKind::rad_not_at_start:
      return append(report, "\"rad\" só conta no início do termo: aqui foi ignorado");
    case NoteKind::bracket_not_number:
      return append_quoted(report, "", expression, note, " não tem número nem função: lido como 0");
    case NoteKind::bracket_without_operator:
      return append(report,
                    "falta um operador logo depois do \"]\" anterior: os operadores seguintes "
                    "ligam os colchetes na ordem em que aparecem, um colchete antes");
    case NoteKind::bracket_dropped:
      return append_quoted(report, "", expression, note,
                           " ficou fora da conta: nenhum operador logo depois de um \"]\" o liga "
                           "aos colchetes anteriores");
    case NoteKind::operator_not_after_bracket:
      return append_quoted(report, "", expression, note,
                           " foi ignorado: um operador só conta logo depois do \"]\"");
    case NoteKind::bracket_number_unread:
      return append_quoted(report, "o número de ", expression, note,
                           " não foi lido: entre colchetes só se lê um número logo no início; "
                           "lido como 0");
    case NoteKind::argument_without_number:
      return append_quoted(report, "o argumento ", expression, note,
                           " não tem número: lido como 0");
    case NoteKind::zero_byte_ends_line:
      return append_quoted(report, "um byte 0 termina a linha: ", expression, note,
                           " não foi lido");
    case NoteKind::blank_before_sign:
      return append_blank_before_sign(report, expression, note);
    case NoteKind::ungrouped_parentheses:
      return append_ungrouped(report, expression, note);
    case NoteKind::second_name_joining:
      return append_quoted(report, "segundo nome de função ", expression, note,
                           ": só o primeiro conta; suas letras foram ignoradas e juntaram os "
                           "algarismos dos dois lados num só número");
    case NoteKind::line_cut:
      append(report, "mais de ");
      append_number(report, expression.length);
      return append(report, " bytes: o resto da linha foi ignorado");
    case NoteKind::capital_name:
      append_quoted(report, "", expression, note,
                    " não é nome de função: os nomes se escrevem em minúsculas (\"");
      append(report, note.name);
      return append(report, "\"); lido como 0");
    case NoteKind::control_blank:
      return append_quoted(report, "", expression, note, " foi lido como um espaço");
    case NoteKind::misplaced_degree_sign:
      return append_quoted(report, "", expression, note,
                           " foi ignorado: só tem sentido depois do argumento");
    case NoteKind::unclosed_bracket:
      return append(report, "falta o \"]\" deste \"[\": o resto da linha foi lido dentro dele");
    case NoteKind::number_too_large:
      return append_quoted(report, "", expression, note,
                           " é grande demais para um double: lido como infinito");
    case NoteKind::division_by_zero:
      return append_quoted(report, "divisão por 0 em ", expression, note,
                           ": o valor não é um número finito");
    case NoteKind::outside_domain:
      return append_quoted(report, "o argumento de ", expression, note,
                           " está fora de -1 a 1: o valor não é um número");
    case NoteKind::rad_joined_name:
      append(report, "\"rad\" só conta no início do termo: aqui juntou-se ao nome \"");
      append(report, note.name);
      append(report, "\" seguinte e fez \"rad");
      append(report, note.name);
      return append(report, "\", que não nomeia nada; lido como 0");
    case NoteKind::name_split:
      append_quoted(report, "", expression, note, " foi lido junto, como \"");
      append(report, note.name);
      return append(report, "\": o valor é o escrito");
    case NoteKind::name_split_without_argument:
      append_quoted(report, "", expression, note, " foi lido como \"");
      append(report, note.name);
      return append(report,
                    "\", mas o argumento só é lido logo depois de um nome escrito "
                    "junto: lido como 0");
    case NoteKind::not_finite:
      return append(report, "o valor não é um número finito: passou do maior que um double guarda");
    case NoteKind::quotient_without_value:
      return append_quoted(report, "divisão por 0 em ", expression, note, ": o valor não existe");
    case NoteKind::function_without_value:
      return append_no_value(report, expression, note);
    case NoteKind::pole_in_degrees:
      append_no_value(report, expression, note);
      return append(report,
                    "; o valor escrito é o da função no double do ângulo em radianos, que não "
                    "está exatamente ali");
    case NoteKind::root_without_value:
      return append_quoted(report, "a raiz quadrada de ", expression, note,
                           " não existe: o número é menor que 0");
    case NoteKind::power_without_value:
      return append_quoted(report, "a potência ", expression, note,
                           " não existe: 0 a um expoente negativo, ou um número negativo a um "
                           "expoente que não é inteiro");
    case NoteKind::natural_empty:
      return append(report, "nada para calcular");
    case NoteKind::natural_expected_operand:
      append(report, "esperava um número, \"(\", uma função ou \"√\"");
      if (note.length == 0) return append(report, " no fim da linha");
      return append_quoted(report, " em vez de ", expression, note, "");
    case NoteKind::natural_missing_argument:
      return append_quoted(report, "falta o argumento de ", expression, note,
                           ": escreva, por exemplo, \"sen 30\" ou \"sen(30)\"");
    case NoteKind::natural_missing_operator:
      return append_quoted(report, "falta um operador antes de ", expression, note,
                           ": dois números lado a lado não se multiplicam (escreva \"*\")");
    case NoteKind::natural_unclosed:
      return append_quoted(report, "este ", expression, note,
                           " não foi fechado: falta o \")\" ou \"]\" que o fecha");
    case NoteKind::natural_unopened:
      return append_quoted(report, "", expression, note, " não fecha nada: falta o seu \"(\"");
    case NoteKind::natural_mismatched:
      return append_quoted(report, "", expression, note,
                           " fecha um grupo aberto com o outro sinal (\"(\" fecha com \")\", "
                           "\"[\" com \"]\")");
    case NoteKind::natural_unknown_word:
      append_quoted(report, "", expression, note, " não é um nome conhecido");
      return append_suggestions(report, expression, note, nullptr);
    case NoteKind::natural_unexpected:
      return append_quoted(report, "", expression, note, " não tem lugar aqui");
    case NoteKind::natural_too_deep:
      return append(report,
                    "a expressão tem grupos demais, um dentro do outro, para ser lida: "
                    "o valor não foi calculado");
    case NoteKind::natural_division_of_product:
      return append_quoted(report, "", expression, note,
                           " divide pelo produto todo que segue a barra (1/2π é 1/(2π)); para "
                           "dividir só pelo primeiro fator, use parênteses: (1/2)π");
    case NoteKind::natural_power_in_argument:
      return append_quoted(report, "", expression, note,
                           " foi lido com a potência no argumento (sen30^2 é sen(30^2)); para "
                           "elevar o valor, escreva sen²30 ou sen(30)^2");
    case NoteKind::exact_too_large:
      return append_quoted(report, "", expression, note,
                           " é grande demais para o cálculo exato: o valor não foi calculado");
    case NoteKind::exact_undecided:
      append(report,
             "o valor não pode ser distinguido de 0, ou de um empate no arredondamento, "
             "além de 10^-");
      return append_number(report, note.digits);
    case NoteKind::exact_beyond_limits:
      return append(report,
                    "a linha passa de um limite interno do cálculo exato (os passos ou a pilha "
                    "do seu programa): o valor não foi calculado");
    case NoteKind::exact_out_of_memory:
      return append(report,
                    "o cálculo exato precisou de mais memória do que pode ter: o valor não foi "
                    "calculado");
    case NoteKind::exact_out_of_time:
      return append(report,
                    "o cálculo exato passou do seu limite de tempo: o valor não foi calculado");
    case NoteKind::exact_interrupted:
      return append(report, "o cálculo exato foi interrompido: o valor não foi calculado");
  }
}

// Appends "trigcalc: SOURCE:LINE:COLUMN: " for a note at `column` (1-based).
void append_place(ReportText& report, const ExpressionSource& source, long column) {
  append(report, command_name);
  append(report, ": ");
  append(report, source.standard_input ? standard_input_name : arguments_name);
  append(report, ":");
  append_number(report, source.number);
  append(report, ":");
  append_number(report, column);
  append(report, ": ");
}

// The mark under byte `at`: '^' where a note begins, '~' under a note's other bytes.
const char* caret_mark(const ReadingNotes& notes, int at) {
  const char* mark = " ";
  for (int k = 0; k < notes.count; ++k) {
    const ReadingNote& note = notes.notes[k];
    if (note.column == at) mark = "^";
    const bool within = at > note.column && at < note.column + note.length;
    if (*mark == ' ' && within) mark = "~";
  }
  return mark;
}

// Appends the expression as shown, indented, and under it a '^' at the first byte of every
// note and a '~' under its other bytes.
void append_expression_and_carets(ReportText& report, const Expression& expression,
                                  const ReadingNotes& notes) {
  constexpr char indent[] = "  ";
  append(report, indent);
  append_shown(report, expression.text, expression.length);
  append(report, "\n");
  append(report, indent);
  const auto* bytes = reinterpret_cast<const unsigned char*>(expression.text);
  for (int at = 0; at <= expression.length;) {
    char shown[shown_capacity];
    int width = 1;
    const int size = at < expression.length
                         ? shown_character(bytes + at, expression.length - at, shown, width)
                         : 1;
    const char* mark = caret_mark(notes, at);
    append(report, mark);  // a wide escape is marked on its first column, underlined after
    for (int w = 1; w < width; ++w) append(report, *mark == ' ' ? " " : "~");
    at += size;
  }
  while (report.length > 0 && report.text[report.length - 1] == ' ') --report.length;
  append(report, "\n");
}

// True when `text` begins as an argument does: a digit, a point or comma, a parenthesis, a
// minus or pi.
bool begins_an_argument(const char* text) {
  const char c = text[0];
  return (c >= '0' && c <= '9') || c == '.' || c == ',' || c == '(' || c == '-' ||
         (c == 'p' && text[1] == 'i');
}

// Appends the two expressions as shown, a blank between them.
void append_joined(ReportText& report, const Expression& first, const Expression& second) {
  append_shown(report, first.text, first.length);
  append(report, " ");
  append_shown(report, second.text, second.length);
}

// Appends, for a name given without its argument as one argument of the command line and
// its argument as the next ("trigcalc sen 30"), that each argument is one expression and how
// to give the line as one.
void append_one_expression_each(ReportText& report, const ExpressionSource& source,
                                const Expression& expression, const ReadingNotes& notes) {
  if (source.standard_input || source.next_argument == nullptr) return;
  if (!begins_an_argument(source.next_argument)) return;
  bool without_argument = false;
  for (int k = 0; k < notes.count; ++k) {
    without_argument = without_argument || notes.notes[k].kind == NoteKind::empty_argument;
  }
  if (!without_argument) return;
  const char* next = source.next_argument;
  const int next_length = static_cast<int>(std::strlen(next));
  const Expression joined = {next, shown_length(next_length)};
  append(report, "  cada argumento é uma expressão: para avaliar \"");
  append_joined(report, expression, joined);
  append(report, "\" como uma só, ponha-a entre aspas: '");
  append_joined(report, expression, joined);
  append(report, "'\n");
}

}  // namespace

bool report_notes(FILE* err, const ExpressionSource& source, const char* text, int length,
                  const ReadingNotes& notes) {
  if (notes.count == 0) return false;
  const Expression expression = {text, length};
  static ReportText report;  // 8 KiB: kept off the stack
  report.length = 0;
  append_place(report, source, column_of(text, length, notes.notes[0].column));
  append_message(report, expression, notes.notes[0]);
  append(report, "\n");
  append_expression_and_carets(report, expression, notes);
  for (int k = 1; k < notes.count; ++k) {
    append(report, "  coluna ");
    append_number(report, column_of(text, length, notes.notes[k].column));
    append(report, ": ");
    append_message(report, expression, notes.notes[k]);
    append(report, "\n");
  }
  append_one_expression_each(report, source, expression, notes);
  if (notes.dropped > 0) {
    append(report, "  e mais ");
    append_number(report, notes.dropped);
    append(report, notes.dropped == 1 ? " nota\n" : " notas\n");
  }
  std::fwrite(report.text, 1, static_cast<std::size_t>(report.length), err);
  return true;
}
