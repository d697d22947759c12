// SPDX-License-Identifier: MIT
// The built program under limits and odd set-ups: a file-size limit, Sudout.txt linked to
// Sudin.txt, two runs in one directory, standard output that is Sudout.txt, too little memory,
// closed and non-blocking standard output.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "e2e/e2e_support.h"

namespace tarvik::e2e {
namespace {

TEST(HardeningTest, FileSizeLimitCostsOnlySudout) {
  const Case c = LoadCase("one_guess_level3");
  const Scratch scratch;
  scratch.Write("Sudin.txt", c.input);
  // The limit holds for tarvik alone; cat, outside it, keeps the console copy whole.
  const Outcome out = scratch.RunScript("(ulimit -f 4; \"$1\") | cat\nexit ${PIPESTATUS[0]}\n");
  EXPECT_EQ(out.status, 74);
  EXPECT_EQ(out.errors, "tarvik: write error on Sudout.txt: File too large\n");
  ExpectSameText(out.console, c.console, "standard output");
  EXPECT_EQ(scratch.Read("Sudout.txt").size(), 4096u);
}

TEST(HardeningTest, SudoutLinkedToSudinIsRefusedBeforeAnythingIsWritten) {
  const Case c = LoadCase("one_guess_level1");
  for (const bool symbolic : {true, false}) {
    const Scratch scratch;
    scratch.Write("Sudin.txt", c.input);
    if (symbolic) {
      fs::create_symlink("Sudin.txt", scratch.path() / "Sudout.txt");
    } else {
      fs::create_hard_link(scratch.path() / "Sudin.txt", scratch.path() / "Sudout.txt");
    }
    const Outcome out = scratch.Run("");
    EXPECT_EQ(out.status, 73);
    EXPECT_EQ(out.errors, "tarvik: Sudout.txt: is the same file as Sudin.txt\n");
    EXPECT_EQ(out.console, "");
    EXPECT_EQ(scratch.Read("Sudin.txt"), c.input);
  }
}

// A second run waits for the first: the test holds the lock as a run would, starts the program,
// reads its one waiting line, sees Sudout.txt untouched, lets go, and gets the whole report.
TEST(HardeningTest, SecondRunWaitsForTheLockAndThenWritesTheWholeReport) {
  const Case c = LoadCase("one_guess_level1");
  const Scratch scratch;
  scratch.Write("Sudin.txt", c.input);
  scratch.Write("Sudout.txt", "an earlier report, not to be touched\n");
  const Outcome out = scratch.RunScript(
      "set -u\n"
      "exec 9>>Sudout.txt\n"
      "flock -x 9\n"
      "mkfifo errors\n"
      "\"$1\" > console.txt 2> errors &\n"
      "run=$!\n"
      "exec 8< errors\n"
      "IFS= read -r line <&8\n"
      "echo \"$line\" >&2\n"
      "cmp -s Sudout.txt <(printf '%s\\n' 'an earlier report, not to be touched') || exit 10\n"
      "flock -u 9\n"
      "exec 9>&-\n"
      "wait $run\n"
      "status=$?\n"
      "cat <&8 >&2\n"
      "cat console.txt\n"
      "exit $status\n");
  EXPECT_EQ(out.status, 0);
  EXPECT_EQ(out.errors, "tarvik: Sudout.txt: waiting for another run to finish\n");
  ExpectSameText(out.console, c.console, "standard output");
  ExpectSameText(scratch.Read("Sudout.txt"), c.file, "Sudout.txt");
}

TEST(HardeningTest, StandardOutputThatIsSudoutGetsTheReportOnce) {
  const Case c = LoadCase("one_guess_level3");
  const Scratch scratch;
  scratch.Write("Sudin.txt", c.input);
  for (const char* redirection : {"> Sudout.txt", ">> Sudout.txt"}) {
    const Outcome out = scratch.Run("", redirection);
    EXPECT_EQ(out.status, 0) << redirection;
    EXPECT_EQ(out.errors, "tarvik: standard output is Sudout.txt: the report is written once\n");
    ExpectSameText(scratch.Read("Sudout.txt"), c.file, "Sudout.txt");
  }
}

// However little memory there is, the run either starts and ends well, or says it is out of
// memory (71) with Sudout.txt untouched; it never aborts. The limit is set by prlimit just before
// it starts the program, so that no shell has to work under it. Limits too small for the loader
// itself (killed at exec, or 127) are passed over until the program first answers.
TEST(HardeningTest, OutOfMemoryIsOneMessageAndStatus71) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer needs far more address space than the limits tried";
#else
  if (!fs::exists("/usr/bin/prlimit") && std::getenv("TARVIK_TOOLS_REQUIRED") == nullptr) {
    GTEST_SKIP() << "prlimit (Debian package util-linux) is missing";
  }
  const Case c = LoadCase("one_guess_level1");
  const Scratch scratch;
  scratch.Write("Sudin.txt", c.input);
  const Outcome out = scratch.RunScript(
      "for kb in $(seq 1024 16 16384); do\n"
      "  printf '%s\\n' 'an earlier report, not to be touched' > Sudout.txt\n"
      "  { /usr/bin/prlimit --as=$((kb * 1024)) \"$1\" > console.txt 2> errors.txt\n"
      "    status=$?; } 2> /dev/null\n"
      "  case $status in\n"
      "    71) cmp -s errors.txt <(printf 'tarvik: out of memory\\n') || exit 11\n"
      "        cmp -s Sudout.txt <(printf '%s\\n' 'an earlier report, not to be touched') ||\n"
      "          exit 12\n"
      "        seen=1 ;;\n"
      "    0) [ -s Sudout.txt ] || exit 13; echo $kb; exit $((seen ? 0 : 14)) ;;\n"
      "    *) if [ -z \"$seen\" ] && [ $status = 127 -o $status -ge 128 ]; then continue; fi\n"
      "       echo \"status $status at $kb KB: $(head -c 200 errors.txt)\" >&2; exit 15 ;;\n"
      "  esac\n"
      "done\n"
      "exit 16\n");
  EXPECT_EQ(out.status, 0) << out.errors;
  EXPECT_EQ(out.errors, "");
#endif
}

TEST(HardeningTest, HelpOnAClosedStandardOutputIsAWriteError) {
  const Scratch scratch;
  for (const char* argument : {"--help", "--version"}) {
    const Outcome out = scratch.Run(argument, ">&-");
    EXPECT_EQ(out.status, 74);
    EXPECT_EQ(out.errors, "tarvik: write error on standard output: Bad file descriptor\n");
  }
}

// A parent that left O_NONBLOCK on a shared pipe, and a reader slower than the run: the console
// copy is still complete.
TEST(HardeningTest, NonBlockingStandardOutputIsWaitedOn) {
  const Case c = LoadCase("one_guess_level3");
  const Scratch scratch;
  scratch.Write("Sudin.txt", c.input);
  const Outcome out = scratch.RunScript(
      "exec /usr/bin/env python3 - \"$1\" <<'PY'\n"
      "import fcntl, os, subprocess, sys, time\n"
      "read, write = os.pipe()\n"
      "fcntl.fcntl(write, fcntl.F_SETFL, fcntl.fcntl(write, fcntl.F_GETFL) | os.O_NONBLOCK)\n"
      "fcntl.fcntl(write, fcntl.F_SETPIPE_SZ, 4096)\n"
      "run = subprocess.Popen([sys.argv[1]], stdout=write)\n"
      "os.close(write)\n"
      "time.sleep(0.3)  # the reader is slow: the pipe fills up meanwhile\n"
      "data = b''\n"
      "while chunk := os.read(read, 512):\n"
      "    data += chunk\n"
      "sys.stdout.buffer.write(data)\n"
      "sys.exit(run.wait())\n"
      "PY\n");
  EXPECT_EQ(out.status, 0) << out.errors;
  EXPECT_EQ(out.errors, "");
  ExpectSameText(out.console, c.console, "standard output");
}

}  // namespace
}  // namespace tarvik::e2e
