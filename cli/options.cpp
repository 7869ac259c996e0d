#include "cli/options.h"

#include <getopt.h>

#include <cstring>

#include "io/diagnostics.h"
#include "io/text_form.h"
#include "line/result_text.h"
#include "text/messages.h"

namespace {

// '+': options stop at the first expression, so that "trigcalc sin30 -2sin30" evaluates
// both; ':': a missing value is told apart from an unknown option, and getopt_long writes no
// diagnostic of its own (the program's are in its language, below).
constexpr char short_options[] = "+:d:efghntV";

constexpr option long_options[] = {
    {"digits", required_argument, nullptr, 'd'},
    {"exact", no_argument, nullptr, 'e'},
    {"form", optional_argument, nullptr, 'f'},
    {"graph", optional_argument, nullptr, 'g'},
    {"help", no_argument, nullptr, 'h'},
    {"natural", no_argument, nullptr, 'n'},
    {"table", no_argument, nullptr, 't'},
    {"version", no_argument, nullptr, 'V'},
    {nullptr, 0, nullptr, 0},
};

// The values --form takes.
constexpr char form_beside[] = "beside";
constexpr char form_only[] = "only";

// Bytes of the usage text with its numbers written in: its words and a few digits more.
constexpr int usage_capacity = 3072;
static_assert(sizeof words::usage + 16 <= usage_capacity, "usage_capacity holds the usage text");

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

// One diagnostic for an option getopt_long refused, named as the user typed it ("--name",
// without a value, or "-x"): `code` is ':' for a missing value.
void report_refused_option(char** argv, int code, FILE* err) {
  const char* long_word = offending_long_option(argv);
  const char short_word[] = {'-', static_cast<char>(optopt), '\0'};
  const char* word = long_word != nullptr ? long_word : short_word;
  const int length = static_cast<int>(std::strcspn(word, "="));
  if (code == ':') {
    print_our_text(err, words::option_needs_value, command_name, length, word);
  } else if (long_word != nullptr && optopt != 0) {  // "--help=1": a value it does not take
    print_our_text(err, words::option_takes_no_value, command_name, length, word);
  } else {
    print_our_text(err, words::unknown_option, command_name, length, word);
  }
}

// Reads --form's value: none (the form beside the digits), "beside" or "only".
bool read_form_shown(const char* text, FormShown& form) {
  if (text == nullptr || std::strcmp(text, form_beside) == 0) {
    form = FormShown::beside;
  } else if (std::strcmp(text, form_only) == 0) {
    form = FormShown::only;
  } else {
    return false;
  }
  return true;
}

// The value --graph takes.
constexpr char graph_svg[] = "svg";

// Reads --graph's value: none (braille cells at a terminal) or "svg".
bool read_graph_kind(const char* text, PictureKind& picture) {
  if (text != nullptr && std::strcmp(text, graph_svg) != 0) return false;
  picture = text == nullptr ? PictureKind::graph : PictureKind::svg;
  return true;
}

bool bad_usage(FILE* err) {
  print_our_text(err, words::try_help, command_name);
  return false;
}

// Reports a --digits value out of the range the arithmetic asked for allows.
bool bad_digits(const char* text, FILE* err) {
  print_our_text(err, words::invalid_digits, command_name, text, min_digits, max_digits, min_digits,
                 max_exact_digits);
  return bad_usage(err);
}

// Reports a --graph value other than "svg".
bool bad_graph(const char* text, FILE* err) {
  print_our_text(err, words::invalid_graph, command_name, text, graph_svg);
  return bad_usage(err);
}

// Reports a --form value other than "beside" and "only".
bool bad_form(const char* text, FILE* err) {
  print_our_text(err, words::invalid_form, command_name, text, form_only, form_beside);
  return bad_usage(err);
}

}  // namespace

bool parse_options(int argc, char** argv, Options& options, FILE* err) {
  options = {RunMode::dialogue, default_result_digits, false, false,
             FormShown::none,   PictureKind::none,     argc};
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
    } else if (option == 'g') {
      if (!read_graph_kind(optarg, options.picture)) return bad_graph(optarg, err);
      options.natural = true;  // a graph is of a line in x, which the natural reading reads
    } else if (option == 't') {
      options.picture = PictureKind::table;
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
  options.first_operand = optind;
  if (options.mode == RunMode::dialogue && optind < argc) options.mode = RunMode::expressions;
  return true;
}

// The digits' range, its default and the exact mode's range are written from their constants.
void write_usage(OutputBuffer& output) {
  char usage[usage_capacity];
  std::snprintf(usage, sizeof usage, words::usage, min_digits, max_digits, default_result_digits,
                min_digits, max_exact_digits);
  put_our_text(output, usage);
}

void write_version(OutputBuffer& output) {
  put_text(output, command_name);
  put_text(output, " " TRIGCALC_VERSION "\n");
}
