#pragma once

#include <string>

#include "app/components/QSCScanLineAnimation.h"
#include "app/components/QSCScanNetAnimation.h"
#include "app/components/QSCScanViewStyle.h"
#include "uikit/UIActivityIndicatorView.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UIView.h"

// The transparent overlay over the camera's picture: it dims everything
// outside the scan rectangle, draws the rectangle's border and its four
// corner angles, runs the style's animation inside the rectangle, and shows
// a spinner with a text while the camera gets ready.
//
// The scan rectangle, for a view of width W and height H: left =
// xScanRetangleOffset, width = W - 2 * left, height = width when whRatio is
// exactly 1, else width / whRatio cut to a whole number (0 when that is not
// a finite number in range); its centre lies centerUpOffset above the
// view's vertical centre.
class QSCScanView : public UIView {
public:
    // The default style and no animation view. The view sits at (0, 0)
    // with the frame's size, whatever its origin.
    explicit QSCScanView(CGRect frame);
    // The given style, with the animation view it asks for.
    QSCScanView(CGRect frame, QSCScanViewStyle style);
    ~QSCScanView() override;

    const QSCScanViewStyle& viewStyle() const { return viewStyle_; }
    // The scan rectangle of the last drawing; zero before the first.
    CGRect scanRetangleRect() const { return scanRetangleRect_; }
    const Ref<QSCScanLineAnimation>& scanLineAnimation() const { return scanLineAnimation_; }
    const Ref<QSCScanNetAnimation>& scanNetAnimation() const { return scanNetAnimation_; }
    const Ref<UIImageView>& scanLineStill() const { return scanLineStill_; }
    const Ref<UIActivityIndicatorView>& activityView() const { return activityView_; }
    const Ref<UILabel>& labelReadying() const { return labelReadying_; }
    bool isAnimationing() const { return isAnimationing_; }

    // Starts the style's animation once; later starts do nothing until a stop.
    virtual void startScanAnimation();
    virtual void stopScanAnimation();
    // The view's drawing: the dimmed bands, the border and the angles.
    virtual void drawOverlay();
    // Shows the spinner and, beside it, the text; a second call keeps the
    // first text.
    virtual void showReadying(const std::string& text);
    virtual void hideReadying();

    // The scan rectangle of `previewView` in the capture's normalised
    // landscape space (x along the view's height, y along its width), for a
    // 1920 x 1080 picture that fills the view.
    static CGRect rectOfInterest(const Ref<UIView>& previewView, const QSCScanViewStyle& style);

    void drawRect(CGRect rect) override;

protected:
    void didCreate() override;

private:
    // The scan rectangle for a view of `size`; `alwaysTruncate` cuts the
    // height to a whole number even for a ratio of exactly 1.
    static CGRect scanRetangle(CGSize size, const QSCScanViewStyle& style, bool alwaysTruncate = false);
    CGRect scanRetangle(bool alwaysTruncate = false) const;

    QSCScanViewStyle viewStyle_;
    bool makesAnimationView_;
    CGRect scanRetangleRect_ = CGRectZero;
    Ref<QSCScanLineAnimation> scanLineAnimation_;
    Ref<QSCScanNetAnimation> scanNetAnimation_;
    Ref<UIImageView> scanLineStill_;
    Ref<UIActivityIndicatorView> activityView_;
    Ref<UILabel> labelReadying_;
    bool isAnimationing_ = false;
};
