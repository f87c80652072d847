#include "converter/file_access.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "cardformat/card_format.h"
#include "converter/native_io.h"
#include "test_support.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

namespace fs = std::filesystem;
using converter::FileExists;
using converter::ReadError;
using converter::ReadSourceFile;
using converter::WriteOutcome;
using converter::WriteOutputFile;
using testsupport::Bytes;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

const Bytes kHead{1, 2, 3};
const Bytes kBody{4, 5, 6, 7};
const Bytes kBoth{1, 2, 3, 4, 5, 6, 7};

TEST(FileExists, TrueOnlyForAFileWithContent) {
    TempDir dir;
    WriteFile(dir / "one", Bytes{0});
    WriteFile(dir / "empty", {});
    fs::create_directory(dir / "folder");
    EXPECT_TRUE(FileExists(dir / "one"));
    EXPECT_FALSE(FileExists(dir / "empty"));
    EXPECT_FALSE(FileExists(dir / "missing"));
    EXPECT_FALSE(FileExists(dir / "folder"));
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(dir / "one" / "below"));
}

TEST(ReadSourceFile, ReadsWholeFilesAndNamesWhatItCannot) {
    TempDir dir;
    const Bytes card = testsupport::MakeCardImage();
    WriteFile(dir / "card", card);
    WriteFile(dir / "empty", {});
    fs::create_directory(dir / "folder");

    const Bytes shorter{1, 2, 3};
    WriteFile(dir / "shorter", shorter);

    // One buffer serves a whole run: each read leaves exactly that file's bytes in it.
    Bytes content{9, 9};
    std::error_code error;
    EXPECT_EQ(ReadSourceFile(dir / "card", content, error), ReadError::None);
    EXPECT_EQ(content, card);
    EXPECT_EQ(ReadSourceFile(dir / "shorter", content, error), ReadError::None);
    EXPECT_EQ(content, shorter);
    EXPECT_EQ(ReadSourceFile(dir / "card", content, error), ReadError::None);
    EXPECT_EQ(content, card);
    EXPECT_EQ(ReadSourceFile(dir / "missing", content, error), ReadError::Unreadable);
    EXPECT_TRUE(content.empty()) << "no bytes of an earlier file may remain";
    EXPECT_EQ(ReadSourceFile(dir / "card", content, error), ReadError::None);
    EXPECT_NE(ReadSourceFile(dir / "folder", content, error), ReadError::None);
    EXPECT_TRUE(content.empty());
    EXPECT_EQ(ReadSourceFile(dir / "empty", content, error), ReadError::Empty);
}

TEST(ReadSourceFile, SkipsAHugeSparseFileWithoutReadingIt) {
    TempDir dir;
    {
        WriteFile(dir / "huge.mcd", Bytes{1});
        fs::resize_file(dir / "huge.mcd", converter::kMaxSourceSize + 1);
    }
    Bytes content;
    std::error_code error;
    EXPECT_EQ(ReadSourceFile(dir / "huge.mcd", content, error), ReadError::TooLarge);
    EXPECT_TRUE(content.empty());
    EXPECT_LT(content.capacity(), 1024u * 1024u);
}

#ifdef __linux__
// Kernel files whose length never matches what they hold stand in for a card that another program
// is saving while it is read: cut short, or grown since its length was taken.
TEST(ReadSourceFile, TakesNoPartOfAFileThatDisagreesWithItsLength) {
    int checked = 0;
    for (const char* path : {"/sys/devices/system/cpu/online", "/proc/version"}) {
        std::error_code error;
        if (!fs::is_regular_file(path, error) ||
            fs::file_size(path, error) == ReadFile(path).size()) {
            continue;
        }
        ++checked;
        Bytes content{9, 9};
        EXPECT_EQ(ReadSourceFile(path, content, error), ReadError::Changed) << path;
        EXPECT_TRUE(content.empty()) << path;
    }
    if (checked == 0) {
        GTEST_SKIP() << "neither /sys nor /proc is mounted";
    }
}
#endif

#ifndef _WIN32
TEST(ReadSourceFile, DoesNotBlockOnAFifo) {
    TempDir dir;
    ASSERT_EQ(::mkfifo((dir / "pipe.mcd").c_str(), 0600), 0);
    Bytes content;
    std::error_code error;
    EXPECT_EQ(ReadSourceFile(dir / "pipe.mcd", content, error), ReadError::NotAFile);
}
#endif

