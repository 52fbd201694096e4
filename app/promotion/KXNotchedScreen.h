#pragma once

#include "graphics/CGGeometry.h"

// The screen-shape test of the older, code-built promotion screens: they
// recognise a notched phone by its main screen's size in points (375 x 812,
// 414 x 896, 390 x 844 or 428 x 926, in either orientation) and then keep
// the home indicator's strip free at the bottom.
class KXNotchedScreen {
public:
    KXNotchedScreen() = delete;

    // The points kept free at the bottom of a notched screen.
    static constexpr CGFloat kBottomInset = 34;

    static bool isNotchedSize(CGSize size);
    // The test on the main screen as it is now.
    static bool isNotched();
};
