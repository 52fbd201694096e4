#include "app/tabs/KXTabViews.h"

#include "app/shell/UIColorHex.h"
#include "foundation/NSURL.h"
#include "frameworks/webimage/UIImageViewWebCache.h"

namespace KXTabViews {

Ref<UIButton> titleButton(const std::string& title, std::string_view hexColor, CGFloat fontSize) {
    auto button = UIButton::buttonWithType(UIButtonType::Custom);
    button->setTitle(title, UIControlStateNormal);
    button->titleLabel()->setFont(UIFont::boldSystemFontOfSize(fontSize));
    button->setTitleColor(hex(hexColor), UIControlStateNormal);
    return button;
}

void loadImage(const Ref<UIImageView>& imageView, const std::string& address) {
    UIImageViewWebCache::sd_setImageWithURL(imageView, NSURL::URLWithString(address));
}

}  // namespace KXTabViews
