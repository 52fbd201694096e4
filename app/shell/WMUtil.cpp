#include "app/shell/WMUtil.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <numbers>

#include "app/components/UIColorLegacyHex.h"
#include "foundation/AppSandbox.h"
#include "foundation/CommonDigest.h"
#include "foundation/DataFile.h"
#include "foundation/NSBundle.h"
#include "foundation/NSCalendar.h"
#include "foundation/NSDateFormatter.h"
#include "foundation/NSFileManager.h"
#include "foundation/NSLog.h"
#include "foundation/NSPathUtilities.h"
#include "foundation/NSPredicate.h"
#include "foundation/NSRegularExpression.h"
#include "foundation/NSScanner.h"
#include "foundation/NSString.h"
#include "foundation/NSTimeZone.h"
#include "foundation/NSURL.h"
#include "foundation/NSUserDefaults.h"
#include "foundation/PropertyListFile.h"
#include "foundation/SecRandom.h"
#include "foundation/UTF16.h"
#include "frameworks/hud/MBProgressHUD.h"
#include "frameworks/models/HandyJSON.h"
#include "graphics/NSStringDrawing.h"
#include "graphics/UIGraphics.h"
#include "uikit/UIAlertController.h"
#include "uikit/UIApplication.h"
#include "uikit/UIApplicationDelegate.h"
#include "uikit/UIDevice.h"
#include "uikit/UIImageView.h"
#include "uikit/UILabel.h"
#include "uikit/UINavigationItem.h"
#include "uikit/UIPopoverPresentationController.h"
#include "uikit/UIViewController.h"
#include "uikit/UIWindow.h"

namespace {

std::string hexOf(const unsigned char* digest, std::size_t length) {
    static const char hex[] = "0123456789abcdef";
    std::string out;
    out.reserve(2 * length);
    for (std::size_t i = 0; i < length; ++i) {
        out += hex[digest[i] >> 4];
        out += hex[digest[i] & 15];
    }
    return out;
}

// Documents/relative, unless the relative path is absolute or leads out of
// Documents (by ".." or through a link).
std::optional<std::string> documentsPathFor(std::string_view relative) {
    return pathResolvedInside(WMUtil::documentsDirectoryPath(), std::string(relative));
}

bool matches(std::string_view text, std::string_view pattern) {
    return NSPredicate::predicateWithFormat("SELF MATCHES %@", Value(pattern))->evaluateWithObject(Value(text));
}

std::string formatDate(const NSDate& date, std::string_view format, Ref<NSTimeZone> zone = nullptr) {
    auto formatter = make<NSDateFormatter>();
    formatter->setDateFormat(format);
    if (zone) formatter->setTimeZone(std::move(zone));
    return formatter->stringFromDate(date);
}

NSStringAttributes fontOnly(const UIFont& font) { return {.font = font}; }

Ref<UIActivityIndicatorView> addSpinner(const Ref<UIView>& view, UIActivityIndicatorViewStyle style) {
    auto spinner = make<UIActivityIndicatorView>(style);
    spinner->setTag(WMUtil::kSpinnerTag);
    const CGSize size = view->frame().size;
    spinner->setCenter({(size.width - 40) / 2 + 20, (size.height - 40) / 2 + 20});
    return spinner;
}

// A text HUD on the view that removes itself `seconds` after showing.
Ref<MBProgressHUD> showTextHUD(const Ref<UIView>& view, double seconds) {
    auto hud = MBProgressHUD::showHUDAddedTo(view, true);
    if (!hud) return nullptr;
    hud->setMode(MBProgressHUDMode::Text);
    hud->setRemoveFromSuperViewOnHide(true);
    hud->hideAnimated(true, seconds);
    return hud;
}

}  // namespace

// --- Request helpers ---

std::string WMUtil::md5HexDigest(std::string_view text) {
    text = text.substr(0, std::min(text.size(), text.find('\0')));
    unsigned char digest[CC_MD5_DIGEST_LENGTH];
    CC_MD5(text.data(), static_cast<CC_LONG>(text.size()), digest);
    return hexOf(digest, CC_MD5_DIGEST_LENGTH);
}

