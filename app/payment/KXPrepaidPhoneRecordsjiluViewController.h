#pragma once

#include "app/payment/KXRecordListViewController.h"
#include "app/team/KXPageLoader.h"

// 充值记录: the promoter's paid recharges, page by page ("recharge_list"):
// pull down to reload from the first page, which also refreshes the card's
// total and count, pull up for the next page.
class KXPrepaidPhoneRecordsjiluViewController : public KXRecordListViewController {
public:
    KXPrepaidPhoneRecordsjiluViewController();

    // The paging state: p(), max_p(), rows(). Made when the view loads.
    const Ref<KXPageLoader>& loader() const { return loader_; }
    const Array& dataMuArr() const override;

    // Attaches the refresh header and footer; the first page loads at once.
    void addrefreshControl();

    std::string className() const override { return "KXPrepaidPhoneRecordsjiluViewController"; }

protected:
    void startLoading() override { addrefreshControl(); }

private:
    void pageLoaded(KXPageLoader::Page page, const Value& answer);

    Ref<KXPageLoader> loader_;
};
