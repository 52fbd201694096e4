#pragma once

#include <string>

namespace backend {

// The reason a listener gives for a request it refuses itself (no route,
// body too large or without a length, a malformed head, busy), in the
// words of its answers: "请求的地址不存在", "请求内容过大", "服务器繁忙，请稍后再试",
// else "请求格式错误".
std::string transportRefusal(int status);

}  // namespace backend
