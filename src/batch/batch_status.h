// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "system/exit_status.h"

namespace tarvik::batch {

// Why the batch stopped early, or why its status is not 0. Kept in the order of precedence: the
// batch ends with the status of the gravest thing that happened.
struct BatchStatus {
  bool internalError = false;
  bool outOfMemory = false;
  bool writeFailed = false;
  bool cantCreate = false;
  bool unreadable = false;
  bool refused = false;

  ExitStatus Final() const;
  // Records that `status` happened.
  void Set(ExitStatus status);
};

// Something that gives the batch a status other than 0, and the message line that says what.
struct Failure {
  ExitStatus status = ExitStatus::kSuccess;
  std::string message;  // the whole message line, with its line feed
};

}  // namespace tarvik::batch
