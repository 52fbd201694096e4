#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/NSDate.h"
#include "foundation/NSDateComponents.h"
#include "foundation/NSObject.h"
#include "foundation/Value.h"
#include "graphics/NSMutableAttributedString.h"
#include "graphics/UIColor.h"
#include "graphics/UIFont.h"
#include "graphics/UIImage.h"
#include "uikit/UIActivityIndicatorView.h"

class MBProgressHUD;
class UIImageView;
class UIView;
class UIViewController;

// Class-method utilities: text, dates, files, images, validation and HUDs.
// The request layer and the input checks use the first four; the rest
// serve the screens that want them.
//
// Files stay inside the app: plists and saved images live in the sandbox's
// Documents folder, and a relative path that is absolute or climbs out of it
// ("..") is refused (nothing is read or written). Dates are formatted in the
// default time zone unless a method names another.
class WMUtil {
public:
    // For the one instance method, getToInt.
    WMUtil() = default;

    // --- Request helpers ---

    // MD5 of the text's UTF-8 bytes up to the first zero byte, as 32
    // lower-case hexadecimal digits.
    static std::string md5HexDigest(std::string_view text);
    // The current time as whole seconds since 1970, truncated toward zero.
    static long getTimeSp();
    // Whether the text contains a space (U+0020) anywhere. Not an emptiness
    // test: "" and a lone tab answer false. No text at all answers true.
    static bool isBlank(const std::optional<std::string>& text);
    // Whether the whole text is a mainland mobile number of the accepted
    // ranges (13x, 15x but 154, 17x, 18x, then eight digits).
    static bool validateMobile(std::string_view text);

    // --- Files and resources ---

    // A property list in Documents/path; nothing when missing, unreadable or
    // of the other kind.
    static std::optional<Dictionary> getDictionaryFromPlistWithPathString(std::string_view path);
    static std::optional<Array> getArrayFromPlistWithPathString(std::string_view path);
    // Writes a property list to Documents/path, atomically.
    static void setDataFromPlistWithPathString(std::string_view path, const Dictionary& dictionary);
    static void setDataFromPlistWithPathString(std::string_view path, const Array& array);
    // The main bundle's resource "name.type" as a dictionary, when readable.
    static std::optional<Dictionary> dictionaryFromBundleWithName(std::string_view name, std::string_view type);
    static std::string documentsDirectoryPath();
    // Writes the image as JPEG (quality 0) to Documents/name, atomically;
    // nothing without an image or a name.
    static void saveImagetoLocal(const Ref<UIImage>& image, std::string_view imageName);
    // The whole file's MD5 as 32 lower-case hex digits; nothing when the file
    // cannot be read or lies outside the sandbox and the app's bundle.
    static std::optional<std::string> fileMd5sum(std::string_view path);
    // The names of a model's declared properties, in order ("selfId" listed
    // as "id"); none for objects that declare none.
    static std::vector<std::string> propertyKeys(const Ref<NSObject>& object);

    // --- Attributed text and sizes ---

    // The text with the first occurrence of `part` in the colour and font
    // given (each only when given).
    static NSMutableAttributedString attributedStringWithText(std::string_view text, std::string_view part,
                                                              std::optional<UIColor> color, std::optional<UIFont> font);
    // The whole text in the font and colour, character-wrapped with the line
    // spacing, kerned by the letter spacing.
    static NSAttributedString attributedStringWithText(std::string_view text, const UIColor& color,
                                                       const UIFont& font, CGFloat lineSpacing, CGFloat ziJianJu);
    // Sizes within a maximum (lines wrap at its width).
    static CGSize sizeWithAttributedtext(const NSAttributedString& text, CGSize maxSize);
    static CGSize sizeWithtext(std::string_view text, CGSize maxSize, const UIFont& font, CGFloat lineSpacing,
                               CGFloat ziJianJu);
    static CGSize getWidthByString(std::string_view text, const UIFont& font, CGSize maxSize);
    // One line, truncated when too wide.
    static CGSize strName(std::string_view text, const UIFont& font, CGSize maxSize);
    // How many cells of `cellHeight` the height needs (rounded up); 0 for a
    // cell height or a height that is not positive, the largest long for a
    // count beyond it.
    static long getCellMaxNum(double cellHeight, double maxHeight);

    // --- Dates and times ---

    static NSDate getNowTime();
    static std::string getyyyymmddHHmmss();
    static std::string getyyyymmddHHmm();
    static std::string getyyyymmdd();
    static std::string gethhmmss();
    // Milliseconds since 1970 of the current whole second ("...000").
    static std::string get1970timeString();
    // The date's whole seconds since 1970.
    static std::string getTimeString(const NSDate& date);
    // Whether `first` is earlier than `second`.
    static bool compareDate(const NSDate& first, const NSDate& second);
    static std::optional<NSDate> dateFromString(std::string_view text, std::string_view format);
    // As "yyyy-MM-dd".
    static std::optional<NSDate> dateFromString(std::string_view text);
    // As "yyyy-MM-dd HH:mm:ss" in the default zone (no conversion to UTC).
    static std::optional<NSDate> UTCDateFromLocalString(std::string_view text);
    static std::string stringFromDate(const NSDate& date);
    static std::string stringFromDate(const NSDate& date, std::string_view format);
    // A millisecond time stamp (whole seconds, truncated) in Asia/Shanghai time.
    static std::string timeStringWithDataString(std::string_view milliseconds, std::string_view format);
    // A millisecond time stamp (with its fraction) in the default zone.
    static std::string createTime(std::string_view milliseconds, std::string_view format);
    // Whether the "yyyy-MM-dd" date is today.
    static bool checkTheDate(std::string_view text);
    // The difference from start to end in years down to seconds (logged).
    static NSDateComponents pleaseInsertStarTimeo(const NSDate& start, const NSDate& end);
    static std::string getDeviceOSType();

