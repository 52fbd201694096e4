#include "frameworks/segmented/JXSegmentedTitleDataSource.h"

#include <algorithm>
#include <cmath>

#include "frameworks/segmented/JXSegmentedTitleCell.h"
#include "frameworks/segmented/JXSegmentedTitleItemModel.h"
#include "frameworks/segmented/JXSegmentedView.h"
#include "frameworks/segmented/JXSegmentedViewTool.h"
#include "graphics/NSStringDrawing.h"

namespace {

CGFloat textWidth(const std::string& text, const UIFont& font) {
    NSStringAttributes attributes;
    attributes.font = font;
    return std::ceil(NSStringDrawing::sizeWithAttributes(text, attributes).width);
}

void showSelection(JXSegmentedTitleItemModel& model) {
    model.titleCurrentColor = model.isSelected ? model.titleSelectedColor : model.titleNormalColor;
}

}  // namespace

Ref<JXSegmentedBaseItemModel> JXSegmentedTitleDataSource::preferredItemModelInstance() {
    return make<JXSegmentedTitleItemModel>();
}

void JXSegmentedTitleDataSource::preferredRefreshItemModel(const Ref<JXSegmentedBaseItemModel>& itemModel, long index,
                                                           long selectedIndex) {
    JXSegmentedBaseDataSource::preferredRefreshItemModel(itemModel, index, selectedIndex);
    auto model = cast<JXSegmentedTitleItemModel>(itemModel);
    if (!model) return;
    model->title = titles[index];
    model->titleNormalColor = titleNormalColor;
    model->titleSelectedColor = titleSelectedColor;
    model->titleNormalFont = titleNormalFont;
    model->titleSelectedFont = titleSelectedFont;
    model->isTitleColorGradientEnabled = isTitleColorGradientEnabled;
    showSelection(*model);
    // The width fits the title in either font (measured once when they are the same).
    model->itemWidth = textWidth(model->title, titleNormalFont);
    if (!(titleSelectedFont == titleNormalFont))
        model->itemWidth = std::max(model->itemWidth, textWidth(model->title, titleSelectedFont));
}

void JXSegmentedTitleDataSource::registerCellClass(const Ref<JXSegmentedView>& segmentedView) {
    segmentedView->collectionView()->registerClass<JXSegmentedTitleCell>(kCellIdentifier);
}

Ref<JXSegmentedBaseCell> JXSegmentedTitleDataSource::segmentedViewCellForItemAt(
    const Ref<JXSegmentedView>& segmentedView, long index) {
    return segmentedView->dequeueReusableCell(kCellIdentifier, index);
}

void JXSegmentedTitleDataSource::refreshItemModel(const Ref<JXSegmentedView>& segmentedView,
                                                  const Ref<JXSegmentedBaseItemModel>& currentSelectedItemModel,
                                                  const Ref<JXSegmentedBaseItemModel>& willSelectedItemModel,
                                                  JXSegmentedViewItemSelectedType selectedType) {
    JXSegmentedBaseDataSource::refreshItemModel(segmentedView, currentSelectedItemModel, willSelectedItemModel,
                                                selectedType);
    for (const auto& itemModel : {currentSelectedItemModel, willSelectedItemModel})
        if (auto model = cast<JXSegmentedTitleItemModel>(itemModel)) showSelection(*model);
}

void JXSegmentedTitleDataSource::refreshItemModel(const Ref<JXSegmentedView>&,
                                                  const Ref<JXSegmentedBaseItemModel>& leftItemModel,
                                                  const Ref<JXSegmentedBaseItemModel>& rightItemModel, CGFloat percent) {
    auto left = cast<JXSegmentedTitleItemModel>(leftItemModel);
    auto right = cast<JXSegmentedTitleItemModel>(rightItemModel);
    if (!left || !right || !isTitleColorGradientEnabled) return;
    left->titleCurrentColor = JXSegmentedViewTool::interpolateColor(left->titleSelectedColor, left->titleNormalColor, percent);
    right->titleCurrentColor =
        JXSegmentedViewTool::interpolateColor(right->titleNormalColor, right->titleSelectedColor, percent);
}
