#include "app/team/KXPersonalInformationViewController.h"

#include <array>

#include "app/payment/KXClassicRequest.h"
#include "app/promotion/KXAnswerText.h"
#include "app/shell/KXLocallyStoredData.h"
#include "app/shell/KXUniversal.h"
#include "app/team/KXAccountFormStyle.h"
#include "app/team/KXPersonalInformationCell.h"
#include "app/team/KXShuRuTankuanView.h"
#include "app/team/KXTeamColors.h"
#include "foundation/NSURL.h"
#include "foundation/NSURLSessionDataTask.h"
#include "frameworks/webimage/UIImageViewWebCache.h"
#include "graphics/UIFont.h"
#include "uikit/UIApplication.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIScreen.h"
#include "uikit/UITextField.h"
#include "uikit/UIWindow.h"

namespace {

// The record's key of each row; the id row (1) shows the stored user id.
constexpr std::array kRowKeys = {"username", "", "pal", "phone", "email", "bank_id", "bank_user", "address"};
constexpr long kIdRow = 1;
constexpr CGFloat kProfileHeaderHeight = 104;

}  // namespace

void KXPersonalInformationViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    setupUI();
    addheaderView();
    sendNetworkRequest();
}

void KXPersonalInformationViewController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(false, animated);
}

void KXPersonalInformationViewController::setupUI() {
    navigationItem()->setTitle("个人信息");
    view()->setBackgroundColor(KXTeamColors::screenBackground());
    leftArr_ = {"昵称", "ID", "Pal", "手机", "邮箱", "支付宝账号", "收款人", "联系地址"};
    view()->addSubview(mainTabelView());
}

Ref<UITableView> KXPersonalInformationViewController::mainTabelView() {
    if (!mainTabelView_) {
        const CGSize size = currentScreenBounds().size;
        mainTabelView_ = make<UITableView>(CGRectMake(0, 0, size.width, size.height), UITableViewStyle::Plain);
        mainTabelView_->setAccessibilityIdentifier("mainTabelView");
        mainTabelView_->setDelegate(self<KXPersonalInformationViewController>());
        mainTabelView_->setDataSource(self<KXPersonalInformationViewController>());
        mainTabelView_->setBackgroundColor(KXTeamColors::screenBackground());
        mainTabelView_->setSeparatorStyle(UITableViewCellSeparatorStyle::None);
    }
    return mainTabelView_;
}

void KXPersonalInformationViewController::addheaderView() {
    const CGFloat width = currentScreenBounds().size.width;
    hederView_ = make<UIView>(CGRectMake(0, 0, width, kProfileHeaderHeight));
    hederView_->setAccessibilityIdentifier("hederView");
    hederView_->setBackgroundColor(UIColor::whiteColor());
    auto caption = make<UILabel>(CGRectMake(20, 20, 100, 84));
    caption->setText("头像");
    caption->setFont(UIFont::systemFontOfSize(14));
    caption->setTextColor(KXTeamColors::bodyText());
    caption->setBackgroundColor(UIColor::whiteColor());
    hederView_->addSubview(caption);
    headImageView_ = make<UIImageView>(CGRectMake(width - 84, 20, 64, 64));
    headImageView_->setAccessibilityIdentifier("headImageView");
    headImageView_->setBackgroundColor(UIColor::redColor());
    KXAccountFormStyle::round(headImageView_, 12);
    hederView_->addSubview(headImageView_);
    auto line = make<UIView>(CGRectMake(0, kProfileHeaderHeight - 1, width, 1));
    line->setBackgroundColor(KXTeamColors::screenBackground());
    hederView_->addSubview(line);
    mainTabelView()->setTableHeaderView(hederView_);

    auto footer = make<UIView>(CGRectMake(0, 0, width, 56));
    footer->setBackgroundColor(KXTeamColors::screenBackground());
    auto notice = make<UILabel>(CGRectMake(20, 10, width - 40, 36));
    notice->setFont(UIFont::systemFontOfSize(14));
    notice->setTextColor(KXAccountFormStyle::rgb(255, 182, 10));
    notice->setBackgroundColor(KXAccountFormStyle::rgb(255, 250, 238));
    notice->setText("注意：信息添加后禁止修改");
    footer->addSubview(notice);
    mainTabelView()->setTableFooterView(footer);
}

