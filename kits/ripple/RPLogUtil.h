#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "foundation/NSObject.h"
#include "foundation/StoredBlock.h"

// A host-side receiver of the kit's log lines, with the installed level.
class RPApiLogDelegate {
public:
    virtual ~RPApiLogDelegate() = default;
    virtual void onLog(const std::string& line, std::int64_t logLevel) = 0;
};

// The kit's one log sink. Lines go to the receiver the host installs, a
// block or a delegate (never both; none by default: then they are dropped).
// Level 0 lines always pass; level 1 lines only when the installed level is
// 1; other levels never. Main thread only, like the rest of the kit.
class RPLogUtil {
public:
    // A block may stop the log or install another block while it runs.
    using LogBlock = StoredBlock<void(const std::string& line)>;

    static RPLogUtil& sharedInstance();

    // Installs `block` (a null one changes nothing) in place of any
    // receiver: a delegate is told "change into print log by block", an
    // earlier block "change into print log by other block".
    void configLogBlock(LogBlock block, std::int64_t level);
    // Installs `delegate`, held weakly, in place of a block (which is told
    // "change into print log by delegate"). While a delegate is installed
    // (and alive), another one changes nothing, level included.
    void configLogDelegate(const Ref<RPApiLogDelegate>& delegate, std::int64_t level);
    void printLog(const std::string& line, std::int64_t level);
    // Drops the receivers; the level stays.
    void removeLog();

    // The kit's line forms: "rplog:<message>" and "rplog:Error:<message>".
    static std::string plainLine(const std::string& message);
    static std::string errorLine(const std::string& message);
    // Writes a plain or an error line at level 0, as every part of the kit does.
    static void log(const std::string& message);
    static void logError(const std::string& message);

private:
    LogBlock logBlock_;
    WeakRef<RPApiLogDelegate> logDelegate_;
    std::int64_t logLevel_ = 0;
};
