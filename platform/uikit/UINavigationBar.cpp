#include "uikit/UINavigationBar.h"

#include <algorithm>

#include "uikit/TappableView.h"
#include "uikit/UIBarButtonItem.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIScreen.h"

namespace {

constexpr CGFloat kItemMargin = 16;
constexpr CGFloat kBackButtonMargin = 8;
constexpr CGFloat kItemFontSize = 17;

struct ContainedProxy {
    std::type_index container;
    std::function<bool(const UIViewController&)> matches;
    Ref<UINavigationBar> proxy;
};

std::vector<ContainedProxy>& containedProxies() {
    static std::vector<ContainedProxy> proxies;
    return proxies;
}

// The controllers whose views hold `view`, innermost first, with their ancestors.
std::vector<Ref<UIViewController>> containingControllers(const Ref<UIView>& view) {
    std::vector<Ref<UIViewController>> controllers;
    for (auto v = view; v; v = v->superview())
        if (auto owner = v->owningViewController())
            for (auto c = owner; c; c = c->parentViewController()) controllers.push_back(c);
    return controllers;
}

bool hasPixels(const Ref<UIImage>& image) {
    return image && image->size().width > 0 && image->size().height > 0;
}

}  // namespace

UINavigationBar::UINavigationBar() : UIView(CGRectMake(0, 0, UIScreen::mainScreen()->bounds().size.width, kHeight)) {}

void UINavigationBar::didCreate() {
    UIView::didCreate();
    if (proxy_) return;
    background_ = make<UIImageView>();
    background_->setContentMode(UIViewContentMode::ScaleToFill);
    hairline_ = make<UIImageView>();
    titleLabel_ = make<UILabel>();
    titleLabel_->setTextAlignment(NSTextAlignment::Center);
    addSubview(background_);
    addSubview(hairline_);
    addSubview(titleLabel_);
    lookDidChange();
}

// --- Appearance proxies ---

Ref<UINavigationBar> UINavigationBar::appearance() {
    static Ref<UINavigationBar> proxy = make<UINavigationBar>(ProxyTag{});
    return proxy;
}

Ref<UINavigationBar> UINavigationBar::containedAppearance(std::type_index container,
                                                          std::function<bool(const UIViewController&)> matches) {
    for (const auto& entry : containedProxies())
        if (entry.container == container) return entry.proxy;
    auto proxy = make<UINavigationBar>(ProxyTag{});
    containedProxies().push_back({container, std::move(matches), proxy});
    return proxy;
}

void UINavigationBar::resetAppearance() {
    appearance()->own_ = {};
    containedProxies().clear();
}

void UINavigationBar::Look::overlay(const Look& other) {
    auto take = [](auto& mine, const auto& theirs) {
        if (theirs) mine = theirs;
    };
    take(barTintColor, other.barTintColor);
    take(translucent, other.translucent);
    take(titleTextAttributes, other.titleTextAttributes);
    take(tintColor, other.tintColor);
    take(backgroundImage, other.backgroundImage);
    take(shadowImage, other.shadowImage);
    take(backIndicatorImage, other.backIndicatorImage);
    take(backIndicatorTransitionMaskImage, other.backIndicatorTransitionMaskImage);
    take(standardAppearance, other.standardAppearance);
    take(scrollEdgeAppearance, other.scrollEdgeAppearance);
}

void UINavigationBar::applyAppearanceProxies() {
    appearanceApplied_ = true;
    fromProxies_ = appearance()->own_;
    auto controllers = containingControllers(self<UIView>());
    for (const auto& entry : containedProxies()) {
        bool contained = std::any_of(controllers.begin(), controllers.end(),
                                     [&](const Ref<UIViewController>& c) { return entry.matches(*c); });
        if (contained) fromProxies_.overlay(entry.proxy->own_);
    }
    lookDidChange();
}

void UINavigationBar::didMoveToWindow() {
    UIView::didMoveToWindow();
    if (!proxy_ && !appearanceApplied_ && window()) applyAppearanceProxies();
}

// --- Look ---

std::optional<UIColor> UINavigationBar::barTintColor() const { return resolved(&Look::barTintColor); }

void UINavigationBar::setBarTintColor(std::optional<UIColor> color) {
    own_.barTintColor = color;
    lookDidChange();
}

bool UINavigationBar::isTranslucent() const { return resolved(&Look::translucent).value_or(true); }

void UINavigationBar::setTranslucent(bool translucent) {
    own_.translucent = translucent;
    lookDidChange();
}

NSStringAttributes UINavigationBar::titleTextAttributes() const {
    return resolved(&Look::titleTextAttributes).value_or(NSStringAttributes{});
}

void UINavigationBar::setTitleTextAttributes(const NSStringAttributes& attributes) {
    own_.titleTextAttributes = attributes;
    lookDidChange();
}

