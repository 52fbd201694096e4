#pragma once

#include "app/team/KXReportGridCell.h"
#include "app/team/MyOfflineCellDelegate.h"
#include "app/team/MyOfflineModel.h"

// A row of the sub-promoter list: user name, phone number, share, sign-in
// permission (`is_login` as the back end sends it), and a 删除 button that
// hands the row's model to the delegate.
class MyOfflineCell : public KXReportGridCell {
public:
    MyOfflineCell(UITableViewCellStyle style, std::string reuseIdentifier)
        : KXReportGridCell(style, std::move(reuseIdentifier), 5) {}

    const Ref<MyOfflineModel>& model() const { return model_; }
    void setModel(const Ref<MyOfflineModel>& model);
    Ref<MyOfflineCellDelegate> delegae() const { return delegae_.lock(); }
    void setDelegae(const Ref<MyOfflineCellDelegate>& delegate) { delegae_ = delegate; }
    // The delete button's action.
    void delegatebutton();

    std::string className() const override { return "MyOfflineCell"; }

protected:
    void didCreate() override;

private:
    Ref<MyOfflineModel> model_;
    WeakRef<MyOfflineCellDelegate> delegae_;
};
