#pragma once

#include <string_view>

// Whether a value is empty as a person sees it: "", or white space and line
// ends alone (a full-width space among them) and characters that take no
// room (a zero-width space, joiner or no-break space). The forms refuse such
// a value where one is required, as the back end does, and a value shown
// from the back end that is blank reads as missing.
namespace KXBlankText {

bool isBlank(std::string_view text);

}  // namespace KXBlankText
