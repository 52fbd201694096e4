#pragma once

#include <functional>
#include <string>

#include "foundation/NSObject.h"
#include "foundation/StoredBlock.h"

class UIBarButtonItem;

// What a navigation bar shows while a controller is on top: the title and
// the items at the left and right. A left item takes the place of the back
// button. A bar showing the item installs a change handler, so that
// changes redraw the bar.
class UINavigationItem : public NSObject {
public:
    UINavigationItem() = default;
    explicit UINavigationItem(std::string title) : title_(std::move(title)) {}

    const std::string& title() const { return title_; }
    void setTitle(std::string title);
    Ref<UIBarButtonItem> leftBarButtonItem() const { return leftBarButtonItem_; }
    void setLeftBarButtonItem(const Ref<UIBarButtonItem>& item);
    Ref<UIBarButtonItem> rightBarButtonItem() const { return rightBarButtonItem_; }
    void setRightBarButtonItem(const Ref<UIBarButtonItem>& item);

    // Set by the bar that shows the item.
    void setChangeHandler(StoredBlock<void()> handler) { changeHandler_ = std::move(handler); }

private:
    void itemDidChange() const;

    std::string title_;
    Ref<UIBarButtonItem> leftBarButtonItem_;
    Ref<UIBarButtonItem> rightBarButtonItem_;
    StoredBlock<void()> changeHandler_;
};
