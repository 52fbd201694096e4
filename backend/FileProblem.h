#pragma once

// The back end's and the runner's name for the wording of file problems,
// which the app shares (foundation/FileProblem.h).
#include "foundation/FileProblem.h"

namespace backend {
namespace FileProblem = ::FileProblem;
}  // namespace backend
