#include "app/stats/KXRegistTypeProtocol.h"

#include "app/shell/KXUniversal.h"
#include "app/stats/KXRegistTypeCell.h"
#include "app/stats/KXRegistTypePieCell.h"
#include "app/tabs/home/KXHomeHeader.h"

namespace {

template <class Entry> Ref<Entry> registTypeEntryAt(const std::vector<Ref<Entry>>& list, long index) {
    if (index < 0 || index >= static_cast<long>(list.size())) return nullptr;
    return list[static_cast<std::size_t>(index)];
}

}  // namespace

long KXRegistTypeProtocol::collectionViewNumberOfItemsInSection(const Ref<UICollectionView>&, long section) {
    if (section == 0) return 1;
    if (type == KXMineNavType::registType) return (model ? static_cast<long>(model->list.size()) : 0) + 1;
    if (type == KXMineNavType::rechargeType)
        return (rechargeTypeModel ? static_cast<long>(rechargeTypeModel->list.size()) : 0) + 1;
    return 0;
}

Ref<UICollectionViewCell> KXRegistTypeProtocol::collectionViewCellForItemAtIndexPath(
    const Ref<UICollectionView>& collectionView, const NSIndexPath& indexPath) {
    if (indexPath.section() == 0) {
        auto pie = cast<KXRegistTypePieCell>(
            collectionView->dequeueReusableCellWithReuseIdentifier("KXRegistTypePieCell", indexPath));
        if (!pie) return nullptr;
        if (type == KXMineNavType::registType) {
            pie->model = model;
            pie->refreshRegistType();
        } else if (type == KXMineNavType::rechargeType) {
            pie->rechargeTypeModel = rechargeTypeModel;
            pie->refreshRechargeType();
        }
        return pie;
    }
    auto row = cast<KXRegistTypeCell>(collectionView->dequeueReusableCellWithReuseIdentifier("KXRegistTypeCell", indexPath));
    if (!row) return nullptr;
    const long index = indexPath.item();
    const bool registration = type == KXMineNavType::registType;
    if (index == 0) {
        if (registration || type == KXMineNavType::rechargeType) {
            row->rankLabel()->setText("渠道");
            row->lowUserLabel()->setText("占比");
            row->userLabel()->setText(registration ? "注册量" : "充值金额");
        }
    } else if (registration) {
        row->model = model ? registTypeEntryAt(model->list, index - 1) : nullptr;
        row->refreshRow(true);
    } else if (type == KXMineNavType::rechargeType) {
        row->rechargeTypeListModel = rechargeTypeModel ? registTypeEntryAt(rechargeTypeModel->list, index - 1) : nullptr;
        row->refreshRow(false);
    }
    row->indexPath = indexPath;
    row->styleRow();
    return row;
}

Ref<UICollectionReusableView> KXRegistTypeProtocol::collectionViewViewForSupplementaryElementOfKindAtIndexPath(
    const Ref<UICollectionView>& collectionView, const std::string& kind, const NSIndexPath& indexPath) {
    auto header = cast<KXHomeHeader>(collectionView->dequeueReusableSupplementaryViewOfKind(kind, "KXHomeHeader", indexPath));
    if (!header) return nullptr;
    header->titleLabel()->setText("数据");
    header->imageView()->setImage(UIImage::imageNamed("priceRank"));
    return header;
}

std::optional<CGSize> KXRegistTypeProtocol::collectionViewLayoutSizeForItemAtIndexPath(
    const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, const NSIndexPath& indexPath) {
    const CGFloat s = layoutScale();
    return CGSize{screenWidth() - 40 * s, (indexPath.section() == 0 ? 349 : 46) * s};
}

std::optional<UIEdgeInsets> KXRegistTypeProtocol::collectionViewLayoutInsetForSectionAtIndex(
    const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, long section) {
    const CGFloat side = section == 0 ? 20 * layoutScale() : 0;
    return UIEdgeInsets{0, side, 0, side};
}

std::optional<CGSize> KXRegistTypeProtocol::collectionViewLayoutReferenceSizeForHeaderInSection(
    const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, long section) {
    return section == 1 ? CGSize{screenWidth(), 66 * layoutScale()} : CGSize{0, 0};
}
