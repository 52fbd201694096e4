#pragma once

#include "frameworks/segmented/JXSegmentedBaseCell.h"
#include "uikit/UILabel.h"

// A title item's cell: its title centred, in the item's current colour and
// the selected or normal font.
class JXSegmentedTitleCell : public JXSegmentedBaseCell {
public:
    using JXSegmentedBaseCell::JXSegmentedBaseCell;

    const Ref<UILabel>& titleLabel() const { return titleLabel_; }

    void commonInit() override;
    void reloadData(const Ref<JXSegmentedBaseItemModel>& itemModel,
                    JXSegmentedViewItemSelectedType selectedType) override;
    void layoutSubviews() override;

    std::string className() const override { return "JXSegmentedTitleCell"; }

private:
    Ref<UILabel> titleLabel_;
};
