#include "app/components/KXScanViewController.h"

#include <cstdio>
#include <string_view>

#include "foundation/NSLog.h"
#include "foundation/UTF16.h"
#include "uikit/UINavigationController.h"

namespace {

// A code's text as one line that a terminal shows as it is: backslashes,
// line breaks, control characters and bytes that are not UTF-8 become
// escapes ("\\", "\n", "\x1b", "\u2028"), so a code can neither break the
// printed line nor drive the terminal.
std::string printableLine(std::string_view text) {
    std::string line;
    auto escape = [&line](const char* format, unsigned value) {
        char written[8];
        line.append(written, static_cast<std::size_t>(std::snprintf(written, sizeof written, format, value)));
    };
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t from = at;
        const char32_t c = UTF16::decodeNext(text, at);
        if (c == '\\') line += "\\\\";
        else if (c == '\n') line += "\\n";
        else if (c == '\r') line += "\\r";
        else if (c == '\t') line += "\\t";
        else if (c < 0x20 || c == 0x7F || (c == UTF16::replacement && at - from == 1))
            escape("\\x%02x", static_cast<unsigned char>(text[from]));
        else if ((c >= 0x80 && c < 0xA0) || c == 0x2028 || c == 0x2029)
            escape("\\u%04x", static_cast<unsigned>(c));
        else line.append(text.substr(from, at - from));
    }
    return line;
}

}  // namespace

void KXScanViewController::viewDidLoad() {
    QSCScanViewController::viewDidLoad();
    view()->setBackgroundColor(UIColor::whiteColor());
    setTitle("扫描二维码");
}

void KXScanViewController::viewWillAppear(bool animated) {
    QSCScanViewController::viewWillAppear(animated);
    if (auto navigation = navigationController()) navigation->setNavigationBarHidden(false, false);
}

void KXScanViewController::deliverScanResults(const std::vector<QSCScanResult>& results) {
    if (results.empty()) return;
    // A code whose content is not text prints nothing after the caption.
    NSLog("扫描结果:" + printableLine(results.front().strScanned.value_or("")));
    if (auto navigation = navigationController()) navigation->popViewControllerAnimated(true);
}

QSCScanViewStyle KXScanViewController::homeTabScanStyle() {
    QSCScanViewStyle style;
    style.isNeedShowRetangle = false;
    style.centerUpOffset = 44;
    style.photoframeAngleStyle = QSCScanViewPhotoframeAngleStyle::Inner;
    style.colorAngle = UIColor::colorWithRed(0, 200.0 / 255, 20.0 / 255, 1);
    style.photoframeAngleW = 18;
    style.photoframeAngleH = 18;
    style.photoframeLineW = 2;
    style.anmiationStyle = QSCScanViewAnimationStyle::LineMove;
    style.animationImage = UIImage::imageNamed("qrcode_Scan_ripple_Line");
    return style;
}
