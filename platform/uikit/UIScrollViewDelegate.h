#pragma once

#include "foundation/NSObject.h"
#include "graphics/CGGeometry.h"

class UIScrollView;
class UIView;

// What a scroll view tells and asks its delegate. Every method is optional:
// the defaults do what UIKit does for a delegate that does not implement it.
//
// The table and collection delegate protocols extend this one virtually, so
// that a class adopting both (a screen that is the delegate of a table and
// of a collection) has one set of scroll callbacks.
class UIScrollViewDelegate {
public:
    virtual ~UIScrollViewDelegate() = default;

    // The content offset changed (a drag, a deceleration, or code).
    virtual void scrollViewDidScroll(const Ref<UIScrollView>&) {}
    virtual void scrollViewWillBeginDragging(const Ref<UIScrollView>&) {}
    // The finger lifts; the delegate may move where the content will come
    // to rest (`targetContentOffset`).
    virtual void scrollViewWillEndDraggingWithVelocityTargetContentOffset(const Ref<UIScrollView>&,
                                                                          CGPoint /*velocity*/,
                                                                          CGPoint* /*targetContentOffset*/) {}
    // `decelerate`: the content still moves (to its resting place) after the drag.
    virtual void scrollViewDidEndDraggingWillDecelerate(const Ref<UIScrollView>&, bool /*decelerate*/) {}
    virtual void scrollViewDidEndDecelerating(const Ref<UIScrollView>&) {}
    // An animated setContentOffset finished.
    virtual void scrollViewDidEndScrollingAnimation(const Ref<UIScrollView>&) {}
    // The view that zooming scales; none (the default) means no zooming.
    virtual Ref<UIView> viewForZoomingInScrollView(const Ref<UIScrollView>&) { return nullptr; }
    virtual void scrollViewDidZoom(const Ref<UIScrollView>&) {}
};
