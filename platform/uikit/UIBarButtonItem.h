#pragma once

#include <functional>
#include <optional>

#include "foundation/StoredBlock.h"
#include "graphics/UIColor.h"
#include "uikit/UIBarItem.h"
#include "uikit/UIView.h"

enum class UIBarButtonItemStyle { Plain = 0, Bordered = 1, Done = 2 };
enum class UIBarButtonSystemItem { Done = 0, Cancel = 1 };

// A button on a navigation bar: a custom view (which handles its own taps),
// or a title, an image or a system item that the bar draws and that sends
// the item's action when tapped. The target is held weakly, as UIKit does:
// once it is gone the action is not sent.
class UIBarButtonItem : public UIBarItem {
public:
    using Action = StoredBlock<void(const Ref<UIBarButtonItem>& sender)>;

    explicit UIBarButtonItem(Ref<UIView> customView);
    UIBarButtonItem(std::string title, UIBarButtonItemStyle style, const Ref<NSObject>& target, Action action);
    UIBarButtonItem(const Ref<UIImage>& image, UIBarButtonItemStyle style, const Ref<NSObject>& target,
                    Action action);
    // The system items show their standard titles in the device's language
    // ("完成" / "取消" in Chinese, "Done" / "Cancel" otherwise).
    UIBarButtonItem(UIBarButtonSystemItem systemItem, const Ref<NSObject>& target, Action action);

    Ref<UIView> customView() const { return customView_; }
    UIBarButtonItemStyle style() const { return style_; }
    std::optional<UIBarButtonSystemItem> systemItem() const { return systemItem_; }
    // The width a toolbar gives the item; 0 lets its title decide.
    CGFloat width() const { return width_; }
    void setWidth(CGFloat width) { width_ = width; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool enabled);
    // The title colour; the bar's tint colour when unset.
    std::optional<UIColor> tintColor() const { return tintColor_; }
    void setTintColor(std::optional<UIColor> color);

    // Sends the action to the target (when it is still there and the item is enabled).
    void sendAction();

private:
    Ref<UIView> customView_;
    UIBarButtonItemStyle style_ = UIBarButtonItemStyle::Plain;
    std::optional<UIBarButtonSystemItem> systemItem_;
    bool hasTarget_ = false;
    WeakRef<NSObject> target_;
    Action action_;
    bool enabled_ = true;
    std::optional<UIColor> tintColor_;
    CGFloat width_ = 0;
};
