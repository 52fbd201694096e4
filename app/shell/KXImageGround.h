#pragma once

#include "foundation/NSURL.h"
#include "uikit/UIImageView.h"

// Loads a web picture into an image view whose background colour marks its
// place until the picture comes (the avatars' red ground). Once a picture
// has come the ground is cleared: a picture with transparent corners would
// otherwise show a fringe of it inside the view's rounded corners.
void loadImageClearingGround(const Ref<UIImageView>& imageView, const Ref<NSURL>& url);
