#pragma once

#include "foundation/NSObject.h"
#include "frameworks/segmented/JXSegmentedViewDataSource.h"

// The data source every title bar kind builds on: it makes one item model
// per item (preferredItemModelInstance, filled by preferredRefreshItemModel)
// and moves the selected flag between them.
class JXSegmentedBaseDataSource : public NSObject, public JXSegmentedViewDataSource {
public:
    const std::vector<Ref<JXSegmentedBaseItemModel>>& dataSource() const override { return dataSource_; }
    void reloadData(long selectedIndex) override;

    bool isItemSpacingAverageEnabled() const override { return isItemSpacingAverageEnabled_; }
    void setIsItemSpacingAverageEnabled(bool enabled) { isItemSpacingAverageEnabled_ = enabled; }
    CGFloat itemSpacing() const override { return itemSpacing_; }
    void setItemSpacing(CGFloat spacing) { itemSpacing_ = spacing; }
    // Added to every item's content width.
    CGFloat itemWidthIncrement() const { return itemWidthIncrement_; }
    void setItemWidthIncrement(CGFloat increment) { itemWidthIncrement_ = increment; }

    CGFloat segmentedViewWidthForItemAt(const Ref<JXSegmentedView>& segmentedView, long index) override;
    void refreshItemModel(const Ref<JXSegmentedView>& segmentedView,
                          const Ref<JXSegmentedBaseItemModel>& currentSelectedItemModel,
                          const Ref<JXSegmentedBaseItemModel>& willSelectedItemModel,
                          JXSegmentedViewItemSelectedType selectedType) override;
    void refreshItemModel(const Ref<JXSegmentedView>& segmentedView, const Ref<JXSegmentedBaseItemModel>& leftItemModel,
                          const Ref<JXSegmentedBaseItemModel>& rightItemModel, CGFloat percent) override;

    virtual long preferredItemCount() { return 0; }
    virtual Ref<JXSegmentedBaseItemModel> preferredItemModelInstance();
    virtual void preferredRefreshItemModel(const Ref<JXSegmentedBaseItemModel>& itemModel, long index,
                                           long selectedIndex);

private:
    std::vector<Ref<JXSegmentedBaseItemModel>> dataSource_;
    bool isItemSpacingAverageEnabled_ = true;
    CGFloat itemSpacing_ = 20;
    CGFloat itemWidthIncrement_ = 0;
};
