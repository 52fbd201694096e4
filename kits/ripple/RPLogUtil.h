#pragma once

#include <cstdint>
#include <functional>
#include <string>

// The kit's one log sink. Lines go to the receiver the host installs (none by
// default: then they are dropped). Level 0 lines always pass; level 1 lines
// only when the installed level is 1; other levels never. Main thread only,
// like the rest of the kit.
class RPLogUtil {
public:
    using LogBlock = std::function<void(const std::string& line)>;

    static RPLogUtil& sharedInstance();

    // Installs `block` (a null one changes nothing); an earlier block is told
    // "change into print log by other block" first.
    void configLogBlock(LogBlock block, std::int64_t level);
    void printLog(const std::string& line, std::int64_t level);
    // Drops the receiver; the level stays.
    void removeLog();

    // The kit's line forms: "rplog:<message>" and "rplog:Error:<message>".
    static std::string plainLine(const std::string& message);
    static std::string errorLine(const std::string& message);

private:
    LogBlock logBlock_;
    std::int64_t logLevel_ = 0;
};
