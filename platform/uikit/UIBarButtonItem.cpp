#include "uikit/UIBarButtonItem.h"

#include "foundation/NSLocale.h"

namespace {

bool deviceSpeaksChinese() {
    auto languages = NSLocale::preferredLanguages();
    return !languages.empty() && languages.front().rfind("zh", 0) == 0;
}

std::string systemItemTitle(UIBarButtonSystemItem item) {
    bool chinese = deviceSpeaksChinese();
    switch (item) {
        case UIBarButtonSystemItem::Done: return chinese ? "完成" : "Done";
        case UIBarButtonSystemItem::Cancel: return chinese ? "取消" : "Cancel";
    }
    return {};
}

}  // namespace

UIBarButtonItem::UIBarButtonItem(Ref<UIView> customView) : customView_(std::move(customView)) {}

UIBarButtonItem::UIBarButtonItem(std::string title, UIBarButtonItemStyle style, const Ref<NSObject>& target,
                                 Action action)
    : style_(style), hasTarget_(target != nullptr), target_(target), action_(std::move(action)) {
    setTitle(std::move(title));
}

UIBarButtonItem::UIBarButtonItem(const Ref<UIImage>& image, UIBarButtonItemStyle style, const Ref<NSObject>& target,
                                 Action action)
    : style_(style), hasTarget_(target != nullptr), target_(target), action_(std::move(action)) {
    setImage(image);
}

UIBarButtonItem::UIBarButtonItem(UIBarButtonSystemItem systemItem, const Ref<NSObject>& target, Action action)
    : style_(systemItem == UIBarButtonSystemItem::Done ? UIBarButtonItemStyle::Done : UIBarButtonItemStyle::Plain),
      systemItem_(systemItem),
      hasTarget_(target != nullptr),
      target_(target),
      action_(std::move(action)) {
    setTitle(systemItemTitle(systemItem));
}

void UIBarButtonItem::setEnabled(bool enabled) {
    enabled_ = enabled;
    itemDidChange();
}

void UIBarButtonItem::setTintColor(std::optional<UIColor> color) {
    tintColor_ = color;
    itemDidChange();
}

void UIBarButtonItem::sendAction() {
    if (!enabled_ || !action_) return;
    auto target = target_.lock();
    if (hasTarget_ && !target) return;
    Ref<UIBarButtonItem> keepAlive = self<UIBarButtonItem>();
    action_(keepAlive);
}
