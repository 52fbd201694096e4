#include "app/promotion/KXApplyGameCell.h"

#include "app/promotion/KXAnswerText.h"
#include "app/shell/UIColorHex.h"
#include "frameworks/constraints/MASAdditions.h"
#include "frameworks/webimage/UIImageViewWebCache.h"

namespace {

Ref<UILabel> makeApplyLabel(const char* outlet, CGFloat fontSize, std::string_view colour) {
    auto label = make<UILabel>();
    label->setAccessibilityIdentifier(outlet);
    label->setFont(UIFont::systemFontOfSize(fontSize));
    label->setTextColor(hex(colour));
    return label;
}

}  // namespace

void KXApplyGameCell::didCreate() {
    UITableViewCell::didCreate();
    buildViews();
    awakeFromNib();
}

// The row's layout: the card fills the row less a 20-point margin at the
// sides and 12 at the top; inside it the icon on the left, name and share
// line beside it, the date lines at the lower right with the systems badge
// before them.
void KXApplyGameCell::buildViews() {
    setSelectionStyle(UITableViewCellSelectionStyle::None);
    setBackgroundColor(hex("#F5F5F5"));
    contentView()->setBackgroundColor(hex("#F5F5F5"));

    beijingweueuView_ = make<UIView>();
    beijingweueuView_->setAccessibilityIdentifier("beijingweueuView");
    beijingweueuView_->setBackgroundColor(UIColor::whiteColor());
    contentView()->addSubview(beijingweueuView_);
    mas_makeConstraints(beijingweueuView_, [&](MASConstraintMaker& make) {
        make.left.equalTo(contentView()).offset(20);
        make.right.equalTo(contentView()).offset(-20);
        make.top.equalTo(contentView()).offset(12);
        make.bottom.equalTo(contentView());
    });

    icoimageView_ = make<UIImageView>();
    icoimageView_->setAccessibilityIdentifier("icoimageView");
    icoimageView_->layer()->setCornerRadius(12);
    icoimageView_->setClipsToBounds(true);
    beijingweueuView_->addSubview(icoimageView_);
    mas_makeConstraints(icoimageView_, [&](MASConstraintMaker& make) {
        make.left.top.equalTo(beijingweueuView_).offset(15);
        make.width.height.mas_equalTo(64);
    });

    mingchengLabel_ = makeApplyLabel("mingchengLabel", 16, "#444444");
    beijingweueuView_->addSubview(mingchengLabel_);
    mas_makeConstraints(mingchengLabel_, [&](MASConstraintMaker& make) {
        make.left.equalTo(mas_right(icoimageView_)).offset(12);
        make.right.equalTo(beijingweueuView_).offset(-15);
        make.top.equalTo(beijingweueuView_).offset(17);
        make.height.mas_equalTo(22);
    });

    shouyoufenchengBilieLabel_ = makeApplyLabel("shouyoufenchengBilieLabel", 12, "#888888");
    beijingweueuView_->addSubview(shouyoufenchengBilieLabel_);
    mas_makeConstraints(shouyoufenchengBilieLabel_, [&](MASConstraintMaker& make) {
        make.left.right.equalTo(mingchengLabel_);
        make.top.equalTo(mas_bottom(mingchengLabel_)).offset(8);
        make.height.mas_equalTo(17);
    });

    riqiLabel_ = makeApplyLabel("riqiLabel", 11, "#C1C1CB");
    riqiLabel_->setNumberOfLines(2);
    riqiLabel_->setTextAlignment(NSTextAlignment::Right);
    beijingweueuView_->addSubview(riqiLabel_);
    mas_makeConstraints(riqiLabel_, [&](MASConstraintMaker& make) {
        make.right.equalTo(beijingweueuView_).offset(-15);
        make.bottom.equalTo(beijingweueuView_).offset(-10);
        make.width.mas_equalTo(130);
        make.height.mas_equalTo(36);
    });

    shuduanLabel_ = makeApplyLabel("shuduanLabel", 11, "#5559EA");
    shuduanLabel_->setTextAlignment(NSTextAlignment::Center);
    shuduanLabel_->setBackgroundColor(hex("#EEEEFD"));
    beijingweueuView_->addSubview(shuduanLabel_);
}

void KXApplyGameCell::awakeFromNib() {
    shuduanLabel_->layer()->setCornerRadius(8);
    shuduanLabel_->setClipsToBounds(true);
    beijingweueuView_->layer()->setCornerRadius(12);
    beijingweueuView_->setClipsToBounds(true);
    // The systems badge ends 5 points before the date lines.
    mas_makeConstraints(shuduanLabel_, [&](MASConstraintMaker& make) {
        make.right.equalTo(mas_left(riqiLabel_)).offset(-5);
        make.centerY.equalTo(riqiLabel_);
        make.width.mas_equalTo(44);
        make.height.mas_equalTo(18);
    });
}

void KXApplyGameCell::setModel(const Ref<KXApplyGameModel>& model) {
    model_ = model;
    if (!model) return;
    UIImageViewWebCache::sd_setImageWithURL(icoimageView_, KXAnswerText::imageURL(model->icon));
    mingchengLabel_->setText(KXAnswerText::text(model->name));
    shuduanLabel_->setText(KXAnswerText::text(model->system));
    shouyoufenchengBilieLabel_->setText(KXAnswerText::text(model->system_type) + "/分成比例：" + KXAnswerText::text(model->fcbl));
    riqiLabel_->setText(KXAnswerText::text(model->time1) + "\n" + KXAnswerText::text(model->time2));
}
