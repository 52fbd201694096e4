#pragma once

#include "app/team/KXReportGridCell.h"
#include "app/team/KXTixianguanliCellDelegate.h"
#include "app/team/KXTixianguanliModel.h"
#include "uikit/UIButton.h"

// A row of the withdrawal list: user name, amount, request time, state, and
// the 允许 and 拒绝 buttons, which hand the row's model with the decision to
// the delegate. Every row has both buttons, whatever its `status` or
// `state` says.
class KXTixianguanliCell : public KXReportGridCell {
public:
    KXTixianguanliCell(UITableViewCellStyle style, std::string reuseIdentifier)
        : KXReportGridCell(style, std::move(reuseIdentifier), 5) {}

    // The decisions handed to the delegate.
    static constexpr unsigned long kAllow = 1;
    static constexpr unsigned long kRefuse = 2;

    const Ref<KXTixianguanliModel>& model() const { return model_; }
    void setModel(const Ref<KXTixianguanliModel>& model);
    Ref<KXTixianguanliCellDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const Ref<KXTixianguanliCellDelegate>& delegate) { delegate_ = delegate; }
    // The 允许 and 拒绝 buttons' actions.
    void buttontap();
    void buttontap1();

    std::string className() const override { return "KXTixianguanliCell"; }

protected:
    void didCreate() override;

private:
    void decide(unsigned long decision);

    Ref<KXTixianguanliModel> model_;
    WeakRef<KXTixianguanliCellDelegate> delegate_;
};
