#pragma once

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"

class UIBarButtonItem;
class UIView;

// Where a popover would point on a tablet. Phones show alerts and sheets
// without a popover, so these are only kept.
class UIPopoverPresentationController : public NSObject {
public:
    Ref<UIView> sourceView() const { return sourceView_.lock(); }
    void setSourceView(const Ref<UIView>& view) { sourceView_ = view; }
    CGRect sourceRect() const { return sourceRect_; }
    void setSourceRect(CGRect rect) { sourceRect_ = rect; }
    Ref<UIBarButtonItem> barButtonItem() const { return barButtonItem_.lock(); }
    void setBarButtonItem(const Ref<UIBarButtonItem>& item) { barButtonItem_ = item; }

private:
    WeakRef<UIView> sourceView_;
    CGRect sourceRect_{};
    WeakRef<UIBarButtonItem> barButtonItem_;
};
