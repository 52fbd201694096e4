#pragma once

#include <optional>
#include <string>

#include "backend/Database.h"

namespace backend {

// The web page a notice's address opens: a small HTML document with the
// notice's title, date and text. Nothing when no notice has that id.
std::optional<std::string> noticePage(Database& database, long long noticeId);

}  // namespace backend
