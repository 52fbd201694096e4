#include "app/promotion/KXNotchedScreen.h"

#include <algorithm>
#include <array>

#include "uikit/UIScreen.h"

bool KXNotchedScreen::isNotchedSize(CGSize size) {
    static constexpr std::array<CGSize, 4> kPortraitSizes{{{375, 812}, {414, 896}, {390, 844}, {428, 926}}};
    return std::any_of(kPortraitSizes.begin(), kPortraitSizes.end(), [size](CGSize portrait) {
        return size == portrait || size == CGSize{portrait.height, portrait.width};
    });
}

bool KXNotchedScreen::isNotched() { return isNotchedSize(UIScreen::mainScreen()->bounds().size); }