Ref<UIImage> UINavigationBar::backgroundImageForBarMetrics(UIBarMetrics metrics) const {
    return metrics == UIBarMetrics::Default ? resolved(&Look::backgroundImage).value_or(nullptr) : nullptr;
}

void UINavigationBar::setBackgroundImage(const Ref<UIImage>& image, UIBarMetrics metrics) {
    if (metrics != UIBarMetrics::Default) return;
    own_.backgroundImage = image;
    lookDidChange();
}

Ref<UIImage> UINavigationBar::shadowImage() const { return resolved(&Look::shadowImage).value_or(nullptr); }

void UINavigationBar::setShadowImage(const Ref<UIImage>& image) {
    own_.shadowImage = image;
    lookDidChange();
}

Ref<UIImage> UINavigationBar::backIndicatorImage() const {
    return resolved(&Look::backIndicatorImage).value_or(nullptr);
}

void UINavigationBar::setBackIndicatorImage(const Ref<UIImage>& image) { own_.backIndicatorImage = image; }

Ref<UIImage> UINavigationBar::backIndicatorTransitionMaskImage() const {
    return resolved(&Look::backIndicatorTransitionMaskImage).value_or(nullptr);
}

void UINavigationBar::setBackIndicatorTransitionMaskImage(const Ref<UIImage>& image) {
    own_.backIndicatorTransitionMaskImage = image;
}

Ref<UINavigationBarAppearance> UINavigationBar::standardAppearance() const {
    return resolved(&Look::standardAppearance).value_or(nullptr);
}

void UINavigationBar::setStandardAppearance(const Ref<UINavigationBarAppearance>& appearance) {
    own_.standardAppearance = appearance;
    lookDidChange();
}

Ref<UINavigationBarAppearance> UINavigationBar::scrollEdgeAppearance() const {
    return resolved(&Look::scrollEdgeAppearance).value_or(nullptr);
}

void UINavigationBar::setScrollEdgeAppearance(const Ref<UINavigationBarAppearance>& appearance) {
    own_.scrollEdgeAppearance = appearance;
}

void UINavigationBar::setTintColor(std::optional<UIColor> color) {
    own_.tintColor = color;
    lookDidChange();
}

void UINavigationBar::lookDidChange() {
    if (proxy_) return;
    UIView::setTintColor(resolved(&Look::tintColor));
    NSStringAttributes title{UIFont::boldSystemFontOfSize(17), UIColor::blackColor()};
    std::optional<UIColor> fill;
    Ref<UIImage> fillImage;
    std::optional<UIColor> hairlineColor = UIColor::colorWithWhite(0, 0.3);
    Ref<UIImage> hairlineImage;
    if (auto appearance = standardAppearance()) {
        fill = appearance->backgroundColor();
        fillImage = appearance->backgroundImage();
        hairlineColor = appearance->shadowColor();
        hairlineImage = appearance->shadowImage();
        title = title.mergedWith(appearance->titleTextAttributes());
    } else {
        fill = barTintColor().value_or(isTranslucent() ? UIColor::colorWithWhite(0.97, 1) : UIColor::whiteColor());
        fillImage = backgroundImageForBarMetrics(UIBarMetrics::Default);
        if (auto own = resolved(&Look::shadowImage)) {
            hairlineImage = *own;
            if (hairlineImage) hairlineColor = std::nullopt;
        }
        title = title.mergedWith(titleTextAttributes());
    }
    background_->setBackgroundColor(fill);
    background_->setImage(fillImage);
    hairline_->setBackgroundColor(hairlineColor);
    hairline_->setImage(hairlineImage);
    hairline_->setHidden(hairlineImage ? !hasPixels(hairlineImage) : !hairlineColor);
    titleLabel_->setFont(*title.font);
    titleLabel_->setTextColor(*title.foregroundColor);
    rebuildItemViews();
}

// --- Items ---

void UINavigationBar::setItems(std::vector<Ref<UINavigationItem>> items) {
    items_ = std::move(items);
    rebuildItemViews();
}

Ref<UINavigationItem> UINavigationBar::topItem() const { return items_.empty() ? nullptr : items_.back(); }

Ref<UINavigationItem> UINavigationBar::backItem() const {
    return items_.size() < 2 ? nullptr : items_[items_.size() - 2];
}

