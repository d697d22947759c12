// SPDX-License-Identifier: MIT
#include "batch/batch_options.h"

#include <cstdint>
#include <limits>

#include "system/quoting.h"
#include "view/overview_page.h"

namespace tarvik::batch {

std::string KeptHead(const FieldChoice& field) {
  return field.name.empty() ? "field" + std::to_string(field.number) : field.name;
}

std::string ReportName(std::string_view operand) {
  if (operand == "-") return "stdin";
  const std::size_t slash = operand.rfind('/');
  std::string_view base = slash == std::string_view::npos ? operand : operand.substr(slash + 1);
  // top.csv.gz is named as top.csv is: compressed or not, a collection keeps its report names.
  if (base.size() > 3) {
    const std::string_view tail = base.substr(base.size() - 3);
    if (tail[0] == '.' && (tail[1] | 0x20) == 'g' && (tail[2] | 0x20) == 'z') {
      base.remove_suffix(3);
    }
  }
  const std::size_t dot = base.rfind('.');
  if (dot != std::string_view::npos && dot != 0) base = base.substr(0, dot);
  return std::string(base);
}

namespace {

constexpr std::size_t kMaxDigits = 18;  // what a 64-bit value holds, whatever the digits

// Takes a trailing "-NUMBER" off `base`, NUMBER 1 or more with no leading zero, as the rows number
// lines and sets; its value, saturated, or 0 when there is none.
std::uint64_t TakeNumber(std::string_view& base) {
  const std::size_t dash = base.rfind('-');
  if (dash == std::string_view::npos || dash + 1 == base.size() || base[dash + 1] == '0' ||
      base.find_first_not_of("0123456789", dash + 1) != std::string_view::npos) {
    return 0;
  }
  const std::string_view digits = base.substr(dash + 1);
  base = base.substr(0, dash);
  if (digits.size() > kMaxDigits) return std::numeric_limits<std::uint64_t>::max();
  std::uint64_t value = 0;
  for (const char digit : digits) value = value * 10 + static_cast<std::uint64_t>(digit - '0');
  return value;
}

}  // namespace

bool WritesFileNamed(const BatchOptions& options, std::string_view base, bool page) {
  const std::string_view extension = page ? ".html" : ".txt";
  if (page && base == "index.html") return true;
  if (!base.ends_with(extension)) return false;
  base.remove_suffix(extension.size());
  // REPORTNAME-LINE, and in a sweep REPORTNAME-LINE-K with K one of its sets.
  const std::size_t sets = options.lists.Count();
  if (sets > 1) {
    const std::uint64_t set = TakeNumber(base);
    if (set == 0 || set > sets) return false;
  }
  if (TakeNumber(base) == 0) return false;
  const std::string_view name = base;
  if (options.operands.empty()) return name == "stdin";
  for (const std::string& operand : options.operands) {
    if (ReportName(operand) == name) return true;
  }
  return false;
}

std::optional<std::string> OverviewNameClash(const BatchOptions& options) {
  if (!options.overview) return std::nullopt;
  const std::string& overview = *options.overview;
  const std::string_view base = std::string_view(overview).substr(overview.rfind('/') + 1);
  // The overview lies in a folder when the way from one to the other is empty.
  const auto in = [&](const std::optional<std::string>& dir) {
    return dir && view::LinkBase(overview, *dir) == std::string();
  };
  std::string_view what;
  const bool sweep = options.lists.Count() > 1;
  if (in(options.viewsDir) && WritesFileNamed(options, base, true)) {
    what = base == "index.html" ? "the --views folder's index.html"
           : sweep              ? "the --views folder's pages (REPORTNAME-LINE-K.html)"
                                : "the --views folder's pages (REPORTNAME-LINE.html)";
  } else if (in(options.reportsDir) && WritesFileNamed(options, base, false)) {
    what = sweep ? "the --reports folder's report files (REPORTNAME-LINE-K.txt)"
                 : "the --reports folder's report files (REPORTNAME-LINE.txt)";
  } else {
    return std::nullopt;
  }
  return "--overview: found " + Quoted(overview) + ", expected a file other than " +
         std::string(what);
}

}  // namespace tarvik::batch
