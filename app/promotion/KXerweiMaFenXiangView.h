#pragma once

#include <optional>
#include <string>

#include "foundation/NSError.h"
#include "graphics/UIImage.h"
#include "media/CIImage.h"
#include "uikit/UIGestureRecognizer.h"
#include "uikit/UIImageView.h"
#include "uikit/UIView.h"

// The full-screen QR overlay of a promotion link: a dimmed backdrop over the
// whole screen and, at the bottom, a panel with the link's QR code above a
// "保存" button that saves the code's picture to the photo album. A caller
// makes it with the screen's bounds, sets `urlStr` and adds it to the key
// window; a tap on the backdrop removes it (taps on the panel do not).
//
// Geometry follows the main screen (W x H) when the overlay is made: the
// panel's upper 176 points hold its content and it ends at the screen's
// bottom edge, 34 points taller on a notched screen (KXNotchedScreen).
class KXerweiMaFenXiangView : public UIView {
public:
    using UIView::UIView;

    // The QR picture's side in pixels, whatever the link's length.
    static constexpr double kCodeSide = 150;

    const std::optional<std::string>& urlStr() const { return urlStr_; }
    // Stores the link and at once shows its QR picture (none for a link the
    // generator cannot encode).
    void setUrlStr(std::optional<std::string> urlStr);

    const Ref<UIView>& grayView() const { return grayView_; }
    const Ref<UIView>& fenxiangView() const { return fenxiangView_; }
    // Shows the QR picture; its image is what "保存" saves.
    const Ref<UIImageView>& fenxiangImge() const { return fenxiangImge_; }

    // The link's UTF-8 bytes through the QR generator (one pixel per module,
    // with its light border); null when the generator gives nothing.
    static Ref<CIImage> creatQRcodeWithUrlstring(const std::string& text);
    // The code scaled by a whole-pixel-preserving factor so that its longer
    // side is `size` pixels, without interpolation, as an opaque grey
    // picture of scale 1; null for a null code.
    static Ref<UIImage> createNonInterpolatedUIImageFormCIImage(const Ref<CIImage>& image, double size);

    // The save button's action: writes the shown picture to the album.
    void quiabuttontap();
    // The album's answer: "保存失败" on an error, else "保存成功", both as
    // success-style HUDs; the overlay stays.
    void imageDidFinishSavingWithError(const Ref<UIImage>& image, const Ref<NSError>& error);
    // The backdrop's tap: removes the overlay.
    void tapView(const Ref<UIGestureRecognizer>& recognizer);

    // Kept for callers of the overlay's older layout and button hooks: the
    // layout is fixed when the overlay is made and the only button is
    // "保存", so both do nothing.
    void relayoutTheChildControls() {}
    void buttonTap(const Ref<NSObject>& /*sender*/) {}

protected:
    void didCreate() override;

private:
    void addgrayView();
    void setupUI();

    std::optional<std::string> urlStr_;
    Ref<UIView> grayView_;
    Ref<UIView> fenxiangView_;
    Ref<UIImageView> fenxiangImge_;
};
