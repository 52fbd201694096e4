#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "foundation/Value.h"
#include "frameworks/hud/MBProgressHUD.h"
#include "graphics/UIImage.h"
#include "uikit/UIView.h"
#include "uikit/UIWindow.h"

// The screens' shared utilities: screen metrics, the key window, answer
// texts as dictionaries, the delayed HUD and the text toast, snapshots.

// The main screen's width and height in points, and the layout scale every
// length of the tabs' screens is multiplied by. Each is computed once, at
// first use (from any thread), and kept for the rest of the process.
CGFloat screenWidth();
CGFloat screenHeight();
double layoutScale();
// The layout scale's rule: `width` / 375 rounded to two decimals (393 gives
// 1.05, 320 gives 0.85); 0 for a width that gives no number.
double layoutScaleForScreenWidth(CGFloat width);
// The main screen's bounds as they are now, read at each call: for the views
// that fill the screen or a share of it as it is when they are made.
CGRect currentScreenBounds();

// The key window of the foreground-active scene; the application delegate's
// window when no scene is in front or that scene has no key window; null
// when there is neither.
Ref<UIWindow> keyWindow();

// An answer text as a dictionary: the members of the JSON object it holds;
// an empty dictionary for the empty text, text that is not JSON, and JSON
// whose top level is not an object.
Dictionary dictionaryFromJSONString(std::string_view text);

// Replaces `view`'s topmost HUD (both without animation) by a new one in the
// default busy mode; `delay` seconds later the view's topmost HUD of that
// moment is hidden. A delay whose whole-number part is -1 (or that is not
// finite) leaves it shown. Null without a view.
Ref<MBProgressHUD> showHUD(const Ref<UIView>& view, double delay);

// How long a toast stays.
inline constexpr double kToastDuration = 1.5;

// The 1.5-second text toast on `view`: a HUD in text mode with `text` as its
// details label (the main label stays empty). A newer toast (or HUD) on the
// same view replaces it, and goes when the older one's time is up.
Ref<MBProgressHUD> showToast(const Ref<UIView>& view, const std::optional<std::string>& text);

// The view rendered into an opaque image of its bounds at the main screen's
// scale; null for an empty view.
Ref<UIImage> snapshotImage(const Ref<UIView>& view);
