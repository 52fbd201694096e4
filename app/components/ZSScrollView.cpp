#include "app/components/ZSScrollView.h"

#include <cmath>

#include "foundation/NSRunLoop.h"
#include "uikit/UILabel.h"
#include "uikit/UITapGestureRecognizer.h"

namespace {
constexpr double kStepSeconds = 3.0;
constexpr long kFirstLineTag = 100;
}  // namespace

void ZSScrollView::didCreate() {
    UIView::didCreate();
    labelW_ = frame().size.width;
    labelH_ = frame().size.height;
    ccpScrollView()->setDelegate(self<ZSScrollView>());
    addTimer();
}

ZSScrollView::~ZSScrollView() {
    if (timer_) timer_->invalidate();
}

Ref<UIScrollView> ZSScrollView::ccpScrollView() {
    if (!ccpScrollView_) {
        ccpScrollView_ = make<UIScrollView>(bounds());
        ccpScrollView_->setShowsHorizontalScrollIndicator(false);
        ccpScrollView_->setShowsVerticalScrollIndicator(false);
        ccpScrollView_->setScrollEnabled(false);
        ccpScrollView_->setPagingEnabled(true);
        addSubview(ccpScrollView_);
        ccpScrollView_->setContentOffset({0, labelH_}, true);
    }
    return ccpScrollView_;
}

void ZSScrollView::setTitleArray(std::optional<std::vector<std::string>> titles) {
    titleArray_ = std::move(titles);
    if (!titleArray_) {
        removeTimer();
        return;
    }
    const auto& texts = *titleArray_;
    if (texts.size() <= 1) removeTimer();

    auto scrollView = ccpScrollView();
    titleNewArray_.clear();
    if (!texts.empty()) {
        titleNewArray_.push_back(texts.back());
        titleNewArray_.insert(titleNewArray_.end(), texts.begin(), texts.end());
    }
    scrollView->setContentSize({0, labelH_ * static_cast<double>(titleNewArray_.size())});
    labelW_ = scrollView->frame().size.width;
    labelH_ = scrollView->frame().size.height;
    for (const auto& subview : std::vector<Ref<UIView>>(scrollView->subviews())) subview->removeFromSuperview();

    for (std::size_t i = 0; i < titleNewArray_.size(); ++i) {
        auto line = make<UILabel>(CGRect{0, labelH_ * static_cast<double>(i), labelW_, labelH_});
        line->setUserInteractionEnabled(true);
        line->setTag(kFirstLineTag + static_cast<long>(i));
        line->addGestureRecognizer(make<UITapGestureRecognizer>(self<ZSScrollView>(), &ZSScrollView::clickTheLabel));
        line->setTextAlignment(NSTextAlignment::Left);
        line->setText(titleNewArray_[i]);
        scrollView->addSubview(line);
    }
}

std::vector<Ref<UILabel>> ZSScrollView::lines() const {
    std::vector<Ref<UILabel>> found;
    if (!ccpScrollView_) return found;
    for (const auto& subview : ccpScrollView_->subviews())
        if (auto line = std::dynamic_pointer_cast<UILabel>(subview)) found.push_back(line);
    return found;
}

void ZSScrollView::setIsCanScroll(bool canScroll) {
    isCanScroll_ = canScroll;
    ccpScrollView()->setScrollEnabled(canScroll);
}

void ZSScrollView::setTitleColor(const UIColor& color) {
    titleColor_ = color;
    for (const auto& line : lines()) line->setTextColor(color);
}

void ZSScrollView::setTitleFont(double size) {
    titleFont_ = size;
    for (const auto& line : lines()) line->setFont(UIFont::systemFontOfSize(size));
}

void ZSScrollView::setBGColor(const UIColor& color) {
    BGColor_ = color;
    setBackgroundColor(color);
}

void ZSScrollView::addTimer() {
    // One timer at a time: a second would step the lines twice as often.
    removeTimer();
    WeakRef<ZSScrollView> weakSelf = self<ZSScrollView>();
    timer_ = NSTimer::timerWithTimeInterval(kStepSeconds, true, [weakSelf](const Ref<NSTimer>&) {
        if (auto view = weakSelf.lock()) view->nextLabel();
    });
    NSRunLoop::mainRunLoop()->addTimer(timer_, NSRunLoopCommonModes);
}

void ZSScrollView::removeTimer() {
    if (timer_) timer_->invalidate();
    timer_ = nullptr;
}

void ZSScrollView::nextLabel() {
    auto scrollView = ccpScrollView();
    const CGPoint offset = scrollView->contentOffset();
    scrollView->setContentOffset({offset.x, offset.y + scrollView->frame().size.height}, true);
}

void ZSScrollView::scrollViewDidScroll(const Ref<UIScrollView>& scrollView) {
    const std::size_t count = titleArray_ ? titleArray_->size() : 0;
    const double lastLine = scrollView->frame().size.height * static_cast<double>(count);
    if (std::abs(scrollView->contentOffset().y - lastLine) < 1e-6) scrollView->setContentOffset({0, 0});
}

void ZSScrollView::scrollViewWillBeginDragging(const Ref<UIScrollView>&) { removeTimer(); }

void ZSScrollView::scrollViewDidEndDraggingWillDecelerate(const Ref<UIScrollView>&, bool) { addTimer(); }

void ZSScrollView::clickTheLabel(const Ref<UIGestureRecognizer>& recognizer) {
    if (!clickLabelBlock_ || !titleArray_ || titleArray_->empty()) return;
    auto line = recognizer->view();
    if (!line) return;
    const long tag = line->tag();
    const long last = static_cast<long>(titleArray_->size()) - 1;
    const long index = tag >= kFirstLineTag + 1 ? tag - (kFirstLineTag + 1) : last;
    if (index < 0 || index > last) return;
    // The block gets its own text: it may lay new texts out.
    const std::string text = (*titleArray_)[static_cast<std::size_t>(index)];
    clickLabelBlock_(index, text);
}
