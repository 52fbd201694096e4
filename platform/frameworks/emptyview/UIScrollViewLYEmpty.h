#pragma once

#include "foundation/NSObject.h"

class LYEmptyView;
class UIScrollView;

// A list's empty view (`ly_emptyView`): setting one adds it as a subview in
// front of the content (replacing the one before); null removes it.
class UIScrollViewLYEmpty {
public:
    static void setLy_emptyView(const Ref<UIScrollView>& scrollView, const Ref<LYEmptyView>& emptyView);
    static Ref<LYEmptyView> ly_emptyView(const Ref<UIScrollView>& scrollView);
};
