#include "tests/support/TempSandbox.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "foundation/AppSandbox.h"
#include "foundation/NSUserDefaults.h"

TempFolder::TempFolder(const std::string& name) {
    std::error_code error;
    std::string pattern = (std::filesystem::temp_directory_path(error) / (name + "-XXXXXX")).string();
    if (!mkdtemp(pattern.data())) ADD_FAILURE() << "cannot make a temporary folder " << pattern;
    path_ = pattern;
}

TempFolder::~TempFolder() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
}

TempSandbox::TempSandbox() {
    NSUserDefaults::resetStandardUserDefaults();
    if (!AppSandbox::setRoot(path())) ADD_FAILURE() << "cannot set up the sandbox in " << path();
}

TempSandbox::~TempSandbox() {
    NSUserDefaults::resetStandardUserDefaults();
    AppSandbox::reset();
}
