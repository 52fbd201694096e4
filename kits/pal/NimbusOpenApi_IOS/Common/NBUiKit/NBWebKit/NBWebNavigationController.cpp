#include "kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/NBWebKit/NBWebNavigationController.h"

#include <algorithm>
#include <filesystem>

#include "foundation/NSBundle.h"
#include "kits/pal/NimbusOpenApi_IOS/TcApiTool.h"
#include "uikit/UINavigationBar.h"

std::optional<std::string> NBWebNavigationController::navigationBarImagePath() {
    auto bundle = NSBundle::mainBundle();
    const std::string resources = bundle->resourcePath();
    const Value setting = TcApiTool::getAppDefinePath()["NavigationBar"];
    if (setting.isNil()) return resources + "/NimbusOpenApi_IOS_Bundle.bundle/nimbusSDKNavigationBar.png";
    auto name = setting.stringValue();
    if (!name) return std::nullopt;
    if (name->find(".bundle") != std::string::npos) return resources + "/" + *name;
    return bundle->pathForResource(*name, "");
}

void NBWebNavigationController::viewDidLoad() {
    UINavigationController::viewDidLoad();
    auto path = navigationBarImagePath();
    std::error_code ignored;
    if (!path || !std::filesystem::is_regular_file(*path, ignored)) return;
    auto image = UIImage::imageWithContentsOfFile(*path);
    if (!image) return;
    const CGRect bar = navigationBar()->frame();
    const auto left = static_cast<CGFloat>(static_cast<int>(bar.size.width));
    const auto top = static_cast<CGFloat>(static_cast<int>(bar.size.height));
    // Stretched from the one pixel after the caps, as a stretchable image is.
    const CGSize size = image->size();
    const UIEdgeInsets caps{top, left, std::max<CGFloat>(0, size.height - top - 1),
                            std::max<CGFloat>(0, size.width - left - 1)};
    navigationBar()->setBackgroundImage(image->resizableImageWithCapInsets(caps, UIImageResizingMode::Stretch),
                                        UIBarMetrics::Default);
}

UIInterfaceOrientationMask NBWebNavigationController::supportedInterfaceOrientations() {
    auto top = topViewController();
    return top ? top->supportedInterfaceOrientations() : UINavigationController::supportedInterfaceOrientations();
}

bool NBWebNavigationController::shouldAutorotate() {
    auto top = topViewController();
    return top ? top->shouldAutorotate() : UINavigationController::shouldAutorotate();
}
