#pragma once

#include <functional>

#include "foundation/StoredBlock.h"
#include "uikit/UIView.h"

enum class MMPopupType { Alert = 0, Sheet = 1, Custom = 2 };

// A pop-up shown over a view (`attachedView`; the key window when none is
// set). `show` puts a dimming backdrop over the attached view and the pop-up
// above it: centred for the alert and custom types, along the bottom edge
// for the sheet type, at its own size. `hide` takes both away. Showing a
// pop-up that shows, or hiding one that does not, does nothing. The
// completion blocks run once the pop-up is in place or gone.
class MMPopupView : public UIView {
public:
    using UIView::UIView;

    using CompletionBlock = StoredBlock<void(const Ref<MMPopupView>&, bool finished)>;

    MMPopupType type() const { return type_; }
    void setType(MMPopupType type) { type_ = type; }
    Ref<UIView> attachedView() const { return attachedView_.lock(); }
    void setAttachedView(const Ref<UIView>& view) { attachedView_ = view; }
    void setShowCompletionBlock(CompletionBlock block) { showCompletionBlock_ = std::move(block); }
    void setHideCompletionBlock(CompletionBlock block) { hideCompletionBlock_ = std::move(block); }

    bool isVisible() const { return superview() != nullptr; }
    // The backdrop shown behind the pop-up while it shows.
    Ref<UIView> dimBackgroundView() const { return dimBackgroundView_; }

    virtual void show();
    virtual void hide();

private:
    MMPopupType type_ = MMPopupType::Alert;
    WeakRef<UIView> attachedView_;
    Ref<UIView> dimBackgroundView_;
    CompletionBlock showCompletionBlock_;
    CompletionBlock hideCompletionBlock_;
};
