#include "term/term_text.h"

#include <cstring>

// memchr stops at the first zero byte, so it never reads past the source's terminator.
void copy_text(char* target, int capacity, const char* source) {
  if (capacity <= 0) return;
  const void* end = std::memchr(source, '\0', static_cast<std::size_t>(capacity - 1));
  const std::size_t length = end == nullptr ? static_cast<std::size_t>(capacity - 1)
                                            : static_cast<const char*>(end) - source;
  std::memmove(target, source, length);
  target[length] = '\0';
}
