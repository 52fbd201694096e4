#pragma once

#include "app/tabs/promote/KXPromoteGameRows.h"
#include "foundation/StoredBlock.h"

// The data source and delegate of one promote list page: the game rows,
// every scroll of the table handed to `scrollDidScroll`, and, when the page
// stands alone (`hideNav` false), a grey gap of 10 × layoutScale above the
// rows.
class KXPromoteProtocol : public KXPromoteGameRows {
public:
    StoredBlock<void(const Ref<UIScrollView>&)> scrollDidScroll;
    bool hideNav = true;

    std::optional<CGFloat> tableViewHeightForHeaderInSection(const Ref<UITableView>& tableView, long section) override;
    Ref<UIView> tableViewViewForHeaderInSection(const Ref<UITableView>& tableView, long section) override;
    void scrollViewDidScroll(const Ref<UIScrollView>& scrollView) override;

    std::string className() const override { return "KXPromoteProtocol"; }
};
