#pragma once

#include <string>
#include <utility>
#include <vector>

#include "foundation/NSObject.h"

// A failure a caller reports as an object: its name, its reason (which is
// also its description) and the call stack where it was made.
class NSException : public NSObject {
public:
    NSException(std::string name, std::string reason, std::vector<std::string> callStackSymbols)
        : name_(std::move(name)), reason_(std::move(reason)), callStackSymbols_(std::move(callStackSymbols)) {}

    // An exception carrying the current thread's call stack.
    static Ref<NSException> exceptionWithName(std::string name, std::string reason);

    std::string className() const override { return "NSException"; }
    std::string description() const override { return reason_; }
    const std::string& name() const { return name_; }
    const std::string& reason() const { return reason_; }
    const std::vector<std::string>& callStackSymbols() const { return callStackSymbols_; }

private:
    std::string name_;
    std::string reason_;
    std::vector<std::string> callStackSymbols_;
};
