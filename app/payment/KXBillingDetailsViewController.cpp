#include "app/payment/KXBillingDetailsViewController.h"

#include "app/payment/KXBillingDetailsModel.h"
#include "app/payment/KXjieSuanTableViewCell.h"

KXBillingDetailsViewController::KXBillingDetailsViewController()
    : KXRecordListViewController(
          {"结算明细", "总结算金额(元)", "jiesuan_list",
           modelRowsUnder<KXBillingDetailsModel>("data"),
           cellsShowing(&KXjieSuanTableViewCell::setModel)}) {}
