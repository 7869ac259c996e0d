// Reading answers with "%d" meaning and lines cut to the line buffer, from memory streams.
#include "dialogue/console_input.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

struct AnswerCase {
  const char* input;
  AnswerRead outcome;
  int answer;         // the answer after the read; it starts at 1
  const char* after;  // what discarding pending input leaves to be read next
};

std::string rest_of(FILE* stream) {
  std::string rest;
  for (int c = std::getc(stream); c != EOF; c = std::getc(stream)) rest += static_cast<char>(c);
  return rest;
}

TEST(ReadAnswer, BehavesLikePercentD) {
  const AnswerCase cases[] = {
      {"1\nnext", AnswerRead::converted, 1, "next"},
      {" 1\nnext", AnswerRead::converted, 1, "next"},
      {"+1\nnext", AnswerRead::converted, 1, "next"},
      {"01\nnext", AnswerRead::converted, 1, "next"},
      {"1abc\nnext", AnswerRead::converted, 1, "next"},
      {"1.5\nnext", AnswerRead::converted, 1, "next"},
      {"\n\n  1\nnext", AnswerRead::converted, 1, "next"},
      {"0\nnext", AnswerRead::converted, 0, "next"},
      {"-1\nnext", AnswerRead::converted, -1, "next"},
      {"2\nnext", AnswerRead::converted, 2, "next"},
      {"abc\nnext", AnswerRead::nothing_converted, 1, "next"},
      {"4294967297\nnext", AnswerRead::converted, 2147483647, "next"},
      {"-4294967295\nnext", AnswerRead::converted, -2147483647 - 1, "next"},
      {"99999999999999999999\nnext", AnswerRead::converted, 2147483647, "next"},
      {"-2147483648\nnext", AnswerRead::converted, -2147483647 - 1, "next"},
      {"1\r\nnext", AnswerRead::converted, 1, "next"},
      {"1", AnswerRead::converted, 1, ""},
      {"", AnswerRead::end_of_input, 1, ""},
      {" \n\n ", AnswerRead::end_of_input, 1, ""},
      {"-", AnswerRead::end_of_input, 1, ""},
  };
  for (const AnswerCase& c : cases) {
    char buffer[64];
    std::strcpy(buffer, c.input);
    FILE* stream = fmemopen(buffer, std::strlen(buffer), "r");
    ASSERT_NE(stream, nullptr);
    ConsoleInput input = {stream, false};
    int answer = 1;
    EXPECT_EQ(read_answer(input, answer), c.outcome) << c.input;
    EXPECT_EQ(answer, c.answer) << c.input;
    discard_pending_input(input, stdout);
    EXPECT_EQ(rest_of(stream), c.after) << c.input;
    std::fclose(stream);
  }
}

struct LineReadCase {
  std::string input;
  int length;         // the line's whole length without a final '\r'; -1 at the end of input
  std::string line;   // the line as kept
  std::string after;  // what the next read starts with
};

TEST(ReadLine, KeepsTheFirst99BytesAndDropsTheRest) {
  const LineReadCase cases[] = {
      {"sin30\n1\n", 5, "sin30", "1\n"},
      {"sin30", 5, "sin30", ""},
      {"\n1\n", 0, "", "1\n"},
      {"", -1, "", ""},
      {std::string(99, 'a') + "\n1", 99, std::string(99, 'a'), "1"},
      {std::string(100, 'b') + "\n1", 100, std::string(99, 'b'), "1"},
      {std::string(101, 'c') + "0\n1", 102, std::string(99, 'c'), "1"},
      {std::string("si\0n30\n", 7), 6, std::string("si\0n30", 6), ""},
      {"sin30\r\n", 5, "sin30\r", ""},
      {"sin30\r", 5, "sin30\r", ""},
      {"\r\n1", 0, "\r", "1"},
      {std::string(99, 'd') + "\r\n", 99, std::string(99, 'd'), ""},
  };
  for (const LineReadCase& c : cases) {
    char buffer[256] = {};
    std::memcpy(buffer, c.input.data(), c.input.size());
    FILE* stream = fmemopen(buffer, c.input.size() == 0 ? 1 : c.input.size(), "r");
    ASSERT_NE(stream, nullptr);
    if (c.input.empty()) std::getc(stream);  // an empty memory stream: consume the one byte
    ConsoleInput input = {stream, true};
    char line[line_capacity];
    std::memset(line, 'z', sizeof line);
    EXPECT_EQ(read_line(input, line), c.length) << c.input;
    EXPECT_EQ(std::string(line, c.line.size()), c.line) << c.input;
    EXPECT_EQ(line[c.line.size()], '\0') << c.input;
    EXPECT_EQ(rest_of(stream), c.after) << c.input;
    std::fclose(stream);
  }
}

}  // namespace
