#pragma once

#include <string>

namespace Alamofire {

// The request methods the text-answer client sends.
enum class HTTPMethod { get, head, post, put, patch, delete_ };

inline std::string rawValue(HTTPMethod method) {
    switch (method) {
    case HTTPMethod::get: return "GET";
    case HTTPMethod::head: return "HEAD";
    case HTTPMethod::post: return "POST";
    case HTTPMethod::put: return "PUT";
    case HTTPMethod::patch: return "PATCH";
    case HTTPMethod::delete_: return "DELETE";
    }
    return "GET";
}

}  // namespace Alamofire
