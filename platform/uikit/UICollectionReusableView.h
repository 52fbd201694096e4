#pragma once

#include <functional>
#include <string>
#include <type_traits>

#include "uikit/UIView.h"

class UICollectionViewLayoutAttributes;
class UICollectionReusableView;

// What registering a class for reuse stores: a maker of views of that class
// with a frame (the element's frame where the collection view knows it).
using UICollectionReusableViewFactory = std::function<Ref<UICollectionReusableView>(CGRect frame)>;

// A view a collection view shows for one element (cell, section header or
// footer, decoration) and keeps for reuse once the element scrolls away.
//
// The collection view places the view from its layout attributes itself
// (bounds size, centre, transform, alpha, hidden, z-order) and then calls
// applyLayoutAttributes, where a subclass reads fields of its own
// attributes subclass. prepareForReuse runs when a queued view is handed out
// again, before the data source configures it.
class UICollectionReusableView : public UIView {
public:
    using UIView::UIView;

    // The identifier (or decoration kind) the view was made for.
    const std::string& reuseIdentifier() const { return reuseIdentifier_; }

    virtual void prepareForReuse() {}
    virtual void applyLayoutAttributes(const Ref<UICollectionViewLayoutAttributes>& /*attributes*/) {}

    // The maker for a class: made with the frame when the class takes one
    // (inherits UIView's frame constructor), else made and then framed.
    template <class T> static UICollectionReusableViewFactory factoryOf() {
        static_assert(std::is_base_of_v<UICollectionReusableView, T>);
        return [](CGRect frame) -> Ref<UICollectionReusableView> {
            if constexpr (std::is_constructible_v<T, CGRect>) {
                return make<T>(frame);
            } else {
                auto view = make<T>();
                view->setFrame(frame);
                return view;
            }
        };
    }

private:
    friend class UICollectionView;
    std::string reuseIdentifier_;
};
