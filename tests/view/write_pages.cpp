// Writes the run page of puzzle definition files, until the program itself has an option for it:
//   tarvik_write_pages INPUT PAGE [INPUT PAGE]...
// INPUT is read as Sudin.txt is; PAGE is created or replaced.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <system_error>

#include "control/input_reader.h"
#include "view/run_page.h"

namespace {

// Reads a file through a C stream.
class FileSource final : public tarvik::Source {
 public:
  explicit FileSource(std::FILE* file) : file_(file) {}
  std::size_t Read(char* buffer, std::size_t size, std::error_code& error) override {
    const std::size_t got = std::fread(buffer, 1, size, file_);
    if (got == 0 && std::ferror(file_)) error = std::error_code(errno, std::generic_category());
    return got;
  }

 private:
  std::FILE* file_;
};

bool WritePage(const char* inputPath, const char* pagePath) {
  tarvik::PuzzleState st;
  std::FILE* input = std::fopen(inputPath, "rb");
  if (input == nullptr) {
    std::cerr << inputPath << ": " << std::strerror(errno) << '\n';
    return false;
  }
  FileSource source(input);
  const auto refusal = tarvik::ReadPuzzleFile(source, st);
  std::fclose(input);
  if (refusal) {
    std::cerr << inputPath << ':' << refusal->line << ": " << refusal->message << '\n';
    return false;
  }
  const std::string page = tarvik::view::RenderRunPage(st, "");
  std::FILE* out = std::fopen(pagePath, "wb");
  if (out == nullptr) {
    std::cerr << pagePath << ": " << std::strerror(errno) << '\n';
    return false;
  }
  const bool written = std::fwrite(page.data(), 1, page.size(), out) == page.size();
  if (std::fclose(out) != 0 || !written) {
    std::cerr << pagePath << ": write error\n";
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 3 || argc % 2 == 0) {
    std::cerr << "usage: tarvik_write_pages INPUT PAGE [INPUT PAGE]...\n";
    return 64;
  }
  for (int k = 1; k + 1 < argc; k += 2) {
    if (!WritePage(argv[k], argv[k + 1])) return 1;
  }
  return 0;
}
