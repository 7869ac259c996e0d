// Reading answers with "%d" meaning and lines cut to the line buffer, through the buffered
// reader over a descriptor: rows placed across the buffer's refills, an interrupted wait, a
// read error and an output that fails.
#include "io/input_reader.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "line/evaluate_line.h"

namespace {

constexpr int refill_at = input_buffer_capacity;  // input offset where the second refill starts

// A temporary file holding `bytes`, positioned at its start; closed by the caller.
FILE* file_holding(const std::string& bytes) {
  FILE* file = std::tmpfile();
  if (file == nullptr) return nullptr;
  const ssize_t written = write(fileno(file), bytes.data(), bytes.size());
  EXPECT_EQ(written, static_cast<ssize_t>(bytes.size()));
  lseek(fileno(file), 0, SEEK_SET);
  return file;
}

// What the reader would read next: the bytes it holds, then the rest of its descriptor.
std::string rest_of(InputReader& reader) {
  std::string rest(reinterpret_cast<const char*>(reader.bytes) + reader.next,
                   reader.end - reader.next);
  char chunk[256];
  for (ssize_t n; (n = read(reader.descriptor, chunk, sizeof chunk)) > 0;) rest.append(chunk, n);
  return rest;
}

// `text` placed so that its first byte is at input offset `at`, after a filler line that a
// first read_line takes.
std::string placed_at(int at, const std::string& text) {
  return std::string(at - 1, 'p') + "\n" + text;
}

// Opens `reader` over a file holding `input` and, when `filler`, reads the filler line
// first; returns the file (null when it could not be made or the filler was not there).
FILE* reader_over(const std::string& input, bool filler, InputReader& reader) {
  FILE* file = file_holding(input);
  if (file == nullptr) return nullptr;
  open_input_reader(reader, fileno(file), nullptr, false);
  char line[line_capacity];
  if (filler && read_input_line(reader, line, line_capacity) < 0) {
    ADD_FAILURE() << "no filler line before " << input.substr(0, 40);
    std::fclose(file);
    return nullptr;
  }
  return file;
}

struct AnswerCase {
  std::string input;
  AnswerRead outcome;
  int answer;         // the answer after the read; it starts at 1
  const char* after;  // what discarding pending input leaves to be read next
};

// Reads an answer from `c.input`, after its filler line when `filler`, then discards the
// rest of the answer's line and checks what is left.
void check_answer(const AnswerCase& c, bool filler) {
  InputReader reader;
  FILE* file = reader_over(c.input, filler, reader);
  ASSERT_NE(file, nullptr);
  int answer = 1;
  EXPECT_EQ(read_answer(reader, answer), c.outcome) << c.input.substr(0, 40);
  EXPECT_EQ(answer, c.answer) << c.input.substr(0, 40);
  discard_pending_input(reader);
  EXPECT_EQ(rest_of(reader), c.after) << c.input.substr(0, 40);
  std::fclose(file);
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
  for (const AnswerCase& c : cases) check_answer(c, false);
}

TEST(ReadAnswer, ReadsAnswersTheRefillCutsInTwo) {
  const AnswerCase cases[] = {
      {placed_at(refill_at - 1, "10\nnext"), AnswerRead::converted, 10, "next"},
      {placed_at(refill_at - 1, "-1\nnext"), AnswerRead::converted, -1, "next"},
      {placed_at(refill_at - 2, " \n1\nnext"), AnswerRead::converted, 1, "next"},
      {placed_at(refill_at - 1, "1abc\nnext"), AnswerRead::converted, 1, "next"},
      {placed_at(refill_at - 2, "1" + std::string(200, 'x') + "\nnext"), AnswerRead::converted, 1,
       "next"},
      {placed_at(refill_at - 1, "x\nnext"), AnswerRead::nothing_converted, 1, "next"},
      {placed_at(refill_at - 1, "1"), AnswerRead::converted, 1, ""},
      {placed_at(refill_at - 1, "-"), AnswerRead::end_of_input, 1, ""},
  };
  for (const AnswerCase& c : cases) check_answer(c, true);
}

struct LineReadCase {
  std::string input;
  int length;         // the line's whole length without a final '\r'; -1 at the end of input
  std::string line;   // the line as kept
  std::string after;  // what the next read starts with
};

// Reads a line from `c.input`, after its filler line when `filler`, and checks the line
// kept and what is left.
void check_line(const LineReadCase& c, bool filler) {
  InputReader reader;
  FILE* file = reader_over(c.input, filler, reader);
  ASSERT_NE(file, nullptr);
  char line[line_capacity];
  std::memset(line, 'z', sizeof line);
  EXPECT_EQ(read_input_line(reader, line, line_capacity), c.length) << c.input.substr(0, 40);
  EXPECT_EQ(std::string(line, c.line.size()), c.line) << c.input.substr(0, 40);
  EXPECT_EQ(line[c.line.size()], '\0') << c.input.substr(0, 40);
  EXPECT_EQ(rest_of(reader), c.after) << c.input.substr(0, 40);
  std::fclose(file);
}

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
  for (const LineReadCase& c : cases) check_line(c, false);
}

