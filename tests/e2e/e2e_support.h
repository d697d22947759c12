// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>

namespace tarvik::e2e {

namespace fs = std::filesystem;

inline std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// What a run of the program left behind.
struct Outcome {
  int status = -1;
  std::string console;
  std::string errors;
};

// A fresh directory of its own per test, so that tests may run in parallel; removed at the end.
class Scratch {
 public:
  Scratch() {
    std::random_device seed;
    path_ = fs::temp_directory_path() /
            ("tarvik-e2e-" + std::to_string(getpid()) + "-" + std::to_string(seed()));
    fs::create_directories(path_);
  }
  ~Scratch() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;

  const fs::path& path() const { return path_; }
  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(path_ / name, std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) const { return ReadFile(path_ / name); }

  // Runs the program in this directory through the shell; `redirections` may replace the
  // default capture of standard output (for example with ">/dev/full" or ">&-").
  Outcome Run(const std::string& arguments, const std::string& redirections = "") const {
    const std::string output =
        redirections.empty() ? "> '" + Captured(".stdout") + "'" : redirections;
    return Shell("'" TARVIK_BINARY "' " + arguments + " " + output);
  }

  // Runs a bash script in this directory, for set-ups that one redirection cannot express
  // (pipelines, a reader that has gone). The script finds the program's path in "$1"; what it
  // writes to standard output and standard error is captured, and its exit status is returned.
  Outcome RunScript(const std::string& script) const {
    const fs::path file = path_ / ".script.sh";
    std::ofstream(file, std::ios::binary) << script;
    Outcome outcome =
        Shell("bash '" + file.string() + "' '" TARVIK_BINARY "' > '" + Captured(".stdout") + "'");
    fs::remove(file);
    return outcome;
  }

 private:
  std::string Captured(const char* name) const { return (path_ / name).string(); }

  // Runs `command` (which sends standard output where it likes) in this directory, with standard
  // error captured; collects the status and both captures, and removes them.
  Outcome Shell(const std::string& command) const {
    const std::string out = Captured(".stdout");
    const std::string err = Captured(".stderr");
    const int raw =
        std::system(("cd '" + path_.string() + "' && " + command + " 2> '" + err + "'").c_str());
    Outcome outcome;
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    outcome.console = ReadFile(out);
    outcome.errors = ReadFile(err);
    fs::remove(out);
    fs::remove(err);
    return outcome;
  }

  fs::path path_;
};

// A classic case with its reports worked out by hand (tests/e2e/cases/NAME/): the input, what
// standard output gets and what Sudout.txt gets.
struct Case {
  std::string input;
  std::string console;
  std::string file;
};

// A file of the batch mode's cases.
inline std::string BatchCase(const std::string& name) {
  return ReadFile(fs::path(TARVIK_BATCH_CASES_DIR) / name);
}

inline Case LoadCase(const std::string& name) {
  const fs::path dir = fs::path(TARVIK_CASES_DIR) / name;
  return {ReadFile(dir / "Sudin.txt"), ReadFile(dir / "stdout.expected"),
          ReadFile(dir / "Sudout.expected")};
}

// Compares two reports and, where they differ, shows the first differing line of each.
inline void ExpectSameText(const std::string& actual, const std::string& expected,
                           const std::string& what) {
  if (actual == expected) return;
  std::istringstream a(actual), e(expected);
  std::string la, le;
  int line = 0;
  while (true) {
    ++line;
    const bool ga = static_cast<bool>(std::getline(a, la));
    const bool ge = static_cast<bool>(std::getline(e, le));
    if (!ga || !ge || la != le) {
      ADD_FAILURE() << what << " differs at line " << line
                    << "\n  expected: " << (ge ? "\"" + le + "\"" : "<end>")
                    << "\n  actual:   " << (ga ? "\"" + la + "\"" : "<end>")
                    << "\n  (sizes: expected " << expected.size() << ", actual " << actual.size()
                    << ")";
      return;
    }
  }
}

}  // namespace tarvik::e2e
