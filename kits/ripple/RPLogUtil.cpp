#include "kits/ripple/RPLogUtil.h"

RPLogUtil& RPLogUtil::sharedInstance() {
    static RPLogUtil shared;
    return shared;
}

void RPLogUtil::configLogBlock(LogBlock block, std::int64_t level) {
    if (!block) return;
    if (logBlock_) logBlock_("change into print log by other block");
    logLevel_ = level;
    logBlock_ = std::move(block);
}

void RPLogUtil::printLog(const std::string& line, std::int64_t level) {
    bool passes = level == 0 || (level == 1 && logLevel_ == 1);
    if (passes && logBlock_) logBlock_(line);
}

void RPLogUtil::removeLog() { logBlock_ = nullptr; }

std::string RPLogUtil::plainLine(const std::string& message) { return "rplog:" + message; }

std::string RPLogUtil::errorLine(const std::string& message) { return plainLine("Error:" + message); }
