// SPDX-License-Identifier: MIT
// tarvik_bench: times whole runs of the built tarvik, each in a scratch directory of its own.
//
// For every case (a puzzle file of bench/puzzles/, or a puzzle sampled from the public
// collections) the program is run at print levels 0 and 3, with standard output going to a file.
// Per case and level it prints the median wall time of several runs, the attempts and steps the
// run made (counted once from a print-level-2 report), and the bytes written on each channel. For
// print level 3 it also times, in the same rounds, `cat` copying the same report bytes to the same
// two destinations, and prints
//
//   ratio = (median time at level 3 - median time at level 0) / median time of the two cats,
//
// the cost of composing and writing the report measured against the cost of just writing it.
// Since that cat time includes the start-up of two processes, which the difference of the two
// runs does not, it also times the same cats copying empty files and prints the ratio to the
// copying alone ("net ratio").
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace {

#ifndef TARVIK_BENCH_BINARY
#define TARVIK_BENCH_BINARY ""
#endif
#ifndef TARVIK_BENCH_PUZZLES
#define TARVIK_BENCH_PUZZLES ""
#endif

constexpr std::string_view kUsage =
    "Usage: tarvik_bench [--tarvik PATH] [--puzzles DIR] [--corpus DIR] [--runs N] [--sample N]\n"
    "                    [--only TEXT]\n"
    "Times whole runs of tarvik at print levels 0 and 3 and compares the cost of the report\n"
    "with the time cat takes to write the same bytes.\n"
    "\n"
    "  --tarvik PATH  the program to time (default: the one of this build tree)\n"
    "  --puzzles DIR  the benchmark's own puzzle files (default: bench/puzzles of the sources)\n"
    "  --corpus DIR   the public collections, one puzzle of 81 digits a line; skipped if absent\n"
    "                 (default: the environment variable TARVIK_CORPUS_DIR)\n"
    "  --runs N       timed runs per case and level, after one warm-up run (default 7)\n"
    "  --sample N     puzzles taken from each collection, spread over the file (default 2)\n"
    "  --only TEXT    only the cases whose name contains TEXT\n";

// The parameters given to every puzzle sampled from a collection: look-back 4, 100 steps, and the
// sequence 4 1 2 3 repeated 25 times (the same as the heavy case of bench/puzzles).
constexpr std::string_view kCorpusParameters = " 4 100\n";
std::string CorpusSequence() {
  std::string codes;
  for (int k = 0; k < 25; ++k) codes += k == 0 ? "4 1 2 3" : " 4 1 2 3";
  return codes + "\n";
}

// The collections are named at run time, so that another folder rebuilds nothing.
fs::path DefaultCorpus() {
  const char* dir = std::getenv("TARVIK_CORPUS_DIR");
  return dir != nullptr ? fs::path(dir) : fs::path();
}

struct Options {
  fs::path tarvik = TARVIK_BENCH_BINARY;
  fs::path puzzles = TARVIK_BENCH_PUZZLES;
  fs::path corpus = DefaultCorpus();
  int runs = 7;
  int sample = 2;
  std::string only;
};

// A puzzle definition with its print level left open: `head` is the nine grid rows, `tail` the
// rest of the file after the print level (which stands first on the tenth line).
struct Case {
  std::string name;
  std::string head;
  std::string tail;

  std::string WithPrintLevel(int level) const { return head + std::to_string(level) + tail; }
};

// The scratch directory of this run, removed on every way out.
fs::path scratchDir;

[[noreturn]] void Die(const std::string& message) {
  (void)std::fprintf(stderr, "tarvik_bench: %s\n", message.c_str());
  std::error_code ignored;
  if (!scratchDir.empty()) fs::remove_all(scratchDir, ignored);
  std::exit(1);
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) Die("cannot read " + path.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, std::string_view text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  if (!out) Die("cannot write " + path.string());
}

std::uintmax_t SizeOf(const fs::path& path) {
  std::error_code error;
  const std::uintmax_t size = fs::file_size(path, error);
  return error ? 0 : size;
}

// Splits a puzzle file of bench/puzzles: nine lines of grid rows, then the line of run parameters
// that starts with the print level.
std::optional<Case> CaseFromFile(const fs::path& path) {
  const std::string text = ReadFile(path);
  std::size_t pos = 0;
  for (int line = 0; line < 9; ++line) {
    pos = text.find('\n', pos);
    if (pos == std::string::npos) return std::nullopt;
    ++pos;
  }
  std::size_t first = text.find_first_not_of(" \t", pos);
  if (first == std::string::npos) return std::nullopt;
  std::size_t last = first;
  if (text[last] == '+' || text[last] == '-') ++last;
  while (last < text.size() && text[last] >= '0' && text[last] <= '9') ++last;
  if (last == first) return std::nullopt;
  return Case{path.stem().string(), text.substr(0, pos), text.substr(last)};
}

// A puzzle of a collection: 81 digits, row after row, 0 for an empty cell.
std::optional<Case> CaseFromLine(std::string_view line, std::string name) {
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
  if (line.size() != 81) return std::nullopt;
  std::string rows;
  for (std::size_t k = 0; k < 81; ++k) {
    const char c = line[k] == '.' ? '0' : line[k];
    if (c < '0' || c > '9') return std::nullopt;
    rows += c;
    rows += k % 9 == 8 ? '\n' : ' ';
  }
  return Case{std::move(name), rows, std::string(kCorpusParameters) + CorpusSequence()};
}

std::vector<Case> OwnCases(const fs::path& dir) {
  std::vector<fs::path> files;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(dir, error)) {
    if (entry.path().extension() == ".txt") files.push_back(entry.path());
  }
  if (error) Die("cannot list " + dir.string() + ": " + error.message());
  std::sort(files.begin(), files.end());
  std::vector<Case> cases;
  for (const fs::path& file : files) {
    if (auto c = CaseFromFile(file)) {
      cases.push_back(std::move(*c));
    } else {
      Die(file.string() +
          ": expected nine grid rows, then a line that starts with the print level");
    }
  }
  return cases;
}

