// SPDX-License-Identifier: MIT
#include "batch/batch_options.h"

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

}  // namespace tarvik::batch
