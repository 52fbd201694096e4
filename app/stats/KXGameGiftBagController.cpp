#include "app/stats/KXGameGiftBagController.h"

#include "app/shell/KXNavigationView.h"
#include "app/components/KXSearchBox.h"
#include "app/shell/KXUniversal.h"
#include "app/shell/UIColorHex.h"
#include "app/stats/KXGameGiftBagAlert.h"
#include "app/stats/KXStatsList.h"
#include "frameworks/constraints/ConstraintViewDSL.h"
#include "frameworks/keyboard/IQKeyboardManager.h"

void KXGameGiftBagController::viewDidLoad() {
    KXBaseViewController::viewDidLoad();
    setUpViews();
    setUpConstraints();
    tableViewProtocol_->didClickRow = KXStatsList::weakly(self<KXGameGiftBagController>(),
                                                          &KXGameGiftBagController::showGiftBag);
    requestFirstPage();
    KXStatsList::attachRefresh(tableView_, self<KXGameGiftBagController>());
}

void KXGameGiftBagController::setUpViews() {
    navigationView()->titleLabel()->setText("游戏礼包");
    auto keyboard = IQKeyboardManager::shared();
    keyboard->setEnable(true);
    keyboard->setShouldResignOnTouchOutside(true);
    keyboard->setEnableAutoToolbar(true);
    view()->setBackgroundColor(hex("#F5F5F5"));

    searchBgView_ = KXSearchBox::makeBackground(1);
    view()->addSubview(searchBgView_);

    searchLogoImage_ = KXSearchBox::makeLogo();
    searchBgView_->addSubview(searchLogoImage_);

    searchField_ = KXSearchBox::makeField();
    searchField_->setDelegate(self<KXGameGiftBagController>());
    searchField_->addTarget(self<KXGameGiftBagController>(), &KXGameGiftBagController::searchTextFieldChange,
                            UIControlEventEditingChanged);
    searchBgView_->addSubview(searchField_);

    tableView_ = KXStatsList::makeCardTable(tableViewProtocol_);
    tableView_->setAccessibilityIdentifier("tableView");
    view()->addSubview(tableView_);
    KXStatsList::attachNoDataView(tableView_);
    view()->bringSubviewToFront(navigationView());
}

void KXGameGiftBagController::setUpConstraints() {
    const CGFloat s = layoutScale();
    snp(searchBgView_).makeConstraints([&](ConstraintMaker& make) {
        make.top.equalTo(snp(navigationView()).bottom).offset(10 * s);
        make.left.equalToSuperview().offset(20 * s);
        make.right.equalToSuperview().offset(-20 * s);
        make.height.equalTo(36 * s);
    });
    KXSearchBox::layOut(searchLogoImage_, searchField_, true);
    snp(tableView_).makeConstraints([&](ConstraintMaker& make) {
        make.left.right.bottom.equalToSuperview();
        make.top.equalTo(snp(searchBgView_).bottom);
    });
}

void KXGameGiftBagController::requestFirstPage() {
    auto me = self<KXGameGiftBagController>();
    httpManager_->requestGiftBags(keyword_, KXStatsList::weakly(me, &KXGameGiftBagController::firstPageArrived),
                                  KXStatsList::weakly(me, &KXGameGiftBagController::firstPageFailed));
}

void KXGameGiftBagController::loadNewData() { requestFirstPage(); }

void KXGameGiftBagController::loadMoreData() {
    auto me = self<KXGameGiftBagController>();
    httpManager_->requestMoreGiftBags(KXStatsList::weakly(me, &KXGameGiftBagController::nextPageArrived),
                                      KXStatsList::weakly(me, &KXGameGiftBagController::nextPageFailed));
}

void KXGameGiftBagController::searchTextFieldChange(const Ref<UITextField>& sender) {
    if (!sender || !sender->text().empty()) return;
    keyword_.clear();
    requestFirstPage();
}

bool KXGameGiftBagController::textFieldShouldReturn(const Ref<UITextField>& textField) {
    textField->endEditing(true);
    keyword_ = textField->text();
    requestFirstPage();
    return true;
}

void KXGameGiftBagController::showGiftBag(const Ref<KXGameGiftBagModel>& model) {
    auto alert = make<KXGameGiftBagAlert>();
    alert->setModel(model);
    alert->show();
}

void KXGameGiftBagController::firstPageArrived(const std::vector<Ref<KXGameGiftBagModel>>& page) {
    mutDataArr_.firstPageArrived(tableView_, page, httpManager_->keptRows());
    showRows();
}

void KXGameGiftBagController::firstPageFailed(const std::string& message) {
    KXStatsList::firstPageFailed(tableView_, view(), message);
}

void KXGameGiftBagController::nextPageArrived(const std::vector<Ref<KXGameGiftBagModel>>& page) {
    mutDataArr_.nextPageArrived(tableView_, page);
    showRows();
}

void KXGameGiftBagController::nextPageFailed(const std::string& message) {
    KXStatsList::nextPageFailed(tableView_, view(), message);
}

void KXGameGiftBagController::showRows() {
    tableViewProtocol_->models = mutDataArr_.rows;
    tableView_->reloadData();
}
