#include "app/tabs/assets/KXAssetsProtocol.h"

#include "app/shell/KXUniversal.h"
#include "app/tabs/assets/KXAssetsCenterCell.h"
#include "app/tabs/assets/KXAssetsIncomeViews.h"
#include "app/tabs/assets/KXAssetsSummaryViews.h"

namespace {

// A free view of the table under the identifier, or a new one of the class.
template <class Cell> Ref<Cell> reusedCell(const Ref<UITableView>& tableView, const std::string& identifier) {
    auto cell = cast<Cell>(tableView->dequeueReusableCellWithIdentifier(identifier));
    return cell ? cell : make<Cell>(UITableViewCellStyle::Default, identifier);
}

template <class Header> Ref<Header> reusedHeader(const Ref<UITableView>& tableView, const std::string& identifier) {
    auto header = cast<Header>(tableView->dequeueReusableHeaderFooterViewWithIdentifier(identifier));
    return header ? header : make<Header>(identifier);
}

}  // namespace

std::function<void()> KXAssetsProtocol::forward(StoredBlock<void()> KXAssetsProtocol::*closure) {
    WeakRef<KXAssetsProtocol> weak = self<KXAssetsProtocol>();
    return [weak, closure] {
        auto owner = weak.lock();
        if (owner && (owner.get()->*closure)) (owner.get()->*closure)();
    };
}

long KXAssetsProtocol::numberOfSectionsInTableView(const Ref<UITableView>&) { return 3; }

long KXAssetsProtocol::tableViewNumberOfRowsInSection(const Ref<UITableView>&, long section) {
    if (section == 0) return 1;
    if (section == 1) return 4;
    return (models ? static_cast<long>(models->size()) : 0) + 1;
}

Ref<UITableViewCell> KXAssetsProtocol::tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                                      NSIndexPath indexPath) {
    if (indexPath.section() == 0) {
        auto cell = reusedCell<KXAssetsTopCell>(tableView, KXAssetsTopCell::kReuseIdentifier);
        cell->promoteNoticeButtonClick = forward(&KXAssetsProtocol::promoteNoticeButtonClick);
        cell->promoteQRCodeButtonClick = forward(&KXAssetsProtocol::promoteQRCodeButtonClick);
        cell->divideDetailButtonClick = forward(&KXAssetsProtocol::divideDetailButtonClick);
        return cell;
    }
    if (indexPath.section() == 1) {
        auto cell = KXAssetsCenterCell::cellWithTableView(tableView);
        const auto row = static_cast<std::size_t>(indexPath.row());
        cell->leftImageView()->setImage(UIImage::imageNamed(centerImageArr.at(row)));
        cell->titleLabel()->setText(centerTitleArr.at(row));
        cell->assetsModel = assetsModel;
        cell->indexPath = indexPath;
        cell->refresh();
        return cell;
    }
    auto cell = reusedCell<KXAssetsIncomeCell>(tableView, KXAssetsIncomeCell::kReuseIdentifier);
    cell->setIndexPath(indexPath);
    if (indexPath.row() == 0) {
        cell->showColumnTitles();
    } else {
        const auto entry = static_cast<std::size_t>(indexPath.row() - 1);
        cell->setModel(models && entry < models->size() ? (*models)[entry] : nullptr);
    }
    return cell;
}

std::optional<CGFloat> KXAssetsProtocol::tableViewHeightForHeaderInSection(const Ref<UITableView>&, long section) {
    if (section == 0) return KXAssetsTopHeader::kHeight * layoutScale();
    if (section == 2) return 58 * layoutScale();
    return 0;
}

Ref<UIView> KXAssetsProtocol::tableViewViewForHeaderInSection(const Ref<UITableView>& tableView, long section) {
    if (section == 0) {
        auto header = reusedHeader<KXAssetsTopHeader>(tableView, KXAssetsTopHeader::kReuseIdentifier);
        header->setAssetsModel(assetsModel);
        header->applyButtonClick = forward(&KXAssetsProtocol::applyButtonClick);
        return header;
    }
    if (section == 2) return reusedHeader<KXAssetsIncomeHeader>(tableView, KXAssetsIncomeHeader::kReuseIdentifier);
    return make<UIView>();
}

void KXAssetsProtocol::tableViewDidSelectRowAtIndexPath(const Ref<UITableView>&, NSIndexPath indexPath) {
    if (indexPath.section() == 1 && didClickRow) didClickRow(indexPath);
}
