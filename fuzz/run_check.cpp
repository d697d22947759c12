// SPDX-License-Identifier: MIT
#include "run_check.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <sstream>
#include <system_error>
#include <vector>

#include "control/input_reader.h"
#include "state/puzzle_state.h"
#include "support/run_in_memory.h"
#include "techniques/pass_build.h"

namespace tarvik::fuzz {
namespace {

constexpr std::string_view kEchoStart = "\n Search Sequence\n";
constexpr std::array<std::string_view, 3> kBannerLines = {
    "Sudoku puzzle definition input:   Sudin.txt",
    "Sudoku puzzle solver program:     Tarvik.exe",
    "Sudoku puzzle solution output:    Sudout.txt",
};
constexpr std::string_view kSolved = "Puzzle Solved ";
constexpr std::size_t kThreadedBatchBytes = 1024;
constexpr std::array<std::string_view, 4> kOutcomes = {
    kSolved,
    "Puzzle not solved in maximum number of steps",
    " No guesses possible.   Error in puzzle definition.   No solution",
    "Puzzle not solved  -  no further guesses possible",
};

using Rows = std::array<std::array<int, 9>, 9>;

using testing::KeptFailingSink;
using testing::MemoryFiles;
using testing::RunClassic;
using Result = testing::RunResult;

MemoryFiles FilesWith(std::string_view input) {
  MemoryFiles files;
  files.files["Sudin.txt"] = std::string(input);
  return files;
}

// While it lives, the technique passes run in their baseline build, not the processor's best.
class BaselinePasses {
 public:
  BaselinePasses() { SelectPassBuild(PassBuild::kBaseline); }
  ~BaselinePasses() { SelectPassBuild(PassBuild::kBest); }
  BaselinePasses(const BaselinePasses&) = delete;
  BaselinePasses& operator=(const BaselinePasses&) = delete;
};

std::string StatusText(ExitStatus status) { return std::to_string(static_cast<int>(status)); }

// The lines of `text`, which ends in a line feed, without their line feeds.
std::vector<std::string_view> Lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t end = text.find('\n'); end != std::string_view::npos;
       end = text.find('\n', start)) {
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

bool PrintableLines(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return c == '\n' || (c >= 0x20 && c < 0x7F); });
}

// A grid line: nine cells 0 to 9, each right-justified in three characters.
bool ParseGridRow(std::string_view line, std::array<int, 9>& row) {
  if (line.size() != 27) return false;
  for (std::size_t k = 0; k < 9; ++k) {
    const char c = line[3 * k + 2];
    if (line[3 * k] != ' ' || line[3 * k + 1] != ' ' || c < '0' || c > '9') return false;
    row[k] = c - '0';
  }
  return true;
}

std::string GridRowText(const std::array<int, 9>& row) {
  std::string line;
  for (const int v : row) line += "  " + std::to_string(v);
  return line;
}

std::string PaddedTo(int value, std::size_t width) {
  std::string digits = std::to_string(value);
  return std::string(width > digits.size() ? width - digits.size() : 0, ' ') + digits;
}

// No value twice in a row, a column or a box.
std::optional<std::string> RepeatIn(const Rows& g) {
  for (int a = 0; a < 81; ++a) {
    for (int b = a + 1; b < 81; ++b) {
      const int ra = a / 9, ca = a % 9, rb = b / 9, cb = b % 9;
      const int va = g[static_cast<std::size_t>(ra)][static_cast<std::size_t>(ca)];
      const int vb = g[static_cast<std::size_t>(rb)][static_cast<std::size_t>(cb)];
      if (va == 0 || va != vb) continue;
      const bool sameBox = ra / 3 == rb / 3 && ca / 3 == cb / 3;
      if (ra == rb || ca == cb || sameBox) {
        return "value " + std::to_string(va) + " twice in a unit of the final grid, at row " +
               std::to_string(ra + 1) + " column " + std::to_string(ca + 1) + " and row " +
               std::to_string(rb + 1) + " column " + std::to_string(cb + 1);
      }
    }
  }
  return std::nullopt;
}