// Lines the buffer's refill cuts in two: in the kept text, at the end of line, inside a
// CRLF, at the 99th byte and in the dropped rest; and an input that ends at the refill.
TEST(ReadLine, ReadsLinesTheRefillCutsInTwo) {
  const std::string a99(99, 'a');
  const LineReadCase cases[] = {
      {placed_at(refill_at - 3, "sin30\n1"), 5, "sin30", "1"},
      {placed_at(refill_at - 5, "sin30\n1"), 5, "sin30", "1"},
      {placed_at(refill_at - 6, "sin30\n1"), 5, "sin30", "1"},
      {placed_at(refill_at - 1, "\n1"), 0, "", "1"},
      {placed_at(refill_at - 6, "sin30\r\n1"), 5, "sin30\r", "1"},
      {placed_at(refill_at - 50, a99 + "\n1"), 99, a99, "1"},
      {placed_at(refill_at - 50, a99 + "b\n1"), 100, a99, "1"},
      {placed_at(refill_at - 50, a99 + std::string(5000, 'b') + "\n1"), 5099, a99, "1"},
      {placed_at(refill_at - 3, "sin30"), 5, "sin30", ""},
      {placed_at(refill_at, ""), -1, "", ""},
  };
  for (const LineReadCase& c : cases) check_line(c, true);
}

// A read error after the first refill (the descriptor made unreadable there): a line it
// cuts is no line, however much of it came; a line ended before it is read whole.
TEST(ReadLine, GivesNoLineForALineAReadErrorCuts) {
  const struct {
    std::string input;  // after the filler line; the error comes at refill_at
    int length;         // what the read after the filler returns
    std::string line;   // the line as kept
  } cases[] = {
      {placed_at(refill_at - 4, "sin601\n"), -1, ""},
      {placed_at(refill_at - 4, "sin6"), -1, ""},
      {placed_at(refill_at - 5, "sin6\n"), 4, "sin6"},
      {placed_at(refill_at, "sin601\n"), -1, ""},
  };
  for (const auto& c : cases) {
    InputReader reader;
    FILE* file = reader_over(c.input, true, reader);
    ASSERT_NE(file, nullptr);
    const int unreadable = open("/dev/null", O_WRONLY);
    ASSERT_EQ(dup2(unreadable, reader.descriptor), reader.descriptor);  // EBADF from now on
    close(unreadable);
    char line[line_capacity];
    EXPECT_EQ(read_input_line(reader, line, line_capacity), c.length)
        << c.input.substr(refill_at - 8);
    EXPECT_EQ(std::string(line), c.line) << c.input.substr(refill_at - 8);
    if (c.length >= 0) {
      EXPECT_EQ(read_input_line(reader, line, line_capacity), -1);
    }
    EXPECT_EQ(reader.error, EBADF);
    std::fclose(file);
  }
}

std::string file_text(FILE* file) {
  std::fflush(file);
  std::rewind(file);
  std::string text;
  for (int c = std::getc(file); c != EOF; c = std::getc(file)) text += static_cast<char>(c);
  return text;
}

// Output is written out just before the reader waits for more input, and not while the
// bytes it holds last: with two lines in one refill, the second read flushes nothing.
TEST(InputReader, FlushesOutputOnlyBeforeItWaits) {
  FILE* in = file_holding("sin30\ncos60\n");
  FILE* out = std::tmpfile();
  ASSERT_NE(in, nullptr);
  ASSERT_NE(out, nullptr);
  static OutputBuffer output;
  open_output_buffer(output, fileno(out));
  InputReader reader;
  open_input_reader(reader, fileno(in), &output, false);
  char line[line_capacity];
  put_text(output, "first");
  ASSERT_GE(read_input_line(reader, line, line_capacity), 0);
  put_text(output, "second");
  ASSERT_GE(read_input_line(reader, line, line_capacity), 0);
  EXPECT_EQ(lseek(fileno(out), 0, SEEK_END), 5) << "only the text before the first wait";
  put_text(output, "third");
  EXPECT_EQ(read_input_line(reader, line, line_capacity), -1);
  EXPECT_EQ(lseek(fileno(out), 0, SEEK_END), 16) << "all the text before the wait at the end";
  EXPECT_EQ(file_text(out), "firstsecondthird");
  std::fclose(in);
  std::fclose(out);
}