// `sample` puzzles of every collection, spread evenly over its lines.
std::vector<Case> CorpusCases(const fs::path& dir, int sample) {
  std::vector<Case> cases;
  std::error_code error;
  if (sample <= 0 || dir.empty() || !fs::is_directory(dir, error)) return cases;
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(dir, error)) {
    if (entry.path().extension() == ".txt") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  for (const fs::path& file : files) {
    std::vector<std::string> lines;
    std::istringstream in(ReadFile(file));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    const std::size_t n = lines.size();
    const auto want = static_cast<std::size_t>(sample);
    std::size_t previous = n;
    for (std::size_t k = 0; k < want && k < n; ++k) {
      const std::size_t index = k * n / want;
      if (index == previous) continue;
      previous = index;
      auto c = CaseFromLine(lines[index], file.stem().string() + ":" + std::to_string(index + 1));
      if (c) cases.push_back(std::move(*c));
    }
  }
  return cases;
}

// Runs `argv` in `dir` with standard input from /dev/null, standard output to `output` (created
// or truncated) and standard error to errors.txt; returns the wall time and the processor time
// (user and system) in seconds, and the exit status, or -1 if the program did not exit normally.
struct Timed {
  double seconds;
  double cpu;
  int status;
};

Timed RunIn(const fs::path& dir, const std::vector<std::string>& argv, const fs::path& output) {
  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  const std::string dirName = dir.string();
  const std::string outputName = output.string();
  const std::string errorsName = (dir / "errors.txt").string();

  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child < 0) Die(std::string("fork: ") + std::strerror(errno));
  if (child == 0) {
    const int in = open("/dev/null", O_RDONLY);
    const int out = open(outputName.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(errorsName.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0 || chdir(dirName.c_str()) != 0 || dup2(in, 0) < 0 ||
        dup2(out, 1) < 0 || dup2(err, 2) < 0) {
      _exit(127);
    }
    close(in);
    close(out);
    close(err);
    execvp(args[0], args.data());
    _exit(127);
  }
  int wstatus = 0;
  rusage usage{};
  while (wait4(child, &wstatus, 0, &usage) < 0) {
    if (errno != EINTR) Die(std::string("wait4: ") + std::strerror(errno));
  }
  const auto stop = std::chrono::steady_clock::now();
  auto seconds = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
  };
  return {std::chrono::duration<double>(stop - start).count(),
          seconds(usage.ru_utime) + seconds(usage.ru_stime),
          WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1};
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// What a print-level-2 report tells about a run.
struct Shape {
  long attempts = 0;
  long steps = 0;
  std::string outcome;
};

