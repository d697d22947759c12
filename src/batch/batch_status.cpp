// SPDX-License-Identifier: MIT
#include "batch/batch_status.h"

namespace tarvik::batch {

ExitStatus BatchStatus::Final() const {
  if (internalError) return ExitStatus::kSoftware;
  if (outOfMemory) return ExitStatus::kOsError;
  if (writeFailed) return ExitStatus::kIoError;
  if (cantCreate) return ExitStatus::kCantCreate;
  if (unreadable) return ExitStatus::kNoInput;
  if (refused) return ExitStatus::kDataError;
  return ExitStatus::kSuccess;
}

void BatchStatus::Set(ExitStatus status) {
  switch (status) {
    case ExitStatus::kSoftware: internalError = true; break;
    case ExitStatus::kOsError: outOfMemory = true; break;
    case ExitStatus::kIoError: writeFailed = true; break;
    case ExitStatus::kCantCreate: cantCreate = true; break;
    case ExitStatus::kNoInput: unreadable = true; break;
    case ExitStatus::kDataError: refused = true; break;
    default: break;
  }
}

}  // namespace tarvik::batch
