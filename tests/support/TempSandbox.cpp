#include "tests/support/TempSandbox.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "foundation/AppSandbox.h"
#include "foundation/NSUserDefaults.h"

TempSandbox::TempSandbox() {
    std::error_code error;
    std::string pattern = (std::filesystem::temp_directory_path(error) / "velmaro-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) ADD_FAILURE() << "cannot make a temporary sandbox folder";
    path_ = pattern;
    NSUserDefaults::resetStandardUserDefaults();
    if (!AppSandbox::setRoot(path_)) ADD_FAILURE() << "cannot set up the sandbox in " << path_;
}

TempSandbox::~TempSandbox() {
    NSUserDefaults::resetStandardUserDefaults();
    AppSandbox::reset();
    std::error_code error;
    std::filesystem::remove_all(path_, error);
}