Shape ShapeOf(const std::string& report) {
  Shape shape;
  long restarts = 0;
  std::istringstream in(report);
  for (std::string line; std::getline(in, line);) {
    if (line == "Restarting with guesses:") ++restarts;
    if (line.rfind("Step", 0) == 0) ++shape.steps;
    if (line == "Puzzle Solved ") shape.outcome = "solved";
    if (line == "Puzzle not solved in maximum number of steps") shape.outcome = "step limit";
    if (line.rfind(" No guesses possible.", 0) == 0) shape.outcome = "no solution";
    if (line == "Puzzle not solved  -  no further guesses possible") shape.outcome = "no guesses";
  }
  shape.attempts = restarts + 1;
  return shape;
}

std::string FirstLine(const fs::path& path) {
  std::string text = ReadFile(path);
  return text.substr(0, text.find('\n'));
}

// The medians of a series of timed runs.
struct Medians {
  double wall = 0;
  double cpu = 0;
};

Medians operator-(const Medians& a, const Medians& b) { return {a.wall - b.wall, a.cpu - b.cpu}; }
Medians operator/(const Medians& a, const Medians& b) { return {a.wall / b.wall, a.cpu / b.cpu}; }

class Series {
 public:
  void Add(const Timed& run) {
    wall_.push_back(run.seconds);
    cpu_.push_back(run.cpu);
  }
  Medians Take() const { return {Median(wall_), Median(cpu_)}; }

 private:
  std::vector<double> wall_;
  std::vector<double> cpu_;
};

// What the report costs in one case, beside what cat takes to write the same bytes.
struct ReportCost {
  std::string name;
  Medians report;    // level 3 minus level 0
  Medians cat;       // the two cats copying the level-3 report
  Medians catStart;  // the same two cats copying empty files: their start-up alone
};

class Bench {
 public:
  Bench(Options options, fs::path scratch)
      : options_(std::move(options)), scratch_(std::move(scratch)) {}

  void Header() const {
    std::printf("tarvik whole-run benchmark: %s\n", options_.tarvik.string().c_str());
    std::printf(
        "Medians of %d runs after one warm-up; standard output goes to a file. Times include\n"
        "process start-up; cpu is user + system time of the process.\n\n",
        options_.runs);
    std::printf("%-40s %3s %8s %8s %8s %6s %10s %8s %9s %9s  %s\n", "case", "lvl", "wall ms",
                "cpu ms", "attempts", "steps", "us/attempt", "us/step", "stdout B", "file B",
                "outcome");
  }

