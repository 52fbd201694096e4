#include "app/components/LFOpinionView.h"

#include <limits>

#include "foundation/NSNotificationCenter.h"
#include "graphics/NSStringDrawing.h"

void LFOpinionView::didCreate() {
    UITextView::didCreate();
    UITextView::setFont(UIFont::systemFontOfSize(14));
    auto label = make<UILabel>();
    label->setFont(UIFont::systemFontOfSize(15));
    label->setTextColor(UIColor::colorWithRed(189 / 255.0, 189 / 255.0, 193 / 255.0, 1));
    label->setFont(font());
    label->setNumberOfLines(0);
    addSubview(label);
    placeholderLable_ = label;

    WeakRef<LFOpinionView> weakSelf = self<LFOpinionView>();
    NSNotificationCenter::defaultCenter()->addObserver(
        self<LFOpinionView>(),
        [weakSelf](const Ref<NSNotification>&) {
            if (auto view = weakSelf.lock()) view->textDidChange();
        },
        UITextViewTextDidChangeNotification, self<LFOpinionView>());
}

LFOpinionView::~LFOpinionView() {
    NSNotificationCenter::defaultCenter()->removeObserver(static_cast<const void*>(static_cast<const NSObject*>(this)));
}

void LFOpinionView::textDidChange() {
    if (auto label = placeholderLable()) label->setHidden(!text().empty());
}

void LFOpinionView::layoutSubviews() {
    UITextView::layoutSubviews();
    auto label = placeholderLable();
    if (!label) return;
    const CGSize limit{frame().size.width - 10, std::numeric_limits<float>::max()};
    const CGSize size = NSStringDrawing::boundingRectWithSize(placeholder_, limit, NSStringDrawingUsesLineFragmentOrigin,
                                                              {.font = label->font()})
                            .size;
    label->setFrame({5, 8, size.width, size.height});
}

void LFOpinionView::setPlaceholder(std::string placeholder) {
    placeholder_ = std::move(placeholder);
    if (auto label = placeholderLable()) label->setText(placeholder_);
}

void LFOpinionView::setFont(const UIFont& font) {
    UITextView::setFont(font);
    if (auto label = placeholderLable()) label->setFont(font);
}