long WMUtil::getTimeSp() { return static_cast<long>(std::trunc(NSDate::date().timeIntervalSince1970())); }

bool WMUtil::isBlank(const std::optional<std::string>& text) {
    return !text || text->find(' ') != std::string::npos;
}

bool WMUtil::validateMobile(std::string_view text) {
    // 13x, 15x but 154, 17x and 18x, then eight digits: ASCII digits only
    // (\d would take any script's digits, "٣" among them); a comma takes
    // no digit's place ("18,12345678" is no phone number).
    return matches(text, "^((13[0-9])|(15[0-35-9])|(18[0-9])|(17[0-9]))[0-9]{8}$");
}

// --- Files and resources ---

std::string WMUtil::documentsDirectoryPath() {
    auto paths = NSSearchPathForDirectoriesInDomains(NSDocumentDirectory, NSUserDomainMask, true);
    return paths.empty() ? std::string() : paths.front();
}

std::optional<Dictionary> WMUtil::getDictionaryFromPlistWithPathString(std::string_view path) {
    auto full = documentsPathFor(path);
    return full ? PropertyListFile::dictionaryWithContentsOfFile(*full) : std::nullopt;
}

std::optional<Array> WMUtil::getArrayFromPlistWithPathString(std::string_view path) {
    auto full = documentsPathFor(path);
    return full ? PropertyListFile::arrayWithContentsOfFile(*full) : std::nullopt;
}

void WMUtil::setDataFromPlistWithPathString(std::string_view path, const Dictionary& dictionary) {
    if (auto full = documentsPathFor(path)) PropertyListFile::writeToFile(Value(dictionary), *full, true);
}

void WMUtil::setDataFromPlistWithPathString(std::string_view path, const Array& array) {
    if (auto full = documentsPathFor(path)) PropertyListFile::writeToFile(Value(array), *full, true);
}

std::optional<Dictionary> WMUtil::dictionaryFromBundleWithName(std::string_view name, std::string_view type) {
    if (name.find('/') != std::string_view::npos || type.find('/') != std::string_view::npos) return std::nullopt;
    auto path = NSBundle::mainBundle()->pathForResource(std::string(name), std::string(type));
    if (!path || !NSFileManager::defaultManager()->fileExistsAtPath(*path)) return std::nullopt;
    return PropertyListFile::dictionaryWithContentsOfFile(*path);
}

void WMUtil::saveImagetoLocal(const Ref<UIImage>& image, std::string_view imageName) {
    if (!image || imageName.empty()) return;
    auto full = documentsPathFor(imageName);
    auto jpeg = UIImageJPEGRepresentation(image, 0.0);
    if (full && jpeg) DataFile::writeToFile(*jpeg, *full, true);
}

std::optional<std::string> WMUtil::fileMd5sum(std::string_view path) {
    std::error_code error;
    const auto resolved = std::filesystem::weakly_canonical(std::filesystem::path(path), error);
    if (error || !(pathIsInside(resolved.string(), AppSandbox::root()) ||
                   pathIsInside(resolved.string(), NSBundle::mainBundle()->bundlePath())))
        return std::nullopt;
    // Read as every kept file is: a regular file only, never waited on (a
    // pipe), and nothing when a read fails part-way rather than the sum of
    // the part read.
    const auto contents = DataFile::dataWithContentsOfFile(resolved.string());
    if (!contents) return std::nullopt;
    CC_MD5_CTX context;
    CC_MD5_Init(&context);
    constexpr std::size_t kChunk = 1 << 20;
    for (std::size_t at = 0; at < contents->length(); at += kChunk)
        CC_MD5_Update(&context, contents->bytes() + at, static_cast<CC_LONG>(std::min(kChunk, contents->length() - at)));
    unsigned char digest[CC_MD5_DIGEST_LENGTH];
    CC_MD5_Final(digest, &context);
    return hexOf(digest, CC_MD5_DIGEST_LENGTH);
}

