#include "backend/NoticePage.h"

#include "backend/Format.h"

namespace backend {

std::optional<std::string> noticePage(Database& database, long long noticeId) {
    Statement notice = database.prepare("SELECT title, description, published_at FROM notices WHERE id = ?");
    notice.bind({noticeId});
    if (!notice.step()) return std::nullopt;
    const std::string title = escapeHTML(notice.text(0));
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" + title +
           "</title></head><body><h1>" + title + "</h1><p>" +
           formatChinaTime(notice.integer(2), "%Y-%m-%d") + "</p><p>" + escapeHTML(notice.text(1)) +
           "</p></body></html>";
}

}  // namespace backend
