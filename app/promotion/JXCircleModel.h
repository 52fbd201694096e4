#pragma once

#include <optional>
#include <string>

#include "foundation/NSObject.h"
#include "graphics/UIColor.h"

// One item of the ring chart (JXCircleRatioView): its value, colour and the
// two labels at the end of its leader line.
class JXCircleModel : public NSObject {
public:
    // The item's value as text; the chart reads it as a float.
    const std::string& number() const { return number_; }
    void setNumber(std::string number) { number_ = std::move(number); }
    // The colour of the sector, dot, leader line and labels; none draws nothing.
    const std::optional<UIColor>& color() const { return color_; }
    void setColor(std::optional<UIColor> color) { color_ = color; }
    // The label below the leader line.
    const std::string& name() const { return name_; }
    void setName(std::string name) { name_ = std::move(name); }
    // The label above the leader line.
    const std::string& column() const { return column_; }
    void setColumn(std::string column) { column_ = std::move(column); }

private:
    std::string number_;
    std::optional<UIColor> color_;
    std::string name_;
    std::string column_;
};