  void Measure(const Case& c) {
    const fs::path dir = scratch_ / std::to_string(++caseNumber_);
    const fs::path probe = dir / "probe";
    const fs::path at0 = dir / "level0";
    const fs::path at3 = dir / "level3";
    for (const fs::path& d : {probe, at0, at3}) fs::create_directories(d);

    // One run at print level 2 tells how many attempts and steps the puzzle takes.
    WriteFile(probe / "Sudin.txt", c.WithPrintLevel(2));
    const Timed probed = Solve(probe);
    if (probed.status != 0) {
      std::printf("%-40s refused with exit status %d: %s\n", c.name.c_str(), probed.status,
                  FirstLine(probe / "errors.txt").c_str());
      fs::remove_all(dir);
      return;
    }
    const Shape shape = ShapeOf(ReadFile(probe / "console.out"));
    fs::remove_all(probe);

    WriteFile(at0 / "Sudin.txt", c.WithPrintLevel(0));
    WriteFile(at3 / "Sudin.txt", c.WithPrintLevel(3));
    Checked(Solve(at0), c);  // warm-up runs; the level-3 reports are kept for cat to copy
    Checked(Solve(at3), c);
    const ChannelBytes bytes0 = Bytes(at0);
    const ChannelBytes bytes3 = Bytes(at3);
    const fs::path consoleCopy = dir / "console.saved";
    const fs::path fileCopy = dir / "file.saved";
    const fs::path empty = dir / "empty";
    fs::copy_file(at3 / "console.out", consoleCopy);
    fs::copy_file(at3 / "Sudout.txt", fileCopy);
    WriteFile(empty, "");

    // One round runs everything once, one after the other, so that whatever else the machine is
    // doing weighs on all of it alike. The cats write where the level-3 run wrote; the cats of
    // empty files write where the level-0 run wrote, so that no run finds a large file to cut.
    Series level0, level3, cat, catStart;
    for (int round = 0; round < options_.runs; ++round) {
      level0.Add(Checked(Solve(at0), c));
      level3.Add(Checked(Solve(at3), c));
      cat.Add(Cats(at3, consoleCopy, fileCopy));
      catStart.Add(Cats(at0, empty, empty));
    }

    const Medians m0 = level0.Take();
    const Medians m3 = level3.Take();
    Print(c.name, 0, m0, shape, bytes0);
    Print(c.name, 3, m3, shape, bytes3);
    costs_.push_back({c.name, m3 - m0, cat.Take(), catStart.Take()});
    fs::remove_all(dir);
  }

  // The cost of the report, case by case, once every case has run.
  void Summary() const {
    if (costs_.empty()) return;
    std::printf(
        "\nThe report's cost: level-3 time minus level-0 time, beside the time of cat writing\n"
        "the level-3 report to the same two destinations (standard output to the same file,\n"
        "and Sudout.txt). ratio = report / cat. cat start is the same two cats copying empty\n"
        "files, their start-up alone; net ratio = report / (cat - cat start), shown where the\n"
        "copying is at least a quarter of the cat time. Milliseconds.\n\n");
    std::printf("%-40s %8s %8s %8s %8s %6s %6s %9s %9s %9s %9s\n", "case", "report", "(cpu)", "cat",
                "(cpu)", "ratio", "(cpu)", "cat start", "(cpu)", "net ratio", "(cpu)");
    for (const ReportCost& cost : costs_) {
      const Medians ratio = cost.report / cost.cat;
      const Medians copying = cost.cat - cost.catStart;
      const Medians net = cost.report / copying;
      std::printf("%-40s %8.3f %8.3f %8.3f %8.3f %6.2f %6.2f %9.3f %9.3f ", cost.name.c_str(),
                  cost.report.wall * 1e3, cost.report.cpu * 1e3, cost.cat.wall * 1e3,
                  cost.cat.cpu * 1e3, ratio.wall, ratio.cpu, cost.catStart.wall * 1e3,
                  cost.catStart.cpu * 1e3);
      auto shown = [](double value, double part, double whole) {
        if (part >= whole / 4) {
          std::printf(" %9.2f", value);
        } else {
          std::printf(" %9s", "-");
        }
      };
      shown(net.wall, copying.wall, cost.cat.wall);
      shown(net.cpu, copying.cpu, cost.cat.cpu);
      std::printf("\n");
    }
  }

 private:
  struct ChannelBytes {
    std::uintmax_t console;
    std::uintmax_t file;
  };
  static ChannelBytes Bytes(const fs::path& dir) {
    return {SizeOf(dir / "console.out"), SizeOf(dir / "Sudout.txt")};
  }

  Timed Solve(const fs::path& dir) {
    return RunIn(dir, {options_.tarvik.string()}, dir / "console.out");
  }

