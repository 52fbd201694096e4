#pragma once

#include <string>

#include "frameworks/segmented/JXSegmentedBaseItemModel.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"

// A title item: its text, its normal and selected looks, and the colour it
// shows now (between the two while the pages are swiped).
class JXSegmentedTitleItemModel : public JXSegmentedBaseItemModel {
public:
    std::string title;
    UIColor titleNormalColor = UIColor::blackColor();
    UIColor titleSelectedColor = UIColor::redColor();
    UIColor titleCurrentColor = UIColor::blackColor();
    UIFont titleNormalFont = UIFont::systemFontOfSize(15);
    UIFont titleSelectedFont = UIFont::systemFontOfSize(15);
    bool isTitleColorGradientEnabled = false;
};
