#include "kits/ripple/RPLogUtil.h"

RPLogUtil& RPLogUtil::sharedInstance() {
    static RPLogUtil shared;
    return shared;
}

void RPLogUtil::configLogBlock(LogBlock block, std::int64_t level) {
    if (!block) return;
    if (auto delegate = logDelegate_.lock()) delegate->onLog("change into print log by block", logLevel_);
    if (logBlock_) logBlock_("change into print log by other block");
    logDelegate_.reset();
    logLevel_ = level;
    logBlock_ = std::move(block);
}

void RPLogUtil::configLogDelegate(const Ref<RPApiLogDelegate>& delegate, std::int64_t level) {
    if (!logDelegate_.expired()) return;
    if (logBlock_) logBlock_("change into print log by delegate");
    logBlock_ = nullptr;
    logLevel_ = level;
    logDelegate_ = delegate;
}

void RPLogUtil::printLog(const std::string& line, std::int64_t level) {
    bool passes = level == 0 || (level == 1 && logLevel_ == 1);
    if (!passes) return;
    if (auto delegate = logDelegate_.lock()) {
        delegate->onLog(line, logLevel_);
    } else if (logBlock_) {
        logBlock_(line);
    }
}

void RPLogUtil::removeLog() {
    logBlock_ = nullptr;
    logDelegate_.reset();
}

std::string RPLogUtil::plainLine(const std::string& message) { return "rplog:" + message; }

std::string RPLogUtil::errorLine(const std::string& message) { return plainLine("Error:" + message); }

void RPLogUtil::log(const std::string& message) { sharedInstance().printLog(plainLine(message), 0); }

void RPLogUtil::logError(const std::string& message) { sharedInstance().printLog(errorLine(message), 0); }
