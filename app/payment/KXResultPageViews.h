#pragma once

#include <string>

#include "graphics/UIColor.h"
#include "uikit/UIButton.h"
#include "uikit/UILabel.h"
#include "uikit/UIView.h"

// The pieces the money flows' result pages are built from: a white card
// across the page, an icon with a headline and a line of explanation, and
// buttons filled with the accent blue (KXTeamColors) or outlined in it. Each piece is
// placed by its frame on the card.
class KXResultPageViews {
public:
    KXResultPageViews() = delete;

    // A white card 15 points inside the page's sides, `height` tall, 15
    // below the page's top, named `outlet`.
    static Ref<UIView> card(const Ref<UIView>& page, CGFloat height, const std::string& outlet);
    // The icon (a bundle image), the headline under it and the explanation
    // under that, centred on the card from its top; answers the lowest y used.
    // An explanation of more lines than the room under the headline takes
    // the height of its lines, and the card grows by as much.
    static CGFloat addHeadline(const Ref<UIView>& card, const std::string& imageName, const std::string& headline,
                               const std::string& explanation);
    // A 44-point-tall button across `frame`'s width; `filled`: white on blue,
    // else blue on white with a blue border.
    static Ref<UIButton> button(CGRect frame, const std::string& title, const std::string& identifier, bool filled);
};
