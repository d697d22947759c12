// SPDX-License-Identifier: MIT
#include "batch/parameter_sets.h"

#include <algorithm>
#include <limits>

namespace tarvik::batch {
namespace {

constexpr std::uint64_t kBig = std::uint64_t{1} << 40;  // beyond any room, and far from overflow

// Unsigned decimal digits, capped at kBig; none when not all digits.
std::optional<std::uint64_t> Unsigned(std::string_view text) {
  if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  std::uint64_t value = 0;
  for (const char c : text)
    value = std::min<std::uint64_t>(value * 10 + static_cast<std::uint64_t>(c - '0'), kBig);
  return value;
}

// A single value as the single-valued option reads it: [+-]?[0-9]+.
std::optional<std::int64_t> Whole(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  const std::optional<std::uint64_t> magnitude = Unsigned(text);
  if (!magnitude) return std::nullopt;
  const auto value = static_cast<std::int64_t>(*magnitude);
  return negative ? -value : value;
}

// Splits `text` at its commas.
std::vector<std::string_view> Items(std::string_view text) {
  std::vector<std::string_view> items;
  for (;;) {
    const std::size_t comma = text.find(',');
    items.push_back(text.substr(0, comma));
    if (comma == std::string_view::npos) return items;
    text.remove_prefix(comma + 1);
  }
}

std::string TooMany() {
  return "at most " + std::to_string(kMaxParameterSets) + " parameter sets in all";
}

// Appends `value` unless `values` holds it already.
template <typename T>
void AddNew(std::vector<T>& values, T value) {
  if (std::find(values.begin(), values.end(), value) == values.end()) {
    values.push_back(std::move(value));
  }
}

bool IsSequence(std::string_view codes) {
  return !codes.empty() && codes.size() <= 100 &&
         codes.find_first_not_of("1234") == std::string_view::npos;
}

// The distinct orderings of `codes`: the multinomial coefficient, capped at kBig.
std::uint64_t Orderings(std::string_view codes) {
  std::uint64_t count = 1;
  std::size_t placed = 0;
  for (const char code : {'1', '2', '3', '4'}) {
    const auto n = static_cast<std::size_t>(std::count(codes.begin(), codes.end(), code));
    // count * C(placed + i, i) for i = 1..n, one factor at a time, exact at every step.
    for (std::size_t i = 1; i <= n; ++i) {
      ++placed;
      if (count >= kBig) return kBig;
      count = count * placed / i;
    }
  }
  return std::min(count, kBig);
}

}  // namespace

std::optional<ListRefusal> ParseNumberList(std::string_view text, std::int32_t low,
                                           std::int32_t high, std::size_t room,
                                           std::vector<std::int32_t>& values) {
  const std::string bounds = high == std::numeric_limits<std::int32_t>::max()
                                 ? "of " + std::to_string(low) + " or more"
                                 : "from " + std::to_string(low) + " to " + std::to_string(high);
  const std::string range = "an integer " + bounds;
  const std::string ranged =
      "a range A-B or A-B/S of unsigned integers " + bounds + ", B at least A, S 1 or more";
  values.clear();
  std::uint64_t listed = 0;
  for (const std::string_view item : Items(text)) {
    const std::size_t dash = item.find('-', 1);
    if (dash == std::string_view::npos) {
      const std::optional<std::int64_t> value = Whole(item);
      if (!value || *value < low || *value > high) return ListRefusal{std::string(item), range};
      if (++listed > room) return ListRefusal{std::string(item), TooMany()};
      AddNew(values, static_cast<std::int32_t>(*value));
      continue;
    }
    const std::size_t slash = item.find('/', dash);
    const auto first = Unsigned(item.substr(0, dash));
    const auto last =
        Unsigned(item.substr(dash + 1, slash == item.npos ? item.npos : slash - dash - 1));
    const auto stride =
        slash == item.npos ? std::optional<std::uint64_t>(1) : Unsigned(item.substr(slash + 1));
    if (!first || !last || !stride || *last < *first || *stride == 0 ||
        *first < static_cast<std::uint64_t>(low) || *last > static_cast<std::uint64_t>(high)) {
      return ListRefusal{std::string(item), ranged};
    }
    // Counted before listed: a range of a billion values is refused without being walked.
    listed += (*last - *first) / *stride + 1;
    if (listed > room) return ListRefusal{std::string(item), TooMany()};
    for (std::uint64_t value = *first; value <= *last; value += *stride) {
      AddNew(values, static_cast<std::int32_t>(value));
    }
  }
  return std::nullopt;
}

std::optional<ListRefusal> ParseSequenceList(std::string_view text, std::size_t room,
                                             std::vector<std::string>& values) {
  constexpr std::string_view kExpected = "1 to 100 technique codes, each 1 to 4";
  constexpr std::string_view kPerm = "perm:";
  values.clear();
  std::uint64_t listed = 0;
  for (const std::string_view item : Items(text)) {
    const bool perm = item.starts_with(kPerm);
    std::string codes(perm ? item.substr(kPerm.size()) : item);
    if (!IsSequence(codes)) {
      return ListRefusal{std::string(item), (perm ? "perm: and " : "") + std::string(kExpected)};
    }
    listed += perm ? Orderings(codes) : 1;
    if (listed > room) return ListRefusal{std::string(item), TooMany()};
    if (!perm) {
      AddNew(values, std::move(codes));
      continue;
    }
    std::sort(codes.begin(), codes.end());
    do {
      AddNew(values, codes);
    } while (std::next_permutation(codes.begin(), codes.end()));
  }
  return std::nullopt;
}

}  // namespace tarvik::batch
