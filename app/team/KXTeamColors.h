#pragma once

#include "graphics/UIColor.h"

// The colours of the team screens.
struct KXTeamColors {
    // Buttons and the chosen option.
    static UIColor accentBlue() { return UIColor::colorWithRed(85 / 255.0, 89 / 255.0, 234 / 255.0, 1); }
    // Screen and table background.
    static UIColor screenBackground() { return UIColor::colorWithRed(245 / 255.0, 245 / 255.0, 245 / 255.0, 1); }
    // Grid lines of the list rows.
    static UIColor gridLine() { return UIColor::colorWithRed(232 / 255.0, 232 / 255.0, 232 / 255.0, 1); }
    // Background of a list row's columns.
    static UIColor rowBackground() { return UIColor::colorWithRed(243 / 255.0, 243 / 255.0, 243 / 255.0, 1); }
    // Refusing and deleting.
    static UIColor refusalRed() { return UIColor::colorWithRed(255 / 255.0, 118 / 255.0, 118 / 255.0, 1); }
    // Body text.
    static UIColor bodyText() { return UIColor::colorWithRed(68 / 255.0, 68 / 255.0, 68 / 255.0, 1); }
};
