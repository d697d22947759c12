// SPDX-License-Identifier: MIT
#pragma once

#include "batch/batch_options.h"
#include "system/exit_status.h"
#include "system/host.h"

namespace tarvik::batch {

// Grades every puzzle line of the operands (standard input if none), one row each on the host's
// console in input order, solving on `options.jobs` threads. Returns the exit status.
ExitStatus RunBatch(const BatchOptions& options, Host& host);

}  // namespace tarvik::batch
