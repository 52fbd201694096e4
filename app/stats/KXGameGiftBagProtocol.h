#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "app/stats/KXGameGiftBagModel.h"
#include "foundation/StoredBlock.h"
#include "uikit/UITableView.h"

// The gift-bag table's source: one row per bag of `models` (none before the
// first answer), and a row tap handed to `didClickRow`.
class KXGameGiftBagProtocol : public NSObject, public UITableViewDataSource, public UITableViewDelegate {
public:
    StoredBlock<void(const Ref<KXGameGiftBagModel>&)> didClickRow;
    std::optional<std::vector<Ref<KXGameGiftBagModel>>> models;

    long tableViewNumberOfRowsInSection(const Ref<UITableView>& tableView, long section) override;
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                        NSIndexPath indexPath) override;
    void tableViewDidSelectRowAtIndexPath(const Ref<UITableView>& tableView, NSIndexPath indexPath) override;

    std::string className() const override { return "KXGameGiftBagProtocol"; }

private:
    Ref<KXGameGiftBagModel> modelAt(long row) const;
};
