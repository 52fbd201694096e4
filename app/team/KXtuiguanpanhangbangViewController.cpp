#include "app/team/KXtuiguanpanhangbangViewController.h"

#include "app/payment/KXClassicRequest.h"
#include "app/promotion/KXAnswerText.h"
#include "app/team/KXDividedIntoViewController.h"
#include "app/team/KXGridViews.h"
#include "app/team/KXTeamColors.h"
#include "app/team/KXtuiguanpanhangbangCell.h"
#include "frameworks/constraints/MASAdditions.h"
#include "frameworks/models/MJExtension.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIScreen.h"

namespace {

const char* const kRankingCellIdentifier = "cellID";
constexpr CGFloat kTableTop = 190;
constexpr CGFloat kTitleBarHeight = 34;
constexpr CGFloat kColumnTitleHeight = 44;

CGFloat tableWidth() { return UIScreen::mainScreen()->bounds().size.width - 40; }

Ref<UILabel> rankingCardLabel(CGRect frame, const std::string& text, const UIFont& font) {
    auto label = make<UILabel>(frame);
    label->setText(text);
    label->setFont(font);
    label->setTextColor(UIColor::whiteColor());
    label->setTextAlignment(NSTextAlignment::Center);
    return label;
}

}  // namespace

void KXtuiguanpanhangbangViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    buildTopArea();
    setCommonProperties();
    setupUI();
    addheaderView();
    sendNetworkRequest();
}

void KXtuiguanpanhangbangViewController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(false, false);
}

void KXtuiguanpanhangbangViewController::buildTopArea() {
    const CGFloat width = tableWidth();
    const CGFloat half = width / 2;
    auto card = make<UIView>(CGRect{20, 10, width, kTableTop - 20});
    card->setAccessibilityIdentifier("beijingView");
    card->setBackgroundColor(KXTeamColors::accentBlue());
    card->addSubview(rankingCardLabel({0, 30, half, 20}, "累计推广人数(人)", UIFont::systemFontOfSize(13)));
    card->addSubview(rankingCardLabel({half, 30, half, 20}, "累计收益(元)", UIFont::systemFontOfSize(13)));
    auto players = rankingCardLabel({0, 56, half, 34}, "", UIFont::boldSystemFontOfSize(26));
    players->setAccessibilityIdentifier("leijirenshuLabel");
    auto income = rankingCardLabel({half, 56, half, 34}, "", UIFont::boldSystemFontOfSize(26));
    income->setAccessibilityIdentifier("jingerLabel");
    card->addSubview(players);
    card->addSubview(income);
    auto divider = make<UIView>(CGRect{half, 34, 1, 52});
    divider->setBackgroundColor(UIColor::colorWithWhite(1, 0.4));
    card->addSubview(divider);

    auto details = UIButton::buttonWithType(UIButtonType::Custom);
    details->setFrame({(width - 128) / 2, 116, 128, 32});
    details->setTitle("查看分成明细", UIControlStateNormal);
    details->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
    details->titleLabel()->setFont(UIFont::systemFontOfSize(13));
    details->layer()->setBorderColor(UIColor::whiteColor());
    details->layer()->setBorderWidth(1);
    details->layer()->setCornerRadius(16);
    details->addTarget(self<KXtuiguanpanhangbangViewController>(), &KXtuiguanpanhangbangViewController::tuiguanmingxi,
                       UIControlEventTouchUpInside);
    card->addSubview(details);

    view()->addSubview(card);
    beijingView_ = card;
    leijirenshuLabel_ = players;
    jingerLabel_ = income;
}

void KXtuiguanpanhangbangViewController::setCommonProperties() {
    navigationItem()->setTitle("推广排行");
    view()->setBackgroundColor(KXTeamColors::screenBackground());
    if (auto card = beijingView()) {
        card->layer()->setCornerRadius(12);
        card->layer()->setMasksToBounds(true);
    }
}

Ref<UITableView> KXtuiguanpanhangbangViewController::mainaTableVie() {
    if (!mainaTableVie_) {
        auto table = make<UITableView>(CGRect{}, UITableViewStyle::Plain);
        table->setAccessibilityIdentifier("mainaTableVie");
        table->setDelegate(self<KXtuiguanpanhangbangViewController>());
        table->setDataSource(self<KXtuiguanpanhangbangViewController>());
        table->setSeparatorStyle(UITableViewCellSeparatorStyle::None);
        table->setBackgroundColor(KXTeamColors::screenBackground());
        table->layer()->setCornerRadius(12);
        table->layer()->setMasksToBounds(true);
        table->registerClass<KXtuiguanpanhangbangCell>(kRankingCellIdentifier);
        mainaTableVie_ = table;
    }
    return mainaTableVie_;
}

