#include "io/diagnostics.h"

#include <cstdio>
#include <cstring>

#include "io/text_form.h"

void report_read_error(int error) {
  print_our_text(stderr, "%s: %s: erro de leitura: %s\n", command_name, standard_input_name,
                 std::strerror(error));
}

void report_write_error(int error) {
  print_our_text(stderr, "%s: erro de escrita na saída padrão: %s\n", command_name,
                 std::strerror(error));
}
