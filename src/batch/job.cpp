// SPDX-License-Identifier: MIT
#include "batch/job.h"

#include <utility>

namespace tarvik::batch {

void Job::SetLine(std::size_t fromOperand, PuzzleLine&& read) {
  operand = fromOperand;
  line = std::move(read);
  notice.reset();
  operandEnd.reset();
}

void Job::SetNotice(std::size_t fromOperand, ExitStatus status, bool gaveNoRow,
                    std::string_view why, std::string&& messageLine) {
  operand = fromOperand;
  notice = status;
  notRead = gaveNoRow;
  operandEnd.reset();
  reason.assign(why);
  message = std::move(messageLine);
}

void Job::SetOperandEnd(std::size_t fromOperand, std::int64_t lines) {
  operand = fromOperand;
  notice.reset();
  operandEnd = lines;
}

}  // namespace tarvik::batch
