#pragma once

#include "foundation/Value.h"

// Hears the tile taps of a management section row.
class KXManagementTableViewCellDelegate {
public:
    virtual ~KXManagementTableViewCellDelegate() = default;
    // The tapped tile's dictionary (`image`, `title`, `type`).
    virtual void KXManagementTableViewCellshuju(const Value& tile) = 0;
};
