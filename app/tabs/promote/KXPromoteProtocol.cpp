#include "app/tabs/promote/KXPromoteProtocol.h"

#include "app/shell/KXUniversal.h"
#include "app/shell/UIColorHex.h"

std::optional<CGFloat> KXPromoteProtocol::tableViewHeightForHeaderInSection(const Ref<UITableView>&, long) {
    return hideNav ? 0 : layoutScale() * 10;
}

Ref<UIView> KXPromoteProtocol::tableViewViewForHeaderInSection(const Ref<UITableView>&, long) {
    auto gap = make<UIView>(CGRect{{0, 0}, {screenWidth(), 0}});
    gap->setBackgroundColor(hex("#F5F5F5"));
    return gap;
}

void KXPromoteProtocol::scrollViewDidScroll(const Ref<UIScrollView>& scrollView) {
    if (scrollDidScroll) scrollDidScroll(scrollView);
}