  // cat copies `console` to the standard output file of `dir` and `file` to its Sudout.txt.
  static Timed Cats(const fs::path& dir, const fs::path& console, const fs::path& file) {
    const Timed first = RunIn(dir, {"cat", console.string()}, dir / "console.out");
    const Timed second = RunIn(dir, {"cat", file.string()}, dir / "Sudout.txt");
    if (first.status != 0 || second.status != 0) Die("cat failed");
    return {first.seconds + second.seconds, first.cpu + second.cpu, 0};
  }

  static Timed Checked(const Timed& run, const Case& c) {
    if (run.status != 0) Die(c.name + ": tarvik exited with status " + std::to_string(run.status));
    return run;
  }

  static void Print(const std::string& name, int level, const Medians& m, const Shape& shape,
                    ChannelBytes bytes) {
    const double us = m.wall * 1e6;
    std::printf("%-40s %3d %8.3f %8.3f %8ld %6ld %10.2f %8.3f %9ju %9ju  %s\n", name.c_str(), level,
                m.wall * 1e3, m.cpu * 1e3, shape.attempts, shape.steps,
                us / static_cast<double>(shape.attempts),
                shape.steps > 0 ? us / static_cast<double>(shape.steps) : 0.0, bytes.console,
                bytes.file, shape.outcome.c_str());
    (void)std::fflush(stdout);
  }

  Options options_;
  fs::path scratch_;
  int caseNumber_ = 0;
  std::vector<ReportCost> costs_;
};

Options Parse(int argc, char* argv[]) {
  Options options;
  for (int k = 1; k < argc; ++k) {
    const std::string_view arg = argv[k];
    if (arg == "--help") {
      (void)std::fwrite(kUsage.data(), 1, kUsage.size(), stdout);
      std::exit(0);
    }
    if (k + 1 >= argc) Die("found '" + std::string(arg) + "' without a value; see --help");
    const std::string value = argv[++k];
    auto number = [&] {
      char* end = nullptr;
      const long n = std::strtol(value.c_str(), &end, 10);
      if (end == value.c_str() || *end != '\0' || n < 0 || n > 1000) {
        Die("found '" + value + "' after " + std::string(arg) + ", expected a number 0 to 1000");
      }
      return static_cast<int>(n);
    };
    if (arg == "--tarvik") {
      options.tarvik = value;
    } else if (arg == "--puzzles") {
      options.puzzles = value;
    } else if (arg == "--corpus") {
      options.corpus = value;
    } else if (arg == "--runs") {
      options.runs = std::max(1, number());
    } else if (arg == "--sample") {
      options.sample = number();
    } else if (arg == "--only") {
      options.only = value;
    } else {
      Die("found argument '" + std::string(arg) + "'; see --help");
    }
  }
  return options;
}

}  // namespace

int main(int argc, char* argv[]) {
  Options options = Parse(argc, argv);
  std::error_code error;
  if (options.tarvik.empty() || !fs::is_regular_file(options.tarvik, error)) {
    Die("no program to time at '" + options.tarvik.string() + "'; give one with --tarvik");
  }
  options.tarvik = fs::absolute(options.tarvik);

  std::vector<Case> cases = OwnCases(options.puzzles);
  std::vector<Case> sampled = CorpusCases(options.corpus, options.sample);
  if (sampled.empty() && options.sample > 0) {
    std::printf("(no public collections at '%s': only the benchmark's own puzzles)\n",
                options.corpus.string().c_str());
  }
  cases.insert(cases.end(), std::make_move_iterator(sampled.begin()),
               std::make_move_iterator(sampled.end()));
  std::erase_if(cases,
                [&](const Case& c) { return c.name.find(options.only) == std::string::npos; });

  std::string pattern = (fs::temp_directory_path() / "tarvik-bench-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) Die(std::string("mkdtemp: ") + std::strerror(errno));
  scratchDir = pattern;

  Bench bench(options, scratchDir);
  bench.Header();
  for (const Case& c : cases) bench.Measure(c);
  bench.Summary();
  fs::remove_all(scratchDir, error);
  return 0;
}
