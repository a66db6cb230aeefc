#include "core/base/collation.h"

#include <gtest/gtest.h>

namespace dxcc {
namespace {

TEST(CollationTest, CaseInsensitiveAccentsAfterTheirLetterExactBytesBreakTies) {
    struct Row {
        const char* before;
        const char* after;
    };
    const Row rows[] = {
        {"a", "B"},        // case ignored
        {"F ", "FR"},      // blank before letters
        {" ", "0"},        // blank before digits
        {"9", "A"},        // digits before letters
        {"E", "\xC9"},     // E before É
        {"\xC9", "F"},     // É before F
        {"\xE9", "F"},     // é before F
        {"\xC0", "B"},     // À before B
        {"Y", "\xFF"},     // ÿ after Y ...
        {"\xFF", "Z"},     // ... before Z
        {"O", "\x9C"},     // œ with the O's
        {"F", "f"},        // equal weights: exact bytes
        {"\xC9", "\xE9"},  // É, é: exact bytes
        {"G4Bzz", "g4C"},  // the first differing weight decides
        {"ab", "abc"},     // a beginning first
    };
    for (const Row& r : rows) {
        EXPECT_LT(collate(r.before, r.after), 0) << r.before << " / " << r.after;
        EXPECT_GT(collate(r.after, r.before), 0) << r.after << " / " << r.before;
    }
    EXPECT_EQ(collate("F5ABC", "F5ABC"), 0);
    EXPECT_EQ(collationWeight('q'), collationWeight('Q'));
    EXPECT_EQ(collationWeight(0xE7), collationWeight(0xC7));  // ç, Ç
}

}  // namespace
}  // namespace dxcc