std::vector<std::string> WMUtil::propertyKeys(const Ref<NSObject>& object) {
    auto model = std::dynamic_pointer_cast<HandyJSON>(object);
    if (!model) return {};
    auto keys = PropertyMapper::keysOf(*model);
    for (auto& key : keys)
        if (key == "selfId") key = "id";
    return keys;
}

// --- Attributed text and sizes ---

NSMutableAttributedString WMUtil::attributedStringWithText(std::string_view text, std::string_view part,
                                                           std::optional<UIColor> color, std::optional<UIFont> font) {
    NSMutableAttributedString result{NSAttributedString(std::string(text))};
    const NSRange range = NSString::rangeOfString(text, part);
    if (range.location != NSNotFound && (color || font))
        result.addAttributes({.font = font, .foregroundColor = color}, range);
    return result;
}

NSAttributedString WMUtil::attributedStringWithText(std::string_view text, const UIColor& color, const UIFont& font,
                                                    CGFloat lineSpacing, CGFloat ziJianJu) {
    NSParagraphStyle paragraph;
    paragraph.lineBreakMode = NSLineBreakMode::ByCharWrapping;
    paragraph.lineSpacing = lineSpacing;
    return NSAttributedString(std::string(text),
                              {.font = font, .foregroundColor = color, .kern = ziJianJu, .paragraphStyle = paragraph});
}

CGSize WMUtil::sizeWithAttributedtext(const NSAttributedString& text, CGSize maxSize) {
    return text.boundingRectWithSize(maxSize, NSStringDrawingUsesLineFragmentOrigin).size;
}

CGSize WMUtil::sizeWithtext(std::string_view text, CGSize maxSize, const UIFont& font, CGFloat lineSpacing,
                            CGFloat ziJianJu) {
    NSParagraphStyle paragraph;
    paragraph.lineBreakMode = NSLineBreakMode::ByCharWrapping;
    paragraph.lineSpacing = lineSpacing;
    return NSStringDrawing::boundingRectWithSize(text, maxSize, NSStringDrawingUsesLineFragmentOrigin,
                                                 {.font = font, .kern = ziJianJu, .paragraphStyle = paragraph})
        .size;
}

CGSize WMUtil::getWidthByString(std::string_view text, const UIFont& font, CGSize maxSize) {
    return NSStringDrawing::boundingRectWithSize(text, maxSize, NSStringDrawingUsesLineFragmentOrigin, fontOnly(font))
        .size;
}

CGSize WMUtil::strName(std::string_view text, const UIFont& font, CGSize maxSize) {
    return NSStringDrawing::boundingRectWithSize(text, maxSize, NSStringDrawingTruncatesLastVisibleLine, fontOnly(font))
        .size;
}

long WMUtil::getCellMaxNum(double cellHeight, double maxHeight) {
    if (!(cellHeight > 0) || !std::isfinite(maxHeight) || !(maxHeight > 0)) return 0;
    const double cells = std::ceil(maxHeight / cellHeight);
    // A count beyond a long's range is the largest long, not a conversion
    // the language leaves undefined. (2^63 as a double is beyond the range.)
    constexpr double kBeyondLong = 9223372036854775808.0;
    if (!(cells < kBeyondLong)) return std::numeric_limits<long>::max();
    return static_cast<long>(cells);
}

// --- Dates and times ---

NSDate WMUtil::getNowTime() { return NSDate::date(); }

std::string WMUtil::getyyyymmddHHmmss() { return formatDate(NSDate::date(), "yyyy-MM-dd HH:mm:ss"); }

std::string WMUtil::getyyyymmddHHmm() { return formatDate(NSDate::date(), "yyyy-MM-dd HH:mm"); }

std::string WMUtil::getyyyymmdd() { return formatDate(NSDate::date(), "yyyyMMdd"); }

std::string WMUtil::gethhmmss() { return formatDate(NSDate::date(), "HHmmss"); }

std::string WMUtil::get1970timeString() {
    const auto seconds = static_cast<long long>(NSDate::date().timeIntervalSince1970());
    return NSString::stringWithFormat("%lld", seconds * 1000);
}

