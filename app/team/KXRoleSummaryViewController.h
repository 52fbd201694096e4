#pragma once

#include "app/team/KXPagedListViewController.h"

// "角色汇总": the players' game roles ("role"). Its column header row is
// built at load, hidden, and shown only over rows. The last column shows the
// promoter the player belongs to (`member`).
class KXRoleSummaryViewController : public KXPagedListViewController {
public:
    KXRoleSummaryViewController();

    void viewDidLoad() override;

protected:
    void pageLoaded(KXPageLoader::Page page, const Value& answer) override;
};
