#include "kits/pal/NimbusOpenApi_IOS/Common/NBUiKit/NBWebKit/NBWebNavigationController.h"

#include <algorithm>
#include <filesystem>

#include "foundation/NSBundle.h"
#include "kits/pal/NimbusOpenApi_IOS/TcApiTool.h"
#include "uikit/UINavigationBar.h"

Ref<UIImage> NBWebNavigationController::navigationBarImage() {
    auto bundle = NSBundle::mainBundle();
    const Value setting = TcApiTool::getAppDefinePath()["NavigationBar"];
    // The kit's own picture, looked up as the bundle's pictures are: it is
    // drawn at twice its size ("@2x").
    if (setting.isNil()) return UIImage::imageNamed("NimbusOpenApi_IOS_Bundle.bundle/nimbusSDKNavigationBar.png");
    const std::string* name = setting.text();
    if (!name) return nullptr;
    auto path = name->find(".bundle") != std::string::npos ? std::optional(bundle->resourcePath() + "/" + *name)
                                                            : bundle->pathForResource(*name, "");
    std::error_code ignored;
    if (!path || !std::filesystem::is_regular_file(*path, ignored)) return nullptr;
    return UIImage::imageWithContentsOfFile(*path);
}

void NBWebNavigationController::viewDidLoad() {
    UINavigationController::viewDidLoad();
    auto image = navigationBarImage();
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