std::string WMUtil::getTimeString(const NSDate& date) {
    return NSString::stringWithFormat("%lld", static_cast<long long>(date.timeIntervalSince1970()));
}

bool WMUtil::compareDate(const NSDate& first, const NSDate& second) { return first < second; }

std::optional<NSDate> WMUtil::dateFromString(std::string_view text, std::string_view format) {
    auto formatter = make<NSDateFormatter>();
    formatter->setDateFormat(format);
    return formatter->dateFromString(text);
}

std::optional<NSDate> WMUtil::dateFromString(std::string_view text) { return dateFromString(text, "yyyy-MM-dd"); }

std::optional<NSDate> WMUtil::UTCDateFromLocalString(std::string_view text) {
    return dateFromString(text, "yyyy-MM-dd HH:mm:ss");
}

std::string WMUtil::stringFromDate(const NSDate& date) { return formatDate(date, "yyyy-MM-dd HH:mm:ss"); }

std::string WMUtil::stringFromDate(const NSDate& date, std::string_view format) { return formatDate(date, format); }

std::string WMUtil::timeStringWithDataString(std::string_view milliseconds, std::string_view format) {
    const long long seconds = NSString::longLongValue(milliseconds) / 1000;
    return formatDate(NSDate(static_cast<double>(seconds)), format, NSTimeZone::timeZoneWithName("Asia/Shanghai"));
}

std::string WMUtil::createTime(std::string_view milliseconds, std::string_view format) {
    return formatDate(NSDate(NSString::doubleValue(milliseconds) / 1000.0), format);
}

bool WMUtil::checkTheDate(std::string_view text) {
    auto date = dateFromString(text);
    return date && NSCalendar::currentCalendar()->isDateInToday(*date);
}

NSDateComponents WMUtil::pleaseInsertStarTimeo(const NSDate& start, const NSDate& end) {
    NSLog("第一个时间%@----第二个时间%@", start.description(), end.description());
    const auto units = NSCalendarUnitYear | NSCalendarUnitMonth | NSCalendarUnitDay | NSCalendarUnitHour |
                       NSCalendarUnitMinute | NSCalendarUnitSecond;
    NSDateComponents difference = NSCalendar::currentCalendar()->components(units, start, end);
    NSLog("两个时间相差%ld年%ld月%ld日%ld小时%ld分钟%ld秒", difference.year, difference.month, difference.day,
          difference.hour, difference.minute, difference.second);
    return difference;
}

std::string WMUtil::getDeviceOSType() { return UIDevice::currentDevice()->systemVersion(); }

// --- Validation ---

bool WMUtil::validateEmail(std::string_view text) {
    return matches(text, "[A-Z0-9a-z._%+-]+@[A-Za-z0-9.-]+\\.[A-Za-z]{2,4}");
}

bool WMUtil::validateUserName(std::string_view text) { return matches(text, "^[A-Za-z0-9_]{6,20}$"); }

bool WMUtil::validatePassword(std::string_view text) { return matches(text, "^[a-zA-Z0-9]{6,16}+$"); }

bool WMUtil::validateNickname(std::string_view text) {
    return matches(text, "([一-龥]{2,5})(&middot;[一-龥]{2,5})*");
}

bool WMUtil::validateIdentityCard(std::string_view text) {
    return !text.empty() && matches(text, "^(\\d{14}|\\d{17})(\\d|[xX])$");
}

bool WMUtil::validateBankCardNumber(std::string_view text) {
    return !text.empty() && matches(text, "^(\\d{15,30})");
}

bool WMUtil::validateBankCardLastNumber(std::string_view text) {
    return NSString::length(text) == 4 && matches(text, "^(\\d{4})");
}

bool WMUtil::validateCVNCode(std::string_view text) { return !text.empty() && matches(text, "^(\\d{3})"); }

bool WMUtil::validateMonth(std::string_view text) { return matches(text, "(^(0)([0-9])$)|(^(1)([0-2])$)"); }

bool WMUtil::validateYear(std::string_view text) { return matches(text, "^([1-3])([0-9])$"); }

bool WMUtil::validateVerifyCode(std::string_view text) { return matches(text, "^(\\d{6})"); }

