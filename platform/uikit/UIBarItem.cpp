#include "uikit/UIBarItem.h"

void UIBarItem::setTitle(std::string title) {
    title_ = std::move(title);
    itemDidChange();
}

void UIBarItem::setImage(const Ref<UIImage>& image) {
    image_ = image;
    itemDidChange();
}

void UIBarItem::itemDidChange() const {
    if (changeHandler_) changeHandler_();
}
