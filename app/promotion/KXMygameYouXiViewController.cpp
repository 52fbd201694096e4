#include "app/promotion/KXMygameYouXiViewController.h"

#include "app/promotion/KXApplyGameViewController.h"
#include "app/promotion/KXGameDetailsViewController.h"
#include "app/promotion/KXMyGameYouXiCollectionViewCell.h"
#include "app/promotion/KXNotchedScreen.h"
#include "app/shell/KXUniversal.h"
#include "app/shell/UIColorHex.h"
#include "foundation/NSLog.h"
#include "uikit/UICollectionViewFlowLayout.h"
#include "uikit/UINavigationController.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIScreen.h"

namespace {

const char* const kMyGamesCellIdentifier = "cellID";
constexpr CGFloat kButtonHeight = 44;

// The strip a notched screen keeps free at the bottom; none elsewhere.
CGFloat bottomInset() { return KXNotchedScreen::isNotched() ? KXNotchedScreen::kBottomInset : 0; }

}  // namespace

void KXMygameYouXiViewController::didCreate() {
    UIViewController::didCreate();
    loader_ = make<KXPageLoader>("mygames", KXPageLoader::modelRows<KXPromoteGameModel>(),
                                 KXPageLoader::Pull::KeepsTheRows);
    WeakRef<KXMygameYouXiViewController> weak = self<KXMygameYouXiViewController>();
    loader_->setLoaded([weak](KXPageLoader::Page, const Value&) {
        auto screen = weak.lock();
        if (screen && screen->maincollectionView_) screen->maincollectionView_->reloadData();
    });
}

void KXMygameYouXiViewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    setupUI();
    addControlsView();
    addrefreshControl();
}

void KXMygameYouXiViewController::setupUI() {
    const CGSize screen = currentScreenBounds().size;
    view()->setBackgroundColor(hex("#F5F5F5"));
    navigationItem()->setTitle("我的游戏");
    applyButton_ = UIButton::buttonWithType(UIButtonType::Custom);
    applyButton_->setAccessibilityIdentifier("applyButton");
    applyButton_->setFrame({20, screen.height - bottomInset() - 10 - kButtonHeight, screen.width - 40, kButtonHeight});
    applyButton_->setTitle(std::string("申请游戏"), UIControlStateNormal);
    applyButton_->setBackgroundColor(hex("#5559EA"));
    applyButton_->setTitleEdgeInsets({8, 5, 0, 0});
    applyButton_->addTarget(self<KXMygameYouXiViewController>(), &KXMygameYouXiViewController::jiesuanbuttonTap,
                            UIControlEventTouchUpInside);
    view()->addSubview(applyButton_);
}

void KXMygameYouXiViewController::addControlsView() {
    const CGSize screen = currentScreenBounds().size;
    const CGFloat k = screen.width / 375;
    auto layout = make<UICollectionViewFlowLayout>();
    layout->setMinimumLineSpacing(18);
    // Three cards of 96k to a row inside the 20k side insets.
    layout->setMinimumInteritemSpacing((screen.width - 2 * 20 * k - 288 * k) / 2 - 1);
    maincollectionView_ = make<UICollectionView>(CGRect{0, 0, screen.width, screen.height - bottomInset() - kButtonHeight},
                                                 layout);
    maincollectionView_->setAccessibilityIdentifier("maincollectionView");
    maincollectionView_->setDelegate(self<KXMygameYouXiViewController>());
    maincollectionView_->setDataSource(self<KXMygameYouXiViewController>());
    maincollectionView_->setAlwaysBounceVertical(true);
    maincollectionView_->setBackgroundColor(hex("#F5F5F5"));
    maincollectionView_->setContentInset({0, 20 * k, 0, 20 * k});
    maincollectionView_->registerClass<KXMyGameYouXiCollectionViewCell>(kMyGamesCellIdentifier);
    // Added after the button, so it covers the button's top 10 points.
    view()->addSubview(maincollectionView_);
}

void KXMygameYouXiViewController::addrefreshControl() { loader_->attachTo(maincollectionView_); }

void KXMygameYouXiViewController::underRefresh() { loader_->underRefresh(); }

void KXMygameYouXiViewController::onRefresh() { loader_->onRefresh(); }

void KXMygameYouXiViewController::jiesuanbuttonTap() {
    if (auto navigation = navigationController()) navigation->pushViewController(make<KXApplyGameViewController>(), true);
    NSLog("djcdjkfki");
}

long KXMygameYouXiViewController::collectionViewNumberOfItemsInSection(const Ref<UICollectionView>&, long) {
    return static_cast<long>(rowCount());
}

Ref<UICollectionViewCell> KXMygameYouXiViewController::collectionViewCellForItemAtIndexPath(
    const Ref<UICollectionView>& collectionView, const NSIndexPath& indexPath) {
    auto cell = collectionView->dequeueReusableCellWithReuseIdentifier(kMyGamesCellIdentifier, indexPath);
    cell->layer()->setCornerRadius(12);
    cell->setClipsToBounds(true);
    cell->setBackgroundColor(UIColor::whiteColor());
    if (auto card = std::dynamic_pointer_cast<KXMyGameYouXiCollectionViewCell>(cell)) {
        card->setModel(rowModel(static_cast<std::size_t>(indexPath.item())));
    }
    return cell;
}

std::optional<CGSize> KXMygameYouXiViewController::collectionViewLayoutSizeForItemAtIndexPath(
    const Ref<UICollectionView>&, const Ref<UICollectionViewLayout>&, const NSIndexPath&) {
    return KXMyGameYouXiCollectionViewCell::itemSize();
}

void KXMygameYouXiViewController::collectionViewDidSelectItemAtIndexPath(const Ref<UICollectionView>&,
                                                                         const NSIndexPath& indexPath) {
    auto model = rowModel(static_cast<std::size_t>(indexPath.item()));
    auto navigation = navigationController();
    if (!model || !navigation) return;
    auto details = make<KXGameDetailsViewController>();
    details->setIdStr(model->gid.value_or(std::string()));
    navigation->pushViewController(details, true);
}
