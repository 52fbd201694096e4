#include "app/tabs/mine/KXMineProtocol.h"

#include "app/shell/KXUniversal.h"
#include "app/shell/UIColorHex.h"
#include "app/tabs/mine/KXMineMenuViews.h"
#include "app/tabs/mine/KXMineNoticeCell.h"
#include "app/tabs/mine/KXMineTopCell.h"

long KXMineProtocol::groupCount() const { return model ? static_cast<long>(model->nav.size()) : 0; }

KXMineProtocol::Role KXMineProtocol::roleOf(long section) const {
    if (section == 0) return Role::card;
    if (section == 1) return Role::notices;
    if (section == groupCount() + 2) return Role::signOut;
    return Role::menuGroup;
}

Ref<KXMineNavModel> KXMineProtocol::groupOf(long section) const {
    const long group = section - 2;
    if (group < 0 || group >= groupCount()) return nullptr;
    return model->nav[static_cast<std::size_t>(group)];
}

Ref<KXMineModel> KXMineProtocol::modelOrEmpty() const { return model ? model : make<KXMineModel>(); }

long KXMineProtocol::numberOfSectionsInCollectionView(const Ref<UICollectionView>&) { return groupCount() + 3; }

long KXMineProtocol::collectionViewNumberOfItemsInSection(const Ref<UICollectionView>&, long section) {
    if (roleOf(section) != Role::menuGroup) return 1;
    auto group = groupOf(section);
    return group ? static_cast<long>(group->data.size()) : 0;
}

Ref<UICollectionViewCell> KXMineProtocol::collectionViewCellForItemAtIndexPath(
    const Ref<UICollectionView>& collectionView, const NSIndexPath& indexPath) {
    WeakRef<KXMineProtocol> weak = self<KXMineProtocol>();
    switch (roleOf(indexPath.section())) {
        case Role::card: {
            auto cell = cast<KXMineTopCell>(collectionView->dequeueReusableCellWithReuseIdentifier("KXMineTopCell", indexPath));
            if (!cell) return nullptr;
            cell->setModel(model);
            auto shown = modelOrEmpty();
            cell->withdrawalButtonClick = [weak, shown] {
                auto owner = weak.lock();
                if (owner && owner->withdrawalButtonClick) owner->withdrawalButtonClick(shown);
            };
            cell->rechargeButtonClick = [weak, shown] {
                auto owner = weak.lock();
                if (owner && owner->rechargeButtonClick) owner->rechargeButtonClick(shown);
            };
            return cell;
        }
        case Role::notices: {
            auto cell =
                cast<KXMineNoticeCell>(collectionView->dequeueReusableCellWithReuseIdentifier("KXMineNoticeCell", indexPath));
            if (!cell) return nullptr;
            cell->setModels(model ? std::optional(model->news) : std::nullopt);
            cell->titleBanner()->reloadData();
            cell->didClickNotice = [weak](const Ref<KXMineNewsModel>& notice) {
                auto owner = weak.lock();
                if (owner && owner->didClickNotice) owner->didClickNotice(notice);
            };
            return cell;
        }
        case Role::signOut:
            return collectionView->dequeueReusableCellWithReuseIdentifier("KXMineLogOutCell", indexPath);
        case Role::menuGroup: {
            auto cell = cast<KXMineFuncCell>(collectionView->dequeueReusableCellWithReuseIdentifier("KXMineFuncCell", indexPath));
            if (!cell) return nullptr;
            auto group = groupOf(indexPath.section());
            const auto item = static_cast<std::size_t>(indexPath.item());
            cell->setModel(group && item < group->data.size() ? group->data[item] : nullptr);
            return cell;
        }
    }
    return nullptr;
}

