#include "converter/output_name.h"

#include <gtest/gtest.h>

namespace {

using converter::DeriveFolder;
using converter::OutputNameFor;

struct NameCase {
    const char* name;
    const char* ending;
    const char* extension;
    const char* expected;
};

void PrintTo(const NameCase& c, std::ostream* os) {
    *os << c.name;
}

class OutputNameTest : public testing::TestWithParam<NameCase> {};

TEST_P(OutputNameTest, ReplacesTheEndingOrAddsTheExtension) {
    const NameCase& c = GetParam();
    EXPECT_EQ(OutputNameFor(std::string_view(c.name), c.ending, c.extension), c.expected);
    // The same rule on a path in the platform's encoding.
    EXPECT_EQ(converter::OutputPathFor(converter::PathFromUtf8(c.name), c.ending, c.extension),
              converter::PathFromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OutputNameTest,
    testing::Values(NameCase{"game.mem", ".mem", "gme", "game.gme"},
                    NameCase{"GAME.MEM", ".mem", "gme", "GAME.gme"},
                    NameCase{"Game.mEm", ".mem", "mcd", "Game.mcd"},
                    NameCase{"game.dat", ".mem", "mcd", "game.dat.mcd"},
                    NameCase{"game.mem.bak", ".mem", "gme", "game.mem.bak.gme"},
                    NameCase{"gamemem", ".mem", "gme", "gamemem.gme"},
                    NameCase{".mem", ".mem", "gme", ".gme"},
                    NameCase{"mem", ".mem", "gme", "mem.gme"}, NameCase{"", ".mcd", "mem", ".mem"},
                    NameCase{"/cards/game.mem", ".mem", "mcd", "/cards/game.mcd"},
                    NameCase{"spiel.gme", ".gme", "mcd", "spiel.mcd"},
                    NameCase{"\xc3\x9c"
                             "ber.GME",
                             ".gme", "mem",
                             "\xc3\x9c"
                             "ber.mem"}));

#ifndef _WIN32
TEST(OutputPathFor, NamesThatAreNotValidTextKeepTheirBytes) {
    const std::filesystem::path name(std::string("\xff\xfe card.MEM"));
    EXPECT_EQ(converter::OutputPathFor(name, ".mem", "gme").native(),
              std::string("\xff\xfe card.gme"));
}
#else
// Windows names are UTF-16 and need not be valid: a lone surrogate shows as U+FFFD.
TEST(PathToDisplay, GivesUtf8ForEveryWindowsName) {
    const std::pair<std::wstring, std::string> cases[] = {
        {L"C:\\cards\\a.gme", "C:\\cards\\a.gme"},
        {L"\u00dcber.gme",
         "\xc3\x9c"
         "ber.gme"},
        {L"\u30bb\u30fc\u30d6.gme", "\xe3\x82\xbb\xe3\x83\xbc\xe3\x83\x96.gme"},
        {L"\U0001F3AE.gme", "\xf0\x9f\x8e\xae.gme"},  // a surrogate pair
        {std::wstring(L"a\xD800z.gme"), "a\xef\xbf\xbdz.gme"},
        {std::wstring(L"a\xDC00"), "a\xef\xbf\xbd"},
        {std::wstring(L"\xD800"), "\xef\xbf\xbd"},
    };
    for (const auto& [wide, utf8] : cases) {
        EXPECT_EQ(converter::PathToDisplay(std::filesystem::path(wide)), utf8) << utf8;
    }
}
#endif

struct FolderCase {
    const char* text;
    const char* folder;
};

void PrintTo(const FolderCase& c, std::ostream* os) {
    *os << c.text;
}

class DeriveFolderTest : public testing::TestWithParam<FolderCase> {};

TEST_P(DeriveFolderTest, KeepsTheTextUpToItsLastSeparator) {
    EXPECT_EQ(DeriveFolder(GetParam().text), GetParam().folder);
}

#ifndef _WIN32
INSTANTIATE_TEST_SUITE_P(Posix, DeriveFolderTest,
                         testing::Values(FolderCase{"/cards/a.mcd", "/cards/"},
                                         FolderCase{"/cards/", "/cards/"},
                                         FolderCase{"/cards", "/"}, FolderCase{"/", "/"},
                                         FolderCase{"cards", "cards/"},
                                         FolderCase{"a b/c d.mcd", "a b/"},
                                         // A backslash is an ordinary character here.
                                         FolderCase{"C:\\cards\\a.mcd", "C:\\cards\\a.mcd/"},
                                         FolderCase{"x/C:\\a.mcd", "x/"}));
#else
INSTANTIATE_TEST_SUITE_P(
    Windows, DeriveFolderTest,
    testing::Values(FolderCase{"C:\\cards\\a.mcd", "C:\\cards\\"},
                    FolderCase{"C:\\cards\\", "C:\\cards\\"},
                    FolderCase{"C:\\cards", "C:\\"},  // the root of drive C
                    FolderCase{"C:\\", "C:\\"}, FolderCase{"C:", "C:\\"},
                    FolderCase{"cards", "cards\\"},  // relative to the current folder
                    FolderCase{"..\\a.mcd", "..\\"},
                    FolderCase{"\\\\server\\share\\a.mcd", "\\\\server\\share\\"},
                    // Only the backslash separates folders.
                    FolderCase{"C:/cards/a.mcd", "C:/cards/a.mcd\\"},
                    FolderCase{"C:\\cards/a.mcd", "C:\\"},
                    FolderCase{"\xd0\x9a\xd0\xb0\xd1\x80\xd1\x82\xd1\x8b\\a.gme",
                               "\xd0\x9a\xd0\xb0\xd1\x80\xd1\x82\xd1\x8b\\"}));
#endif

}  // namespace
