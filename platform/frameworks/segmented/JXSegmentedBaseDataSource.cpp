#include "frameworks/segmented/JXSegmentedBaseDataSource.h"

void JXSegmentedBaseDataSource::reloadData(long selectedIndex) {
    dataSource_.clear();
    const long count = preferredItemCount();
    for (long index = 0; index < count; ++index) {
        auto itemModel = preferredItemModelInstance();
        preferredRefreshItemModel(itemModel, index, selectedIndex);
        dataSource_.push_back(itemModel);
    }
}

Ref<JXSegmentedBaseItemModel> JXSegmentedBaseDataSource::preferredItemModelInstance() {
    return make<JXSegmentedBaseItemModel>();
}

void JXSegmentedBaseDataSource::preferredRefreshItemModel(const Ref<JXSegmentedBaseItemModel>& itemModel, long index,
                                                          long selectedIndex) {
    itemModel->index = index;
    itemModel->isSelected = index == selectedIndex;
}

CGFloat JXSegmentedBaseDataSource::segmentedViewWidthForItemAt(const Ref<JXSegmentedView>&, long index) {
    if (index < 0 || index >= static_cast<long>(dataSource_.size())) return 0;
    return dataSource_[index]->itemWidth + itemWidthIncrement_;
}

void JXSegmentedBaseDataSource::refreshItemModel(const Ref<JXSegmentedView>&,
                                                 const Ref<JXSegmentedBaseItemModel>& currentSelectedItemModel,
                                                 const Ref<JXSegmentedBaseItemModel>& willSelectedItemModel,
                                                 JXSegmentedViewItemSelectedType) {
    if (currentSelectedItemModel) currentSelectedItemModel->isSelected = false;
    if (willSelectedItemModel) willSelectedItemModel->isSelected = true;
}

void JXSegmentedBaseDataSource::refreshItemModel(const Ref<JXSegmentedView>&, const Ref<JXSegmentedBaseItemModel>&,
                                                 const Ref<JXSegmentedBaseItemModel>&, CGFloat) {}
