#pragma once

#include <vector>

#include "frameworks/segmented/JXSegmentedBaseCell.h"
#include "frameworks/segmented/JXSegmentedBaseItemModel.h"
#include "frameworks/segmented/JXSegmentedViewTool.h"

class JXSegmentedView;

// What a title bar asks of its data source: the item models it shows, their
// widths and spacing, the cells, and how the models change when the
// selection moves or the pages are caught between two items.
class JXSegmentedViewDataSource {
public:
    virtual ~JXSegmentedViewDataSource() = default;

    // The item models, rebuilt by reloadData.
    virtual const std::vector<Ref<JXSegmentedBaseItemModel>>& dataSource() const = 0;
    virtual void reloadData(long selectedIndex) = 0;
    // Whether leftover width is spread evenly between the items.
    virtual bool isItemSpacingAverageEnabled() const = 0;
    virtual CGFloat itemSpacing() const = 0;
    virtual CGFloat segmentedViewWidthForItemAt(const Ref<JXSegmentedView>& segmentedView, long index) = 0;
    // Registers the cell classes on the bar's collection view.
    virtual void registerCellClass(const Ref<JXSegmentedView>& segmentedView) = 0;
    virtual Ref<JXSegmentedBaseCell> segmentedViewCellForItemAt(const Ref<JXSegmentedView>& segmentedView,
                                                                long index) = 0;
    virtual void refreshItemModel(const Ref<JXSegmentedView>& segmentedView,
                                  const Ref<JXSegmentedBaseItemModel>& currentSelectedItemModel,
                                  const Ref<JXSegmentedBaseItemModel>& willSelectedItemModel,
                                  JXSegmentedViewItemSelectedType selectedType) = 0;
    virtual void refreshItemModel(const Ref<JXSegmentedView>& segmentedView,
                                  const Ref<JXSegmentedBaseItemModel>& leftItemModel,
                                  const Ref<JXSegmentedBaseItemModel>& rightItemModel, CGFloat percent) = 0;
};
