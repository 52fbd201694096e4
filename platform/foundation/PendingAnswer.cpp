#include "foundation/PendingAnswer.h"

#include <atomic>

namespace {

std::atomic<std::size_t> pending{0};

}  // namespace

PendingAnswer::PendingAnswer() { ++pending; }

PendingAnswer::~PendingAnswer() { --pending; }

std::size_t PendingAnswer::count() { return pending.load(); }
