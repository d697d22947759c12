// SPDX-License-Identifier: MIT
// The collection reader on every form of line it takes: whole results (each row's line and
// cells, each refusal's message, how the input ends), worked out from the line rules. Every case
// is read with the input handed over whole, a byte at a time and in pieces of 7 bytes, so the
// quick path and the byte-by-byte path must agree on each.
#include "batch/line_reader.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "batch/cells.h"
#include "batch/collection_source.h"

namespace tarvik::batch {
namespace {

// easy50 line 1, and the digits of its solution.
const std::string kP =
    "003020600900305001001806400008102900700000008006708200002609500800203009005010300";
const std::string kS =
    "483921657967345821251876493548132976729564138136798245372689514814253769695417382";

// kP with every empty cell written `mark`.
std::string Marked(char mark) {
  std::string puzzle = kP;
  std::replace(puzzle.begin(), puzzle.end(), '0', mark);
  return puzzle;
}

// Hands out `text` in pieces of at most `piece` bytes (0: as much as is asked for), then an
// optional error.
class PieceSource final : public Source {
 public:
  PieceSource(std::string_view text, std::size_t piece, std::error_code end = {})
      : text_(text), piece_(piece), end_(end) {}
  std::size_t Read(char* buffer, std::size_t size, std::error_code& error) override {
    std::size_t n = std::min(size, text_.size());
    if (piece_ != 0) n = std::min(n, piece_);
    std::memcpy(buffer, text_.data(), n);
    text_.remove_prefix(n);
    if (n == 0) error = end_;
    return n;
  }