bool WMUtil::checkNum(std::string_view text) { return matches(text, "^[0-9]*$"); }

bool WMUtil::isNumberOrEnglish(std::string_view text) { return text.empty() || matches(text, "^[A-Za-z0-9]+$"); }

// --- Other text ---

bool WMUtil::isPureInt(std::string_view text) {
    auto scanner = NSScanner::scannerWithString(text);
    int value = 0;
    return scanner->scanInt(&value) && scanner->isAtEnd();
}

bool WMUtil::isKimiNumber(std::string_view text) {
    return text.find_first_not_of("0123456789") == std::string_view::npos;
}

std::string WMUtil::stringByReplacing(std::string_view text) {
    return NSString::stringByReplacingOccurrencesOfString(text, " ", "");
}

long WMUtil::convertToInt(std::string_view text) {
    long width = 0;
    for (char16_t unit : UTF16::encode(text)) width += ((unit & 0xFF) != 0) + ((unit >> 8) != 0);
    return width;
}

long WMUtil::getToInt(std::string_view text) const {
    auto bytes = NSString::dataUsingEncoding(text, NSGB18030StringEncoding);
    return bytes ? static_cast<long>(bytes->length()) : 0;
}

bool WMUtil::rangeString(std::string_view text, std::string_view part) {
    return NSString::rangeOfString(text, part).location != NSNotFound;
}

UIColor WMUtil::colorWithHexString(std::string_view hexString) { return UIColorLegacyHex::colorWithHexString(hexString); }

std::vector<std::string> WMUtil::decorateString(std::string_view text) {
    std::vector<NSRange> faces;
    const Value faceMap = NSUserDefaults::standardUserDefaults()->objectForKey("FaceMap");
    auto isStoredFace = [&](const std::string& token) {
        const Dictionary* map = faceMap.dictionary();
        if (!map) return false;
        for (const auto& [key, value] : *map)
            if (value.text() && *value.text() == token) return true;
        return false;
    };
    auto pattern = NSRegularExpression::regularExpressionWithPattern(
        "\\[[^\\[\\]]*\\]", NSRegularExpressionCaseInsensitive | NSRegularExpressionDotMatchesLineSeparators);
    for (const auto& match : pattern->matchesInString(text)) {
        const std::string found = NSString::substringWithRange(text, match.range());
        if (!NSString::hasPrefix(found, "[") || !NSString::hasSuffix(found, "]")) continue;
        const std::string token = "[" + found.substr(1, found.size() - 2) + "]";
        NSLog("name:%@", token);
        if (isStoredFace(token)) faces.push_back(match.range());
    }

    std::vector<std::string> pieces;
    faces.push_back({NSString::length(text), 0});  // closes the text after the last face
    std::size_t previousEnd = 0;
    for (const NSRange& face : faces) {
        const std::string normal = NSString::substringWithRange(text, {previousEnd, face.location - previousEnd});
        const std::string faceText = NSString::substringWithRange(text, face);
        if (face.location == 0 && face.length > 0) {
            NSLog("aaaaaaaaa:faceString:%@", faceText);
            NSLog("aaaaaaa:normalString:%@", normal);
        } else {
            NSLog("bbbbbbb:normalString:%@", normal);
            NSLog("bbbbbbbb:faceString:%@", faceText);
        }
        if (!normal.empty()) pieces.push_back(normal);
        if (!faceText.empty()) pieces.push_back(faceText);
        previousEnd = face.location + face.length;
    }
    Array logged;
    for (const auto& piece : pieces) logged.push_back(Value(piece));
    NSLog("array:%@", Value(logged));
    return pieces;
}

long WMUtil::getRandomNumber(long from, long to) {
    if (from > to) std::swap(from, to);
    std::uint32_t random = 0;
    SecRandomCopyBytes(kSecRandomDefault, sizeof random, &random);
    const auto span = static_cast<unsigned long long>(to) - static_cast<unsigned long long>(from) + 1;
    if (span == 0) return from + static_cast<long>(random);  // the whole range of long
    return from + static_cast<long>(random % span);
}

