#pragma once

#include <optional>
#include <string>

#include "backend/Database.h"

namespace backend {

// The web page a notice's address opens: a small HTML document titled with
// the notice's title, its body the date and the text (the title once, as the
// page's title). Nothing when no notice has that id.
std::optional<std::string> noticePage(Database& database, long long noticeId);

}  // namespace backend
