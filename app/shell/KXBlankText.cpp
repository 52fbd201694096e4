#include "app/shell/KXBlankText.h"

#include "foundation/NSCharacterSet.h"
#include "foundation/NSString.h"

namespace KXBlankText {

bool isBlank(std::string_view text) {
    static const NSCharacterSet showsNothing = [] {
        NSCharacterSet set = NSCharacterSet::whitespaceAndNewlineCharacterSet();
        set.addCharactersInString("\u180E\u200B\u200C\u200D\u2060\uFEFF");
        return set;
    }();
    return NSString::stringByTrimmingCharactersInSet(text, showsNothing).empty();
}

}  // namespace KXBlankText
