#include "app/tabs/promote/KXPromoteGameRows.h"

#include "app/tabs/promote/KXPromoteCell.h"

long KXPromoteGameRows::tableViewNumberOfRowsInSection(const Ref<UITableView>&, long) {
    return models ? static_cast<long>(models->size()) : 0;
}

Ref<UITableViewCell> KXPromoteGameRows::tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                                       NSIndexPath indexPath) {
    auto cell = cast<KXPromoteCell>(tableView->dequeueReusableCellWithIdentifier(KXPromoteCell::kReuseIdentifier));
    if (!cell) cell = make<KXPromoteCell>(UITableViewCellStyle::Default, KXPromoteCell::kReuseIdentifier);
    const bool inRange = models && indexPath.row() >= 0 && indexPath.row() < static_cast<long>(models->size());
    cell->setModel(inRange ? (*models)[static_cast<std::size_t>(indexPath.row())] : nullptr);
    cell->setIndexPath(indexPath);
    return cell;
}

void KXPromoteGameRows::tableViewDidSelectRowAtIndexPath(const Ref<UITableView>&, NSIndexPath indexPath) {
    if (!didClickGame || !models) return;
    if (indexPath.row() < 0 || indexPath.row() >= static_cast<long>(models->size())) return;
    didClickGame((*models)[static_cast<std::size_t>(indexPath.row())]);
}
