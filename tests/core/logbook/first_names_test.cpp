#include "core/logbook/first_names.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "core/base/text_file.h"

namespace dxcc {
namespace {

class FirstNameMemoryTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        dir_ = std::filesystem::temp_directory_path() /
               ("first_names_" + std::to_string(::getpid()) + "_" + test);
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    std::filesystem::path file() const { return dir_ / "Liste_Prenom.txt"; }
    std::string contents() const { return readFileBytes(file()); }
    void write(std::string_view bytes) const {
        rewriteFile(file(), dir_ / "Temporaire.txt", bytes);
    }

    std::filesystem::path dir_;
};

const std::string kBlanks11(11, ' ');

TEST(FirstNameLine, IsTheCallsignPaddedTo16AndTheNameInCapitals) {
    EXPECT_EQ(FirstNameMemory::makeLine("F5ABC", "jean"), "F5ABC" + kBlanks11 + "JEAN");
    EXPECT_EQ(FirstNameMemory::makeLine("F5ABC", ""), "F5ABC" + kBlanks11);
    // A field taken from a padded record loses its padding.
    EXPECT_EQ(FirstNameMemory::makeLine("F5ABC       ", "JEAN           "),
              "F5ABC" + kBlanks11 + "JEAN");
}

TEST(FirstNameLine, CapitalsIncludeAccentedLetters) {
    EXPECT_EQ(upperCaseCp1252("ren\xE9 fran\xE7ois \xF7 \x9C"), "REN\xC9 FRAN\xC7OIS \xF7 \x8C");
}

TEST_F(FirstNameMemoryTest, MissingFileIsCreatedEmptyOnLookup) {
    FirstNameMemory memory(dir_);
    EXPECT_EQ(memory.lookup("F5ABC"), std::nullopt);
    ASSERT_TRUE(std::filesystem::exists(file()));
    EXPECT_EQ(contents(), "");
}

TEST_F(FirstNameMemoryTest, NewReplacedAndEmptyNames) {
    FirstNameMemory memory(dir_);
    memory.update("G4XYZ", "JOHN");
    memory.update("F5ABC", "jean");
    EXPECT_EQ(contents(), "G4XYZ" + kBlanks11 + "JOHN\r\nF5ABC" + kBlanks11 + "JEAN\r\n");
    EXPECT_EQ(memory.lookup("F5ABC"), "JEAN");

    memory.update("F5ABC", "PIERRE");
    EXPECT_EQ(contents(), "G4XYZ" + kBlanks11 + "JOHN\r\nF5ABC" + kBlanks11 + "PIERRE\r\n");

    memory.update("F5ABC", "");
    EXPECT_EQ(contents(), "G4XYZ" + kBlanks11 + "JOHN\r\nF5ABC" + kBlanks11 + "\r\n");
    EXPECT_EQ(memory.lookup("F5ABC"), "");  // known, with an empty name
    EXPECT_FALSE(std::filesystem::exists(dir_ / "Temporaire.txt"));
}

TEST_F(FirstNameMemoryTest, UpdateReplacesEveryLineOfTheCallsignAndKeepsTheRest) {
    write("F5ABC           OLD\nF5ABCD          OTHER\r\nF5ABC           OLDER\r\nhand edited");
    FirstNameMemory(dir_).update("F5ABC", "NEW");
    EXPECT_EQ(
        contents(),
        "F5ABC           NEW\r\nF5ABCD          OTHER\r\nF5ABC           NEW\r\nhand edited\r\n");
}

TEST_F(FirstNameMemoryTest, LookupTakesTheLastExactMatch) {
    write(
        "F5ABC           FIRST\r\n"
        "F5ABCD          LONGER\r\n"
        "  F5ABC         second\r\n"
        "F5AB            SHORTER\r\n");
    FirstNameMemory memory(dir_);
    EXPECT_EQ(memory.lookup("F5ABC"), "SECOND");
    EXPECT_EQ(memory.lookup("F5AB"), "SHORTER");
    EXPECT_EQ(memory.lookup("f5abc"), std::nullopt);
    EXPECT_EQ(memory.lookup("F5"), std::nullopt);
}

TEST_F(FirstNameMemoryTest, UpdateCreatesAMissingFile) {
    FirstNameMemory(dir_).update("F5ABC", "JEAN");
    EXPECT_EQ(contents(), "F5ABC" + kBlanks11 + "JEAN\r\n");
    // A line break would split the line: refused, the file untouched.
    EXPECT_THROW(FirstNameMemory(dir_).update("F5ABC", "PAUL\r\nX"), std::invalid_argument);
    EXPECT_EQ(contents(), "F5ABC" + kBlanks11 + "JEAN\r\n");
}

}  // namespace
}  // namespace dxcc
