#include "app/tabs/home/KXHomeProtocol.h"

#include <algorithm>

#include "app/shell/KXUniversal.h"
#include "app/tabs/home/KXHomeDataCell.h"
#include "app/tabs/home/KXHomeFunctionCell.h"
#include "app/tabs/home/KXHomeHeader.h"
#include "app/tabs/home/KXHomeOtherRankCell.h"
#include "app/tabs/home/KXHomeTopThreeRankCell.h"
#include "uikit/UICollectionViewLayoutAttributes.h"

namespace {

// The ranking's entries shown as cards; the table takes the rest.
constexpr std::size_t kCardPlaces = 3;

template <class Cell>
Ref<Cell> dequeue(const Ref<UICollectionView>& collectionView, const char* identifier, const NSIndexPath& indexPath) {
    return std::dynamic_pointer_cast<Cell>(collectionView->dequeueReusableCellWithReuseIdentifier(identifier, indexPath));
}

}  // namespace

long KXHomeProtocol::collectionViewNumberOfItemsInSection(const Ref<UICollectionView>&, long section) {
    const std::size_t ranked = rankingCount();
    switch (section) {
    case functionGrid: return model_ ? static_cast<long>(model_->nav.size()) : 0;
    case statistics: return 1;
    case topThree: return static_cast<long>(std::min(kCardPlaces, ranked));
    // The title row, then one row per entry after the cards.
    case otherRanks: return ranked > kCardPlaces ? static_cast<long>(ranked - kCardPlaces + 1) : 0;
    default: return 0;
    }
}

Ref<UICollectionViewCell> KXHomeProtocol::collectionViewCellForItemAtIndexPath(
    const Ref<UICollectionView>& collectionView, const NSIndexPath& indexPath) {
    const auto row = static_cast<std::size_t>(indexPath.item());
    switch (indexPath.section()) {
    case functionGrid: {
        auto cell = dequeue<KXHomeFunctionCell>(collectionView, "KXHomeFunctionCell", indexPath);
        if (cell) cell->setModel(model_ && row < model_->nav.size() ? model_->nav[row] : nullptr);
        return cell;
    }
    case statistics: {
        auto cell = dequeue<KXHomeDataCell>(collectionView, "KXHomeDataCell", indexPath);
        if (cell) cell->setModel(model_);
        return cell;
    }
    case topThree: {
        auto cell = dequeue<KXHomeTopThreeRankCell>(collectionView, "KXHomeTopThreeRankCell", indexPath);
        if (!cell) return nullptr;
        cell->setIndexPath(indexPath);
        cell->setModel(row < rankingCount() ? model_->paihangbang[row] : nullptr);
        return cell;
    }
    case otherRanks: {
        auto cell = dequeue<KXHomeOtherRankCell>(collectionView, "KXHomeOtherRankCell", indexPath);
        if (!cell) return nullptr;
        cell->setIndexPath(indexPath);
        // Row 0 is the column-title row, written on every hand-out since the
        // cell may have shown an entry before; row r shows entry r + 2.
        const std::size_t entry = row + kCardPlaces - 1;
        if (row == 0) cell->showTitles(KXHomeOtherRankCell::kPromoterTitle, KXHomeOtherRankCell::kSubordinatesTitle);
        else if (entry < rankingCount()) cell->setModel(model_->paihangbang[entry]);
        return cell;
    }
    default: return nullptr;
    }
}

Ref<UICollectionReusableView> KXHomeProtocol::collectionViewViewForSupplementaryElementOfKindAtIndexPath(
    const Ref<UICollectionView>& collectionView, const std::string& kind, const NSIndexPath& indexPath) {
    auto header = std::dynamic_pointer_cast<KXHomeHeader>(
        collectionView->dequeueReusableSupplementaryViewOfKind(kind, "KXHomeHeader", indexPath));
    if (!header) return nullptr;
    if (indexPath.section() == statistics) {
        header->titleLabel()->setText("数据播报");
        header->imageView()->setImage(UIImage::imageNamed("dataBroadcast"));
    } else if (indexPath.section() == topThree) {
        header->titleLabel()->setText("推广排行榜");
        header->imageView()->setImage(UIImage::imageNamed("priceRank"));
    }
    return header;
}

std::optional<CGSize> KXHomeProtocol::collectionViewLayoutReferenceSizeForHeaderInSection(
    const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, long section) {
    const bool shown = section == statistics || (section == topThree && rankingCount() > 0);
    return shown ? CGSize{screenWidth(), 44 * layoutScale()} : CGSize{0, 0};
}

std::optional<UIEdgeInsets> KXHomeProtocol::collectionViewLayoutInsetForSectionAtIndex(
    const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, long section) {
    const CGFloat side = section == topThree ? 22 * layoutScale() : 0;
    return UIEdgeInsets{0, side, 0, side};
}

std::optional<CGSize> KXHomeProtocol::collectionViewLayoutSizeForItemAtIndexPath(
    const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, const NSIndexPath& indexPath) {
    const CGFloat s = layoutScale();
    const CGFloat width = screenWidth();
    switch (indexPath.section()) {
    case functionGrid: return CGSize{width * 0.25, 70 * s};
    case statistics: return CGSize{width, 490 * s};
    case topThree: return CGSize{(width - 44 * s) / 3, KXHomeTopThreeRankCell::kHeight * s};
    case otherRanks: return CGSize{width - 40 * s, 46 * s};
    default: return CGSize{0, 0};
    }
}

void KXHomeProtocol::collectionViewDidSelectItemAtIndexPath(const Ref<UICollectionView>&,
                                                            const NSIndexPath& indexPath) {
    if (indexPath.section() != functionGrid || !didClickNav) return;
    const auto row = static_cast<std::size_t>(indexPath.item());
    didClickNav(model_ && row < model_->nav.size() ? model_->nav[row] : make<KXHomeNavModel>());
}
