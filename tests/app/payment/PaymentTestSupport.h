#pragma once

#include <string>

// Where the payment tests write their screen shots: the build folder (the
// app bundle is built at <build>/app/bundle), whatever the working folder.
inline std::string paymentShotPath(const std::string& name) {
    return std::string(VELMARO_APP_BUNDLE_DIR) + "/../../" + name;
}
