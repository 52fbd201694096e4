#pragma once

#include "app/payment/KXRecordListViewController.h"

// 结算明细: the promoter's settlements ("jiesuan_list", asked once), their
// total and count on the card.
class KXBillingDetailsViewController : public KXRecordListViewController {
public:
    KXBillingDetailsViewController();

    std::string className() const override { return "KXBillingDetailsViewController"; }
};
