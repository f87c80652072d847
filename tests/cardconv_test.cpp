// cardconv as a real process over real folders.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "test_support.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/wait.h>
#endif

namespace {

namespace fs = std::filesystem;
using testsupport::Bytes;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

struct Outcome {
    int exitCode;
    std::string out;
    std::string err;
};

std::string Slurp(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

#ifdef _WIN32
// Quoted so that the program's start-up code (CommandLineToArgvW's rules) gives `arg` back as it
// is: backslashes are doubled only where a quote follows them.
std::wstring Quote(const std::wstring& arg) {
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (const wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

// The arguments go over as UTF-16, so that names in any script reach the program whole.
Outcome Cardconv(const std::vector<std::string>& args) {
    TempDir logs;
    std::wstring command = Quote(fs::path(CARDCONV_PATH).native());
    for (const auto& arg : args) {
        command += L" " + Quote(fs::path(std::u8string(arg.begin(), arg.end())).native());
    }
    SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    const auto create = [&](const char* name) {
        return ::CreateFileW((logs / name).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = create("out");
    startup.hStdError = create("err");
    PROCESS_INFORMATION process{};
    DWORD exitCode = 0;
    const bool ran = ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                      nullptr, &startup, &process) != 0;
    if (ran) {
        ::WaitForSingleObject(process.hProcess, INFINITE);
        ::GetExitCodeProcess(process.hProcess, &exitCode);
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    ::CloseHandle(startup.hStdOutput);
    ::CloseHandle(startup.hStdError);
    // Read in text mode: the program's line ends come back as "\n".
    return {ran ? static_cast<int>(exitCode) : -1, Slurp(logs / "out"), Slurp(logs / "err")};
}
#else
std::string Quote(const std::string& arg) {
    std::string quoted = "'";
    for (char c : arg) {
        quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

Outcome Cardconv(const std::vector<std::string>& args) {
    TempDir logs;
    std::string command = Quote(CARDCONV_PATH);
    for (const auto& arg : args) {
        command += " " + Quote(arg);
    }
    command += " >" + Quote((logs / "out").string()) + " 2>" + Quote((logs / "err").string());
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(logs / "out"), Slurp(logs / "err")};
}
#endif

// The folder's text ending in the platform's separator: the folder itself.
std::string Slash(const fs::path& folder) {
    return folder.string() + static_cast<char>(fs::path::preferred_separator);
}

fs::path Sample(const char* name) {
    return testsupport::SamplesDir() / name;
}

TEST(Cardconv, ConvertsASampleByteExactly) {
    TempDir dir;
    const fs::path source = dir / "castle.gme";
    fs::copy_file(Sample("castlevania-symphony-of-the-night.1782.gme"), source);
    const Bytes dex = ReadFile(source);

    const Outcome outcome =
        Cardconv({"convert", "--from", "dexdrive", "--to", "mcd", source.string()});
    EXPECT_EQ(outcome.exitCode, 0) << outcome.err;
    EXPECT_EQ(ReadFile(dir / "castle.mcd"), Bytes(dex.begin() + 3904, dex.end()));
    EXPECT_EQ(ReadFile(source), dex);

    const Outcome named = Cardconv({"convert", "--from", "bleem", "--to", "gme",
                                    (dir / "castle.mcd").string(), (dir / "back").string()});
    EXPECT_EQ(named.exitCode, 0) << named.err;
    const Bytes back = ReadFile(dir / "back");
    EXPECT_EQ(Bytes(back.begin() + 3904, back.end()), Bytes(dex.begin() + 3904, dex.end()));
}

TEST(Cardconv, BatchConvertsTheSamplesAndNamesWhatItRejects) {
    TempDir dir;
    for (const auto& entry : fs::directory_iterator(testsupport::SamplesDir())) {
        if (entry.path().extension() == ".gme") {
            fs::copy_file(entry.path(), dir / entry.path().filename().string());
        }
    }
    const Outcome good = Cardconv({"batch", "--from", "gme", "--to", "vgs", (dir / "x").string()});
    EXPECT_EQ(good.exitCode, 0) << good.err;
    EXPECT_NE(good.out.find("\n7 Files Processed\n"), std::string::npos) << good.out;
    const Bytes digimon = ReadFile(dir / "digimon-world.21133.gme");
    const Bytes vgs = ReadFile(dir / "digimon-world.21133.mem");
    ASSERT_EQ(vgs.size(), 131136u);
    EXPECT_EQ(Bytes(vgs.begin() + 64, vgs.end()), Bytes(digimon.begin() + 3904, digimon.end()));

    WriteFile(dir / "junk.gme", Bytes(5000, 0x11));
    const Outcome bad = Cardconv({"batch", "--from", "gme", "--to", "bleem", Slash(dir.path())});
    EXPECT_EQ(bad.exitCode, 1);
    EXPECT_NE(bad.err.find("junk.gme: rejected"), std::string::npos) << bad.err;
    EXPECT_NE(bad.out.find("7 Files Processed"), std::string::npos) << bad.out;
    EXPECT_FALSE(fs::exists(dir / "junk.mcd"));
}

TEST(Cardconv, RejectedSingleFileWritesNothing) {
    TempDir dir;
    WriteFile(dir / "odd.mem", Bytes(131136, 0));
    const Outcome outcome =
        Cardconv({"convert", "--from", "mem", "--to", "mcd", (dir / "odd.mem").string()});
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_NE(outcome.err.find("odd.mem: rejected: not a VGS header"), std::string::npos)
        << outcome.err;
    EXPECT_FALSE(fs::exists(dir / "odd.mcd"));
}

struct UsageCase {
    std::vector<std::string> args;
    int exitCode;
};

TEST(Cardconv, UsageErrorsAndGnuOptions) {
    const std::vector<UsageCase> cases{
        {{}, 2},
        {{"--help"}, 0},
        {{"--version"}, 0},
        {{"frobnicate"}, 2},
        {{"batch", "--from", "mcd", "/tmp/"}, 2},
        {{"batch", "--from", "mcd", "--to", "mcd", "/tmp/"}, 2},
        {{"batch", "--from", "floppy", "--to", "mcd", "/tmp/"}, 2},
        {{"convert", "--from", "mcd", "--to", "gme"}, 2},
        {{"convert", "--from", "mcd", "--to", "gme", "a", "b", "c"}, 2},
        {{"batch", "--from", "mcd", "--to", "gme", "--verbose", "/tmp/"}, 2},
    };
    for (const auto& c : cases) {
        const Outcome outcome = Cardconv(c.args);
        std::string joined;
        for (const auto& arg : c.args) {
            joined += arg + " ";
        }
        EXPECT_EQ(outcome.exitCode, c.exitCode) << joined;
        if (c.exitCode == 2) {
            EXPECT_NE(outcome.err.find("Usage: cardconv"), std::string::npos) << joined;
        } else {
            EXPECT_FALSE(outcome.out.empty()) << joined;
        }
    }
}

#ifndef _WIN32
// A name may hold line ends, tabs and terminal escapes: each report stays on its one line, and no
// escape sequence reaches the terminal.
TEST(Cardconv, ShowsTheControlCharactersOfNamesEscaped) {
    TempDir dir;
    WriteFile(dir.path() / fs::path(std::string("new\nline\x1b[2J.mcd")), Bytes(10, 1));
    WriteFile(dir.path() / fs::path(std::string("tab\there.mcd")), testsupport::MakeCardImage());
    const std::string folder = dir.path().string() + "/";
    const Outcome outcome = Cardconv({"batch", "--from", "mcd", "--to", "gme", folder});
    EXPECT_EQ(outcome.exitCode, 1);
    EXPECT_EQ(outcome.err,
              "cardconv: " + folder +
                  "new\\nline\\x1B[2J.mcd: rejected: size is 10 bytes, expected 131072\n");
    EXPECT_EQ(outcome.out,
              folder + "tab\\there.mcd -> " + folder + "tab\\there.gme\n1 Files Processed\n");
}
#endif

#ifdef _WIN32
std::string Utf8(const fs::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

// Folders and names in other scripts reach cardconv whole only through the UTF-16 command line.
TEST(Cardconv, ConvertsAFolderGivenAsAWindowsPath) {
    TempDir dir;
    const fs::path cards = dir.path() / fs::path(u8"\u041a\u0430\u0440\u0442\u044b");
    fs::create_directory(cards);
    const fs::path card = cards / fs::path(u8"\u30bb\u30fc\u30d6.gme");
    fs::copy_file(Sample("castlevania-symphony-of-the-night.1782.gme"), card);
    const Bytes dex = ReadFile(card);
    const Bytes image(dex.begin() + 3904, dex.end());

    struct Case {
        std::string text;
        bool converts;  // the card's folder, rather than its parent
    };
    const std::vector<Case> cases{
        {Utf8(card), true},
        {Utf8(cards) + "\\", true},
        {Utf8(cards), false},        // no final backslash: the parent
        {Utf8(cards) + "/", false},  // a forward slash separates nothing
    };
    for (const auto& c : cases) {
        fs::remove(cards / fs::path(u8"\u30bb\u30fc\u30d6.mcd"));
        const Outcome outcome = Cardconv({"batch", "--from", "gme", "--to", "mcd", c.text});
        EXPECT_EQ(outcome.exitCode, 0) << c.text << outcome.err;
        EXPECT_NE(outcome.out.find(c.converts ? "1 Files Processed" : "0 Files Processed"),
                  std::string::npos)
            << c.text << outcome.out;
        if (c.converts) {
            EXPECT_EQ(ReadFile(cards / fs::path(u8"\u30bb\u30fc\u30d6.mcd")), image) << c.text;
            EXPECT_NE(outcome.out.find(Utf8(cards / fs::path(u8"\u30bb\u30fc\u30d6.mcd"))),
                      std::string::npos)
                << outcome.out;
        } else {
            EXPECT_FALSE(fs::exists(cards / fs::path(u8"\u30bb\u30fc\u30d6.mcd"))) << c.text;
        }
    }

    const fs::path output = cards / fs::path(u8"\u03a9 card.mem");
    const Outcome single =
        Cardconv({"convert", "--from", "gme", "--to", "vgs", Utf8(card), Utf8(output)});
    EXPECT_EQ(single.exitCode, 0) << single.err;
    const Bytes vgs = ReadFile(output);
    ASSERT_EQ(vgs.size(), 131136u);
    EXPECT_EQ(Bytes(vgs.begin() + 64, vgs.end()), image);
}
#endif

}  // namespace
