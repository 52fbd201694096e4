#pragma once

#include <cstddef>
#include <string_view>

#include "backend/HttpServer.h"

namespace backend {

// Reads a multipart/form-data body (`contentType` names its boundary) into
// `request.files`, by field name and in the order sent: the first `keep`
// parts are kept, the ones past them counted in `partsLeftOut`. False when
// the body is no such body (no boundary, a part not closed, a delimiter
// not followed by a line end).
bool readMultipartForm(std::string_view contentType, std::string_view body, std::size_t keep, HttpRequest& request);

}  // namespace backend
