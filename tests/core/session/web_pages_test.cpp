#include "core/session/web_pages.h"

#include <gtest/gtest.h>

namespace dxcc {
namespace {

TEST(UnreachablePage, SaysWhyInFrenchAndLinksTheAddressEscaped) {
    const std::string html = unreachablePageHtml("https://www.arrl.org/rules?a=1&b=\"<x>\"");
    EXPECT_NE(html.find("Pas de connexion Internet : cette page s'affichera quand la connexion "
                        "reviendra"),
              std::string::npos);
    EXPECT_NE(html.find("<a href=\"https://www.arrl.org/rules?a=1&amp;b=&quot;&lt;x&gt;&quot;\">"),
              std::string::npos);
    // The address must not be able to open a tag of its own.
    EXPECT_EQ(html.find("<x>"), std::string::npos);
    EXPECT_NE(html.find("charset=\"utf-8\""), std::string::npos);
}

}  // namespace
}  // namespace dxcc
