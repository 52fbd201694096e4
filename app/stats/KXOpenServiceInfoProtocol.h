#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/stats/KXOpenServiceModel.h"
#include "foundation/StoredBlock.h"
#include "uikit/UICollectionView.h"
#include "uikit/UICollectionViewDelegateFlowLayout.h"
#include "uikit/UITableView.h"

// The source of the server-opening schedule in two roles: the screen's
// instance feeds the table (one row per opening of `models`, row taps to
// `didClickGame`), and each row owns one that feeds its screenshot strip
// (`images`, 94 × 136 pictures, 20 in from both ends). A screenshot tap
// hands its index and the whole strip to `didSelectImage`.
class KXOpenServiceInfoProtocol : public NSObject,
                                  public UITableViewDataSource,
                                  public UITableViewDelegate,
                                  public UICollectionViewDataSource,
                                  public UICollectionViewDelegateFlowLayout {
public:
    std::optional<std::vector<Ref<KXOpenServiceModel>>> models;
    StoredBlock<void()> didClickGame;
    StoredBlock<void(long index, const std::vector<std::string>& images)> didSelectImage;
    std::optional<std::vector<std::string>> images;

    long tableViewNumberOfRowsInSection(const Ref<UITableView>& tableView, long section) override;
    Ref<UITableViewCell> tableViewCellForRowAtIndexPath(const Ref<UITableView>& tableView,
                                                        NSIndexPath indexPath) override;
    void tableViewDidSelectRowAtIndexPath(const Ref<UITableView>& tableView, NSIndexPath indexPath) override;

    long collectionViewNumberOfItemsInSection(const Ref<UICollectionView>& collectionView, long section) override;
    Ref<UICollectionViewCell> collectionViewCellForItemAtIndexPath(const Ref<UICollectionView>& collectionView,
                                                                   const NSIndexPath& indexPath) override;
    std::optional<CGSize> collectionViewLayoutSizeForItemAtIndexPath(const Ref<UICollectionView>&,
                                                                     const Ref<UICollectionViewLayout>&,
                                                                     const NSIndexPath& indexPath) override;
    std::optional<UIEdgeInsets> collectionViewLayoutInsetForSectionAtIndex(const Ref<UICollectionView>&,
                                                                           const Ref<UICollectionViewLayout>&,
                                                                           long section) override;
    void collectionViewDidSelectItemAtIndexPath(const Ref<UICollectionView>& collectionView,
                                                const NSIndexPath& indexPath) override;

    std::string className() const override { return "KXOpenServiceInfoProtocol"; }
};
