#pragma once

#include "foundation/NSObject.h"

class KXTixianguanliModel;

// What a withdrawal row tells its screen: the promoter allowed (1) or
// refused (2) the row's request.
class KXTixianguanliCellDelegate {
public:
    virtual ~KXTixianguanliCellDelegate() = default;
    virtual void KXTixianguanliCellModel(const Ref<KXTixianguanliModel>& model, unsigned long xuanzhongInd) = 0;
};
