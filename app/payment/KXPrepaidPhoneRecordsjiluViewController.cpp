#include "app/payment/KXPrepaidPhoneRecordsjiluViewController.h"

#include "app/payment/KXChongzhijiluCell.h"
#include "app/payment/KXChongzhijiluModel.h"

KXPrepaidPhoneRecordsjiluViewController::KXPrepaidPhoneRecordsjiluViewController()
    : KXRecordListViewController({"充值记录", "总结算金额(元)", "recharge_list",
                                  modelRowsUnder<KXChongzhijiluModel>("list"),
                                  cellsShowing(&KXChongzhijiluCell::setModel, true), "共计%@笔"}) {}

const Array& KXPrepaidPhoneRecordsjiluViewController::dataMuArr() const {
    static const Array kNoRows;
    return loader_ ? loader_->rows() : kNoRows;
}

void KXPrepaidPhoneRecordsjiluViewController::addrefreshControl() {
    loader_ = make<KXPageLoader>(listDescription().action, listDescription().rows);
    loader_->setLoaded([screen = weakSelf<KXPrepaidPhoneRecordsjiluViewController>()](KXPageLoader::Page page,
                                                                                      const Value& answer) {
        if (auto strong = screen.lock()) strong->pageLoaded(page, answer);
    });
    loader_->attachTo(mainaTableVie());
}

void KXPrepaidPhoneRecordsjiluViewController::pageLoaded(KXPageLoader::Page page, const Value& answer) {
    mainaTableVie()->reloadData();
    // Only the first page tells the total and the count.
    if (page != KXPageLoader::Page::First) return;
    showFigures(answer["data"], "num");
}
