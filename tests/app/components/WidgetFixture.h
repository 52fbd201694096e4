#pragma once

#include <cmath>
#include <filesystem>
#include <string>

#include "foundation/DataFile.h"
#include "graphics/UIImage.h"
#include "tests/support/AppFixture.h"
#include "uikit/UIDriver.h"
#include "uikit/UIWindow.h"
#include "uikit/ViewSnapshot.h"
#include "tests/support/TestShots.h"

// A key window of the standard screen's size (375 x 667) on the manual
// clock, the driver, and pixel helpers for snapshots taken at scale 2.
class WidgetFixture : public AppFixture {
protected:
    WidgetFixture() : window(make<UIWindow>(CGRect{0, 0, 375, 667})) {
        window->setBackgroundColor(UIColor::whiteColor());
        window->makeKeyAndVisible();
    }

    template <class T> Ref<T> place(Ref<T> view, CGRect frame) {
        view->setFrame(frame);
        window->addSubview(view);
        return view;
    }

    // Renders the view at scale 2 and keeps a PNG of it in the build folder
    // for a developer to look at.
    static Ref<UIImage> render(const Ref<UIView>& view, const std::string& name) {
        auto image = snapshotView(view, false, 2);
        if (auto png = UIImagePNGRepresentation(image))
            DataFile::writeToFile(*png, testShotPath("widgets-" + name + ".png"), true);
        return image;
    }
    // The pixel at a point (in points) of a scale-2 snapshot.
    static CGImagePixel at(const Ref<UIImage>& image, CGFloat x, CGFloat y) {
        return image->CGImage()->pixelAt(static_cast<std::size_t>(x * 2), static_cast<std::size_t>(y * 2));
    }
    static bool near(CGImagePixel pixel, const UIColor& color, int tolerance = 12) {
        auto channel = [](CGFloat value) { return static_cast<int>(std::lround(value * 255)); };
        return pixel.alpha > 250 && std::abs(pixel.red - channel(color.red())) <= tolerance &&
               std::abs(pixel.green - channel(color.green())) <= tolerance &&
               std::abs(pixel.blue - channel(color.blue())) <= tolerance;
    }

    Ref<UIWindow> window;
    UIDriver driver;
};
