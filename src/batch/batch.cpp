#include "batch/batch.h"

namespace tarvik::batch {

ExitStatus RunBatch(const BatchOptions& /*options*/, Host& /*host*/) { return ExitStatus::kUsage; }

}  // namespace tarvik::batch
