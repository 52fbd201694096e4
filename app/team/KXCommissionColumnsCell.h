#pragma once

#include <string>

#include "uikit/UITableViewCell.h"

// The five columns of the commission details (user, registrations, top-up
// total, income, settled) as both its title row and its entry rows lay them
// out: left-aligned black labels at fixed widths scaled to the screen,
// between light separators, over a bottom line.
class KXCommissionColumnsCell : public UITableViewCell {
public:
    const Ref<UILabel>& userLabel() const { return userLabel_; }
    const Ref<UILabel>& zhucerenshuLabel() const { return zhucerenshuLabel_; }
    const Ref<UILabel>& chongzhijingELabel() const { return chongzhijingELabel_; }
    const Ref<UILabel>& shouyiLabel() const { return shouyiLabel_; }
    const Ref<UILabel>& jiesuanLabel() const { return jiesuanLabel_; }

protected:
    // A row `height` high whose first column has alpha `firstAlpha` and the
    // others `otherAlpha`.
    KXCommissionColumnsCell(UITableViewCellStyle style, std::string reuseIdentifier, CGFloat height,
                            CGFloat firstAlpha, CGFloat otherAlpha)
        : UITableViewCell(style, std::move(reuseIdentifier)),
          height_(height),
          firstAlpha_(firstAlpha),
          otherAlpha_(otherAlpha) {}

    void didCreate() override;

private:
    void setupUI();
    Ref<UILabel> column(CGFloat x, CGFloat width, CGFloat alpha, const char* identifier);

    CGFloat height_;
    CGFloat firstAlpha_;
    CGFloat otherAlpha_;
    Ref<UILabel> userLabel_;
    Ref<UILabel> zhucerenshuLabel_;
    Ref<UILabel> chongzhijingELabel_;
    Ref<UILabel> shouyiLabel_;
    Ref<UILabel> jiesuanLabel_;
};
