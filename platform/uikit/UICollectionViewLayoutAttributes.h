#pragma once

#include <optional>
#include <string>

#include "foundation/NSIndexPath.h"
#include "foundation/NSObject.h"
#include "graphics/CGAffineTransform.h"
#include "graphics/CGGeometry.h"

// What kind of element a set of layout attributes places.
enum class UICollectionElementCategory { Cell, SupplementaryView, DecorationView };

// The kinds of the flow layout's section headers and footers.
inline const std::string UICollectionElementKindSectionHeader = "UICollectionElementKindSectionHeader";
inline const std::string UICollectionElementKindSectionFooter = "UICollectionElementKindSectionFooter";

// Where a layout puts one element of a collection view (a cell, a
// supplementary view such as a section header, or a decoration view), and
// how it shows: frame, transform, alpha, hidden and z-index.
//
// The frame is stored; center, size and bounds are views of it, as on the
// platform: setting the size keeps the centre, setting the centre keeps the
// size.
//
// Subclasses add fields of their own (a colour, a radius) that their
// reusable views read in applyLayoutAttributes; they are made through the
// factory functions with the subclass as template argument
// (layoutAttributesForDecorationViewOfKind<MyAttributes>(kind, indexPath)).
// copy() makes an object of the class the factory made, holding the base
// fields (a subclass's own fields start empty, as the platform copies them);
// a subclass whose copies must carry its fields overrides copy().
class UICollectionViewLayoutAttributes : public NSObject {
public:
    template <class T = UICollectionViewLayoutAttributes>
    static Ref<T> layoutAttributesForCellWithIndexPath(const NSIndexPath& indexPath) {
        auto attributes = make<T>();
        attributes->setElement(UICollectionElementCategory::Cell, std::nullopt, indexPath, &makeEmpty<T>);
        return attributes;
    }
    template <class T = UICollectionViewLayoutAttributes>
    static Ref<T> layoutAttributesForSupplementaryViewOfKind(const std::string& kind, const NSIndexPath& indexPath) {
        auto attributes = make<T>();
        attributes->setElement(UICollectionElementCategory::SupplementaryView, kind, indexPath, &makeEmpty<T>);
        return attributes;
    }
    template <class T = UICollectionViewLayoutAttributes>
    static Ref<T> layoutAttributesForDecorationViewOfKind(const std::string& kind, const NSIndexPath& indexPath) {
        auto attributes = make<T>();
        attributes->setElement(UICollectionElementCategory::DecorationView, kind, indexPath, &makeEmpty<T>);
        return attributes;
    }

    CGRect frame() const { return frame_; }
    void setFrame(CGRect frame) { frame_ = frame; }
    CGPoint center() const;
    void setCenter(CGPoint center);
    CGSize size() const { return frame_.size; }
    void setSize(CGSize size);
    // The size at the origin.
    CGRect bounds() const { return {CGPointZero, frame_.size}; }
    void setBounds(CGRect bounds) { setSize(bounds.size); }
    CGAffineTransform transform() const { return transform_; }
    void setTransform(CGAffineTransform transform) { transform_ = transform; }
    CGFloat alpha() const { return alpha_; }
    void setAlpha(CGFloat alpha) { alpha_ = alpha; }
    bool isHidden() const { return hidden_; }
    void setHidden(bool hidden) { hidden_ = hidden; }
    // Higher in front; 0 by default.
    long zIndex() const { return zIndex_; }
    void setZIndex(long zIndex) { zIndex_ = zIndex; }

    const NSIndexPath& indexPath() const { return indexPath_; }
    void setIndexPath(const NSIndexPath& indexPath) { indexPath_ = indexPath; }
    UICollectionElementCategory representedElementCategory() const { return category_; }
    // The kind of a supplementary or decoration view; nothing for cells.
    const std::optional<std::string>& representedElementKind() const { return kind_; }

    // A new object of the same class holding the same base fields.
    virtual Ref<UICollectionViewLayoutAttributes> copy() const;
    // Same class, element, geometry and appearance.
    bool isEqual(const NSObject& other) const override;
    std::string description() const override;

private:
    using Maker = Ref<UICollectionViewLayoutAttributes> (*)();
    template <class T> static Ref<UICollectionViewLayoutAttributes> makeEmpty() { return make<T>(); }
    void setElement(UICollectionElementCategory category, std::optional<std::string> kind, const NSIndexPath& indexPath,
                    Maker maker);

    Maker maker_ = &makeEmpty<UICollectionViewLayoutAttributes>;
    CGRect frame_{};
    CGAffineTransform transform_ = CGAffineTransformIdentity;
    CGFloat alpha_ = 1;
    bool hidden_ = false;
    long zIndex_ = 0;
    NSIndexPath indexPath_;
    UICollectionElementCategory category_ = UICollectionElementCategory::Cell;
    std::optional<std::string> kind_;
};
