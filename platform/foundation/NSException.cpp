#include "foundation/NSException.h"

#include <execinfo.h>

#include <cstdlib>

Ref<NSException> NSException::exceptionWithName(std::string name, std::string reason) {
    void* frames[128];
    const int count = backtrace(frames, 128);
    std::vector<std::string> symbols;
    if (char** names = backtrace_symbols(frames, count)) {
        symbols.assign(names, names + count);
        std::free(names);
    }
    return make<NSException>(std::move(name), std::move(reason), std::move(symbols));
}
