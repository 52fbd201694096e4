#pragma once

#include "app/team/KXCommissionColumnsCell.h"
#include "foundation/Value.h"

// One entry of the commission details: a user's registrations, top-up
// total, the promoter's income and its settled part.
class KXDividedIntoCell : public KXCommissionColumnsCell {
public:
    static constexpr CGFloat kHeight = 46;

    KXDividedIntoCell(UITableViewCellStyle style, std::string reuseIdentifier)
        : KXCommissionColumnsCell(style, std::move(reuseIdentifier), kHeight, 0.65, 0.65) {}

    const Value& dataDic() const { return dataDic_; }
    // Shows `name`, `number`, `money`, `income` and `settled` as text,
    // whatever their JSON kind; an absent one shows nothing.
    void setDataDic(const Value& entry);

private:
    Value dataDic_;
};
