#include "app/team/KXGridViews.h"

#include "app/team/KXTeamColors.h"

namespace KXGridViews {

namespace {

// The smallest share of its 12-point size that wrapped grid text shrinks to.
constexpr CGFloat kSmallestWrappedScale = 0.75;

}  // namespace

Ref<UILabel> label(CGRect frame, const std::string& text, UIColor background, double alpha, long lines) {
    auto label = make<UILabel>(frame);
    label->setText(text);
    label->setTextAlignment(NSTextAlignment::Center);
    label->setTextColor(UIColor::blackColor());
    label->setAlpha(alpha);
    label->setFont(UIFont::systemFontOfSize(12));
    label->setBackgroundColor(background);
    label->setNumberOfLines(lines);
    // Wrapped grid text shrinks a little rather than cut a date or an
    // amount between two lines on a narrow screen; it breaks at its spaces.
    if (lines != 1) {
        label->setAdjustsFontSizeToFitWidth(true);
        label->setMinimumScaleFactor(kSmallestWrappedScale);
    }
    return label;
}

Ref<UIView> line(CGRect frame) {
    auto line = make<UIView>(frame);
    line->setBackgroundColor(KXTeamColors::gridLine());
    return line;
}

}  // namespace KXGridViews
