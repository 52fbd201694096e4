#pragma once

#include <string>

#include "app/shell/KXLabel.h"
#include "uikit/UIButton.h"
#include "uikit/UIImageView.h"

// An icon with its caption under it and a button over both: the shortcut
// columns of the Promote tab's top view and the action columns of a game
// row. The views are named "<name>ImageView", "<name>Label" and
// "<name>Button".
struct KXIconColumn {
    Ref<UIImageView> imageView;
    Ref<KXLabel> label;
    Ref<UIButton> button;

    // Adds the icon, the given caption and a custom button to `parent`.
    static KXIconColumn make(const Ref<UIView>& parent, const std::string& name, const std::string& image,
                             Ref<KXLabel> caption);
    // The caption centred `gap` under the icon; the button from the icon's
    // top to the caption's bottom, as wide as the caption.
    void constrainCaptionAndButton(CGFloat gap) const;
};
