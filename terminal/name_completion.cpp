#include "terminal/name_completion.h"

#include <cstring>

namespace {

bool is_letter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// True when `name` begins with the `length` bytes at `word`.
bool begins_with(const char* name, const char* word, int length) {
  for (int i = 0; i < length; ++i) {
    if (name[i] != word[i]) return false;
  }
  return true;
}

// Lists in `completion` the words that begin with the `length` bytes at `word`, as many as
// the candidate list holds.
void collect_candidates(const char* word, int length, const CompletionWords& words,
                        NameCompletion& completion) {
  completion.candidate_count = 0;
  for (int i = 0; i < words.word_count; ++i) {
    if (completion.candidate_count == completion_candidate_capacity) return;
    if (begins_with(words.words[i], word, length)) {
      completion.candidates[completion.candidate_count++] = words.words[i];
    }
  }
}

// Puts into `completion.insertion` what all candidates share after their first `length`
// bytes.
void share_insertion(int length, NameCompletion& completion) {
  const char* first = completion.candidates[0];
  int shared = 0;
  for (;; ++shared) {
    const char c = first[length + shared];
    bool all_have_it = c != '\0' && shared < completion_text_capacity - 1;
    for (int i = 1; all_have_it && i < completion.candidate_count; ++i) {
      all_have_it = completion.candidates[i][length + shared] == c;
    }
    if (!all_have_it) break;
    completion.insertion[shared] = c;
  }
  completion.insertion[shared] = '\0';
}

// Length of the leading run that begins the `length` bytes at `word` and leaves some letters
// after it; 0 when there is none.
int leading_length(const char* word, int length, const CompletionWords& words) {
  for (int i = 0; i < words.leading_count; ++i) {
    const char* leading = words.leading[i];
    const int size = static_cast<int>(std::strlen(leading));
    if (size < length && begins_with(word, leading, size)) return size;
  }
  return 0;
}

}  // namespace

void complete_name(const char* text, int cursor, const CompletionWords& words,
                   NameCompletion& completion) {
  completion.insertion[0] = '\0';
  completion.candidate_count = 0;
  int start = cursor;
  while (start > 0 && is_letter(text[start - 1])) --start;
  for (int skip = 1; start < cursor && skip > 0; start += skip) {
    collect_candidates(text + start, cursor - start, words, completion);
    if (completion.candidate_count > 0) {
      share_insertion(cursor - start, completion);
      return;
    }
    skip = leading_length(text + start, cursor - start, words);
  }
}
