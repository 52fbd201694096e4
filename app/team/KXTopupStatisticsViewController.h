#pragma once

#include "app/team/KXPagedListViewController.h"

// "充值统计": the players' top-ups ("pay"), under a column header row built
// at load and always shown.
class KXTopupStatisticsViewController : public KXPagedListViewController {
public:
    KXTopupStatisticsViewController();
};
