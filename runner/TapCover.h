#pragma once

#include <optional>
#include <string>
#include <vector>

#include "uikit/UIView.h"

// What a tap on a view's centre lands on, as the runner's `tap` judges it
// before tapping. A caption often lies under a transparent button of its own
// (an icon column's button over the icon and its caption, a cell's button):
// the tap goes through to that button, which acts for the caption. What is
// refused is an overlay in front of it: a HUD, a pop-up, an alert or action
// sheet, or any other view that is not the caption's own control.
namespace TapCover {

// Of `hit`, the view a tap on `view` reaches first (UIDriver::Sighting's
// `front`), the one in front of `view` that would take the tap, or null
// when the tap reaches `view`, a view inside it, one of its containers or a
// control of its own: an enabled control, not part of an overlay, that sits
// in one of the caption's containers, lies within the caption's own
// container and covers the whole caption. A passive view in front (plain,
// a label or a picture, without gesture recognizers) is no cover when the
// caption is passive too and it paints no background over the caption: the
// tap reaches the container they share either way.
Ref<UIView> coverOf(const Ref<UIView>& view, const Ref<UIView>& hit);
// The same for a tap where the driver taps the view (UIDriver::tapPoint).
Ref<UIView> coverOf(const Ref<UIView>& view);

// What keeps a field from taking typing (`type`, `clear`), for typing takes
// a tap on it first: a pop-up in front of it (returned), or pageOver. A bar
// or header of the screen in front is none: scrolling moves the field from
// under it. Null when nothing is in the way.
Ref<UIView> fieldCoverOf(const Ref<UIView>& field);
// The view in front of the field when it is part of a page laid over the
// field's screen as its child (a result page, which hides the form for
// good); else null.
Ref<UIView> pageOver(const Ref<UIView>& field);

// Whether the view is an overlay by its class: a HUD (MBProgressHUD,
// SVProgressHUD), a pop-up (MMPopupView and its kinds, the game picker), an
// alert or action sheet (the alerts' card view, ZSActionSheetView).
bool isOverlay(const Ref<UIView>& view);

// Whether the view is a progress message (a HUD): what the app says there is
// its answer to an action it refused.
bool isProgressMessage(const Ref<UIView>& view);

// Where the view's centre lies when it is off the window, as the end of a
// sentence naming the view ("lies off the screen: ..."); nothing when on it.
std::optional<std::string> offScreen(const Ref<UIView>& view);

// Where a point of the window lies when it is off the screen ("below the
// 375 x 667 screen"); nothing when on it.
std::optional<std::string> whereOffScreen(const Ref<UIView>& window, CGPoint point);

// Whether the view acts on a tap itself: a control, or a view with a tap
// handler of its own (an alert's button, a tab).
bool takesTaps(const Ref<UIView>& view);

// Whether the view is of the plain container class (no subclass).
bool isPlainView(const Ref<UIView>& view);

// The overlays shown in the window, outermost ones, in tree order.
std::vector<Ref<UIView>> shownOverlays(const Ref<UIView>& window);

// The outermost overlay the view is part of, or null.
Ref<UIView> outermostOverlay(const Ref<UIView>& view);

// The pop-up the view is part of: the outermost overlay, else a view laid
// straight on the window that no screen owns (a dimmed card the app adds
// there); null for a view of a screen.
Ref<UIView> popUpOf(const Ref<UIView>& view);

}  // namespace TapCover