TEST(WriteOutputFile, WritesBothPiecesAndLeavesNoTemporaryFile) {
    TempDir dir;
    const auto result = WriteOutputFile(dir / "out.gme", kHead, kBody);
    EXPECT_EQ(result.outcome, WriteOutcome::Written);
    EXPECT_EQ(ReadFile(dir / "out.gme"), kBoth);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"out.gme"});
}

TEST(WriteOutputFile, ReplacesALongerFileWhole) {
    TempDir dir;
    WriteFile(dir / "out.gme", Bytes(1000, 0xEE));
    EXPECT_EQ(WriteOutputFile(dir / "out.gme", kHead, kBody).outcome, WriteOutcome::Written);
    EXPECT_EQ(ReadFile(dir / "out.gme"), kBoth);
}

TEST(WriteOutputFile, LeavesAReadOnlyFileAsItWas) {
    TempDir dir;
    const Bytes old(50, 0xEE);
    WriteFile(dir / "out.gme", old);
    fs::permissions(dir / "out.gme", fs::perms::owner_read | fs::perms::group_read);
    EXPECT_EQ(WriteOutputFile(dir / "out.gme", kHead, kBody).outcome, WriteOutcome::ReadOnly);
    EXPECT_EQ(ReadFile(dir / "out.gme"), old);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"out.gme"});
}

TEST(WriteOutputFile, FailsOnAFolderOfThatNameAndLeavesNothingBehind) {
    TempDir dir;
    fs::create_directory(dir / "out.gme");
    const auto result = WriteOutputFile(dir / "out.gme", kHead, kBody);
    EXPECT_EQ(result.outcome, WriteOutcome::Failed);
    EXPECT_TRUE(fs::is_directory(dir / "out.gme"));
    EXPECT_EQ(dir.names(), std::vector<std::string>{"out.gme"});
}

TEST(WriteOutputFile, FailsInAFolderThatDoesNotExist) {
    TempDir dir;
    EXPECT_EQ(WriteOutputFile(dir / "nowhere" / "out.gme", kHead, kBody).outcome,
              WriteOutcome::Failed);
}

// The old output is replaced by a rename, never written over in place: another name for the old
// file (a hard link, as a backup tool may keep) still holds the old bytes.
TEST(WriteOutputFile, ReplacesTheOldFileByRenameNotInPlace) {
    TempDir dir;
    const Bytes old(1000, 0xEE);
    WriteFile(dir / "out.gme", old);
    fs::create_hard_link(dir / "out.gme", dir / "backup");
    EXPECT_EQ(WriteOutputFile(dir / "out.gme", kHead, kBody).outcome, WriteOutcome::Written);
    EXPECT_EQ(ReadFile(dir / "out.gme"), kBoth);
    EXPECT_EQ(ReadFile(dir / "backup"), old);
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"backup", "out.gme"}));
}

