#include "frameworks/segmented/JXSegmentedBaseCell.h"

void JXSegmentedBaseCell::didCreate() {
    UICollectionViewCell::didCreate();
    commonInit();
}

void JXSegmentedBaseCell::reloadData(const Ref<JXSegmentedBaseItemModel>& itemModel, JXSegmentedViewItemSelectedType) {
    itemModel_ = itemModel;
}
