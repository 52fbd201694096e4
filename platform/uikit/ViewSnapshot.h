#pragma once

#include "graphics/UIImage.h"
#include "uikit/UIView.h"

// Renders a view and everything in it (its layer tree: backgrounds, corner
// masks, shadows, borders, drawRect content, sublayers) into a new image of
// the view's bounds, after a layout pass. Scale 0 means the main screen's
// scale. An opaque snapshot starts from black, as the screen behind a window
// is; otherwise from transparent. Null for an empty view.
Ref<UIImage> snapshotView(const Ref<UIView>& view, bool opaque = false, CGFloat scale = 0);
