#pragma once

#include <optional>
#include <string>

#include "app/shell/KXBlankText.h"
#include "foundation/NSObject.h"

// One row's value on the profile screen; unset when the record lacks it.
class KXPersonalInformationModel : public NSObject {
public:
    const std::optional<std::string>& mingcheng() const { return mingcheng_; }
    void setMingcheng(std::optional<std::string> value) { mingcheng_ = std::move(value); }
    // Missing or blank (KXBlankText): the row still waits to be filled in.
    bool isEmpty() const { return !mingcheng_ || KXBlankText::isBlank(*mingcheng_); }

    std::string className() const override { return "KXPersonalInformationModel"; }

private:
    std::optional<std::string> mingcheng_;
};
