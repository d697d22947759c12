// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cassert>
#include <cstdint>

namespace tarvik {

// A fixed array indexed from 1, written A(k) like the fields it holds.
template <typename T, std::size_t N>
struct OneBased {
  std::array<T, N> data{};

  // The array of f(1) to f(N).
  template <typename F>
  static constexpr OneBased Of(F f) {
    OneBased table;
    for (int k = 1; k <= size(); ++k) table(k) = static_cast<T>(f(k));
    return table;
  }

  constexpr T& operator()(int k) {
    assert(k >= 1 && k <= size());
    return data[static_cast<std::size_t>(k) - 1];
  }
  constexpr const T& operator()(int k) const {
    assert(k >= 1 && k <= size());
    return data[static_cast<std::size_t>(k) - 1];
  }
  static constexpr int size() { return static_cast<int>(N); }
};

}  // namespace tarvik