// The search-sequence echo: lines " Search Sequence", empty lines and lines of one to ten codes,
// which together are the sequence of the input.
std::optional<std::string> CheckEcho(std::string_view echo, const PuzzleState& st) {
  if (!echo.starts_with(kEchoStart)) return "the file copy does not begin with the echo";
  if (!echo.ends_with('\n')) return "the echo does not end with a line feed";
  std::vector<int> codes;
  for (const std::string_view line : Lines(echo)) {
    if (line.empty() || line == " Search Sequence") continue;
    if (line.size() % 3 != 0 || line.size() > 30) return "an echo line of the wrong length";
    for (std::size_t k = 0; k < line.size(); k += 3) {
      if (line[k] != ' ' || line[k + 1] != ' ' || line[k + 2] < '1' || line[k + 2] > '4') {
        return "an echo line that is not a row of codes: \"" + std::string(line) + "\"";
      }
      codes.push_back(line[k + 2] - '0');
    }
  }
  std::vector<int> expected;
  for (int k = 1; k <= st.NSTEPS; ++k) expected.push_back(st.SEQ(k));
  if (codes != expected) return "the echo does not hold the search sequence";
  return std::nullopt;
}

std::optional<std::string> CheckAcceptedReport(const Result& r, const PuzzleState& st) {
  if (!r.errors.empty()) return "status 0 with a message: " + r.errors;
  if (!r.fileOpened) return "status 0 without Sudout.txt";
  const std::string& console = r.console;
  if (console.empty() || !console.ends_with('\n')) return "the report does not end a line";
  if (!PrintableLines(console) || !PrintableLines(r.file)) return "a byte outside printable ASCII";
  const std::vector<std::string_view> lines = Lines(console);
  const std::size_t n = lines.size();
  if (n < 14) return "the report is too short to end with the final grid and the file lines";

  // The end: the outcome line, the final grid, an empty line, the three file lines.
  for (std::size_t k = 0; k < 3; ++k) {
    if (lines[n - 3 + k] != kBannerLines[k]) {
      return "file line " + std::to_string(k + 1) + " is \"" + std::string(lines[n - 3 + k]) + "\"";
    }
  }
  if (!lines[n - 4].empty()) return "no empty line before the file lines";
  Rows final{};
  for (std::size_t k = 0; k < 9; ++k) {
    if (!ParseGridRow(lines[n - 13 + k], final[k])) {
      return "final grid row " + std::to_string(k + 1) + " is \"" + std::string(lines[n - 13 + k]) +
             "\"";
    }
  }
  const std::string_view outcome = lines[n - 14];
  if (std::find(kOutcomes.begin(), kOutcomes.end(), outcome) == kOutcomes.end()) {
    return "the line above the final grid is \"" + std::string(outcome) + "\", not an outcome";
  }
  const auto outcomes = std::count_if(lines.begin(), lines.end(), [](std::string_view line) {
    return std::find(kOutcomes.begin(), kOutcomes.end(), line) != kOutcomes.end();
  });
  if (outcomes != 1) return std::to_string(outcomes) + " outcome lines";

  // The start: the first attempt's start line with the number of empty cells, and the start grid.
  Rows start{};
  int empty = 0;
  for (int i = 1; i <= 9; ++i) {
    for (int j = 1; j <= 9; ++j) {
      start[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)] = st.SSTART(i, j);
      if (st.SSTART(i, j) == 0) ++empty;
    }
  }
  const auto first = std::find_if(lines.begin(), lines.end(), [](std::string_view line) {
    return line.starts_with("Puzzle Start");
  });
  if (first == lines.end()) return "no \"Puzzle Start\" line";
  if (*first != "Puzzle Start" + PaddedTo(empty, 6) + " Unknowns") {
    return "the start line is \"" + std::string(*first) + "\" for " + std::to_string(empty) +
           " empty cells";
  }
  if (lines.end() - first < 10) return "no start grid";
  for (std::size_t k = 0; k < 9; ++k) {
    if (first[static_cast<std::ptrdiff_t>(k) + 1] != GridRowText(start[k])) {
      return "start grid row " + std::to_string(k + 1) + " is \"" +
             std::string(first[static_cast<std::ptrdiff_t>(k) + 1]) + "\"";
    }
  }

  // The final grid keeps the givens, repeats nothing, and is full exactly when solved.
  bool full = true;
  for (std::size_t i = 0; i < 9; ++i) {
    for (std::size_t j = 0; j < 9; ++j) {
      if (start[i][j] != 0 && final[i][j] != start[i][j]) {
        return "the final grid changed the given at row " + std::to_string(i + 1) + " column " +
               std::to_string(j + 1);
      }
      if (final[i][j] == 0) full = false;
    }
  }
  if (auto repeat = RepeatIn(final)) return repeat;
  if (full != (outcome == kSolved)) {
    return "outcome \"" + std::string(outcome) + "\" with a " + (full ? "full" : "partial") +
           " final grid";
  }

  // The file copy: the console copy, after the echo from print level 3 on.
  if (st.IPRINT >= 3) {
    if (r.file.size() <= console.size() || !r.file.ends_with(console)) {
      return "the file copy is not the echo followed by the console copy";
    }
    return CheckEcho(std::string_view(r.file).substr(0, r.file.size() - console.size()), st);
  }
  if (r.file != console) return "the file copy differs from the console copy";
  return std::nullopt;
}

