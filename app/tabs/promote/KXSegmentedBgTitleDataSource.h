#pragma once

#include "frameworks/segmented/JXSegmentedTitleDataSource.h"

// A title data source whose items are KXSegmentedBgTitleItemModels shown in
// KXSegmentedBgTitleCells (registered under "cell"); titles, colours and
// selection behave as the plain title data source's.
class KXSegmentedBgTitleDataSource : public JXSegmentedTitleDataSource {
public:
    Ref<JXSegmentedBaseItemModel> preferredItemModelInstance() override;
    void registerCellClass(const Ref<JXSegmentedView>& segmentedView) override;
    Ref<JXSegmentedBaseCell> segmentedViewCellForItemAt(const Ref<JXSegmentedView>& segmentedView,
                                                        long index) override;

    std::string className() const override { return "KXSegmentedBgTitleDataSource"; }
};
