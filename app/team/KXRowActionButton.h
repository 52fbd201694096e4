#pragma once

#include <string>

#include "graphics/UIColor.h"
#include "uikit/UIButton.h"

// The small buttons in the operation column of the team lists: a white
// title in system font 12 on a coloured ground with corners of 2 points.
class KXRowActionButton {
public:
    KXRowActionButton() = delete;

    static Ref<UIButton> buttonWithTitle(const std::string& title, CGRect frame, UIColor background);
};
