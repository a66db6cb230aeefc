#pragma once

#include <string>
#include <string_view>

namespace dxcc {

// What the embedded browser shows instead of a page it cannot reach (no
// Internet connection, the site down): a French note with the page's address,
// so the operator can open it later. UTF-8 HTML.
std::string unreachablePageHtml(std::string_view url);

}  // namespace dxcc
