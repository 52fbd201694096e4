#pragma once

#include <functional>
#include <string>

#include "foundation/NSObject.h"
#include "foundation/StoredBlock.h"
#include "graphics/UIImage.h"

// What bar button items and tab bar items share: a title and an image.
// A bar showing the item installs a change handler, so that setting either
// redraws the bar.
class UIBarItem : public NSObject {
public:
    const std::string& title() const { return title_; }
    void setTitle(std::string title);
    Ref<UIImage> image() const { return image_; }
    void setImage(const Ref<UIImage>& image);

    // Set by the bar that shows the item (one at a time).
    void setChangeHandler(StoredBlock<void()> handler) { changeHandler_ = std::move(handler); }

protected:
    // Tells the showing bar that the item changed.
    void itemDidChange() const;

private:
    std::string title_;
    Ref<UIImage> image_;
    StoredBlock<void()> changeHandler_;
};
