#include "app/tabs/promote/KXPromoteSearchController.h"

#include "app/components/KXSearchBox.h"
#include "app/shell/KXUniversal.h"
#include "app/shell/UIColorHex.h"
#include "app/stats/KXStatsList.h"
#include "frameworks/constraints/ConstraintViewDSL.h"
#include "uikit/UINavigationController.h"

void KXPromoteSearchController::viewDidLoad() {
    KXPromoteGameListScreen::viewDidLoad();
    setUpViews();
    setUpConstraints();
    loadNewData();
    installFooter();
    WeakRef<KXPromoteSearchController> weak = self<KXPromoteSearchController>();
    tableViewProtocol_->didClickGame = [weak](const Ref<Velmaro::KXPromoteGameModel>& game) {
        if (auto screen = weak.lock()) screen->openGame(game);
    };
}

void KXPromoteSearchController::setUpViews() {
    const CGFloat s = layoutScale();
    auto bar = navigationView();
    bar->setBackgroundColor(UIColor::whiteColor());
    bar->setHidden(false);
    bar->titleLabel()->setHidden(true);
    bar->backButton()->setHidden(true);
    view()->setBackgroundColor(hex("#F5F5F5"));

    searchBgView_ = KXSearchBox::makeBackground(1 * s);
    bar->addSubview(searchBgView_);

    searchLogoImage_ = KXSearchBox::makeLogo();
    searchBgView_->addSubview(searchLogoImage_);

    searchField_ = KXSearchBox::makeField();
    searchField_->setDelegate(self<KXPromoteSearchController>());
    searchField_->addTarget(self<KXPromoteSearchController>(), &KXPromoteSearchController::searchTextFieldChange,
                            UIControlEventEditingChanged);
    searchBgView_->addSubview(searchField_);

    cancelButton_ = UIButton::buttonWithType(UIButtonType::Custom);
    cancelButton_->setAccessibilityIdentifier("cancelButton");
    cancelButton_->setTitle("取消", UIControlStateNormal);
    cancelButton_->setTitleColor(hex("#333333"), UIControlStateNormal);
    cancelButton_->titleLabel()->setFont(UIFont::systemFontOfSize(14 * s));
    cancelButton_->addTarget(self<KXPromoteSearchController>(), &KXPromoteSearchController::cancelButtonClick,
                             UIControlEventTouchUpInside);

    makeTableView();
    auto header = make<UIView>(CGRect{{0, 0}, {screenWidth(), 10}});
    tableView()->setTableHeaderView(header);
    KXStatsList::attachNoDataView(tableView());
    view()->bringSubviewToFront(bar);
    // In front of the bar and the list rather than in the bar: on a small
    // screen its larger touch area reaches a little below the bar, which
    // would cut it off there.
    view()->addSubview(cancelButton_);
}

void KXPromoteSearchController::setUpConstraints() {
    const CGFloat s = layoutScale();
    auto cancel = cancelButton_;
    snp(searchBgView_).makeConstraints([&](ConstraintMaker& make) {
        make.left.equalToSuperview().offset(20 * s);
        make.right.equalTo(snp(cancel).left).offset(-10 * s);
        make.bottom.equalToSuperview().offset(-5 * s);
        make.height.equalTo(36 * s);
    });
    KXSearchBox::layOut(searchLogoImage_, searchField_, true);
    const Ref<UIView> bar = navigationView();
    snp(cancelButton_).makeConstraints([&](ConstraintMaker& make) {
        make.right.equalTo(bar).offset(-20 * s);
        make.centerY.equalTo(snp(searchBgView_).centerY);
    });
    snp(tableView()).makeConstraints([bar](ConstraintMaker& make) {
        make.top.equalTo(snp(bar).bottom);
        make.left.right.bottom.equalToSuperview();
    });
}

bool KXPromoteSearchController::textFieldShouldReturn(const Ref<UITextField>& textField) {
    setKeyword(textField->text());
    loadNewData();
    textField->endEditing(true);
    return true;
}

void KXPromoteSearchController::cancelButtonClick(const Ref<UIControl>&) {
    if (auto navigation = navigationController()) navigation->popViewControllerAnimated(true);
}
