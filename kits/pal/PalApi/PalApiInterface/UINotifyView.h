#pragma once

#include <functional>
#include <optional>
#include <string>

#include "graphics/UIImage.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UIView.h"

// The kit's toast: a rounded translucent black box with an optional icon
// (at half its size) beside one or more centred lines of white bold text;
// it fades in, stays, and fades out. It stays in its superview afterwards.
class UINotifyView : public UIView {
public:
    static Ref<UINotifyView> notifyViewWithImage(const Ref<UIImage>& image, std::optional<std::string> text);
    static CGRect defaultFrame() { return CGRectMake(0, 0, 280, 45); }

    UINotifyView(Ref<UIImage> image, std::optional<std::string> text);

    // The caller adds the toast to its superview first; `view` is not used.
    void presentWithDuration(double displayTime, double fadeTime, const Ref<UIView>& view,
                             std::function<void()> completion);
    void fadeAfter(double delay, double fadeTime, std::function<void()> completion);

    bool isAnimating() const { return isAnimating_; }
    double currentOpacity() const { return currentOpacity_; }
    // The icon and text show while the box has any opacity.
    void setCurrentOpacity(double opacity);
    double destinationOpacity() const { return destinationOpacity_; }
    double roundness() const { return roundness_; }
    void setRoundness(double roundness);
    void setBorderColor(UIColor color);
    void setText(std::optional<std::string> text);
    void setImage(Ref<UIImage> image);
    const std::optional<std::string>& text() const { return text_; }

    Ref<UIView> backgroundView();
    Ref<UIImageView> imageView();
    Ref<UILabel> textLabel();

protected:
    void didCreate() override;

private:
    // Icon and text side by side, centred together in the box.
    void ajustTextAndImagePosition();

    Ref<UIView> backgroundView_;
    Ref<UIImageView> imageView_;
    Ref<UILabel> textLabel_;
    bool isAnimating_ = false;
    double destinationOpacity_ = 0.75;
    double currentOpacity_ = 0.0;
    Ref<UIImage> image_;
    double roundness_ = 10.0;
    UIColor borderColor_ = UIColor::clearColor();
    std::optional<std::string> text_;
};
