#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "app/tabs/promote/KXPromoteGameModel.h"
#include "foundation/StoredBlock.h"
#include "uikit/UITableView.h"

// What the promote list page's and the search screen's data sources share:
// one KXPromoteCell per game of `models` in one section (made when none can
// be dequeued, then given its game and its row), and a tap on a row handed
// to `didClickGame` with that game. The owner sets both fields and reloads
// the table after replacing `models`.
class KXPromoteGameRows : public NSObject, public UITableViewDataSource, public UITableViewDelegate {
public:
    using Games = std::vector<Ref<Velmaro::KXPromoteGameModel>>;

    std::optional<Games> models;
    StoredBlock<void(const Ref<Velmaro::KXPromoteGameModel>&)> didClickGame;

    long tableViewNumberOfRowsInSection(const Ref<UITableView>& tableView, long section) override;
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                        NSIndexPath indexPath) override;
    void tableViewDidSelectRowAtIndexPath(const Ref<UITableView>& tableView, NSIndexPath indexPath) override;
};
