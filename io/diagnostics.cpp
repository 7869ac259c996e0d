#include "io/diagnostics.h"

#include <cstdio>
#include <cstring>

#include "io/text_form.h"
#include "text/messages.h"

void report_read_error(int error) {
  print_our_text(stderr, words::read_error, command_name, standard_input_name,
                 std::strerror(error));
}

void report_write_error(int error) {
  print_our_text(stderr, words::write_error, command_name, std::strerror(error));
}
