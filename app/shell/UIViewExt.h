#pragma once

#include "graphics/CGGeometry.h"
#include "uikit/UIBezierPath.h"
#include "uikit/UIView.h"

// Shortcuts on any view, static members taking the view first: frame
// accessors (each setter reads the frame, changes one part and writes the
// whole frame back, so moving an edge keeps the size), whether the view is
// really visible on the key window, and a rounded-corner mask.
class UIViewExt {
public:
    UIViewExt() = delete;

    static CGFloat x(const UIView& view) { return view.frame().origin.x; }
    static void setX(UIView& view, CGFloat x);
    static CGFloat y(const UIView& view) { return view.frame().origin.y; }
    static void setY(UIView& view, CGFloat y);
    static CGFloat left(const UIView& view) { return x(view); }
    static void setLeft(UIView& view, CGFloat left) { setX(view, left); }
    static CGFloat top(const UIView& view) { return y(view); }
    static void setTop(UIView& view, CGFloat top) { setY(view, top); }
    static CGFloat width(const UIView& view) { return view.frame().size.width; }
    static void setWidth(UIView& view, CGFloat width);
    static CGFloat height(const UIView& view) { return view.frame().size.height; }
    static void setHeight(UIView& view, CGFloat height);
    static CGPoint origin(const UIView& view) { return view.frame().origin; }
    static void setOrigin(UIView& view, CGPoint origin);
    static CGSize size(const UIView& view) { return view.frame().size; }
    static void setSize(UIView& view, CGSize size);
    static CGFloat centerX(const UIView& view) { return view.center().x; }
    static void setCenterX(UIView& view, CGFloat centerX);
    static CGFloat centerY(const UIView& view) { return view.center().y; }
    static void setCenterY(UIView& view, CGFloat centerY);
    // The right edge (origin x + width); setting it moves the view.
    static CGFloat right(const UIView& view) { return x(view) + width(view); }
    static void setRight(UIView& view, CGFloat right) { setX(view, right - width(view)); }
    static CGFloat rightX(const UIView& view) { return right(view); }
    static void setRightX(UIView& view, CGFloat rightX) { setRight(view, rightX); }
    // The lower edge (origin y + height); setting it moves the view.
    static CGFloat bottom(const UIView& view) { return y(view) + height(view); }
    static void setBottom(UIView& view, CGFloat bottom) { setY(view, bottom - height(view)); }
    static CGFloat bottomY(const UIView& view) { return bottom(view); }
    static void setBottomY(UIView& view, CGFloat bottomY) { setBottom(view, bottomY); }

    // True only when the view is not hidden, its alpha is above 0.01, it is
    // in the key window, and its frame (in the key window's space) overlaps
    // the key window's bounds.
    static bool isShowingOnWindow(const UIView& view);

    // Masks the view with a shape layer: the rounded rectangle of its bounds
    // as they are now, only `corners` rounded by `radius`. The mask does not
    // follow later size changes; a second call replaces it.
    static void roundCorners(UIView& view, UIRectCorner corners, CGFloat radius);
};
