#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/tabs/assets/KXAssetsIncomeDetailModel.h"
#include "app/tabs/assets/KXAssetsModel.h"
#include "foundation/StoredBlock.h"
#include "uikit/UITableView.h"

// Data source and delegate of the Assets list, three sections: 0 the
// summary panel (header) over the shortcut card, 1 the four asset rows,
// 2 the income details under their header, a column-title row first. It
// hands the taps to the screen through its closures (unset: nothing).
class KXAssetsProtocol : public NSObject, public UITableViewDataSource, public UITableViewDelegate {
public:
    const std::vector<std::string> centerImageArr{"purse", "promoteUser", "discount", "promoteGame"};
    const std::vector<std::string> centerTitleArr{"累计赚取", "推广用户", "折扣代充", "推广游戏"};
    Ref<KXAssetsModel> assetsModel;
    std::optional<std::vector<Ref<KXAssetsIncomeDetailModel>>> models;

    StoredBlock<void()> promoteNoticeButtonClick;
    StoredBlock<void()> promoteQRCodeButtonClick;
    StoredBlock<void()> divideDetailButtonClick;
    // A tap on an asset row (section 1).
    StoredBlock<void(const NSIndexPath&)> didClickRow;
    StoredBlock<void()> applyButtonClick;

    long numberOfSectionsInTableView(const Ref<UITableView>& tableView) override;
    long tableViewNumberOfRowsInSection(const Ref<UITableView>& tableView, long section) override;
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                        NSIndexPath indexPath) override;
    std::optional<CGFloat> tableViewHeightForHeaderInSection(const Ref<UITableView>& tableView, long section) override;
    Ref<UIView> tableViewViewForHeaderInSection(const Ref<UITableView>& tableView, long section) override;
    void tableViewDidSelectRowAtIndexPath(const Ref<UITableView>& tableView, NSIndexPath indexPath) override;

private:
    // A closure raising one of this object's closures at tap time.
    std::function<void()> forward(StoredBlock<void()> KXAssetsProtocol::*closure);
};
