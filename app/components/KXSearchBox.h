#pragma once

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"

class UIImageView;
class UITextField;
class UIView;

// The rounded search box of the gift-bag list, the Promote header and the
// promote-game search: a white plate with a grey border, the magnifier at its
// left and a field (or a caption) beside it. Views carry the identifiers
// "searchBgView", "searchLogoImage" and "searchField".
namespace KXSearchBox {

Ref<UIView> makeBackground(CGFloat borderWidth);
Ref<UIImageView> makeLogo();
// Dark 14-point text, the search return key and the grey "搜索游戏" placeholder.
Ref<UITextField> makeField();
// The magnifier at the plate's left, `content` beside it, both centred
// vertically; `content` ends 10 points from the right edge when `reachesRight`.
void layOut(const Ref<UIImageView>& logo, const Ref<UIView>& content, bool reachesRight);

}  // namespace KXSearchBox