    // --- Validation (whole-text patterns) ---

    static bool validateEmail(std::string_view text);
    static bool validateUserName(std::string_view text);
    static bool validatePassword(std::string_view text);
    static bool validateNickname(std::string_view text);
    static bool validateIdentityCard(std::string_view text);
    static bool validateBankCardNumber(std::string_view text);
    static bool validateBankCardLastNumber(std::string_view text);
    static bool validateCVNCode(std::string_view text);
    static bool validateMonth(std::string_view text);
    static bool validateYear(std::string_view text);
    static bool validateVerifyCode(std::string_view text);
    // Digits only; the empty text passes.
    static bool checkNum(std::string_view text);
    // Letters and digits only; the empty text passes.
    static bool isNumberOrEnglish(std::string_view text);

    // --- Other text ---

    // Whether the text is one integer from start to end.
    static bool isPureInt(std::string_view text);
    // Whether every character is an ASCII digit (the empty text too).
    static bool isKimiNumber(std::string_view text);
    // The text without spaces.
    static std::string stringByReplacing(std::string_view text);
    // The display width: the non-zero bytes of the text's UTF-16 units (1 for
    // basic Latin, 2 for most CJK characters).
    static long convertToInt(std::string_view text);
    // The text's length in GB 18030 bytes; 0 when it cannot be encoded.
    long getToInt(std::string_view text) const;
    static bool rangeString(std::string_view text, std::string_view part);
    // The older screens' hex colour rule (UIColorLegacyHex), opaque.
    static UIColor colorWithHexString(std::string_view hexString);
    // The message split into plain text and face tokens ("[name]" stored as
    // a value of the user default "FaceMap"), in order.
    static std::vector<std::string> decorateString(std::string_view text);
    // A uniform random integer from `from` to `to`, both included (in either order).
    static long getRandomNumber(long from, long to);

    // --- Images ---

    // The image again, through JPEG at the quality (0 to 1).
    static Ref<UIImage> reduceImage(const Ref<UIImage>& image, CGFloat percent);
    // The image stretched into a new image of the size.
    static Ref<UIImage> imageWithImageSimple(const Ref<UIImage>& image, CGSize size);
    // The image redrawn rotated: 1 half a turn, 2 (left) and 3 (right) a
    // quarter turn, other values unchanged.
    static Ref<UIImage> image(const Ref<UIImage>& image, int rotation);
    static Ref<UIImage> getImageFromView(const Ref<UIView>& view);
    static Ref<UIImage> getImageFromImageView(const Ref<UIImageView>& imageView);

    // --- Interaction and HUDs ---

    // An alert titled with the number in groups ("138-0013-8000") offering
    // "呼叫" (opens tel://number) and "取消", presented on the screen.
    static void callPhoneActionWithPhoneNum(std::string_view phoneNumber, const Ref<UIViewController>& controller);
    // A text HUD with the message, hidden after the seconds (1.5 when not
    // given): on the application delegate's window, or on a view.
    static void showTipsWithHUD(std::string_view message, double seconds);
    static void showTipsWithHUD(std::string_view message);
    static void showTipsWithView(const Ref<UIView>& view, std::string_view text, double seconds);
    static void showTipsWithHUD(std::string_view message, const Ref<UIView>& view);
    // A text HUD near the top of the view, hidden after the whole seconds.
    static void showHudMessage(std::string_view message, long delay, const Ref<UIView>& view);
    // A "正在加载..." HUD added to the view but not shown; the blocks are
    // kept for the caller's own use and never called.
    static Ref<MBProgressHUD> showProgessInView(const Ref<UIView>& view, std::function<void()> extBlock,
                                                std::function<void()> comBlock);
    // A 60-point bar across the view at `y` with a spinner and "加载中".
    static void addLoadingViewAndLabelInView(const Ref<UIView>& view, CGFloat y);
    static void removeLoadingViewAndLabelInView(const Ref<UIView>& view);
    // A spinning indicator in the middle of the view (in the style's own
    // colour when none is given).
    static void addLoadingViewInView(const Ref<UIView>& view, UIActivityIndicatorViewStyle style,
                                     const UIColor& color);
    static void addLoadingViewInView(const Ref<UIView>& view, UIActivityIndicatorViewStyle style);
    static void removeLoadingViewInView(const Ref<UIView>& view);

    // Tags of the loading views.
    static constexpr long kLoadingBarTag = 10086;
    static constexpr long kLoadingBarSpinnerTag = 10087;
    static constexpr long kLoadingBarLabelTag = 10088;
    static constexpr long kSpinnerTag = 99;
};