 private:
  std::string_view text_;
  std::size_t piece_;
  std::error_code end_;
};

// Everything a reader gives: "LINE: CELLS" for a row, "LINE: refused: MESSAGE", and how the
// input ended when not at its end.
std::vector<std::string> ReadAll(Source& source, const FieldChoice& field) {
  std::vector<std::string> out;
  LineReader reader(source, field);
  while (std::optional<PuzzleLine> line = reader.Next()) {
    const std::string digits(line->digits.begin(), line->digits.end());
    if (line->refusal) {
      out.push_back(std::to_string(line->line) + ": refused: " + *line->refusal);
      continue;
    }
    out.push_back(std::to_string(line->line) + ": " + digits);
    for (int k = 0; k < 81; ++k) {
      EXPECT_EQ(line->start(k / 9 + 1, k % 9 + 1), digits[static_cast<std::size_t>(k)] - '0');
    }
  }
  if (const auto& refusal = reader.refusal()) {
    out.push_back(
        "input refused: " + (refusal->line == 0 ? "" : std::to_string(refusal->line) + ": ") +
        refusal->message);
  }
  if (reader.error()) out.push_back("error: " + reader.error().message());
  return out;
}

// Reads `text` as a collection (through OpenCollection) in each of three ways; all must agree.
std::vector<std::string> Read(const std::string& text, const FieldChoice& field) {
  std::vector<std::string> first;
  for (const std::size_t piece : {std::size_t{0}, std::size_t{1}, std::size_t{7}}) {
    PieceSource source(text, piece);
    OpenedCollection opened = OpenCollection(source);
    std::vector<std::string> out;
    if (opened.refusal) {
      out.push_back("collection refused: " + *opened.refusal);
    } else {
      out = ReadAll(*opened.input, field);
    }
    if (piece == 0) {
      first = out;
    } else {
      EXPECT_EQ(out, first) << "read in pieces of " << piece;
    }
  }
  return first;
}

// --field as given: "" none, all digits a number, else a name.
FieldChoice Field(std::string_view given) {
  FieldChoice field;
  if (!given.empty() && given.find_first_not_of("0123456789") == std::string_view::npos) {
    field.number = static_cast<std::uint32_t>(std::stoul(std::string(given)));
  } else {
    field.name = std::string(given);
  }
  return field;
}

// gzip data of `text`, one member.
std::string Gzip(const std::string& text) {
  z_stream stream{};
  EXPECT_EQ(deflateInit2(&stream, 9, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
  std::string out(deflateBound(&stream, static_cast<uLong>(text.size())), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  stream.avail_in = static_cast<uInt>(text.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

const std::string kCells(kCellsExpected);

struct Case {
  const char* what;
  std::string text;
  const char* field;  // --field as given, "" for none
  std::vector<std::string> expected;
};

TEST(LineReaderTest, EveryFormOfLine) {
  const Case cases[] = {
      {"CSV with a header: the header gives no row",
       "quizzes,solutions\n" + kP + "," + kS + "\n",
       "",
       {"2: " + kP}},
      {"CSV without a header",
       kP + "," + kS + "\n" + kP + ";" + kS + "\n",
       "",
       {"1: " + kP, "2: " + kP}},
      {"id first, the header names the puzzle's field",
       "id,puzzle,solution,clues,difficulty\n1," + Marked('.') + "," + kS + ",25,0.0\n2,\"" + kP +
           "\"," + kS + ",25,1.5\n",
       "",
       {"2: " + kP, "3: " + kP}},
      {"id first without a header: the first field is no puzzle",
       "1," + kP + "\n",
       "",
       {"1: refused: puzzle: found 1 byte, expected 81 (field 2 holds 81 cells: --field=2 "
        "reads it)"}},
      {"the hint that another field holds the puzzle: once, and not in a FILE with a header",
       "1," + kP + "\n2," + Marked('.') + "\n",
       "",
       {"1: refused: puzzle: found 1 byte, expected 81 (field 2 holds 81 cells: --field=2 "
        "reads it)",
        "2: refused: puzzle: found 1 byte, expected 81"}},
      {"no hint with a header",
       "a,b\n1," + kP + "\n",
       "",
       {"2: refused: puzzle: found 1 byte, expected 81"}},
      {"no hint for the solution of a puzzle:count:solution line",
       "12345:1:" + kS + "\n",
       "",
       {"1: refused: puzzle: found 5 bytes, expected 81"}},
      {"a grid of 9 cells a line: the hint once",
       kP.substr(0, 9) + "\n" + kP.substr(9, 9) + "\n",
       "",
       {"1: refused: puzzle: found 9 bytes, expected 81 (9 cells a line: join each 9 lines into "
        "one, see the manual)",
        "2: refused: puzzle: found 9 bytes, expected 81"}},
      {"lengths in bytes: an e with an accent is two",
       kP.substr(0, 80) + "\xC3\xA9\n",
       "",
       {"1: refused: puzzle: found 82 bytes, expected 81"}},
      {"--field=2 without a header", "1," + kP + "\n7|" + kP + "\n", "2", {"1: " + kP, "2: " + kP}},
      {"--field=2 skips a header", "id puzzle\n1 " + kP + "\n", "2", {"2: " + kP}},
      {"--field=3 on lines of fewer fields",
       "1," + kP + "\n\n1,2," + kP + "\n",
       "3",
       {"1: refused: puzzle: found 2 fields, expected at least 3", "3: " + kP}},
      {"--field=NAME: any case, the first match wins",
       "A,Grid,grid\n1;" + kP + ";2\n",
       "GRID",
       {"2: " + kP}},
      {"--field=NAME that the header lacks",
       "quizzes,solutions\n" + kP + "," + kS + "\n",
       "puzzle",
       {"input refused: 1: header: found \"quizzes,solutions\", expected a field named "
        "\"puzzle\""}},
      {"--field=NAME without a header: the first content line is quoted and cut",
       "# puzzles\n" + kP + "\n" + kP + "\n",
       "puzzle",
       {"input refused: 2: header: found \"00302060090030500100...\", expected a field named "
        "\"puzzle\""}},
      {"--field=NAME on a file of comments alone",
       "# nothing yet\n\n",
       "puzzle",
       {"input refused: header: found an empty file, expected a field named \"puzzle\""}},
      {"header-only file", "puzzle,solution\r\n", "Puzzle", {}},
      {"':' lines, puzzle:count:solution",
       kP + ":1:" + kS + "\n" + kP + ":1:" + kS + "\n",
       "",
       {"1: " + kP, "2: " + kP}},
      {"quoted fields, the header's names too",
       "\"n\",\"Quiz\"\n\"1\",\"" + kP + "\"\n\"2\",\"" + kP + "\"\n",
       "",
       {"2: " + kP, "3: " + kP}},
      {"empty fields: two delimiters in a row, and one at the end",
       "a,," + kP + "\n1," + kP + ",\n",
       "3",
       {"1: " + kP,
        "2: refused: puzzle: found 0 bytes, expected 81 (field 2 holds 81 cells: --field=2 reads "
        "it)"}},
      {"blanks around a delimiter belong to it",
       "1 ,  " + kP + "\n1\t " + kP + "\n",
       "2",
       {"1: " + kP, "2: " + kP}},
      {"each empty-cell mark",
       Marked('0') + "\n" + Marked('.') + "\n" + Marked('*') + "\n" + Marked('_') + "\n" +
           Marked('-') + "\n" + Marked('x') + "\n" + Marked('X') + "\n",
       "",
       {"1: " + kP, "2: " + kP, "3: " + kP, "4: " + kP, "5: " + kP, "6: " + kP, "7: " + kP}},
      {"a grid of x is no header", std::string(81, 'x') + "\n", "", {"1: " + std::string(81, '0')}},
      {"a title without a delimiter: the first field",
       "List of puzzles\n" + kP + "\n",
       "",
       {"2: " + kP}},
      {"other bytes in the cells, and a blank first, name the accepted ones",
       kP.substr(0, 40) + "y" + kP.substr(41) + "\n \t" + kP + "\n\t" + kP + "\n",
       "",
       {"1: refused: row 5, column 5: found \"y\", expected " + kCells,
        "2: refused: puzzle: found a blank at the start of the line, expected 81 characters of " +
            kCells,
        "3: refused: puzzle: found a tab at the start of the line, expected 81 characters of " +
            kCells}},
      {"the length of the field, not of the line",
       kP.substr(0, 80) + ",x\n",
       "",
       {"1: refused: puzzle: found 80 bytes, expected 81"}},
      {"CR-only line ends", kP + "\r# note\r\r" + kP + " 1\r", "", {"1: " + kP, "4: " + kP}},
      {"a byte-order mark before a header",
       "\xEF\xBB\xBFpuzzle,solution\n" + kP + "," + kS,
       "puzzle",
       {"2: " + kP}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Read(c.text, Field(c.field)), c.expected) << c.what;
  }
}

// Which field a header makes the reader take. kS, the solution, is a valid puzzle too: a row of
// kS where kP is expected shows the wrong field read.
TEST(LineReaderTest, HeaderChoosesTheField) {
  const std::string kNoted = std::string(81, '.') + " empty grid";
  const Case cases[] = {
      {"names separated by blanks over lines of as many fields",
       "solution puzzle\n" + kS + " " + kP + "\n" + kS + "  " + kP + "\n",
       "",
       {"2: " + kP, "3: " + kP}},
      {"the line after such a header is the next that is not passed over",
       "Solution Puzzle\n# note\n\n" + kS + " " + kP + "\n" + kS + " " + kP + "\n",
       "",
       {"4: " + kP, "5: " + kP}},
      {"a title over one-field lines: Sudoku puzzles",
       "Sudoku puzzles\n" + kP + "\n",
       "",
       {"2: " + kP}},
      {"a title over one-field lines: My puzzles",
       "My puzzles\n" + kP + "\n" + kP + "\n",
       "",
       {"2: " + kP, "3: " + kP}},
      {"a title over lines of other fields", "solution puzzle\n" + kP + " 1 2\n", "", {"2: " + kP}},
      {"81 cells and a note on the first line are a puzzle line",
       kNoted + "\n" + kP + "\n",
       "",
       {"1: " + std::string(81, '0'), "2: " + kP}},
      {"--field=2: 81 cells in field 2 on the first line",
       "empty " + std::string(81, '.') + "\nid " + kP + "\n",
       "2",
       {"1: " + std::string(81, '0'), "2: " + kP}},
      {"--field=NAME: a first line of 81 cells and the name is a header",
       std::string(81, '.') + " grid\nnote " + kP + "\n",
       "grid",
       {"2: " + kP}},
      {"the more specific name wins: Grid;Sudoku",
       "Grid;Sudoku\n" + kS + ";" + kP + "\n",
       "",
       {"2: " + kP}},
      {"the order of the names, not of the fields: quiz,puzzles",
       "quiz,puzzles\n" + kS + "," + kP + "\n",
       "",
       {"2: " + kP}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Read(c.text, Field(c.field)), c.expected) << c.what;
  }
}

// Whether CR alone ends lines is decided on the first 64 KB: a line feed at their last byte
// keeps line feeds, one just after them does not.
TEST(LineReaderTest, LineEndIsChosenOnTheFirst64KB) {
  for (const std::size_t at : {LineReader::kBufferBytes - 1, LineReader::kBufferBytes}) {
    // A comment up to a CR, then the puzzle right before the line feed at `at`.
    std::string text(at - 1 - 81, '-');
    text.front() = '#';
    text += '\r';
    text += kP;
    ASSERT_EQ(text.size(), at);
    text += "\n";
    const std::vector<std::string> rows = Read(text, {});
    if (at < LineReader::kBufferBytes) {
      EXPECT_EQ(rows, std::vector<std::string>{}) << "one comment line";
    } else {
      EXPECT_EQ(rows, std::vector<std::string>{"2: " + kP}) << "CR line ends";
    }
  }
}

TEST(LineReaderTest, CompressedCollections) {
  const std::string lines = "puzzle\n" + kP + "\n" + Marked('.') + "\n";
  std::string member = Gzip(kP + "\n" + kP + "\n");
  std::string checkBroken = member;
  checkBroken[checkBroken.size() - 8] ^= 1;  // the CRC-32 of the data
  std::string flagsBroken = member;
  flagsBroken[3] = '\xE0';  // reserved header flags
  const std::string damaged = "input refused: ";
  const Case cases[] = {
      {"gzip, one member", Gzip(lines), "", {"2: " + kP, "3: " + kP}},
      {"gzip, members joined mid-line: lines and their numbers run on",
       Gzip(lines.substr(0, 30)) + Gzip(lines.substr(30)),
       "",
       {"2: " + kP, "3: " + kP}},
      {"gzip cut short: the partial line is not read",
       [&] {
         const std::string second = Gzip(kP + "\n" + kP.substr(0, 40));
         return member + second.substr(0, second.size() - 8);
       }(),
       "",
       {"1: " + kP, "2: " + kP, "3: " + kP,
        damaged + "4: compressed data is damaged: it ends in the middle of a member"}},
      {"bytes after the last member",
       member + "junk\n",
       "",
       {"1: " + kP, "2: " + kP,
        damaged + "3: compressed data is damaged: the bytes after the last member are not "
                  "another member"}},
      {"a check value that does not match",
       checkBroken,
       "",
       {"1: " + kP, "2: " + kP,
        damaged + "3: compressed data is damaged: a member's check value does not match its "
                  "data"}},
      {"a header that is not gzip's",
       flagsBroken,
       "",
       {damaged + "1: compressed data is damaged: it is not valid gzip data"}},
      {"xz",
       std::string("\xFD"
                   "7zXZ\0\0\x04",
                   8),
       "",
       {"collection refused: compressed with xz: decompress it first and pipe it into tarvik "
        "--batch -"}},
      {"zstd",
       "\x28\xB5\x2F\xFD\x04",
       "",
       {"collection refused: compressed with zstd: decompress it first and pipe it into tarvik "
        "--batch -"}},
      {"bzip2",
       "BZh91AY&SY\x01",
       "",
       {"collection refused: compressed with bzip2: decompress it first and pipe it into tarvik "
        "--batch -"}},
      {"zip",
       "PK\x03\x04\x14",
       "",
       {"collection refused: compressed with zip: decompress it first and pipe it into tarvik "
        "--batch -"}},
      {"text that starts like bzip2",
       "BZh9 " + kP + "\n" + kP + "\n",
       "",
       {"1: refused: puzzle: found 4 bytes, expected 81 (field 2 holds 81 cells: --field=2 reads "
        "it)",
        "2: " + kP}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Read(c.text, Field(c.field)), c.expected) << c.what;
  }
}

// A read error in the middle of a gzip member is the read error, not damaged data.
TEST(LineReaderTest, ReadErrorUnderGzipIsAReadError) {
  const std::string member = Gzip(kP + "\n" + kP + "\n");
  PieceSource source(std::string_view(member).substr(0, member.size() - 4), 0,
                     std::make_error_code(std::errc::io_error));
  OpenedCollection opened = OpenCollection(source);
  ASSERT_TRUE(opened.input);
  EXPECT_EQ(
      ReadAll(*opened.input, {}),
      (std::vector<std::string>{"1: " + kP, "2: " + kP,
                                "error: " + std::make_error_code(std::errc::io_error).message()}));
  EXPECT_EQ(opened.input->rawBytesRead(), member.size() - 4);
}

// The check of the cells, for every byte in every place: the byte-at-a-time twin against the
// cell marks, and the vector build against the twin.
TEST(LineReaderTest, CellCheckBuildsAgreeForEveryByteInEveryPlace) {
  char field[96];
  for (int at = 0; at < 96; ++at) {
    for (int byte = 0; byte < 256; ++byte) {
      std::memcpy(field, Marked('.').data(), 81);
      std::memset(field + 81, 'y', 15);
      field[at] = static_cast<char>(byte);
      std::int8_t cells[2][96];
      char digits[2][96];
      const bool portable = ToCellsPortable(field, cells[1], digits[1]);
      ASSERT_EQ(portable, at >= 81 || IsCell(static_cast<char>(byte))) << at << " " << byte;
      if (at < 81) {
        const int value = byte >= '0' && byte <= '9' ? byte - '0' : 0;
        ASSERT_EQ(cells[1][at], value) << at << " " << byte;
        ASSERT_EQ(digits[1][at], '0' + value) << at << " " << byte;
      }
#if defined(TARVIK_VECTOR_SSE2)
      const bool vector = ToCellsSse2(field, cells[0], digits[0]);
      ASSERT_EQ(vector, portable) << at << " " << byte;
      ASSERT_EQ(std::memcmp(cells[0], cells[1], 81), 0) << at << " " << byte;
      ASSERT_EQ(std::memcmp(digits[0], digits[1], 81), 0) << at << " " << byte;
#endif
    }
  }
}

}  // namespace
}  // namespace tarvik::batch
