#pragma once

#include "app/team/KXPagedListViewController.h"

// "注册统计": the players' registrations ("reg"). Its column header row is
// built anew with every first page and shown only over rows.
class KXRegistrationStatisticsViewController : public KXPagedListViewController {
public:
    KXRegistrationStatisticsViewController();

protected:
    void pageLoaded(KXPageLoader::Page page, const Value& answer) override;
};
