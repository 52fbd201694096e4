#pragma once

#include "foundation/NSObject.h"

class MJRefreshFooter;
class MJRefreshHeader;
class UIScrollView;

// The scroll view's refresh header and footer: setting one adds it as a
// subview (replacing the one before, which leaves); null removes it. The
// getters find the one in place, if any.
class UIScrollViewMJRefresh {
public:
    static void setMj_header(const Ref<UIScrollView>& scrollView, const Ref<MJRefreshHeader>& header);
    static Ref<MJRefreshHeader> mj_header(const Ref<UIScrollView>& scrollView);
    static void setMj_footer(const Ref<UIScrollView>& scrollView, const Ref<MJRefreshFooter>& footer);
    static Ref<MJRefreshFooter> mj_footer(const Ref<UIScrollView>& scrollView);
};
