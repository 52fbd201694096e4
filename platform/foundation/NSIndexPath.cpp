#include "foundation/NSIndexPath.h"

std::string NSIndexPath::description() const {
    return "{" + std::to_string(section_) + ", " + std::to_string(item_) + "}";
}