Ref<UICollectionReusableView> KXMineProtocol::collectionViewViewForSupplementaryElementOfKindAtIndexPath(
    const Ref<UICollectionView>& collectionView, const std::string& kind, const NSIndexPath& indexPath) {
    auto header = collectionView->dequeueReusableSupplementaryViewOfKind(kind, "KXMineHeaderView", indexPath);
    if (auto groupHeader = cast<KXMineHeaderView>(header); groupHeader && kind == UICollectionElementKindSectionHeader) {
        groupHeader->setModel(groupOf(indexPath.section()));
    }
    return header;
}

void KXMineProtocol::collectionViewDidSelectItemAtIndexPath(const Ref<UICollectionView>&, const NSIndexPath& indexPath) {
    switch (roleOf(indexPath.section())) {
        case Role::card:
        case Role::notices:
            return;
        case Role::signOut:
            if (logOut) logOut();
            return;
        case Role::menuGroup: {
            if (!didClickItem) return;
            auto group = groupOf(indexPath.section());
            const auto item = static_cast<std::size_t>(indexPath.item());
            didClickItem(group && item < group->data.size() ? group->data[item] : make<KXMineDataModel>());
            return;
        }
    }
}

std::optional<CGSize> KXMineProtocol::collectionViewLayoutSizeForItemAtIndexPath(const Ref<UICollectionView>&,
                                                                                 const Ref<UICollectionViewLayout>&,
                                                                                 const NSIndexPath& indexPath) {
    const CGFloat s = layoutScale();
    const CGFloat width = screenWidth() - 40 * s;
    switch (roleOf(indexPath.section())) {
        case Role::card: return CGSizeMake(width, KXMineTopCell::kHeight * s);
        case Role::notices: return CGSizeMake(width, 26 * s);
        case Role::signOut: return CGSizeMake(width, 44 * s);
        case Role::menuGroup: return CGSizeMake(width / 4, 50 * s);
    }
    return std::nullopt;
}

std::optional<UIEdgeInsets> KXMineProtocol::collectionViewLayoutInsetForSectionAtIndex(const Ref<UICollectionView>&,
                                                                                       const Ref<UICollectionViewLayout>&,
                                                                                       long section) {
    const CGFloat s = layoutScale();
    switch (roleOf(section)) {
        case Role::card: return UIEdgeInsetsZero;
        case Role::notices: return UIEdgeInsetsMake(5 * s, 0, 5 * s, 0);
        case Role::signOut: return UIEdgeInsetsMake(5 * s, 0, 10 * s, 0);
        case Role::menuGroup: return UIEdgeInsetsMake(20 * s, 20 * s, 20 * s, 20 * s);
    }
    return std::nullopt;
}

std::optional<CGSize> KXMineProtocol::collectionViewLayoutReferenceSizeForHeaderInSection(
    const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, long section) {
    const CGFloat s = layoutScale();
    if (roleOf(section) != Role::menuGroup) return CGSizeZero;
    return CGSizeMake(screenWidth() - 40 * s, 40 * s);
}

std::optional<CGSize> KXMineProtocol::collectionViewLayoutReferenceSizeForFooterInSection(
    const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, long) {
    return CGSizeZero;
}

Ref<RSCollectionViewRoundConfigModel_Swift> KXMineProtocol::collectionViewLayoutConfigModelForSectionAtIndex(
    const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, long section) {
    auto config = make<RSCollectionViewRoundConfigModel_Swift>();
    config->setBackgroundColor(section == 1 ? hex("#DEE4FF") : UIColor::whiteColor());
    config->setCornerRadius(12 * layoutScale());
    return config;
}

std::optional<UIEdgeInsets> KXMineProtocol::collectionViewLayoutBorderEdgeInsertsForSectionAtIndex(
    const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, long section) {
    const CGFloat s = layoutScale();
    if (roleOf(section) == Role::signOut) return UIEdgeInsetsMake(5 * s, 20 * s, 10 * s, 20 * s);
    return UIEdgeInsetsMake(5 * s, 20 * s, 5 * s, 20 * s);
}
