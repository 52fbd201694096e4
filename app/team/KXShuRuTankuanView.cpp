#include "app/team/KXShuRuTankuanView.h"

#include <array>

#include "app/payment/KXClassicRequest.h"
#include "app/payment/KXMoneyRequest.h"
#include "app/shell/KXBlankText.h"
#include "app/shell/KXStoredTextLimit.h"
#include "app/shell/MBProgressHUDManager.h"
#include "app/team/KXAccountFormStyle.h"
#include "app/team/KXActionReadBack.h"
#include "app/team/KXTeamColors.h"
#include "graphics/UIFont.h"
#include "uikit/UIButton.h"
#include "uikit/UILabel.h"
#include "uikit/UITapGestureRecognizer.h"
#include "uikit/UITextField.h"

namespace {

// The profile fields of rows 2 to 7.
constexpr std::array kFieldsFromRowTwo = {"pal", "phone", "email", "bank_id", "bank_user", "address"};
constexpr long kFirstEditableRow = 2;
constexpr CGFloat kPopupCardHeight = 229;

}  // namespace

std::optional<std::string> KXShuRuTankuanView::fieldForRow(long row) {
    const long index = row - kFirstEditableRow;
    if (index < 0 || index >= static_cast<long>(kFieldsFromRowTwo.size())) return std::nullopt;
    return kFieldsFromRowTwo[static_cast<std::size_t>(index)];
}

void KXShuRuTankuanView::didCreate() {
    UIView::didCreate();
    addgrayView();
    setupUI();
}

void KXShuRuTankuanView::addgrayView() {
    const CGSize size = bounds().size;
    grayView_ = make<UIView>(CGRectMake(0, 0, size.width, size.height));
    grayView_->setAccessibilityIdentifier("grayView");
    grayView_->setBackgroundColor(KXAccountFormStyle::rgb(51, 51, 51));
    grayView_->setAlpha(0.6);
    grayView_->addGestureRecognizer(make<UITapGestureRecognizer>(self<KXShuRuTankuanView>(), &KXShuRuTankuanView::tapView));
    addSubview(grayView_);
}

void KXShuRuTankuanView::setupUI() {
    const CGSize size = bounds().size;
    fenxiangView_ = make<UIView>(CGRectMake(20, (size.height - kPopupCardHeight) / 2, size.width - 40, kPopupCardHeight));
    fenxiangView_->setAccessibilityIdentifier("fenxiangView");
    fenxiangView_->setBackgroundColor(UIColor::whiteColor());
    KXAccountFormStyle::round(fenxiangView_, 8);
    addSubview(fenxiangView_);

    miashuLabel_ = make<UILabel>(CGRectMake(20, 20, 300, 17));
    miashuLabel_->setAccessibilityIdentifier("miashuLabel");
    miashuLabel_->setTextAlignment(NSTextAlignment::Left);
    miashuLabel_->setTextColor(KXTeamColors::bodyText());
    miashuLabel_->setFont(UIFont::systemFontOfSize(12));
    miashuLabel_->setText("支付宝账号");
    fenxiangView_->addSubview(miashuLabel_);

    const CGFloat width = size.width - 80;
    miaoshutexefeild_ = KXAccountFormStyle::entryField(CGRectMake(20, CGRectGetMaxY(miashuLabel_->frame()) + 4, width, 44),
                                                       "请输入支付宝账号", "miaoshutexefeild", self<KXShuRuTankuanView>());
    fenxiangView_->addSubview(miaoshutexefeild_);

    auto done = KXAccountFormStyle::submitButton(CGRectMake(20, CGRectGetMaxY(miaoshutexefeild_->frame()) + 30, width, 44),
                                                 "完成", "buttonTap");
    done->addTarget(self<KXShuRuTankuanView>(), &KXShuRuTankuanView::buttonTap, UIControlEventTouchUpInside);
    fenxiangView_->addSubview(done);
    auto cancel = make<UIButton>(CGRectMake(20, CGRectGetMaxY(done->frame()) + 10, width, 44));
    cancel->setAccessibilityIdentifier("quxiaoBut");
    cancel->setTitle("取消", UIControlStateNormal);
    cancel->setTitleColor(KXTeamColors::bodyText(), UIControlStateNormal);
    cancel->setBackgroundColor(KXAccountFormStyle::rgb(238, 238, 238));
    KXAccountFormStyle::round(cancel, 2);
    cancel->addTarget(self<KXShuRuTankuanView>(), &KXShuRuTankuanView::quxiaoBut, UIControlEventTouchUpInside);
    fenxiangView_->addSubview(cancel);
}

void KXShuRuTankuanView::buttonTap() {
    const std::string value = miaoshutexefeild_->text();
    if (KXBlankText::isBlank(value)) {
        MBProgressHUDManager::showError("内容不能为空");
        return;
    }
    if (auto tooLong = KXStoredTextLimit::refusalOfTyped(miashuLabel_->text(), value)) {
        MBProgressHUDManager::showError(*tooLong);
        return;
    }
    removeFromSuperview();
    miaoshutexefeild_->resignFirstResponder();
    // A row without a profile field of its own has nothing to save.
    if (auto field = fieldForRow(indepath_.row())) save(*field, value);
}

void KXShuRuTankuanView::save(const std::string& field, const std::string& value) {
    // Saved or refused (filled meanwhile, as "信息添加后禁止修改" says): the
    // screen loads the record again and shows what the back end keeps.
    auto reload = [delegate = delegate_] {
        if (auto listener = delegate.lock()) listener->shuxingshuju();
    };
    // No answer: the record tells. The field holding the value sent is the
    // save made; empty, or holding another value (a field is filled once),
    // it was not, and the record shows what is kept.
    auto kept = [record = Dictionary{{field, KXBlankText::kept(value)}}](const Value& answer) {
        if (KXClassicRequest::code(answer) != 1) return KXActionReadBack::Verdict::Unknown;
        return KXActionReadBack::matches(answer["data"], record) ? KXActionReadBack::Verdict::Made
                                                                : KXActionReadBack::Verdict::NotMade;
    };
    KXActionReadBack::send(saving_, KXClassicRequest::query("my_edit", Dictionary{{field, value}}), [reload](const Value&) { reload(); },
                           {KXClassicRequest::query("my_config"), kept, KXMoneyRequest::unknownResultText("个人信息"),
                            [reload] {
                                KXClassicRequest::showFailure();
                                reload();
                            }},
                           [reload](const Value& refusal) {
                               KXClassicRequest::showRefusal(refusal);
                               reload();
                           });
}

void KXShuRuTankuanView::quxiaoBut() {
    removeFromSuperview();
    miaoshutexefeild_->resignFirstResponder();
}

void KXShuRuTankuanView::tapView(const Ref<UITapGestureRecognizer>&) { removeFromSuperview(); }

bool KXShuRuTankuanView::textFieldShouldReturn(const Ref<UITextField>& textField) {
    textField->resignFirstResponder();
    return true;
}
