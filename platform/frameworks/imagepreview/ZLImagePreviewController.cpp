#include "frameworks/imagepreview/ZLImagePreviewController.h"

#include <algorithm>
#include <cmath>

#include "uikit/UIScreen.h"

namespace {

constexpr CGFloat kBarHeight = 44;
constexpr CGFloat kBottomHeight = 50;

// The paging strip: every page as wide and high as the strip, side by side.
class ZLPreviewPager : public UIScrollView {
public:
    using UIScrollView::UIScrollView;
    void layoutSubviews() override {
        UIScrollView::layoutSubviews();
        CGSize size = bounds().size;
        long index = 0;
        for (const auto& page : pages) page->setFrame({{size.width * static_cast<CGFloat>(index++), 0}, size});
        CGSize content{size.width * static_cast<CGFloat>(pages.size()), size.height};
        if (contentSize() != content) setContentSize(content);
    }
    std::vector<Ref<UIImageView>> pages;
};

Ref<UIButton> barButton(const std::string& title) {
    auto button = UIButton::buttonWithType(UIButtonType::Custom);
    button->setTitle(title, UIControlStateNormal);
    button->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
    button->titleLabel()->setFont(UIFont::systemFontOfSize(16));
    return button;
}

}  // namespace

ZLImagePreviewController::ZLImagePreviewController(std::vector<Ref<NSURL>> datas, long index, bool showSelectBtn,
                                                   bool showBottomView, URLTypeBlock urlType,
                                                   URLImageLoader urlImageLoader)
    : datas_(std::move(datas)),
      showSelectBtn_(showSelectBtn),
      showBottomView_(showBottomView),
      urlType_(std::move(urlType)),
      urlImageLoader_(std::move(urlImageLoader)),
      requested_(datas_.size(), false) {
    currentIndex_ = datas_.empty() ? 0 : std::clamp<long>(index, 0, static_cast<long>(datas_.size()) - 1);
}

Ref<UIImageView> ZLImagePreviewController::imageViewAt(long index) const {
    if (index < 0 || index >= static_cast<long>(pages_.size())) return nullptr;
    return pages_[static_cast<std::size_t>(index)];
}

void ZLImagePreviewController::viewDidLoad() {
    UIViewController::viewDidLoad();
    const CGRect area = UIScreen::mainScreen()->bounds();
    const CGFloat top = view()->safeAreaInsets().top;
    view()->setFrame(area);
    view()->setBackgroundColor(UIColor::blackColor());

    auto pager = make<ZLPreviewPager>(area);
    pager->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    pager->setPagingEnabled(true);
    pager->setShowsHorizontalScrollIndicator(false);
    pager->setBackgroundColor(UIColor::blackColor());
    pager->setDelegate(self<ZLImagePreviewController>());
    for (std::size_t i = 0; i < datas_.size(); ++i) {
        auto page = make<UIImageView>();
        page->setContentMode(UIViewContentMode::ScaleAspectFit);
        pager->addSubview(page);
        pager->pages.push_back(page);
    }
    pages_ = pager->pages;
    pager_ = pager;
    view()->addSubview(pager_);

    topBar_ = make<UIView>(CGRect{0, 0, area.size.width, top + kBarHeight});
    topBar_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    topBar_->setBackgroundColor(UIColor::colorWithWhite(0, 0.6));
    view()->addSubview(topBar_);
    backButton_ = barButton("<");
    backButton_->setAccessibilityIdentifier("backButton");
    backButton_->setFrame({10, top, kBarHeight, kBarHeight});
    backButton_->addTarget(self<ZLImagePreviewController>(), &ZLImagePreviewController::backClicked,
                           UIControlEventTouchUpInside);
    topBar_->addSubview(backButton_);
    indexLabel_ = make<UILabel>(CGRect{kBarHeight, top, area.size.width - 2 * kBarHeight, kBarHeight});
    indexLabel_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    indexLabel_->setTextColor(UIColor::whiteColor());
    indexLabel_->setFont(UIFont::boldSystemFontOfSize(17));
    indexLabel_->setTextAlignment(NSTextAlignment::Center);
    topBar_->addSubview(indexLabel_);
    selectButton_ = barButton("○");
    selectButton_->setFrame({area.size.width - kBarHeight - 10, top, kBarHeight, kBarHeight});
    selectButton_->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin);
    selectButton_->setHidden(!showSelectBtn_);
    topBar_->addSubview(selectButton_);

    const CGFloat bottomInset = view()->safeAreaInsets().bottom;
    bottomView_ = make<UIView>(CGRect{0, area.size.height - kBottomHeight - bottomInset, area.size.width,
                                      kBottomHeight + bottomInset});
    bottomView_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleTopMargin);
    bottomView_->setBackgroundColor(UIColor::colorWithWhite(0, 0.6));
    bottomView_->setHidden(!showBottomView_);
    view()->addSubview(bottomView_);
    doneButton_ = barButton("完成");
    doneButton_->setAccessibilityIdentifier("doneButton");
    doneButton_->setBackgroundColor(UIColor::colorWithRed(80 / 255.0, 169 / 255.0, 56 / 255.0, 1));
    doneButton_->layer()->setCornerRadius(5);
    doneButton_->setFrame({area.size.width - 80, (kBottomHeight - 32) / 2, 68, 32});
    doneButton_->setAutoresizingMask(UIViewAutoresizingFlexibleLeftMargin);
    doneButton_->addTarget(self<ZLImagePreviewController>(), &ZLImagePreviewController::doneClicked,
                           UIControlEventTouchUpInside);
    bottomView_->addSubview(doneButton_);

    pager_->layoutIfNeeded();
    pager_->setContentOffset({area.size.width * static_cast<CGFloat>(currentIndex_), 0});
    showIndex(currentIndex_);
}

void ZLImagePreviewController::scrollViewDidScroll(const Ref<UIScrollView>& scrollView) {
    CGFloat width = scrollView->bounds().size.width;
    if (width <= 0 || datas_.empty()) return;
    long index = std::lround(scrollView->contentOffset().x / width);
    index = std::clamp<long>(index, 0, static_cast<long>(datas_.size()) - 1);
    if (index != currentIndex_) showIndex(index);
}

void ZLImagePreviewController::showIndex(long index) {
    currentIndex_ = index;
    if (indexLabel_)
        indexLabel_->setText(datas_.empty() ? "" : std::to_string(index + 1) + "/" + std::to_string(datas_.size()));
    for (long near = index - 1; near <= index + 1; ++near) loadPage(near);
}

void ZLImagePreviewController::loadPage(long index) {
    if (index < 0 || index >= static_cast<long>(datas_.size()) || requested_[static_cast<std::size_t>(index)]) return;
    const auto& url = datas_[static_cast<std::size_t>(index)];
    if (!urlImageLoader_ || (urlType_ && urlType_(url) != ZLURLType::Image)) return;
    requested_[static_cast<std::size_t>(index)] = true;
    urlImageLoader_(url, pages_[static_cast<std::size_t>(index)], [](CGFloat) {}, [] {});
}

void ZLImagePreviewController::backClicked() { dismissViewControllerAnimated(true); }

void ZLImagePreviewController::doneClicked() {
    // The block gets its own list: it may change the preview's.
    const std::vector<Ref<NSURL>> items = datas_;
    Ref<ZLImagePreviewController> keepAlive = self<ZLImagePreviewController>();
    if (doneBlock_) doneBlock_(items);
    dismissViewControllerAnimated(true);
}
