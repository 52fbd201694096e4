#pragma once

#include "app/promotion/KXPromoteGameModel.h"
#include "foundation/NSObject.h"

// What a promoted-game card tells when one of its share tiles is tapped:
// the tile's index (0 "涟信", 1 "Pal", 2 "朋友圈", 3 "复制分享") and the
// card's game.
class KXPromoteGameCellDelegate {
public:
    virtual ~KXPromoteGameCellDelegate() = default;

    virtual void KXPromoteGameCellxunzhong(long index, const Ref<KXPromoteGameModel>& model) = 0;
};
