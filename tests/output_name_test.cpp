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

INSTANTIATE_TEST_SUITE_P(Posix, DeriveFolderTest,
                         testing::Values(FolderCase{"/cards/a.mcd", "/cards/"},
                                         FolderCase{"/cards/", "/cards/"},
                                         FolderCase{"/cards", "/"}, FolderCase{"/", "/"},
                                         FolderCase{"cards", "cards/"},
                                         FolderCase{"a b/c d.mcd", "a b/"},
                                         // A backslash is an ordinary character here.
                                         FolderCase{"C:\\cards\\a.mcd", "C:\\cards\\a.mcd/"},
                                         FolderCase{"x/C:\\a.mcd", "x/"}));
#endif

}  // namespace
