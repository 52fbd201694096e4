#include "app/team/KXGridViews.h"

#include "app/team/KXTeamColors.h"

namespace KXGridViews {

Ref<UILabel> label(CGRect frame, const std::string& text, UIColor background, double alpha, long lines) {
    auto label = make<UILabel>(frame);
    label->setText(text);
    label->setTextAlignment(NSTextAlignment::Center);
    label->setTextColor(UIColor::blackColor());
    label->setAlpha(alpha);
    label->setFont(UIFont::systemFontOfSize(12));
    label->setBackgroundColor(background);
    label->setNumberOfLines(lines);
    return label;
}

Ref<UIView> line(CGRect frame) {
    auto line = make<UIView>(frame);
    line->setBackgroundColor(KXTeamColors::gridLine());
    return line;
}

}  // namespace KXGridViews
