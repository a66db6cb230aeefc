#include "core/session/web_pages.h"

#include "core/session/main_messages.h"

namespace dxcc {

namespace {

std::string escapedHtml(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                escaped += "&amp;";
                break;
            case '<':
                escaped += "&lt;";
                break;
            case '>':
                escaped += "&gt;";
                break;
            case '"':
                escaped += "&quot;";
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

}  // namespace

std::string unreachablePageHtml(std::string_view url) {
    const std::string address = escapedHtml(url);
    std::string html =
        "<!DOCTYPE html><html lang=\"fr\"><head><meta charset=\"utf-8\">"
        "<title>VEL_DXCC</title></head>"
        "<body style=\"font-family: sans-serif; margin: 2em;\"><p>";
    html += escapedHtml(main_messages::kPageUnreachable);
    html += "</p><p>";
    html += escapedHtml(main_messages::kPageAddress);
    html += "<a href=\"" + address + "\">" + address + "</a></p></body></html>";
    return html;
}

}  // namespace dxcc
