#include "app/payment/KXGameIcoPopView.h"

#include "app/payment/KXClassicRequest.h"
#include "app/payment/KXGameYouXitanKuangCollectionViewCell.h"
#include "app/shell/KXUniversal.h"
#include "app/team/KXTeamColors.h"
#include "foundation/NSURLSessionDataTask.h"
#include "uikit/UICollectionViewFlowLayout.h"
#include "uikit/UILabel.h"
#include "uikit/UIScreen.h"

namespace {

}  // namespace

CGFloat KXGameIcoPopView::scale() { return currentScreenBounds().size.width / 375; }

void KXGameIcoPopView::didCreate() {
    UIView::didCreate();
    keyword_ = "";
    addgrayView();
    setupUI();
    addCommonControlsView();
}

void KXGameIcoPopView::addgrayView() {
    grayView_ = make<UIView>(currentScreenBounds());
    grayView_->setAccessibilityIdentifier("grayView");
    grayView_->setBackgroundColor(UIColor::colorWithRed(51 / 255.0, 51 / 255.0, 51 / 255.0, 0.6));
    addSubview(grayView_);
    grayView_->addGestureRecognizer(make<UITapGestureRecognizer>(self<KXGameIcoPopView>(), &KXGameIcoPopView::tapView));
}

void KXGameIcoPopView::setupUI() {
    const CGSize screen = currentScreenBounds().size;
    fenxiangView_ = make<UIView>(CGRectMake(20 * scale(), (screen.height - 430) / 2, screen.width - 40 * scale(), 430));
    fenxiangView_->setAccessibilityIdentifier("fenxiangView");
    fenxiangView_->setBackgroundColor(UIColor::whiteColor());
    fenxiangView_->layer()->setCornerRadius(8);
    fenxiangView_->setClipsToBounds(true);
    addSubview(fenxiangView_);
}

void KXGameIcoPopView::addCommonControlsView() {
    const CGFloat s = scale();
    const CGFloat cardWidth = currentScreenBounds().size.width - 40 * s;

    auto title = make<UILabel>(CGRectMake(10, 20, cardWidth, 25));
    title->setText("游戏图标");
    title->setFont(UIFont::systemFontOfSize(18));
    title->setTextColor(KXTeamColors::bodyText());
    title->setTextAlignment(NSTextAlignment::Center);
    fenxiangView_->addSubview(title);

    const CGFloat rowTop = CGRectGetMaxY(title->frame()) + 10 * s;
    searchButton_ = make<UIButton>(CGRectMake(cardWidth - 10 * s - 50 * s, rowTop, 50 * s, 30 * s));
    searchButton_->setAccessibilityIdentifier("searchButton");
    searchButton_->setTitle(std::string("搜索"), UIControlStateNormal);
    searchButton_->titleLabel()->setFont(UIFont::systemFontOfSize(14 * s));
    searchButton_->setBackgroundColor(UIColor::blueColor());
    searchButton_->layer()->setCornerRadius(15 * s);
    searchButton_->addTarget(self<KXGameIcoPopView>(), &KXGameIcoPopView::searchButtonClick,
                             UIControlEventTouchUpInside);
    fenxiangView_->addSubview(searchButton_);

    const CGFloat boxLeft = 18 * s;
    searchBgView_ = make<UIView>(CGRectMake(boxLeft, rowTop, searchButton_->frame().origin.x - 10 * s - boxLeft, 30 * s));
    searchBgView_->setAccessibilityIdentifier("searchBgView");
    searchBgView_->layer()->setCornerRadius(15 * s);
    searchBgView_->layer()->setBorderColor(UIColor::lightGrayColor());
    searchBgView_->layer()->setBorderWidth(1);
    fenxiangView_->addSubview(searchBgView_);

    const CGFloat boxWidth = searchBgView_->bounds().size.width;
    searchImg_ = make<UIImageView>(CGRectMake(10 * s, (30 * s - 14 * s) / 2, 14 * s, 14 * s));
    searchImg_->setAccessibilityIdentifier("searchImg");
    searchImg_->setImage(UIImage::imageNamed("sousujiemian_ico"));
    searchBgView_->addSubview(searchImg_);

    const CGFloat fieldLeft = CGRectGetMaxX(searchImg_->frame()) + 10 * s;
    searchField_ = make<UITextField>(CGRectMake(fieldLeft, 0, boxWidth - 10 * s - fieldLeft, 30 * s));
    searchField_->setAccessibilityIdentifier("searchField");
    searchField_->setPlaceholder("请输入搜索内容");
    searchField_->addTarget(self<KXGameIcoPopView>(), &KXGameIcoPopView::searchFieldTextChange,
                            UIControlEventEditingChanged);
    searchBgView_->addSubview(searchField_);

    auto layout = make<UICollectionViewFlowLayout>();
    layout->setScrollDirection(UICollectionViewScrollDirection::Vertical);
    layout->setMinimumLineSpacing(18);
    layout->setMinimumInteritemSpacing((currentScreenBounds().size.width - 40 * s - 50 * s - 176 * s) / 3 - 1);
    maincollectionView_ = make<UICollectionView>(CGRectMake(0, 120, cardWidth, 350), layout);
    maincollectionView_->setAccessibilityIdentifier("maincollectionView");
    maincollectionView_->setBackgroundColor(UIColor::whiteColor());
    maincollectionView_->setAlwaysBounceVertical(true);
    maincollectionView_->setContentInset(UIEdgeInsetsMake(0, 20 * s, 0, 20 * s));
    maincollectionView_->registerClass<KXGameYouXitanKuangCollectionViewCell>(
        KXGameYouXitanKuangCollectionViewCell::kReuseIdentifier);
    maincollectionView_->setDataSource(self<KXGameIcoPopView>());
    maincollectionView_->setDelegate(self<KXGameIcoPopView>());
    fenxiangView_->addSubview(maincollectionView_);
}

