#include "backend/HtmlPage.h"

#include "backend/Format.h"

namespace backend {

std::string htmlPage(const std::string& title, const std::string& body) {
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>" + escapeHTML(title) + "</title></head><body>" +
           body + "</body></html>";
}

std::string htmlLink(const std::string& href, const std::string& text) {
    return "<p><a href=\"" + escapeHTML(href) + "\">" + escapeHTML(text) + "</a></p>";
}

}  // namespace backend
