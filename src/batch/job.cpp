// SPDX-License-Identifier: MIT
#include "batch/job.h"

#include <utility>

namespace tarvik::batch {

void Job::SetLine(std::size_t fromOperand, PuzzleLine&& read, std::size_t ofLine,
                  std::size_t lineParts) {
  operand = fromOperand;
  line = std::move(read);
  part = ofLine;
  parts = lineParts;
  notice.reset();
  operandEnd.reset();
}

void Job::SetNotice(std::size_t fromOperand, ExitStatus status, bool gaveNoRow,
                    std::string_view why, std::string&& messageLine) {
  operand = fromOperand;
  part = 0;
  parts = 0;
  notice = status;
  notRead = gaveNoRow;
  operandEnd.reset();
  reason.assign(why);
  message = std::move(messageLine);
}

void Job::SetOperandEnd(std::size_t fromOperand, std::int64_t lines) {
  operand = fromOperand;
  part = 0;
  parts = 0;
  notice.reset();
  operandEnd = lines;
}

}  // namespace tarvik::batch
