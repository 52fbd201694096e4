#include "backend/NoticePage.h"

#include "backend/Format.h"
#include "backend/HtmlPage.h"

namespace backend {

std::optional<std::string> noticePage(Database& database, long long noticeId) {
    Statement notice = database.prepare("SELECT title, description, published_at FROM notices WHERE id = ?");
    notice.bind({noticeId});
    if (!notice.step()) return std::nullopt;
    const std::string title = notice.text(0);
    return htmlPage(title, "<h1>" + escapeHTML(title) + "</h1><p>" + formatChinaTime(notice.integer(2), "%Y-%m-%d") +
                               "</p><p>" + escapeHTML(notice.text(1)) + "</p>");
}

}  // namespace backend
