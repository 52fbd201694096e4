#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "graphics/NSAttributedString.h"
#include "graphics/UIColor.h"
#include "graphics/UIEdgeInsets.h"
#include "graphics/UIImage.h"
#include "uikit/UIControl.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"

enum class UIButtonType { Custom = 0, System = 1, DetailDisclosure = 2, InfoLight = 3, InfoDark = 4, ContactAdd = 5, Close = 7 };

// A control showing a title and an image over an optional background image,
// each set per control state.
//
// Content by state: the value set for the current state, else the one set
// for the normal state (UIKit's fallback). Title colours without any value
// set come from the button type: white on custom buttons; the tint colour on
// system buttons, faded while highlighted and grey while disabled. A
// highlighted or disabled state without its own image dims the normal image
// (adjustsImageWhenHighlighted / adjustsImageWhenDisabled).
//
// Layout: the content rectangle is the bounds inside contentEdgeInsets. The
// image and then the title sit side by side, as a group placed by the
// horizontal alignment; each is centred vertically by the vertical alignment.
// The image and title insets then move each one: by the left inset (left
// aligned), the negative right inset (right aligned), or half their
// difference (centred); vertically likewise with top and bottom. The title
// is narrowed to the room left beside the image. The natural size is the
// image and title side by side plus the content insets; the image and title
// insets do not count.
//
// `titleLabel` and `imageView` are subviews the button keeps up to date;
// set the label's font on it. A new button (`make<UIButton>()`) is of the
// custom type.
class UIButton : public UIControl {
public:
    UIButton() = default;
    explicit UIButton(CGRect frame) : UIControl(frame) {}
    static Ref<UIButton> buttonWithType(UIButtonType type);
    UIButtonType buttonType() const { return type_; }

    // --- Content by state ---
    void setTitle(std::optional<std::string> title, UIControlState state);
    std::optional<std::string> titleForState(UIControlState state) const;
    void setTitleColor(std::optional<UIColor> color, UIControlState state);
    UIColor titleColorForState(UIControlState state) const;
    void setImage(const Ref<UIImage>& image, UIControlState state);
    Ref<UIImage> imageForState(UIControlState state) const;
    void setBackgroundImage(const Ref<UIImage>& image, UIControlState state);
    Ref<UIImage> backgroundImageForState(UIControlState state) const;
    // Shown instead of the title; its runs fall back to the label's font and colour.
    void setAttributedTitle(std::optional<NSAttributedString> title, UIControlState state);
    std::optional<NSAttributedString> attributedTitleForState(UIControlState state) const;

    // --- What the current state shows ---
    std::optional<std::string> currentTitle() const;
    UIColor currentTitleColor() const { return titleColorForState(state()); }
    Ref<UIImage> currentImage() const { return imageForState(state()); }
    Ref<UIImage> currentBackgroundImage() const { return backgroundImageForState(state()); }
    std::optional<NSAttributedString> currentAttributedTitle() const { return attributedTitleForState(state()); }

    Ref<UILabel> titleLabel() const { return titleLabel_; }
    Ref<UIImageView> imageView() const { return imageView_; }

    // --- Layout ---
    UIEdgeInsets contentEdgeInsets() const { return contentEdgeInsets_; }
    void setContentEdgeInsets(UIEdgeInsets insets);
    UIEdgeInsets titleEdgeInsets() const { return titleEdgeInsets_; }
    void setTitleEdgeInsets(UIEdgeInsets insets);
    UIEdgeInsets imageEdgeInsets() const { return imageEdgeInsets_; }
    void setImageEdgeInsets(UIEdgeInsets insets);
    bool adjustsImageWhenHighlighted() const { return adjustsImageWhenHighlighted_; }
    void setAdjustsImageWhenHighlighted(bool adjusts);
    bool adjustsImageWhenDisabled() const { return adjustsImageWhenDisabled_; }
    void setAdjustsImageWhenDisabled(bool adjusts);

    virtual CGRect backgroundRectForBounds(CGRect bounds) { return bounds; }
    virtual CGRect contentRectForBounds(CGRect bounds);
    virtual CGRect titleRectForContentRect(CGRect contentRect);
    virtual CGRect imageRectForContentRect(CGRect contentRect);

    void layoutSubviews() override;
    CGSize sizeThatFits(CGSize size) override;
    CGSize intrinsicContentSize() override;
    void drawRect(CGRect rect) override;
    // The current title, unless a label was set explicitly.
    std::string accessibilityLabel() const override;

    // The touch area: the bounds, or what the rule below answers.
    bool pointInside(CGPoint point, UIEvent* event = nullptr) override;
    // Replaces the touch-area test of every button, as a category on the
    // class replaces the method for the whole program; null puts back the
    // bounds test.
    using PointInsideRule = std::function<bool(UIButton& button, CGPoint point)>;
    static void setPointInsideRule(PointInsideRule rule);

protected:
    void didCreate() override;
    void stateDidChange() override;

private:
    // Values set per state, looked up with the fallback to normal.
    template <class T> struct ByState {
        std::map<std::uint32_t, T> values;
        void set(std::optional<T> value, UIControlState state) {
            if (value) values[state] = std::move(*value);
            else values.erase(state);
        }
        std::optional<T> get(UIControlState state) const {
            auto found = values.find(state);
            if (found == values.end()) found = values.find(UIControlStateNormal);
            return found == values.end() ? std::nullopt : std::optional<T>(found->second);
        }
    };
    struct Placement {
        CGRect image;
        CGRect title;
    };

    Placement placeContent(CGRect contentRect) const;
    CGSize titleSize() const;
    // Puts the current state's content into the label and image view.
    void updateContent();

    UIButtonType type_ = UIButtonType::Custom;
    ByState<std::string> titles_;
    ByState<UIColor> titleColors_;
    ByState<Ref<UIImage>> images_;
    ByState<Ref<UIImage>> backgroundImages_;
    ByState<NSAttributedString> attributedTitles_;
    Ref<UILabel> titleLabel_;
    Ref<UIImageView> imageView_;
    UIEdgeInsets contentEdgeInsets_{};
    UIEdgeInsets titleEdgeInsets_{};
    UIEdgeInsets imageEdgeInsets_{};
    bool adjustsImageWhenHighlighted_ = true;
    bool adjustsImageWhenDisabled_ = true;
};
