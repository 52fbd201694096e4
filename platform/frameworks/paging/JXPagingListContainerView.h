#pragma once

#include <map>

#include "frameworks/paging/JXPagingViewListViewDelegate.h"
#include "frameworks/segmented/JXSegmentedViewListContainer.h"
#include "uikit/UICollectionView.h"

class JXPagingListContainerView;

// The two ways a list container pages: a paged scroll view with the lists'
// views side by side, or a paged collection view with one cell per list.
enum class JXPagingListContainerType { ScrollView, CollectionView };

// Where a list container gets its lists: how many, and each one when its
// page is first needed.
class JXPagingListContainerViewDataSource {
public:
    virtual ~JXPagingListContainerViewDataSource() = default;
    virtual long numberOfListsInListContainerView(const Ref<JXPagingListContainerView>& listContainerView) = 0;
    virtual Ref<JXPagingViewListViewDelegate> listContainerViewInitListAt(
        const Ref<JXPagingListContainerView>& listContainerView, long index) = 0;
};

// Pages of lists side by side, paged horizontally. A list is made when its
// page first comes into view (or is selected) and kept until a reload no
// longer has its index; a list that is a view controller becomes a child
// of the controller owning the container, so it can push screens. It also
// serves as a title bar's list container: the bar follows its scroll view
// and a tap on a title shows that page.
//
// `isCategoryNestPagingEnabled` marks a container nested in a paged
// category bar; drags here move one scroll view at a time, so there are no
// competing gestures for it to settle.
class JXPagingListContainerView : public UIView,
                                  public JXSegmentedViewListContainer,
                                  public UICollectionViewDataSource,
                                  public UICollectionViewDelegate {
public:
    JXPagingListContainerView(const Ref<JXPagingListContainerViewDataSource>& dataSource,
                              JXPagingListContainerType type)
        : dataSource_(dataSource), type_(type) {}

    JXPagingListContainerType type() const { return type_; }
    // The paged scroll view (the collection view for that type).
    const Ref<UIScrollView>& scrollView() const { return scrollView_; }
    Ref<UICollectionView> collectionView() const { return cast<UICollectionView>(scrollView_); }
    const std::map<long, Ref<JXPagingViewListViewDelegate>>& validListDict() const { return validListDict_; }
    long currentIndex() const { return currentIndex_; }
    Ref<JXPagingViewListViewDelegate> currentList() const;
    bool isCategoryNestPagingEnabled() const { return isCategoryNestPagingEnabled_; }
    void setIsCategoryNestPagingEnabled(bool enabled) { isCategoryNestPagingEnabled_ = enabled; }

    // As a title bar's list container.
    Ref<UIScrollView> contentScrollView() override { return scrollView_; }
    void setDefaultSelectedIndex(long index) override;
    void didClickSelectedItem(long index) override;
    void reloadData() override;

    long numberOfLists();
    void layoutSubviews() override;

    long collectionViewNumberOfItemsInSection(const Ref<UICollectionView>&, long) override;
    Ref<UICollectionViewCell> collectionViewCellForItemAtIndexPath(const Ref<UICollectionView>& collectionView,
                                                                   const NSIndexPath& indexPath) override;
    void scrollViewDidScroll(const Ref<UIScrollView>& scrollView) override;

    std::string className() const override { return "JXPagingListContainerView"; }

protected:
    void didCreate() override;

private:
    // The list of the index, made on first use (null out of range).
    Ref<JXPagingViewListViewDelegate> listAt(long index);
    void showList(const Ref<JXPagingViewListViewDelegate>& list, const Ref<UIView>& page, CGRect frame);
    void loadVisiblePages();
    void setCurrentIndex(long index);

    WeakRef<JXPagingListContainerViewDataSource> dataSource_;
    JXPagingListContainerType type_;
    Ref<UIScrollView> scrollView_;
    std::map<long, Ref<JXPagingViewListViewDelegate>> validListDict_;
    long currentIndex_ = 0;
    bool isCategoryNestPagingEnabled_ = false;
};
