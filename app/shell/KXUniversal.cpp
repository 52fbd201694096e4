#include "app/shell/KXUniversal.h"

#include <cmath>

#include "foundation/DispatchQueue.h"
#include "foundation/NSJSONSerialization.h"
#include "foundation/NSString.h"
#include "uikit/UIApplication.h"
#include "uikit/UIScreen.h"
#include "uikit/UIWindowScene.h"
#include "uikit/ViewSnapshot.h"

namespace {

CGSize mainScreenSize() {
    static const CGSize size = UIScreen::mainScreen()->bounds().size;
    return size;
}

Ref<UIWindow> delegateWindow() {
    auto delegate = UIApplication::sharedApplication()->delegate();
    return delegate ? delegate->window() : nullptr;
}

}  // namespace

CGFloat screenWidth() { return mainScreenSize().width; }

CGFloat screenHeight() { return mainScreenSize().height; }

CGRect currentScreenBounds() { return UIScreen::mainScreen()->bounds(); }

double layoutScaleForScreenWidth(CGFloat width) {
    return NSString::strictDouble(NSString::stringWithFormat("%.2f", width / 375.0)).value_or(0);
}

double layoutScale() {
    static const double scale = layoutScaleForScreenWidth(screenWidth());
    return scale;
}

Ref<UIWindow> keyWindow() {
    for (const auto& scene : UIApplication::sharedApplication()->connectedScenes()) {
        if (scene->activationState() != UISceneActivationState::ForegroundActive) continue;
        for (const auto& window : scene->windows()) {
            if (window->isKeyWindow()) return window;
        }
        return delegateWindow();
    }
    return delegateWindow();
}

Dictionary dictionaryFromJSONString(std::string_view text) {
    Value parsed = NSJSONSerialization::JSONObjectWithData(NSData::fromString(text));
    if (Dictionary* object = parsed.dictionary()) return std::move(*object);
    return Dictionary();
}

Ref<MBProgressHUD> showHUD(const Ref<UIView>& view, double delay) {
    if (!view) return nullptr;
    MBProgressHUD::hideHUDForView(view, false);
    auto hud = MBProgressHUD::showHUDAddedTo(view, false);
    bool staysShown = !std::isfinite(delay) || std::trunc(delay) == -1;
    // The timer hides whichever HUD is the view's topmost when it fires, so
    // a newer HUD shown in the meantime goes with it.
    if (!staysShown) {
        DispatchQueue::main()->after(delay, [view] { MBProgressHUD::hideHUDForView(view, false); });
    }
    return hud;
}

Ref<MBProgressHUD> showToast(const Ref<UIView>& view, const std::optional<std::string>& text) {
    auto hud = showHUD(view, kToastDuration);
    if (!hud) return nullptr;
    hud->setMode(MBProgressHUDMode::Text);
    hud->detailsLabel()->setText(text.value_or(""));
    return hud;
}

Ref<UIImage> snapshotImage(const Ref<UIView>& view) {
    if (!view) return nullptr;
    return snapshotView(view, true, 0);
}
