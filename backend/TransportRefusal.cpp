#include "backend/TransportRefusal.h"

namespace backend {

std::string transportRefusal(int status) {
    switch (status) {
        case 413: return "请求内容过大";
        case 404: return "请求的地址不存在";
        case 503: return "服务器繁忙，请稍后再试";
        default: return "请求格式错误";
    }
}

}  // namespace backend
