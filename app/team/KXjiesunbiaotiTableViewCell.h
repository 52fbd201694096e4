#pragma once

#include "app/team/KXCommissionColumnsCell.h"

// The column titles of the commission details, the table's first row.
class KXjiesunbiaotiTableViewCell : public KXCommissionColumnsCell {
public:
    static constexpr CGFloat kHeight = 52;

    KXjiesunbiaotiTableViewCell(UITableViewCellStyle style, std::string reuseIdentifier)
        : KXCommissionColumnsCell(style, std::move(reuseIdentifier), kHeight, 0.65, 0.85) {}

protected:
    void didCreate() override;
};
