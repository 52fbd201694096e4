#include "app/stats/KXOpenServiceInfoProtocol.h"

#include "app/shell/KXUniversal.h"
#include "app/stats/KXOpenServiceGameCell.h"
#include "foundation/NSURL.h"
#include "frameworks/webimage/UIImageViewWebCache.h"

long KXOpenServiceInfoProtocol::tableViewNumberOfRowsInSection(const Ref<UITableView>&, long) {
    return models ? static_cast<long>(models->size()) : 0;
}

Ref<UITableViewCell> KXOpenServiceInfoProtocol::tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                                               NSIndexPath indexPath) {
    auto cell = cast<KXOpenServiceGameCell>(tableView->dequeueReusableCellWithIdentifier("KXOpenServiceGameCell"));
    if (!cell) cell = make<KXOpenServiceGameCell>(UITableViewCellStyle::Default, "KXOpenServiceGameCell");
    const long row = indexPath.row();
    cell->setModel(models && row >= 0 && row < static_cast<long>(models->size()) ? (*models)[static_cast<std::size_t>(row)]
                                                                                 : nullptr);
    WeakRef<KXOpenServiceInfoProtocol> weak = self<KXOpenServiceInfoProtocol>();
    cell->collectionProtocol()->didSelectImage = [weak](long index, const std::vector<std::string>& images) {
        auto source = weak.lock();
        if (source && source->didSelectImage) source->didSelectImage(index, images);
    };
    return cell;
}

void KXOpenServiceInfoProtocol::tableViewDidSelectRowAtIndexPath(const Ref<UITableView>&, NSIndexPath) {
    if (didClickGame) didClickGame();
}

long KXOpenServiceInfoProtocol::collectionViewNumberOfItemsInSection(const Ref<UICollectionView>&, long) {
    return images ? static_cast<long>(images->size()) : 0;
}

Ref<UICollectionViewCell> KXOpenServiceInfoProtocol::collectionViewCellForItemAtIndexPath(
    const Ref<UICollectionView>& collectionView, const NSIndexPath& indexPath) {
    auto cell = cast<KXOpenServiceInfoImageCell>(
        collectionView->dequeueReusableCellWithReuseIdentifier("KXOpenServiceInfoImageCell", indexPath));
    if (!cell) return nullptr;
    const long item = indexPath.item();
    const bool inRange = images && item >= 0 && item < static_cast<long>(images->size());
    UIImageViewWebCache::sd_setImageWithURL(
        cell->imageView(), inRange ? NSURL::URLWithString((*images)[static_cast<std::size_t>(item)]) : nullptr);
    return cell;
}

std::optional<CGSize> KXOpenServiceInfoProtocol::collectionViewLayoutSizeForItemAtIndexPath(
    const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, const NSIndexPath&) {
    return CGSize{94 * layoutScale(), 136 * layoutScale()};
}

std::optional<UIEdgeInsets> KXOpenServiceInfoProtocol::collectionViewLayoutInsetForSectionAtIndex(
    const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, long) {
    return UIEdgeInsets{0, 20 * layoutScale(), 0, 20 * layoutScale()};
}

void KXOpenServiceInfoProtocol::collectionViewDidSelectItemAtIndexPath(const Ref<UICollectionView>&,
                                                                       const NSIndexPath& indexPath) {
    if (didSelectImage) didSelectImage(indexPath.item(), images.value_or(std::vector<std::string>{}));
}