void KXGameIcoPopView::requestDatashuju() {
    // Each search supersedes the one under way, which is cancelled: only the
    // latest answer, or failure, reaches the grid.
    searches_.load(this, KXClassicRequest::query("fuli_game", Dictionary{{"keyword", keyword_}}),
                   [](const Ref<KXGameIcoPopView>& picker, const Value& answer) {
                       picker->dataMuArr_ =
                           NSObjectMJKeyValue::mj_objectArrayWithKeyValuesArray<KXdaichongzheKouModel>(answer["data"]);
                       picker->maincollectionView_->reloadData();
                   });
}

void KXGameIcoPopView::searchButtonClick(const Ref<UIButton>&) {
    endEditing(true);
    requestDatashuju();
}

void KXGameIcoPopView::searchFieldTextChange(const Ref<UITextField>& sender) {
    keyword_ = sender ? sender->text() : std::string();
}

void KXGameIcoPopView::tapView(const Ref<UITapGestureRecognizer>& recognizer) {
    auto backdrop = recognizer ? recognizer->view() : nullptr;
    if (auto picker = backdrop ? backdrop->superview() : nullptr) picker->removeFromSuperview();
}

long KXGameIcoPopView::collectionViewNumberOfItemsInSection(const Ref<UICollectionView>&, long) {
    return static_cast<long>(dataMuArr_.size());
}

Ref<UICollectionViewCell> KXGameIcoPopView::collectionViewCellForItemAtIndexPath(
    const Ref<UICollectionView>& collectionView, const NSIndexPath& indexPath) {
    auto cell = cast<KXGameYouXitanKuangCollectionViewCell>(collectionView->dequeueReusableCellWithReuseIdentifier(
        KXGameYouXitanKuangCollectionViewCell::kReuseIdentifier, indexPath));
    cell->setBackgroundColor(UIColor::whiteColor());
    const auto row = static_cast<std::size_t>(indexPath.row());
    if (row < dataMuArr_.size()) cell->setDataModel(dataMuArr_[row]);
    return cell;
}

std::optional<CGSize> KXGameIcoPopView::collectionViewLayoutSizeForItemAtIndexPath(const Ref<UICollectionView>&,
                                                                                   const Ref<UICollectionViewLayout>&,
                                                                                   const NSIndexPath&) {
    return CGSizeMake(44 * scale(), 44 * scale() + 21);
}

void KXGameIcoPopView::collectionViewDidSelectItemAtIndexPath(const Ref<UICollectionView>&,
                                                              const NSIndexPath& indexPath) {
    const auto row = static_cast<std::size_t>(indexPath.row());
    if (row >= dataMuArr_.size()) return;
    // The delegate may take the picker off the window and forget it: it
    // lives until it has closed.
    Ref<KXGameIcoPopView> keepAlive = self<KXGameIcoPopView>();
    if (auto delegate = delegate_.lock()) delegate->KXGameIcoPopViewDelegate(dataMuArr_[row]);
    removeFromSuperview();
}
