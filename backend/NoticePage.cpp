#include "backend/NoticePage.h"

#include "backend/Format.h"
#include "backend/HtmlPage.h"

namespace backend {

std::optional<std::string> noticePage(Database& database, long long noticeId) {
    Statement notice = database.prepare("SELECT title, description, published_at FROM notices WHERE id = ?");
    notice.bind({noticeId});
    if (!notice.step()) return std::nullopt;
    // The title is the page's own, which the web view shows above the text.
    return htmlPage(notice.text(0), "<p>" + formatChinaTime(notice.integer(2), "%Y-%m-%d") + "</p><p>" +
                                        escapeHTML(notice.text(1)) + "</p>");
}

}  // namespace backend
