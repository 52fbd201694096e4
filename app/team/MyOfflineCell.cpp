#include "app/team/MyOfflineCell.h"

#include "app/team/KXRowActionButton.h"
#include "app/team/KXTeamColors.h"

namespace {

// 12 pt shrinks to no less than 8.4 pt (the 56-pt column of a 320-pt screen).
constexpr CGFloat kPhoneMinimumScale = 0.7;

}  // namespace

void MyOfflineCell::didCreate() {
    KXReportGridCell::didCreate();
    // The delete button sits in the operation column, which takes touches
    // so that the button receives them.
    for (const auto& label : labelMuArr()) label->setUserInteractionEnabled(true);
    // A phone number is one word: eleven digits take one line, in a smaller
    // font where the column is narrower than they are, never broken in two.
    const Ref<UILabel>& phone = labelMuArr().at(1);
    phone->setNumberOfLines(1);
    phone->setAdjustsFontSizeToFitWidth(true);
    phone->setMinimumScaleFactor(kPhoneMinimumScale);
    const Ref<UILabel>& operation = labelMuArr().back();
    auto button = KXRowActionButton::buttonWithTitle(
        "删除", {(operation->bounds().size.width - 40) / 2, 14, 40, 30}, KXTeamColors::refusalRed());
    button->addTarget(self<MyOfflineCell>(), &MyOfflineCell::delegatebutton, UIControlEventTouchUpInside);
    operation->addSubview(button);
}

namespace {

// The sign-in permission in words: the back end sends "1" for allowed and
// "2" for refused, as the add-sub-promoter form chose them; anything else is
// shown as sent.
std::optional<std::string> permissionText(const std::optional<std::string>& isLogin) {
    if (isLogin == "1") return "允许";
    if (isLogin == "2") return "拒绝";
    return isLogin;
}

}  // namespace

void MyOfflineCell::setModel(const Ref<MyOfflineModel>& model) {
    model_ = model;
    if (model) showFields({model->username, model->phone, model->fcbl, permissionText(model->is_login)});
}

void MyOfflineCell::delegatebutton() {
    if (auto delegate = delegae()) delegate->MyOfflineCelldelegateModel(model_);
}
