#pragma once

#include <string>
#include <string_view>

#include "uikit/UIButton.h"
#include "uikit/UIImageView.h"

// Small view helpers the tab screens' cells share.
namespace KXTabViews {

// A custom-type button with a title for the normal state, in the bold
// system font of `fontSize`, coloured from hex text.
Ref<UIButton> titleButton(const std::string& title, std::string_view hexColor, CGFloat fontSize);

// Loads the image at the address into the view, without placeholder; text
// that is no valid address loads nothing and leaves the view without image.
void loadImage(const Ref<UIImageView>& imageView, const std::string& address);

}  // namespace KXTabViews
