// SPDX-License-Identifier: MIT
// The functions the page's worker calls: a run on the text of a Sudin.txt, then its texts read
// straight out of the module's memory. One run is kept at a time.
#include <cstddef>
#include <string>

#include "web/text_run.h"

namespace {

tarvik::web::TextRun lastRun;
std::string lastPage;

const std::string* TextOf(int which) {
  switch (which) {
    case 0: return &lastRun.console;
    case 1: return &lastRun.file;
    case 2: return &lastRun.errors;
    case 3: return &lastPage;
    default: return nullptr;
  }
}

}  // namespace

extern "C" {

// Runs the Sudin.txt of `size` bytes at `text`; returns the exit status the program would.
int TarvikRun(const char* text, std::size_t size) {
  lastPage.clear();
  lastRun = tarvik::web::RunText(std::string_view(text, size));
  return static_cast<int>(lastRun.status);
}

// The outcome of the last run (0 solved, 1 step limit, 2 no solution, 3 no further guesses), or
// -1 when its input was refused.
int TarvikOutcome() { return lastRun.outcome ? static_cast<int>(*lastRun.outcome) : -1; }

// Draws the page of the last run, when its input was accepted.
void TarvikRenderPage() {
  if (lastRun.outcome) lastPage = tarvik::web::PageOf(lastRun.input);
}

// The texts of the last run: 0 standard output, 1 Sudout.txt, 2 standard error, 3 the page.
const char* TarvikText(int which) {
  const std::string* text = TextOf(which);
  return text != nullptr ? text->data() : nullptr;
}
std::size_t TarvikTextSize(int which) {
  const std::string* text = TextOf(which);
  return text != nullptr ? text->size() : 0;
}

// Drops the texts of the last run, giving their memory back.
void TarvikClear() {
  lastRun = {};
  lastPage = std::string();
}
}
