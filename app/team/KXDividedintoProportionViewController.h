#pragma once

#include "app/team/KXPagedListViewController.h"

// "分成比例": the share table the back end keeps for the promoter ("fcbl"),
// each row an array of values shown as it comes; no column header row.
class KXDividedintoProportionViewController : public KXPagedListViewController {
public:
    KXDividedintoProportionViewController();
};
