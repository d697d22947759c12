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
    const std::string out = (path_ / ".stdout").string();
    const std::string err = (path_ / ".stderr").string();
    const std::string command = "cd '" + path_.string() + "' && '" TARVIK_BINARY "' " +
                                arguments + " " +
                                (redirections.empty() ? "> '" + out + "'" : redirections) +
                                " 2> '" + err + "'";
    const int raw = std::system(command.c_str());
    Outcome outcome;
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    outcome.console = ReadFile(out);
    outcome.errors = ReadFile(err);
    fs::remove(out);
    fs::remove(err);
    return outcome;
  }

  // Runs a bash script in this directory, for set-ups that one redirection cannot express
  // (pipelines, a reader that has gone). The script finds the program's path in "$1"; what it
  // writes to standard output and standard error is captured, and its exit status is returned.
  Outcome RunScript(const std::string& script) const {
    const fs::path file = path_ / ".script.sh";
    std::ofstream(file, std::ios::binary) << script;
    const std::string out = (path_ / ".stdout").string();
    const std::string err = (path_ / ".stderr").string();
    const std::string command = "cd '" + path_.string() + "' && bash '" + file.string() + "' '" +
                                TARVIK_BINARY "' > '" + out + "' 2> '" + err + "'";
    const int raw = std::system(command.c_str());
    Outcome outcome;
    outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    outcome.console = ReadFile(out);
    outcome.errors = ReadFile(err);
    fs::remove(out);
    fs::remove(err);
    fs::remove(file);
    return outcome;
  }

 private:
  fs::path path_;
};

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
      ADD_FAILURE() << what << " differs at line " << line << "\n  expected: "
                    << (ge ? "\"" + le + "\"" : "<end>")
                    << "\n  actual:   " << (ga ? "\"" + la + "\"" : "<end>")
                    << "\n  (sizes: expected " << expected.size() << ", actual "
                    << actual.size() << ")";
      return;
    }
  }
}

}  // namespace tarvik::e2e
