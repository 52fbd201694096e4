#include "app/team/MyOfflineCell.h"

#include "app/team/KXRowActionButton.h"
#include "app/team/KXTeamColors.h"

void MyOfflineCell::didCreate() {
    KXReportGridCell::didCreate();
    // The delete button sits in the operation column, which takes touches
    // so that the button receives them.
    for (const auto& label : labelMuArr()) label->setUserInteractionEnabled(true);
    const Ref<UILabel>& operation = labelMuArr().back();
    auto button = KXRowActionButton::buttonWithTitle(
        "删除", {(operation->bounds().size.width - 40) / 2, 14, 40, 30}, KXTeamColors::refusalRed());
    button->addTarget(self<MyOfflineCell>(), &MyOfflineCell::delegatebutton, UIControlEventTouchUpInside);
    operation->addSubview(button);
}

void MyOfflineCell::setModel(const Ref<MyOfflineModel>& model) {
    model_ = model;
    if (model) showFields({model->username, model->phone, model->fcbl, model->is_login});
}

void MyOfflineCell::delegatebutton() {
    if (auto delegate = delegae()) delegate->MyOfflineCelldelegateModel(model_);
}
