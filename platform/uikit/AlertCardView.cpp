#include "uikit/AlertCardView.h"

#include <algorithm>

#include "uikit/TappableView.h"
#include "uikit/UILabel.h"
#include "uikit/UIScreen.h"

namespace {

constexpr CGFloat kAlertWidth = 270;
constexpr CGFloat kSheetMargin = 8;
constexpr CGFloat kPadding = 16;
constexpr CGFloat kButtonHeight = 44;

UIColor colorFor(AlertCardView::ButtonRole role) {
    return role == AlertCardView::ButtonRole::Destructive ? UIColor::colorWithRed(1, 59.0 / 255, 48.0 / 255, 1)
                                                          : UIColor::colorWithRed(0, 122.0 / 255, 1, 1);
}

}  // namespace

AlertCardView::AlertCardView(std::string title, std::string message, bool actionSheet)
    : UIView(UIScreen::mainScreen()->bounds()),
      title_(std::move(title)),
      message_(std::move(message)),
      actionSheet_(actionSheet) {}

void AlertCardView::didCreate() {
    UIView::didCreate();
    setBackgroundColor(UIColor::colorWithWhite(0, 0.4));
    card_ = make<UIView>();
    card_->setBackgroundColor(UIColor::whiteColor());
    card_->layer()->setCornerRadius(14);
    card_->setClipsToBounds(true);
    titleLabel_ = make<UILabel>();
    titleLabel_->setText(title_);
    titleLabel_->setFont(actionSheet_ ? UIFont::boldSystemFontOfSize(13) : UIFont::boldSystemFontOfSize(17));
    messageLabel_ = make<UILabel>();
    messageLabel_->setText(message_);
    messageLabel_->setFont(UIFont::systemFontOfSize(13));
    for (const auto& label : {titleLabel_, messageLabel_}) {
        label->setNumberOfLines(0);
        label->setTextAlignment(NSTextAlignment::Center);
        label->setHidden(label->text().empty());
        card_->addSubview(label);
    }
    addSubview(card_);
}

void AlertCardView::setButtons(std::vector<Button> buttons, std::function<void(std::size_t)> tapped) {
    for (const auto& view : buttonViews_) view->removeFromSuperview();
    buttonViews_.clear();
    // The cancel button goes last, except in an alert of two, where it goes first.
    std::vector<std::size_t> order;
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i].role != ButtonRole::Cancel) order.push_back(i);
    for (std::size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i].role == ButtonRole::Cancel) {
            bool first = !actionSheet_ && buttons.size() == 2;
            order.insert(first ? order.begin() : order.end(), i);
        }
    auto shared = std::make_shared<std::function<void(std::size_t)>>(std::move(tapped));
    for (std::size_t index : order) {
        const Button& button = buttons[index];
        auto view = make<TappableView>();
        auto label = make<UILabel>();
        label->setText(button.title);
        label->setTextAlignment(NSTextAlignment::Center);
        label->setTextColor(colorFor(button.role));
        label->setFont(button.role == ButtonRole::Cancel ? UIFont::boldSystemFontOfSize(17)
                                                         : UIFont::systemFontOfSize(17));
        label->setTag(1);
        view->addSubview(label);
        view->setAccessibilityLabel(button.title);
        view->setTapHandler([shared, index] { (*shared)(index); });
        card_->addSubview(view);
        buttonViews_.push_back(view);
    }
    setNeedsLayout();
}

void AlertCardView::layoutSubviews() {
    CGSize size = bounds().size;
    UIEdgeInsets insets = safeAreaInsets();
    CGFloat width = actionSheet_ ? size.width - 2 * kSheetMargin : kAlertWidth;
    CGFloat textWidth = width - 2 * kPadding;
    CGFloat y = kPadding;
    for (const auto& label : {titleLabel_, messageLabel_}) {
        if (label->isHidden()) continue;
        CGSize fits = label->sizeThatFits({textWidth, 0});
        label->setFrame(CGRectMake(kPadding, y, textWidth, fits.height));
        y += fits.height + 4;
    }
    y += kPadding - 4;
    bool sideBySide = !actionSheet_ && buttonViews_.size() == 2;
    for (std::size_t i = 0; i < buttonViews_.size(); ++i) {
        CGRect frame = sideBySide ? CGRectMake(width / 2 * static_cast<CGFloat>(i), y, width / 2, kButtonHeight)
                                  : CGRectMake(0, y, width, kButtonHeight);
        buttonViews_[i]->setFrame(frame);
        buttonViews_[i]->viewWithTag(1)->setFrame(CGRectMake(0, 0, frame.size.width, kButtonHeight));
        if (!sideBySide || i == 1) y += kButtonHeight;
    }
    CGFloat height = y;
    CGFloat x = (size.width - width) / 2;
    CGFloat top = actionSheet_ ? size.height - insets.bottom - kSheetMargin - height : (size.height - height) / 2;
    card_->setFrame(CGRectMake(x, top, width, height));
}
