#include "app/stats/KXGameGiftBagProtocol.h"

#include "app/stats/KXGameGiftBagCell.h"

Ref<KXGameGiftBagModel> KXGameGiftBagProtocol::modelAt(long row) const {
    if (!models || row < 0 || row >= static_cast<long>(models->size())) return nullptr;
    return (*models)[static_cast<std::size_t>(row)];
}

long KXGameGiftBagProtocol::tableViewNumberOfRowsInSection(const Ref<UITableView>&, long) {
    return models ? static_cast<long>(models->size()) : 0;
}

Ref<UITableViewCell> KXGameGiftBagProtocol::tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                                           NSIndexPath indexPath) {
    auto cell = cast<KXGameGiftBagCell>(tableView->dequeueReusableCellWithIdentifier("KXGameGiftBagCell"));
    if (!cell) cell = make<KXGameGiftBagCell>(UITableViewCellStyle::Default, "KXGameGiftBagCell");
    cell->setModel(modelAt(indexPath.row()));
    return cell;
}

void KXGameGiftBagProtocol::tableViewDidSelectRowAtIndexPath(const Ref<UITableView>&, NSIndexPath indexPath) {
    if (didClickRow) didClickRow(modelAt(indexPath.row()));
}
