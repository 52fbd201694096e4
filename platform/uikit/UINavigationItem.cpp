#include "uikit/UINavigationItem.h"

#include "uikit/UIBarButtonItem.h"

void UINavigationItem::setTitle(std::string title) {
    title_ = std::move(title);
    itemDidChange();
}

void UINavigationItem::setLeftBarButtonItem(const Ref<UIBarButtonItem>& item) {
    leftBarButtonItem_ = item;
    itemDidChange();
}

void UINavigationItem::setRightBarButtonItem(const Ref<UIBarButtonItem>& item) {
    rightBarButtonItem_ = item;
    itemDidChange();
}

void UINavigationItem::itemDidChange() const {
    if (changeHandler_) changeHandler_();
}
