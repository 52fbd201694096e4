#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace backend {

class Database;

// What a placeholder image address stands for, read from the data: the name
// of the game, promoter, menu entry, notice or gift bag whose picture it is,
// a ranking medal's place, or the mark of a settlement's state ("审", "结",
// "驳").
// `path` is the address below "static/" without ".png" ("icon/game-3").
// Nothing for an address that names nothing known.
std::optional<std::string> imageCaption(Database& database, std::string_view path);

}  // namespace backend