#ifdef _WIN32
TEST(WriteOutputFile, LeavesAFileWithTheReadOnlyAttributeAsItWas) {
    TempDir dir;
    const Bytes old(50, 0xEE);
    WriteFile(dir / "out.gme", old);
    ASSERT_TRUE(::SetFileAttributesW((dir / "out.gme").c_str(),
                                     FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(WriteOutputFile(dir / "out.gme", kHead, kBody).outcome, WriteOutcome::ReadOnly);
    EXPECT_EQ(ReadFile(dir / "out.gme"), old);
    EXPECT_EQ(::GetFileAttributesW((dir / "out.gme").c_str()),
              DWORD{FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE});
    EXPECT_EQ(dir.names(), std::vector<std::string>{"out.gme"});
}

// A program that has the old output open without letting others delete it keeps it from being
// replaced: the old file stays whole and the temporary file goes.
TEST(WriteOutputFile, KeepsAnOutputThatAnotherProgramHoldsOpen) {
    TempDir dir;
    const Bytes old(50, 0xEE);
    WriteFile(dir / "out.gme", old);
    const HANDLE held = ::CreateFileW((dir / "out.gme").c_str(), GENERIC_READ, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const auto result = WriteOutputFile(dir / "out.gme", kHead, kBody);
    ::CloseHandle(held);
    EXPECT_EQ(result.outcome, WriteOutcome::Failed);
    EXPECT_TRUE(result.error);
    EXPECT_EQ(ReadFile(dir / "out.gme"), old);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"out.gme"});
}

TEST(ReadSourceFile, AFileAnotherProgramHoldsIsUnreadable) {
    TempDir dir;
    WriteFile(dir / "card.mcd", testsupport::MakeCardImage());
    const HANDLE held = ::CreateFileW((dir / "card.mcd").c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    Bytes content{9, 9};
    std::error_code error;
    EXPECT_EQ(ReadSourceFile(dir / "card.mcd", content, error), ReadError::Unreadable);
    ::CloseHandle(held);
    EXPECT_TRUE(error);
    EXPECT_TRUE(content.empty());
}
#endif

// A temporary file's name that is taken already must never cost that file its content.
TEST(CreateAndWrite, NeverOpensAFileThatExists) {
    TempDir dir;
    const Bytes old(50, 0xEE);
    WriteFile(dir / "taken", old);
    EXPECT_EQ(converter::native::CreateAndWrite(dir / "taken", kHead, kBody),
              std::errc::file_exists);
    EXPECT_EQ(ReadFile(dir / "taken"), old);
}

#ifndef _WIN32
TEST(WriteOutputFile, ReplacesASymbolicLinkAndNeverWritesItsTarget) {
    TempDir dir;
    const Bytes precious(20, 0x42);
    WriteFile(dir / "precious", precious);
    fs::create_symlink(dir / "precious", dir / "out.gme");
    EXPECT_EQ(WriteOutputFile(dir / "out.gme", kHead, kBody).outcome, WriteOutcome::Written);
    EXPECT_FALSE(fs::is_symlink(dir / "out.gme"));
    EXPECT_EQ(ReadFile(dir / "out.gme"), kBoth);
    EXPECT_EQ(ReadFile(dir / "precious"), precious);
}

// The disk fills up after `limit` bytes: before the header, inside it, at its end, inside the
// image and one byte short of the end. Only a write with room for every byte replaces the card.
TEST(WriteOutputFile, AWriteThatFailsPartWayKeepsTheOldCard) {
    const Bytes header = testsupport::DexHeaderBytes();
    const Bytes image = testsupport::MakeCardImage();
    const std::uintmax_t whole = header.size() + image.size();
    for (const std::uintmax_t limit :
         {std::uintmax_t{0}, std::uintmax_t{100}, std::uintmax_t{header.size()},
          std::uintmax_t{70000}, whole - 1, whole}) {
        TempDir dir;
        const Bytes old = testsupport::PatternBytes(5000, 3);
        WriteFile(dir / "card.gme", old);
        converter::WriteResult result{};
        {
            const testsupport::FileSizeLimit full(limit);
            result = WriteOutputFile(dir / "card.gme", header, image);
        }
        if (limit == whole) {
            EXPECT_EQ(result.outcome, WriteOutcome::Written);
            EXPECT_EQ(ReadFile(dir / "card.gme"), testsupport::Concat(header, image));
        } else {
            EXPECT_EQ(result.outcome, WriteOutcome::Failed) << "limit " << limit;
            EXPECT_EQ(result.error, std::errc::file_too_large) << "limit " << limit;
            EXPECT_EQ(ReadFile(dir / "card.gme"), old) << "limit " << limit;
        }
        EXPECT_EQ(dir.names(), std::vector<std::string>{"card.gme"}) << "limit " << limit;
    }
}

TEST(WriteOutputFile, KeepsTheOldFileWhenTheFolderRefusesNewFiles) {
    if (::geteuid() == 0) {
        GTEST_SKIP() << "root may create files in a read-only folder";
    }
    TempDir dir;
    const Bytes old(50, 0xEE);
    WriteFile(dir / "out.gme", old);
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(WriteOutputFile(dir / "out.gme", kHead, kBody).outcome, WriteOutcome::Failed);
    fs::permissions(dir.path(), fs::perms::owner_all);
    EXPECT_EQ(ReadFile(dir / "out.gme"), old);
    EXPECT_EQ(dir.names(), std::vector<std::string>{"out.gme"});
}
#endif

}  // namespace
