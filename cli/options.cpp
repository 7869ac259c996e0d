#include "cli/options.h"

#include <getopt.h>

#include <cstring>

#include "io/diagnostics.h"
#include "io/text_form.h"
#include "line/exact_line.h"
#include "line/result_text.h"

namespace {

// '+': options stop at the first expression, so that "trigcalc sin30 -2sin30" evaluates
// both; ':': a missing value is told apart from an unknown option, and getopt_long writes no
// diagnostic of its own (the program's are in its language, below).
constexpr char short_options[] = "+:d:efhnV";

constexpr option long_options[] = {
    {"digits", required_argument, nullptr, 'd'},
    {"exact", no_argument, nullptr, 'e'},
    {"form", optional_argument, nullptr, 'f'},
    {"help", no_argument, nullptr, 'h'},
    {"natural", no_argument, nullptr, 'n'},
    {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
};

constexpr char usage_text[] =
    "Uso: trigcalc [-d N] [-e] [-f] [-n] [EXPRESSÃO...]\n"
    "Calculadora de expressões trigonométricas.\n"
    "\n"
    "Sem expressões, abre o diálogo interativo.\n"
    "Com expressões, avalia cada uma como uma linha do diálogo e escreve só o valor,\n"
    "uma linha por expressão; \"-\" avalia cada linha da entrada padrão. Num terminal,\n"
    "\"-\" abre um laço: \"> \" pede cada expressão, com edição, histórico e Tab;\n"
    "Ctrl-C descarta a linha, Ctrl-D numa linha vazia termina.\n"
    "\n"
    "Opções:\n"
    "  -d, --digits=N   algarismos significativos de cada valor, de 1 a 17 (padrão: 6);\n"
    "                   com --exact, de 1 a 1000\n"
    "  -e, --exact      calcula cada valor exatamente e o escreve corretamente\n"
    "                   arredondado; \"nan\" onde o valor não existe\n"
    "  -f, --form[=only]\n"
    "                   escreve antes de cada valor a sua forma exata quando há uma\n"
    "                   curta: \"sin60\" dá \"√3/2 ≈ 0.866025\" (sqrt(3)/2 fora de um\n"
    "                   locale UTF-8); =only escreve só a forma; implica --exact\n"
    "  -h, --help       mostra esta ajuda e termina\n"
    "  -n, --natural    lê cada linha como aritmética comum, como nos livros:\n"
    "                   \"sen(30)*2\" é 1, \"2sen30cos30\" é sen 60, \"raiz 2\", \"sen^2 30\"\n"
    "  -V, --version    mostra a versão e termina\n"
    "  --               termina as opções (para uma expressão que começa com \"-\")\n"
    "\n"
    "Exemplos:\n"
    "  trigcalc sin30 \"[sin30]+[2]*[cos60]\"\n"
    "  seq 0 15 90 | sed 's/^/sin/' | trigcalc -\n"
    "\n"
    "Estado de saída: 0 se tudo foi lido como escrito; 1 se alguma expressão foi lida\n"
    "de outro modo (dito na saída de erro) ou se a leitura ou a escrita falhou;\n"
    "2 se as opções estão erradas.\n";

// A whole number from min_digits to max_exact_digits, written with digits only (whether it may
// pass max_digits depends on --exact, which may come after it).
bool read_digit_count(const char* text, int& digits) {
  int value = 0;
  int length = 0;
  for (; text[length] >= '0' && text[length] <= '9'; ++length) {
    if (value <= max_exact_digits) value = value * 10 + (text[length] - '0');
  }
  if (length == 0 || text[length] != '\0' || value < min_digits || value > max_exact_digits) {
    return false;
  }
  digits = value;
  return true;
}

// True when `word` ("--name" or "--name=value") names the long option whose code is `code`.
bool names_long_option(const char* word, int code) {
  for (const option& entry : long_options) {
    if (entry.name == nullptr || entry.val != code) continue;
    const std::size_t length = std::strlen(entry.name);
    return std::strncmp(word + 2, entry.name, length) == 0 &&
           (word[2 + length] == '\0' || word[2 + length] == '=');
  }
  return false;
}

// The word getopt_long stopped at, when it is a long option: "--name", without a value.
const char* offending_long_option(char** argv) {
  const char* word = argv[optind - 1];
  const bool long_form = word[0] == '-' && word[1] == '-';
  return long_form && (optopt == 0 || names_long_option(word, optopt)) ? word : nullptr;
}

// Names the option getopt_long stopped at as the user typed it: "--name" or "-x".
void name_offending_option(const char* long_word, FILE* err) {
  if (long_word != nullptr) {
    std::fwrite(long_word, 1, std::strcspn(long_word, "="), err);
  } else {
    std::fprintf(err, "-%c", optopt);
  }
}

// One diagnostic for an option getopt_long refused: `code` is ':' for a missing value.
void report_refused_option(char** argv, int code, FILE* err) {
  const char* long_word = offending_long_option(argv);
  std::fprintf(err, "%s: ", command_name);
  if (code == ':') {
    put_our_text(err, "a opção ");
    name_offending_option(long_word, err);
    put_our_text(err, " precisa de um valor\n");
  } else if (long_word != nullptr && optopt != 0) {  // "--help=1": a value it does not take
    put_our_text(err, "a opção ");
    name_offending_option(long_word, err);
    put_our_text(err, " não aceita valor\n");
  } else {
    put_our_text(err, "opção desconhecida: ");
    name_offending_option(long_word, err);
    std::fputc('\n', err);
  }
}

// Reads --form's value: none (the form beside the digits), "beside" or "only".
bool read_form_shown(const char* text, FormShown& form) {
  if (text == nullptr || std::strcmp(text, "beside") == 0) {
    form = FormShown::beside;
  } else if (std::strcmp(text, "only") == 0) {
    form = FormShown::only;
  } else {
    return false;
  }
  return true;
}

// Says why `option` is not available: what became of the exact mode's module.
void report_unavailable(const char* option, FILE* err) {
  const ModuleState& state = exact_module_state();
  print_our_text(err, "%s: %s não está disponível: ", command_name, option);
  switch (state.problem) {
    case ModuleProblem::none:
    case ModuleProblem::not_built:
      print_our_text(err, "esta versão foi feita sem Arb e Calcium\n");
      return;
    case ModuleProblem::no_directory:
      print_our_text(
          err, "o diretório do programa, onde o módulo é procurado, não foi achado (%s: %s)\n",
          state.where, state.detail);
      return;
    case ModuleProblem::not_found:
      print_our_text(err, "o módulo %s não foi achado a partir de %s\n", state.detail, state.where);
      return;
    case ModuleProblem::not_loaded:
      print_our_text(err, "o módulo %s não pôde ser carregado: %s\n", state.where, state.detail);
      return;
    case ModuleProblem::other_version:
      print_our_text(err,
                     "o módulo %s foi feito com outra versão do programa (versão/revisão: %s)\n",
                     state.where, state.detail);
      return;
    case ModuleProblem::no_entry:
      print_our_text(err, "o módulo %s não tem a entrada %s\n", state.where, state.detail);
      return;
  }
}

bool bad_usage(FILE* err) {
  print_our_text(err, "Experimente \"%s --help\" para mais informação.\n", command_name);
  return false;
}

// Reports a --digits value out of the range the arithmetic asked for allows.
bool bad_digits(const char* text, FILE* err) {
  print_our_text(err,
                 "%s: valor inválido para --digits: \"%s\" (um número inteiro de %d a %d; "
                 "com --exact, de %d a %d)\n",
                 command_name, text, min_digits, max_digits, min_digits, max_exact_digits);
  return bad_usage(err);
}

// Reports a --form value other than "beside" and "only".
bool bad_form(const char* text, FILE* err) {
  print_our_text(err, "%s: valor inválido para --form: \"%s\" (only ou beside)\n", command_name,
                 text);
  return bad_usage(err);
}

}  // namespace

bool parse_options(int argc, char** argv, Options& options, FILE* err) {
  options = {RunMode::dialogue, default_result_digits, false, false, FormShown::none, argc};
  const char* digits_text = "";
  optind = 0;  // 0 starts a fresh scan, also when the options are read a second time
  for (int option;
       (option = getopt_long(argc, argv, short_options, long_options, nullptr)) != -1;) {
    if (option == 'h' || option == 'V') {
      if (options.mode == RunMode::dialogue)
        options.mode = option == 'h' ? RunMode::help : RunMode::version;
    } else if (option == 'd') {
      digits_text = optarg;
      if (!read_digit_count(optarg, options.digits)) return bad_digits(optarg, err);
    } else if (option == 'e') {
      options.exact = true;
    } else if (option == 'n') {
      options.natural = true;
    } else if (option == 'f') {
      if (!read_form_shown(optarg, options.form)) return bad_form(optarg, err);
      options.exact = true;  // a form is the exact value's
    } else {
      report_refused_option(argv, option, err);
      return bad_usage(err);
    }
  }
  if (options.digits > max_digits && !options.exact) return bad_digits(digits_text, err);
  if (options.exact && !exact_mode_available()) {
    report_unavailable(options.form != FormShown::none ? "--form" : "--exact", err);
    return bad_usage(err);
  }
  options.first_operand = optind;
  if (options.mode == RunMode::dialogue && optind < argc) options.mode = RunMode::expressions;
  return true;
}

void write_usage(OutputBuffer& output) {
  put_our_text(output, usage_text);
}

void write_version(OutputBuffer& output) {
  put_text(output, command_name);
  put_text(output, " " TRIGCALC_VERSION "\n");
}
