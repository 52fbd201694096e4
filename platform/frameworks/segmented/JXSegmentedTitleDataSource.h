#pragma once

#include <string>
#include <vector>

#include "frameworks/segmented/JXSegmentedBaseDataSource.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"

// A title bar of texts: one JXSegmentedTitleItemModel per title, shown in
// JXSegmentedTitleCells registered under "cell". The selected title takes
// the selected colour and font; with the colour gradient on, two titles
// caught between pages blend their colours by how far the pages have moved.
class JXSegmentedTitleDataSource : public JXSegmentedBaseDataSource {
public:
    std::vector<std::string> titles;
    UIColor titleNormalColor = UIColor::blackColor();
    UIColor titleSelectedColor = UIColor::redColor();
    UIFont titleNormalFont = UIFont::systemFontOfSize(15);
    UIFont titleSelectedFont = UIFont::systemFontOfSize(15);
    bool isTitleColorGradientEnabled = false;

    long preferredItemCount() override { return static_cast<long>(titles.size()); }
    Ref<JXSegmentedBaseItemModel> preferredItemModelInstance() override;
    void preferredRefreshItemModel(const Ref<JXSegmentedBaseItemModel>& itemModel, long index,
                                   long selectedIndex) override;

    void registerCellClass(const Ref<JXSegmentedView>& segmentedView) override;
    Ref<JXSegmentedBaseCell> segmentedViewCellForItemAt(const Ref<JXSegmentedView>& segmentedView,
                                                        long index) override;
    void refreshItemModel(const Ref<JXSegmentedView>& segmentedView,
                          const Ref<JXSegmentedBaseItemModel>& currentSelectedItemModel,
                          const Ref<JXSegmentedBaseItemModel>& willSelectedItemModel,
                          JXSegmentedViewItemSelectedType selectedType) override;
    void refreshItemModel(const Ref<JXSegmentedView>& segmentedView, const Ref<JXSegmentedBaseItemModel>& leftItemModel,
                          const Ref<JXSegmentedBaseItemModel>& rightItemModel, CGFloat percent) override;

    // The reuse identifier of the title cells.
    static constexpr const char* kCellIdentifier = "cell";
};
