#include "uikit/UITabBar.h"

#include <algorithm>

#include "uikit/TappableView.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UIScreen.h"

namespace {

constexpr CGFloat kImageSide = 25;
constexpr CGFloat kImageTop = 5;
constexpr CGFloat kTitleFontSize = 10;
constexpr CGFloat kTitleBottom = 3;

bool hasPixels(const Ref<UIImage>& image) {
    return image && image->size().width > 0 && image->size().height > 0;
}

}  // namespace

void UITabBar::didCreate() {
    UIView::didCreate();
    if (proxy_) return;
    background_ = make<UIImageView>();
    hairline_ = make<UIImageView>();
    addSubview(background_);
    addSubview(hairline_);
    lookDidChange();
}

Ref<UITabBar> UITabBar::appearance() {
    static Ref<UITabBar> proxy = make<UITabBar>(ProxyTag{});
    return proxy;
}

void UITabBar::resetAppearance() { appearance()->own_ = {}; }

void UITabBar::didMoveToWindow() {
    UIView::didMoveToWindow();
    if (proxy_ || appearanceApplied_ || !window()) return;
    appearanceApplied_ = true;
    fromProxy_ = appearance()->own_;
    lookDidChange();
}

// --- Items ---

void UITabBar::setItems(std::vector<Ref<UITabBarItem>> items) {
    items_ = std::move(items);
    if (std::find(items_.begin(), items_.end(), selectedItem_) == items_.end()) selectedItem_ = nullptr;
    rebuildButtons();
}

Ref<UITabBarItem> UITabBar::selectedItem() const { return selectedItem_; }

void UITabBar::setSelectedItem(const Ref<UITabBarItem>& item) {
    selectedItem_ = item;
    rebuildButtons();
}

Ref<UIView> UITabBar::buttonForItemAtIndex(std::size_t index) const {
    return index < buttons_.size() ? buttons_[index] : nullptr;
}

void UITabBar::rebuildButtons() {
    if (proxy_) return;
    for (const auto& button : buttons_) button->removeFromSuperview();
    buttons_.clear();
    WeakRef<UITabBar> weak = self<UITabBar>();
    auto refresh = [weak] {
        if (auto bar = weak.lock()) bar->rebuildButtons();
    };
    UIColor selectedColor = tintColor();
    UIColor otherColor = unselectedItemTintColor().value_or(UIColor::colorWithWhite(0.57, 1));
    for (std::size_t index = 0; index < items_.size(); ++index) {
        const auto& item = items_[index];
        item->setChangeHandler(refresh);
        bool selected = item == selectedItem_;
        auto button = make<TappableView>();
        auto image = selected && item->selectedImage() ? item->selectedImage() : item->image();
        auto imageView = make<UIImageView>(image);
        imageView->setContentMode(UIViewContentMode::ScaleAspectFit);
        imageView->setTag(1);
        auto title = make<UILabel>();
        title->setText(item->title());
        title->setFont(UIFont::systemFontOfSize(kTitleFontSize));
        title->setTextColor(selected ? selectedColor : otherColor);
        title->setTextAlignment(NSTextAlignment::Center);
        title->setTag(2);
        button->addSubview(imageView);
        button->addSubview(title);
        button->setAccessibilityLabel(item->title());
        button->setTapHandler([weak, index] {
            if (auto bar = weak.lock(); bar && bar->itemTapHandler_) bar->itemTapHandler_(index);
        });
        addSubview(button);
        buttons_.push_back(button);
    }
    setNeedsLayout();
}

void UITabBar::layoutSubviews() {
    if (proxy_) return;
    CGSize size = bounds().size;
    background_->setFrame(CGRectMake(0, 0, size.width, size.height));
    Ref<UIImage> shadow = hairline_->image();
    CGFloat hairlineHeight = shadow ? shadow->size().height : 1 / UIScreen::mainScreen()->scale();
    hairline_->setFrame(CGRectMake(0, -hairlineHeight, size.width, hairlineHeight));
    if (buttons_.empty()) return;
    CGFloat width = size.width / static_cast<CGFloat>(buttons_.size());
    for (std::size_t index = 0; index < buttons_.size(); ++index) {
        const auto& button = buttons_[index];
        button->setFrame(CGRectMake(width * static_cast<CGFloat>(index), 0, width, kHeight));
        auto imageView = button->viewWithTag(1);
        imageView->setFrame(CGRectMake((width - kImageSide) / 2, kImageTop, kImageSide, kImageSide));
        auto title = button->viewWithTag(2);
        CGSize titleSize = title->sizeThatFits({width, kHeight});
        title->setFrame(CGRectMake(0, kHeight - kTitleBottom - titleSize.height, width, titleSize.height));
    }
}

// --- Look ---

std::optional<UIColor> UITabBar::backgroundColor() const { return resolved(&Look::backgroundColor); }

void UITabBar::setBackgroundColor(std::optional<UIColor> color) {
    own_.backgroundColor = color;
    lookDidChange();
}

void UITabBar::setTintColor(std::optional<UIColor> color) {
    own_.tintColor = color;
    lookDidChange();
}

std::optional<UIColor> UITabBar::barTintColor() const { return resolved(&Look::barTintColor); }

void UITabBar::setBarTintColor(std::optional<UIColor> color) {
    own_.barTintColor = color;
    lookDidChange();
}

std::optional<UIColor> UITabBar::unselectedItemTintColor() const { return resolved(&Look::unselectedItemTintColor); }

void UITabBar::setUnselectedItemTintColor(std::optional<UIColor> color) {
    own_.unselectedItemTintColor = color;
    lookDidChange();
}

bool UITabBar::isTranslucent() const { return resolved(&Look::translucent).value_or(true); }

void UITabBar::setTranslucent(bool translucent) {
    own_.translucent = translucent;
    lookDidChange();
}

Ref<UIImage> UITabBar::backgroundImage() const { return resolved(&Look::backgroundImage).value_or(nullptr); }

void UITabBar::setBackgroundImage(const Ref<UIImage>& image) {
    own_.backgroundImage = image;
    lookDidChange();
}

Ref<UIImage> UITabBar::shadowImage() const { return resolved(&Look::shadowImage).value_or(nullptr); }

void UITabBar::setShadowImage(const Ref<UIImage>& image) {
    own_.shadowImage = image;
    lookDidChange();
}

void UITabBar::lookDidChange() {
    if (proxy_) return;
    UIView::setTintColor(resolved(&Look::tintColor));
    auto fill = backgroundColor();
    if (!fill) fill = barTintColor();
    if (!fill) fill = isTranslucent() ? UIColor::colorWithWhite(0.97, 1) : UIColor::whiteColor();
    background_->setBackgroundColor(fill);
    background_->setImage(backgroundImage());
    auto shadow = shadowImage();
    hairline_->setImage(shadow);
    hairline_->setBackgroundColor(shadow ? std::nullopt : std::optional(UIColor::colorWithWhite(0, 0.3)));
    hairline_->setHidden(shadow && !hasPixels(shadow));
    rebuildButtons();
}
