#include "uikit/UICollectionViewLayoutAttributes.h"

#include <typeinfo>

void UICollectionViewLayoutAttributes::setElement(UICollectionElementCategory category, std::optional<std::string> kind,
                                                  const NSIndexPath& indexPath, Maker maker) {
    category_ = category;
    kind_ = std::move(kind);
    indexPath_ = indexPath;
    maker_ = maker;
}

CGPoint UICollectionViewLayoutAttributes::center() const { return {CGRectGetMidX(frame_), CGRectGetMidY(frame_)}; }

void UICollectionViewLayoutAttributes::setCenter(CGPoint center) {
    frame_.origin = {center.x - frame_.size.width / 2, center.y - frame_.size.height / 2};
}

void UICollectionViewLayoutAttributes::setSize(CGSize size) {
    CGPoint keep = center();
    frame_.size = size;
    setCenter(keep);
}

Ref<UICollectionViewLayoutAttributes> UICollectionViewLayoutAttributes::copy() const {
    auto copied = maker_();
    copied->frame_ = frame_;
    copied->transform_ = transform_;
    copied->alpha_ = alpha_;
    copied->hidden_ = hidden_;
    copied->zIndex_ = zIndex_;
    copied->indexPath_ = indexPath_;
    copied->category_ = category_;
    copied->kind_ = kind_;
    copied->maker_ = maker_;
    return copied;
}

bool UICollectionViewLayoutAttributes::isEqual(const NSObject& other) const {
    if (this == &other) return true;
    if (typeid(*this) != typeid(other)) return false;
    const auto& that = static_cast<const UICollectionViewLayoutAttributes&>(other);
    return frame_ == that.frame_ && transform_ == that.transform_ && alpha_ == that.alpha_ && hidden_ == that.hidden_ &&
           zIndex_ == that.zIndex_ && indexPath_ == that.indexPath_ && category_ == that.category_ && kind_ == that.kind_;
}

std::string UICollectionViewLayoutAttributes::description() const {
    std::string text = NSObject::description();
    text.pop_back();
    text += "; index path: (" + std::to_string(indexPath_.section()) + "-" + std::to_string(indexPath_.item()) + ")";
    if (kind_) text += "; element kind: (" + *kind_ + ")";
    text += "; frame = " + NSStringFromCGRect(frame_);
    if (zIndex_ != 0) text += "; zIndex = " + std::to_string(zIndex_);
    return text + ">";
}