void UINavigationBar::rebuildItemViews() {
    if (proxy_) return;
    for (const auto& old : {leftView_, rightView_})
        if (old && old->superview().get() == this) old->removeFromSuperview();
    leftView_ = rightView_ = backButton_ = nullptr;

    auto top = topItem();
    titleLabel_->setText(top ? top->title() : std::string());
    if (top) {
        WeakRef<UINavigationBar> weak = self<UINavigationBar>();
        auto refresh = [weak] {
            if (auto bar = weak.lock()) bar->rebuildItemViews();
        };
        top->setChangeHandler(refresh);
        if (auto back = backItem()) back->setChangeHandler(refresh);
        if (auto left = top->leftBarButtonItem()) {
            left->setChangeHandler(refresh);
            leftView_ = makeButton(left);
        } else if (auto back = backItem()) {
            backButton_ = leftView_ = makeBackButton(back->title().empty() ? "Back" : back->title());
        }
        if (auto right = top->rightBarButtonItem()) {
            right->setChangeHandler(refresh);
            rightView_ = makeButton(right);
        }
    }
    if (leftView_) addSubview(leftView_);
    if (rightView_) addSubview(rightView_);
    setNeedsLayout();
}

Ref<UIView> UINavigationBar::makeButton(const Ref<UIBarButtonItem>& item) {
    if (auto custom = item->customView()) {
        if (custom->bounds().size == CGSizeZero) custom->sizeToFit();
        return custom;
    }
    auto button = make<TappableView>();
    Ref<UIView> content;
    if (auto image = item->image()) {
        content = make<UIImageView>(image);
    } else {
        auto label = make<UILabel>();
        label->setText(item->title());
        label->setFont(item->style() == UIBarButtonItemStyle::Done ? UIFont::boldSystemFontOfSize(kItemFontSize)
                                                                     : UIFont::systemFontOfSize(kItemFontSize));
        label->setTextColor(item->tintColor().value_or(tintColor()));
        label->sizeToFit();
        content = label;
    }
    CGSize size = content->bounds().size;
    button->setFrame(CGRectMake(0, 0, size.width, std::max(size.height, kHeight)));
    content->setFrame(CGRectMake(0, (button->bounds().size.height - size.height) / 2, size.width, size.height));
    button->addSubview(content);
    button->setAccessibilityLabel(item->title());
    button->setEnabled(item->isEnabled());
    if (!item->isEnabled()) content->setAlpha(0.35);
    WeakRef<UIBarButtonItem> weakItem = item;
    button->setTapHandler([weakItem] {
        if (auto tapped = weakItem.lock()) tapped->sendAction();
    });
    return button;
}

Ref<UIView> UINavigationBar::makeBackButton(const std::string& title) {
    auto button = make<TappableView>();
    auto label = make<UILabel>();
    label->setText("< " + title);
    label->setFont(UIFont::systemFontOfSize(kItemFontSize));
    label->setTextColor(tintColor());
    label->sizeToFit();
    CGSize size = label->bounds().size;
    button->setFrame(CGRectMake(0, 0, size.width, kHeight));
    label->setFrame(CGRectMake(0, (kHeight - size.height) / 2, size.width, size.height));
    button->addSubview(label);
    button->setAccessibilityLabel(title);
    WeakRef<UINavigationBar> weak = self<UINavigationBar>();
    button->setTapHandler([weak] {
        if (auto bar = weak.lock(); bar && bar->backAction_) bar->backAction_();
    });
    return button;
}

void UINavigationBar::layoutSubviews() {
    if (proxy_) return;
    CGSize size = bounds().size;
    // The background reaches up under the status bar above the bar.
    CGFloat above = std::max<CGFloat>(0, frame().origin.y);
    background_->setFrame(CGRectMake(0, -above, size.width, size.height + above));
    CGFloat hairline = 1 / UIScreen::mainScreen()->scale();
    hairline_->setFrame(CGRectMake(0, size.height, size.width, hairline));

    CGFloat leftEdge = 0, rightEdge = size.width;
    if (leftView_) {
        CGRect frame = leftView_->frame();
        frame.origin = {leftView_ == backButton_ ? kBackButtonMargin : kItemMargin, (size.height - frame.size.height) / 2};
        leftView_->setFrame(frame);
        leftEdge = CGRectGetMaxX(frame);
    }
    if (rightView_) {
        CGRect frame = rightView_->frame();
        frame.origin = {size.width - kItemMargin - frame.size.width, (size.height - frame.size.height) / 2};
        rightView_->setFrame(frame);
        rightEdge = frame.origin.x;
    }
    // Centred on the bar, narrowed so that it stays clear of the side items.
    CGFloat sideRoom = std::max(leftEdge, size.width - rightEdge) + kBackButtonMargin;
    CGFloat maxWidth = std::max<CGFloat>(0, size.width - 2 * sideRoom);
    CGSize titleSize = titleLabel_->sizeThatFits({maxWidth, size.height});
    titleSize.width = std::min(titleSize.width, maxWidth);
    titleLabel_->setFrame(CGRectMake((size.width - titleSize.width) / 2, (size.height - titleSize.height) / 2,
                                     titleSize.width, titleSize.height));
}

CGSize UINavigationBar::sizeThatFits(CGSize size) { return {size.width, kHeight}; }
