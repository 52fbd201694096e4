#include "app/tabs/promote/KXSegmentedBgTitleDataSource.h"

#include "app/tabs/promote/KXSegmentedBgTitleCell.h"
#include "app/tabs/promote/KXSegmentedBgTitleItemModel.h"
#include "frameworks/segmented/JXSegmentedView.h"

Ref<JXSegmentedBaseItemModel> KXSegmentedBgTitleDataSource::preferredItemModelInstance() {
    return make<KXSegmentedBgTitleItemModel>();
}

void KXSegmentedBgTitleDataSource::registerCellClass(const Ref<JXSegmentedView>& segmentedView) {
    segmentedView->collectionView()->registerClass<KXSegmentedBgTitleCell>("cell");
}

Ref<JXSegmentedBaseCell> KXSegmentedBgTitleDataSource::segmentedViewCellForItemAt(
    const Ref<JXSegmentedView>& segmentedView, long index) {
    return segmentedView->dequeueReusableCell("cell", index);
}