// What a refused input leaves: one message line, nothing else anywhere.
std::optional<std::string> CheckRefusal(const Result& r, std::string_view input) {
  if (!r.console.empty()) return "a refused input wrote to the console";
  if (r.fileOpened) return "a refused input created Sudout.txt";
  const std::string_view message = r.errors;
  if (!message.starts_with("tarvik: Sudin.txt") || !message.ends_with('\n') ||
      std::count(message.begin(), message.end(), '\n') != 1 || !PrintableLines(message)) {
    return "the refusal is not one printable line naming Sudin.txt: \"" + r.errors + "\"";
  }
  if (r.status != ExitStatus::kDataError) return std::nullopt;
  // "tarvik: Sudin.txt:LINE: what: found ..., expected ...", LINE within the file or one past it.
  std::string_view rest = message.substr(std::string_view("tarvik: Sudin.txt:").size());
  std::size_t digits = 0;
  while (digits < rest.size() && digits < 10 && rest[digits] >= '0' && rest[digits] <= '9') {
    ++digits;
  }
  if (digits == 0 || rest.substr(digits, 2) != ": ") return "the refusal names no line";
  const long line = std::stol(std::string(rest.substr(0, digits)));
  long lines = static_cast<long>(std::count(input.begin(), input.end(), '\n'));
  if (!input.empty() && !input.ends_with('\n')) ++lines;
  if (line < 1 || line > lines + 1) {
    return "the refusal names line " + std::to_string(line) + " of a file of " +
           std::to_string(lines) + " lines";
  }
  rest.remove_prefix(digits + 2);
  if (rest.find(": found ") == std::string_view::npos ||
      rest.find(", expected ") == std::string_view::npos) {
    return "the refusal does not say what was found and what was expected";
  }
  return std::nullopt;
}

