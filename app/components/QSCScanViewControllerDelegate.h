#pragma once

#include <optional>
#include <string>

#include "app/components/QSCScanResult.h"

// Receives the scan screen's result: the first code recognised, or an
// empty result with an error text.
class QSCScanViewControllerDelegate {
public:
    virtual ~QSCScanViewControllerDelegate() = default;
    virtual void receiveScanResult(const QSCScanResult& result, const std::optional<std::string>& error) = 0;
};
