#pragma once

#include <cstdint>

#include "uikit/UIActivityIndicatorView.h"
#include "uikit/UILabel.h"
#include "uikit/UIView.h"

// What the HUD shows above its texts.
enum class MBProgressHUDMode {
    Indeterminate = 0,  // the spinning busy indicator (the default)
    CustomView = 4,     // the caller's view, e.g. an icon
    Text = 5,           // only the texts
};

// The progress HUD: a rounded dark box with white content, centred in the
// view it is added to (moved by `offset`), over a clear background that
// covers the whole view and takes its touches.
//
// Content, top to bottom, spaced 4 points apart and `margin` inside the box:
// the mode's indicator or custom view, the label (bold 16, one line) and the
// details label (bold 12, wrapped). Empty texts take no room.
//
// Showing and hiding: showAnimated fades the HUD in and hideAnimated fades it
// out over 0.3 seconds of the main loop's clock (without animation, at
// once). A hidden HUD is finished: it no longer counts as its view's HUD,
// takes no touches, and with removeFromSuperViewOnHide leaves its view.
// hideAnimated(animated, delay) hides it `delay` seconds later; a later call
// replaces an earlier pending one.
class MBProgressHUD : public UIView {
public:
    static constexpr double kAnimationDuration = 0.3;

    // A HUD the size of `view`'s bounds (not yet added to it).
    explicit MBProgressHUD(const Ref<UIView>& view);

    // A new HUD added to `view` and shown.
    static Ref<MBProgressHUD> showHUDAddedTo(const Ref<UIView>& view, bool animated);
    // Hides `view`'s topmost unfinished HUD; false when it has none.
    static bool hideHUDForView(const Ref<UIView>& view, bool animated);
    // `view`'s topmost unfinished HUD, or null.
    static Ref<MBProgressHUD> HUDForView(const Ref<UIView>& view);

    void showAnimated(bool animated);
    void hideAnimated(bool animated);
    void hideAnimated(bool animated, double delay);
    // True from the moment it starts hiding.
    bool hasFinished() const { return finished_; }

    MBProgressHUDMode mode() const { return mode_; }
    void setMode(MBProgressHUDMode mode);
    Ref<UILabel> label() const { return label_; }
    Ref<UILabel> detailsLabel() const { return detailsLabel_; }
    // Shown in custom-view mode, at its intrinsic size (else its frame's size).
    Ref<UIView> customView() const { return customView_; }
    void setCustomView(const Ref<UIView>& view);
    // The rounded box behind the content.
    Ref<UIView> bezelView() const { return bezelView_; }
    // Between the box's edge and its content, and the least room kept
    // between the box and the view's edges. 20 by default.
    CGFloat margin() const { return margin_; }
    void setMargin(CGFloat margin);
    // Moves the box from the view's centre.
    CGPoint offset() const { return offset_; }
    void setOffset(CGPoint offset);
    bool removeFromSuperViewOnHide() const { return removeFromSuperViewOnHide_; }
    void setRemoveFromSuperViewOnHide(bool remove) { removeFromSuperViewOnHide_ = remove; }

    void layoutSubviews() override;
    // The background takes every tap while the HUD shows.
    bool handleTapAt(CGPoint point) override;

protected:
    void didCreate() override;

private:
    // The view shown above the texts in the current mode, or null.
    Ref<UIView> modeView() const;
    void updateModeViews();
    void finishHiding();

    MBProgressHUDMode mode_ = MBProgressHUDMode::Indeterminate;
    Ref<UIView> bezelView_;
    Ref<UIActivityIndicatorView> indicator_;
    Ref<UIView> customView_;
    Ref<UILabel> label_;
    Ref<UILabel> detailsLabel_;
    CGFloat margin_ = 20;
    CGPoint offset_{};
    bool removeFromSuperViewOnHide_ = false;
    bool finished_ = false;
    // Tells a pending delayed hide whether a later one replaced it.
    std::uint64_t delayedHideGeneration_ = 0;
};