void KXPersonalInformationViewController::sendNetworkRequest() {
    // The reload after an edit may overtake the load under way: only the
    // latest answer shows, so an older one never shows a saved field empty.
    loads_.load(this, KXClassicRequest::query("my_config"),
                [](const Ref<KXPersonalInformationViewController>& screen, const Value& answer) {
                    screen->showRecord(answer["data"]);
                });
}

void KXPersonalInformationViewController::shuxingshuju() { sendNetworkRequest(); }

void KXPersonalInformationViewController::showRecord(const Value& data) {
    UIImageViewWebCache::sd_setImageWithURL(headImageView_, KXAnswerText::imageURL(data["head"]));
    // A record that is not an object counts as one with every value missing.
    shujuDic_ = data.dictionary() ? *data.dictionary() : Dictionary{};
    dataMuArr_.clear();
    for (long row = 0; row < static_cast<long>(kRowKeys.size()); ++row) {
        auto model = make<KXPersonalInformationModel>();
        // Texts, and numbers as their text; anything else counts as missing.
        model->setMingcheng(row == kIdRow ? KXLocallyStoredData::getLoginUserID()
                                          : data[kRowKeys[static_cast<std::size_t>(row)]].stringValue());
        dataMuArr_.push_back(model);
    }
    mainTabelView()->reloadData();
}

long KXPersonalInformationViewController::tableViewNumberOfRowsInSection(const Ref<UITableView>&, long) {
    return static_cast<long>(leftArr_.size());
}

Ref<UITableViewCell> KXPersonalInformationViewController::tableViewCellForRowAtIndexPath(
    const Ref<UITableView>& tableView, NSIndexPath indexPath) {
    auto cell = cast<KXPersonalInformationCell>(tableView->dequeueReusableCellWithIdentifier("cellID"));
    if (!cell) cell = make<KXPersonalInformationCell>(UITableViewCellStyle::Default, "cellID");
    const auto row = static_cast<std::size_t>(indexPath.row());
    cell->mingchengLabel()->setText(leftArr_[row]);
    const bool filled = row < dataMuArr_.size() && !dataMuArr_[row]->isEmpty();
    cell->nichengLabel()->setText(filled ? *dataMuArr_[row]->mingcheng() : "未填写");
    return cell;
}

std::optional<CGFloat> KXPersonalInformationViewController::tableViewHeightForRowAtIndexPath(const Ref<UITableView>&,
                                                                                              NSIndexPath) {
    return currentScreenBounds().size.height * 44 / 667;
}

void KXPersonalInformationViewController::tableViewDidSelectRowAtIndexPath(const Ref<UITableView>&,
                                                                           NSIndexPath indexPath) {
    const auto row = static_cast<std::size_t>(indexPath.row());
    if (row >= dataMuArr_.size() || !dataMuArr_[row]->isEmpty()) return;
    // The nickname and the id have no field the app may fill in.
    if (!KXShuRuTankuanView::fieldForRow(indexPath.row())) return;
    auto window = UIApplication::sharedApplication()->keyWindow();
    if (!window) return;
    const CGSize size = currentScreenBounds().size;
    auto popUp = make<KXShuRuTankuanView>(CGRectMake(0, 0, size.width, size.height));
    popUp->miashuLabel()->setText(leftArr_[row]);
    popUp->miaoshutexefeild()->setPlaceholder("请输入" + leftArr_[row]);
    popUp->setDelegate(self<KXPersonalInformationViewController>());
    popUp->setIndepath(indexPath);
    window->addSubview(popUp);
}