// Output that cannot be written ends the reading at the next wait: the reader never waits
// for input whose values could go nowhere (here a pipe kept open, so a wait would be forever).
TEST(InputReader, ReadsNothingMoreOnceTheOutputFails) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  ASSERT_EQ(write(ends[1], "sin30\n", 6), 6);
  const int full = open("/dev/full", O_WRONLY);
  ASSERT_GE(full, 0) << "no /dev/full";
  static OutputBuffer output;
  open_output_buffer(output, full);
  InputReader reader;
  open_input_reader(reader, ends[0], &output, false);
  char line[line_capacity];
  ASSERT_EQ(read_input_line(reader, line, line_capacity), 5);
  put_text(output, "0.5\n");
  alarm(20);  // a wait for the next line ends the test rather than hanging it
  EXPECT_EQ(read_input_line(reader, line, line_capacity), -1);
  alarm(0);
  EXPECT_EQ(output.error, ENOSPC);
  EXPECT_EQ(reader.error, 0) << "the input did not fail";
  close(full);
  close(ends[0]);
  close(ends[1]);
}

// Whether the cursor still stands after typed text when the input ends (text, then Ctrl-D):
// the last bytes received decide, and the end of the input, which brings none, changes nothing.
TEST(InputReader, TellsWhetherTheLastTypedLineWasUnended) {
  const struct {
    const char* input;
    bool terminal;
    bool unended;
  } cases[] = {
      {"abc", true, true},      {"abc\n", true, false},     {"", true, false},
      {"1\nsin30", true, true}, {"sin30\n\n", true, false}, {"abc", false, false},
  };
  for (const auto& c : cases) {
    FILE* in = file_holding(c.input);
    ASSERT_NE(in, nullptr);
    InputReader reader;
    open_input_reader(reader, fileno(in), nullptr, c.terminal);
    char line[line_capacity];
    while (read_input_line(reader, line, line_capacity) >= 0) {
    }
    EXPECT_EQ(typed_line_unended(reader), c.unended) << c.input;
    std::fclose(in);
  }
}

// At a terminal, discarding also drops what the reader holds beyond the answer's line.
TEST(InputReader, AtATerminalDropsWhatItHolds) {
  FILE* in = file_holding("1\ntyped ahead\nsin30\n");
  ASSERT_NE(in, nullptr);
  InputReader reader;
  open_input_reader(reader, fileno(in), nullptr, true);
  int answer = 0;
  EXPECT_EQ(read_answer(reader, answer), AnswerRead::converted);
  discard_pending_input(reader);
  EXPECT_EQ(rest_of(reader), "");
  std::fclose(in);
}

volatile std::sig_atomic_t interruptions = 0;

extern "C" void count_interruption(int) {
  interruptions = interruptions + 1;
}

// A signal that arrives while the reader waits interrupts read(2) with EINTR (the handler
// is installed without SA_RESTART); the reader waits again and gets the line written later.
TEST(InputReader, RetriesAWaitASignalInterrupts) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  struct sigaction action = {};
  struct sigaction previous = {};
  action.sa_handler = count_interruption;
  sigemptyset(&action.sa_mask);
  ASSERT_EQ(sigaction(SIGUSR1, &action, &previous), 0);
  const pthread_t waiting = pthread_self();
  interruptions = 0;
  std::thread writer([&] {
    usleep(200000);  // the reader is waiting in read(2) by now
    pthread_kill(waiting, SIGUSR1);
    usleep(100000);
    EXPECT_EQ(write(ends[1], "sin30\n", 6), 6);
    close(ends[1]);
  });
  InputReader reader;
  open_input_reader(reader, ends[0], nullptr, false);
  char line[line_capacity];
  EXPECT_EQ(read_input_line(reader, line, line_capacity), 5);
  writer.join();
  EXPECT_STREQ(line, "sin30");
  EXPECT_EQ(interruptions, 1);
  sigaction(SIGUSR1, &previous, nullptr);
  close(ends[0]);
}

}  // namespace
