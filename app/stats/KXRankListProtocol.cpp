#include "app/stats/KXRankListProtocol.h"

#include <algorithm>

#include "app/shell/KXUniversal.h"
#include "app/tabs/home/KXHomeHeader.h"
#include "app/tabs/home/KXHomeOtherRankCell.h"
#include "app/tabs/home/KXHomeTopThreeRankCell.h"

namespace {

template <class Entry> Ref<Entry> rankEntryAt(const std::optional<std::vector<Ref<Entry>>>& list, long index) {
    if (!list || index < 0 || index >= static_cast<long>(list->size())) return nullptr;
    return (*list)[static_cast<std::size_t>(index)];
}

}  // namespace

long KXRankListProtocol::entryCount() const {
    if (type == KXMineNavType::popularityRank) return rankListModels ? static_cast<long>(rankListModels->size()) : 0;
    if (type == KXMineNavType::consumeRank) return consumeRankModels ? static_cast<long>(consumeRankModels->size()) : 0;
    return 0;
}

long KXRankListProtocol::collectionViewNumberOfItemsInSection(const Ref<UICollectionView>&, long section) {
    const long count = entryCount();
    if (section == 0) return std::min(count, 3L);
    return count < 3 ? 0 : count - 2;
}

Ref<UICollectionViewCell> KXRankListProtocol::collectionViewCellForItemAtIndexPath(
    const Ref<UICollectionView>& collectionView, const NSIndexPath& indexPath) {
    const long item = indexPath.item();
    const bool popularity = type == KXMineNavType::popularityRank;
    const bool consume = type == KXMineNavType::consumeRank;
    if (indexPath.section() == 0) {
        auto card = cast<KXHomeTopThreeRankCell>(
            collectionView->dequeueReusableCellWithReuseIdentifier("KXHomeTopThreeRankCell", indexPath));
        if (!card) return nullptr;
        card->setIndexPath(indexPath);
        if (popularity) card->setPopularityListModel(rankEntryAt(rankListModels, item));
        else if (consume) card->setConsumeRankModel(rankEntryAt(consumeRankModels, item));
        return card;
    }
    auto row = cast<KXHomeOtherRankCell>(
        collectionView->dequeueReusableCellWithReuseIdentifier("KXHomeOtherRankCell", indexPath));
    if (!row) return nullptr;
    if (item == 0 && (popularity || consume)) {
        row->showTitles("游戏名", popularity ? "活跃人数" : "充值");
    } else if (popularity) {
        row->setPopularityListModel(rankEntryAt(rankListModels, item + 2));
    } else if (consume) {
        row->setConsumeRankModel(rankEntryAt(consumeRankModels, item + 2));
    }
    row->setIndexPath(indexPath);
    return row;
}

Ref<UICollectionReusableView> KXRankListProtocol::collectionViewViewForSupplementaryElementOfKindAtIndexPath(
    const Ref<UICollectionView>& collectionView, const std::string& kind, const NSIndexPath& indexPath) {
    auto header = cast<KXHomeHeader>(collectionView->dequeueReusableSupplementaryViewOfKind(kind, "KXHomeHeader", indexPath));
    if (!header) return nullptr;
    if (type == KXMineNavType::popularityRank) {
        header->titleLabel()->setText("游戏排行榜");
        header->imageView()->setImage(UIImage::imageNamed("gameRank"));
    } else if (type == KXMineNavType::consumeRank) {
        header->titleLabel()->setText("充值排行榜");
        header->imageView()->setImage(UIImage::imageNamed("consumeRank"));
    }
    return header;
}

std::optional<CGSize> KXRankListProtocol::collectionViewLayoutSizeForItemAtIndexPath(
    const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, const NSIndexPath& indexPath) {
    const CGFloat s = layoutScale();
    if (indexPath.section() == 0) return CGSize{(screenWidth() - 44 * s) / 3, KXHomeTopThreeRankCell::kHeight * s};
    return CGSize{screenWidth() - 40 * s, 46 * s};
}

std::optional<UIEdgeInsets> KXRankListProtocol::collectionViewLayoutInsetForSectionAtIndex(
    const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, long section) {
    const CGFloat side = section == 0 ? 22 * layoutScale() : 0;
    return UIEdgeInsets{0, side, 0, side};
}

std::optional<CGSize> KXRankListProtocol::collectionViewLayoutReferenceSizeForHeaderInSection(
    const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, long section) {
    return section == 0 ? CGSize{screenWidth(), 66 * layoutScale()} : CGSize{0, 0};
}