// --- Images ---

Ref<UIImage> WMUtil::reduceImage(const Ref<UIImage>& image, CGFloat percent) {
    auto jpeg = UIImageJPEGRepresentation(image, percent);
    return jpeg ? UIImage::imageWithData(*jpeg) : nullptr;
}

Ref<UIImage> WMUtil::imageWithImageSimple(const Ref<UIImage>& image, CGSize size) {
    if (!image) return nullptr;
    UIGraphicsBeginImageContext(size);
    image->drawInRect({0, 0, size.width, size.height});
    auto result = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return result;
}

Ref<UIImage> WMUtil::image(const Ref<UIImage>& image, int rotation) {
    if (!image || !image->CGImage()) return nullptr;
    const CGSize size = image->size();
    const double w = size.width, h = size.height;
    CGSize canvas{w, h};
    double angle = 0, translateX = 0, translateY = 0, scaleX = 1, scaleY = 1;
    switch (rotation) {
    case 1: angle = std::numbers::pi, translateX = -w, translateY = -h; break;
    case 2:
        canvas = {h, w};
        angle = std::numbers::pi / 2, translateY = -h;
        scaleX = w / h, scaleY = h / w;
        break;
    case 3:
        canvas = {h, w};
        angle = 3 * std::numbers::pi / 2, translateX = -w;
        scaleX = w / h, scaleY = h / w;
        break;
    default: break;
    }
    UIGraphicsBeginImageContext(canvas);
    auto context = UIGraphicsGetCurrentContext();
    CGContextTranslateCTM(context, 0, canvas.height);
    CGContextScaleCTM(context, 1, -1);
    CGContextRotateCTM(context, angle);
    CGContextTranslateCTM(context, translateX, translateY);
    CGContextScaleCTM(context, scaleX, scaleY);
    CGContextDrawImage(context, {0, 0, canvas.width, canvas.height}, image->CGImage());
    auto result = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return result;
}

Ref<UIImage> WMUtil::getImageFromView(const Ref<UIView>& view) {
    if (!view) return nullptr;
    UIGraphicsBeginImageContext(view->bounds().size);
    view->layer()->renderInContext(UIGraphicsGetCurrentContext());
    auto result = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return result;
}

Ref<UIImage> WMUtil::getImageFromImageView(const Ref<UIImageView>& imageView) { return getImageFromView(imageView); }

// --- Interaction and HUDs ---

void WMUtil::callPhoneActionWithPhoneNum(std::string_view phoneNumber, const Ref<UIViewController>& controller) {
    // The number in groups of three, four and four; a short number keeps
    // only the breaks that fall inside it.
    std::string title(phoneNumber);
    for (std::size_t at : {3, 8})
        if (at <= NSString::length(title))
            title = NSString::substringToIndex(title, at) + "-" + NSString::substringFromIndex(title, at);

    auto alert = UIAlertController::alertControllerWithTitle(title, "", UIAlertControllerStyle::Alert);
    if (controller) alert->popoverPresentationController()->setBarButtonItem(controller->navigationItem()->leftBarButtonItem());
    const std::string number(phoneNumber);
    alert->addAction(UIAlertAction::actionWithTitle("呼叫", UIAlertActionStyle::Destructive, [number](const auto&) {
        const std::string address = "tel://" + number;
        auto url = NSURL::URLWithString(address);
        auto application = UIApplication::sharedApplication();
        if (url && (NSString::hasPrefix(address, "sms:") || NSString::hasPrefix(address, "tel:")) &&
            application->canOpenURL(url))
            application->openURL(url, Dictionary{}, nullptr);
    }));
    alert->addAction(UIAlertAction::actionWithTitle("取消", UIAlertActionStyle::Cancel));
    if (controller) controller->presentViewController(alert, true);
}

void WMUtil::showTipsWithView(const Ref<UIView>& view, std::string_view text, double seconds) {
    if (!view) return;
    auto hud = showTextHUD(view, seconds);
    if (!hud) return;
    hud->detailsLabel()->setText(std::string(text));
    hud->detailsLabel()->setFont(UIFont::systemFontOfSize(15));
}