// The same input again, each time with one channel failing: the other copy must not suffer. The
// run with the failing console also uses the baseline build of the passes, so that its Sudout.txt
// checks that build against the best one.
std::optional<std::string> CheckFailingChannels(std::string_view input, const Result& normal) {
  // A pseudo-random point of failure, the same for the same input.
  const std::size_t hash = std::hash<std::string_view>{}(input);
  const std::error_code full = std::make_error_code(std::errc::no_space_on_device);
  {
    const BaselinePasses baseline;
    KeptFailingSink console(std::make_error_code(std::errc::broken_pipe),
                            hash % normal.console.size());
    MemoryFiles files = FilesWith(input);
    const Result r = RunClassic(files, &console);
    if (r.status != ExitStatus::kIoError)
      return "a failing console gave status " + StatusText(r.status);
    if (r.errors != "tarvik: write error on standard output: " +
                        std::make_error_code(std::errc::broken_pipe).message() + "\n") {
      return "a failing console gave the message \"" + r.errors + "\"";
    }
    if (r.file != normal.file) {
      return "Sudout.txt of the run with a failing console and the baseline passes differs";
    }
    if (!normal.console.starts_with(console.text())) return "a failing console got other bytes";
  }
  {
    MemoryFiles files = FilesWith(input);
    files.room["Sudout.txt"] = hash % normal.file.size();
    const Result r = RunClassic(files);
    if (r.status != ExitStatus::kIoError) return "a full disk gave status " + StatusText(r.status);
    if (r.errors != "tarvik: write error on Sudout.txt: " + full.message() + "\n") {
      return "a full disk gave the message \"" + r.errors + "\"";
    }
    if (r.console != normal.console) return "a full disk cost the console some of the report";
  }
  {
    MemoryFiles files = FilesWith(input);
    files.openErrors["Sudout.txt"] = std::make_error_code(std::errc::is_a_directory);
    const Result r = RunClassic(files);
    if (r.status != ExitStatus::kCantCreate) {
      return "an uncreatable Sudout.txt gave status " + StatusText(r.status);
    }
    if (!r.console.empty()) return "an uncreatable Sudout.txt still let the console get lines";
    if (r.errors !=
        "tarvik: Sudout.txt: " + std::make_error_code(std::errc::is_a_directory).message() + "\n") {
      return "an uncreatable Sudout.txt gave the message \"" + r.errors + "\"";
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> CheckRun(std::string_view input) {
  const Result r = RunClassic(input);
  PuzzleState st;
  testing::StringSource source(input);
  const std::optional<InputError> refusal = ReadPuzzleFile(source, st);

  switch (r.status) {
    case ExitStatus::kSuccess:
      if (refusal) return "status 0 for an input the reader refuses: " + refusal->message;
      if (auto failure = CheckAcceptedReport(r, st)) return failure;
      return CheckFailingChannels(input, r);
    case ExitStatus::kDataError:
    case ExitStatus::kNoInput:
      if (!refusal || refusal->status != r.status) return "a refusal the reader does not make";
      return CheckRefusal(r, input);
    default: return "status " + StatusText(r.status);
  }
}

std::optional<std::string> CheckBatch(std::string_view input) {
  MemoryFiles files;
  files.standardInput = std::string(input);
  const Result r = testing::RunProgram({"--batch", "--jobs=1", "--quiet"}, files);
  const std::vector<std::string_view> rows = Lines(r.console);
  std::vector<std::string_view> messages = Lines(r.errors);
  if (r.status == ExitStatus::kNoInput) {
    // Data compressed in a format that is not read: named, and nothing else.
    if (messages.size() != 1 || !messages[0].starts_with("tarvik: -: compressed with ") ||
        rows.size() != 1) {
      return "a batch gave status 66 without naming a compressed format alone";
    }
    return std::nullopt;
  }
  if (r.status != ExitStatus::kSuccess && r.status != ExitStatus::kDataError) {
    return "a batch gave status " + StatusText(r.status);
  }
  // Damaged gzip data ends the input with a message of its own, after the rows before it.
  bool damaged = false;
  if (!messages.empty() &&
      messages.back().find(": compressed data is damaged: ") != std::string_view::npos) {
    messages.pop_back();
    damaged = true;
  }
  if (rows.empty() ||
      rows[0] != "source\tline\tpuzzle\toutcome\tattempts\tsteps\tdepth\tempty\tgrid") {
    return "a batch's output does not start with the header";
  }
  std::size_t refused = 0;
  std::int64_t lastLine = 0;
  for (std::size_t k = 1; k < rows.size(); ++k) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (std::size_t tab = rows[k].find('\t'); tab != std::string_view::npos;
         tab = rows[k].find('\t', start)) {
      fields.push_back(rows[k].substr(start, tab - start));
      start = tab + 1;
    }
    fields.push_back(rows[k].substr(start));
    if (fields.size() != 9 || fields[0] != "-") return "a batch row without its nine fields";
    const std::int64_t line = std::stoll(std::string(fields[1]));
    if (line <= lastLine) return "batch rows out of line order";
    lastLine = line;
    if (fields[3] == "refused") {
      if (refused >= messages.size() ||
          !messages[refused].starts_with("tarvik: -:" + std::string(fields[1]) + ": ")) {
        return "a refused row without its message";
      }
      ++refused;
      continue;
    }
    if (fields[2].size() != 81 || fields[8].size() != 81) return "a graded row without its grids";
    for (std::size_t c = 0; c < 81; ++c) {
      if (fields[2][c] != '0' && fields[2][c] != fields[8][c]) {
        return "a graded row's final grid lost a given";
      }
    }
  }
  if (refused != messages.size()) return "a batch message without its refused row";
  if ((refused > 0 || damaged) != (r.status == ExitStatus::kDataError)) {
    return "a batch status that does not match its refused rows";
  }
  // Threads never change what a batch says: checked on small batches, which are most of what the
  // fuzzer makes, so that large ones do not take twice as long.
  if (input.size() > kThreadedBatchBytes) return std::nullopt;
  MemoryFiles again;
  again.standardInput = std::string(input);
  const Result threaded = testing::RunProgram({"--batch", "--jobs=3", "--quiet"}, again);
  if (threaded.status != r.status || threaded.console != r.console || threaded.errors != r.errors) {
    return "a batch on three threads says other than on one";
  }
  return std::nullopt;
}

}  // namespace tarvik::fuzz
