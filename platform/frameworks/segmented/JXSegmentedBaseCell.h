#pragma once

#include "frameworks/segmented/JXSegmentedBaseItemModel.h"
#include "frameworks/segmented/JXSegmentedViewTool.h"
#include "uikit/UICollectionViewCell.h"

// The cell of one title bar item. Subclasses build their views in
// commonInit (run once, when the cell is made) and show an item model in
// reloadData.
class JXSegmentedBaseCell : public UICollectionViewCell {
public:
    using UICollectionViewCell::UICollectionViewCell;

    const Ref<JXSegmentedBaseItemModel>& itemModel() const { return itemModel_; }
    virtual void commonInit() {}
    virtual void reloadData(const Ref<JXSegmentedBaseItemModel>& itemModel,
                            JXSegmentedViewItemSelectedType selectedType);

    std::string className() const override { return "JXSegmentedBaseCell"; }

protected:
    void didCreate() override;

private:
    Ref<JXSegmentedBaseItemModel> itemModel_;
};