void WMUtil::showTipsWithHUD(std::string_view message, double seconds) {
    auto delegate = UIApplication::sharedApplication()->delegate();
    showTipsWithView(delegate ? delegate->window() : nullptr, message, seconds);
}

void WMUtil::showTipsWithHUD(std::string_view message) { showTipsWithHUD(message, 1.5); }

void WMUtil::showTipsWithHUD(std::string_view message, const Ref<UIView>& view) {
    showTipsWithView(view, message, 1.5);
}

void WMUtil::showHudMessage(std::string_view message, long delay, const Ref<UIView>& view) {
    if (!view) return;
    auto hud = showTextHUD(view, static_cast<double>(delay));
    if (!hud) return;
    hud->label()->setText(std::string(message));
    hud->setMargin(12);
    CGRect frame = hud->frame();
    frame.origin.y = 20;
    hud->setFrame(frame);
}

Ref<MBProgressHUD> WMUtil::showProgessInView(const Ref<UIView>& view, std::function<void()>, std::function<void()>) {
    if (!view) return nullptr;
    auto hud = make<MBProgressHUD>(view);
    hud->setBackgroundColor(UIColor::colorWithWhite(0.8, 0.6));
    hud->label()->setText("正在加载...");
    view->addSubview(hud);
    return hud;
}

void WMUtil::addLoadingViewAndLabelInView(const Ref<UIView>& view, CGFloat y) {
    if (!view) return;
    auto container = make<UIView>(CGRect{0, y, view->frame().size.width, 60});
    container->setTag(kLoadingBarTag);
    const UIFont font = UIFont::systemFontOfSize(14);
    const std::string text = "加载中";
    const CGFloat textWidth = NSStringDrawing::sizeWithAttributes(text, fontOnly(font)).width;
    const CGFloat spinnerX = (container->frame().size.width - textWidth - 20 - 5) / 2;
    if (!view->viewWithTag(kLoadingBarSpinnerTag)) {
        auto spinner = make<UIActivityIndicatorView>(UIActivityIndicatorViewStyle::White);
        spinner->setFrame({spinnerX, 15, 20, 20});
        spinner->setTag(kLoadingBarSpinnerTag);
        container->addSubview(spinner);
        spinner->startAnimating();
    }
    if (!view->viewWithTag(kLoadingBarLabelTag)) {
        auto label = make<UILabel>(CGRect{spinnerX + 20 + 5, 10, textWidth, 30});
        label->setTag(kLoadingBarLabelTag);
        label->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
        label->setFont(font);
        label->setTextColor(UIColor::whiteColor());
        label->setBackgroundColor(UIColor::clearColor());
        label->setText(text);
        container->addSubview(label);
    }
    view->addSubview(container);
}

void WMUtil::removeLoadingViewAndLabelInView(const Ref<UIView>& view) {
    if (!view) return;
    if (auto spinner = std::dynamic_pointer_cast<UIActivityIndicatorView>(view->viewWithTag(kLoadingBarSpinnerTag)))
        spinner->stopAnimating();
    if (auto container = view->viewWithTag(kLoadingBarTag)) container->removeFromSuperview();
}

void WMUtil::addLoadingViewInView(const Ref<UIView>& view, UIActivityIndicatorViewStyle style, const UIColor& color) {
    if (!view) return;
    auto spinner = addSpinner(view, style);
    spinner->setColor(color);
    spinner->startAnimating();
    view->addSubview(spinner);
}

void WMUtil::addLoadingViewInView(const Ref<UIView>& view, UIActivityIndicatorViewStyle style) {
    if (!view) return;
    auto spinner = addSpinner(view, style);
    spinner->startAnimating();
    view->addSubview(spinner);
}

void WMUtil::removeLoadingViewInView(const Ref<UIView>& view) {
    if (!view) return;
    if (auto spinner = std::dynamic_pointer_cast<UIActivityIndicatorView>(view->viewWithTag(kSpinnerTag))) {
        spinner->stopAnimating();
        spinner->removeFromSuperview();
    }
}
