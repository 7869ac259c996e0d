#include "io/diagnostics.h"

#include <cstdio>
#include <cstring>

void report_read_error(int error) {
  std::fprintf(stderr, "%s: %s: erro de leitura: %s\n", program_name, standard_input_name,
               std::strerror(error));
}

void report_write_error(int error) {
  std::fprintf(stderr, "%s: erro de escrita na saida padrao: %s\n", program_name,
               std::strerror(error));
}