void KXtuiguanpanhangbangViewController::setupUI() {
    auto root = view();
    auto table = mainaTableVie();
    root->addSubview(table);
    mas_makeConstraints(table, [&](MASConstraintMaker& make) {
        make.left.equalTo(mas_left(root)).offset(20);
        make.right.equalTo(mas_right(root)).offset(-20);
        make.top.equalTo(mas_top(root)).offset(kTableTop);
        make.bottom.equalTo(mas_bottom(root));
    });
}

void KXtuiguanpanhangbangViewController::addheaderView() {
    const CGFloat width = tableWidth();
    const CGFloat column = width / 3;
    headerView_ = make<UIView>(CGRect{0, 0, width, kTitleBarHeight + kColumnTitleHeight});
    headerView_->setAccessibilityIdentifier("headerView");
    auto titleBar = rankingCardLabel({0, 0, width, kTitleBarHeight}, "推广榜", UIFont::systemFontOfSize(12));
    titleBar->setBackgroundColor(UIColor::colorWithRed(22 / 255.0, 190 / 255.0, 173 / 255.0, 1));
    headerView_->addSubview(titleBar);
    const char* titles[] = {"排行榜", "用户", "收益"};
    for (int i = 0; i < 3; ++i) {
        headerView_->addSubview(KXGridViews::label({i * column, kTitleBarHeight, column, kColumnTitleHeight}, titles[i],
                                                   UIColor::whiteColor(), 0.85));
        headerView_->addSubview(KXGridViews::line({i * column, kTitleBarHeight, 1, kColumnTitleHeight}));
    }
    headerView_->addSubview(KXGridViews::line({0, kTitleBarHeight + kColumnTitleHeight - 1, width, 1}));
    mainaTableVie()->setTableHeaderView(headerView_);
}

void KXtuiguanpanhangbangViewController::sendNetworkRequest() {
    const auto query = KXClassicRequest::query("paihang");
    loads_.load(this, query, [](const Ref<KXtuiguanpanhangbangViewController>& screen, const Value& answer) {
        const Value& data = answer["data"];
        screen->MyDic_ = data["my"];
        screen->dataMuArr_ = NSObjectMJKeyValue::mj_objectArrayWithKeyValuesArray<KXtuiguanpanhangModel>(data["list"]);
        screen->mainaTableVie()->reloadData();
        screen->shuxingshezhishuju();
    });
}

void KXtuiguanpanhangbangViewController::shuxingshezhishuju() {
    if (auto players = leijirenshuLabel()) players->setText(KXAnswerText::text(MyDic_["num"]));
    if (auto income = jingerLabel()) income->setText(KXAnswerText::text(MyDic_["money"]));
}

void KXtuiguanpanhangbangViewController::tuiguanmingxi() {
    if (auto navigation = navigationController()) navigation->pushViewController(make<KXDividedIntoViewController>(), true);
}

long KXtuiguanpanhangbangViewController::tableViewNumberOfRowsInSection(const Ref<UITableView>&, long) {
    return static_cast<long>(dataMuArr_.size());
}

Ref<UITableViewCell> KXtuiguanpanhangbangViewController::tableViewCellForRowAtIndexPath(
    const Ref<UITableView>& tableView, NSIndexPath indexPath) {
    auto cell = tableView->dequeueReusableCellWithIdentifier(kRankingCellIdentifier, indexPath);
    cell->setSelectionStyle(UITableViewCellSelectionStyle::None);
    const auto row = static_cast<std::size_t>(indexPath.row());
    if (auto rank = cast<KXtuiguanpanhangbangCell>(cell); rank && row < dataMuArr_.size()) {
        rank->setDijige(indexPath.row());
        rank->setModel(dataMuArr_[row]);
    }
    return cell;
}

std::optional<CGFloat> KXtuiguanpanhangbangViewController::tableViewHeightForRowAtIndexPath(const Ref<UITableView>&,
                                                                                           NSIndexPath) {
    return KXtuiguanpanhangbangCell::kHeight;
}
