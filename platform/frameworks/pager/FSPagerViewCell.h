#pragma once

#include "uikit/UICollectionViewCell.h"

// One page of an FSPagerView. Pages fill the pager; subclasses add their
// views in didCreate after calling the base's.
class FSPagerViewCell : public UICollectionViewCell {
public:
    using UICollectionViewCell::UICollectionViewCell;

    std::string className() const override { return "FSPagerViewCell"; }
};
