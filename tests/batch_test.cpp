#include "converter/batch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "cardformat/card_format.h"
#include "test_support.h"

#ifdef _WIN32
#include <windows.h>

#include <random>
#endif

namespace {

namespace fs = std::filesystem;
using converter::ConversionOf;
using converter::ConvertFolder;
using converter::FindProfile;
using testsupport::Bytes;
using testsupport::Concat;
using testsupport::MakeCardImage;
using testsupport::ReadFile;
using testsupport::TempDir;
using testsupport::WriteFile;

const Bytes kVgs = testsupport::VgsHeaderBytes();
const Bytes kDex = testsupport::DexHeaderBytes();
const Bytes kImage = MakeCardImage();

// Records what the driver does to its window, in order.
class RecordingView final : public converter::ConverterView {
  public:
    explicit RecordingView(std::string source) : m_source(std::move(source)) {}

    std::string sourceText() const override { return m_source; }
    void btnSource_Click() override { events.push_back("browse"); }
    void setStatusText(const std::string& text) override { events.push_back("status:" + text); }
    void repaintNow() override { events.push_back("repaint"); }
    std::string caption() const override { return "Caption"; }
    std::string description() const override { return "Description"; }
    void showMessage(const std::string& text, const std::string& title) override {
        events.push_back("message:" + title + ":" + text);
        messages.push_back(text);
    }

    std::vector<std::string> events;
    std::vector<std::string> messages;

    std::vector<std::string> statuses() const {
        std::vector<std::string> result;
        for (const auto& event : events) {
            if (event.rfind("status:", 0) == 0) {
                result.push_back(event.substr(7));
            }
        }
        return result;
    }
    int repaints() const {
        return static_cast<int>(std::count(events.begin(), events.end(), "repaint"));
    }

  private:
    std::string m_source;
};

// The folder's text as the window hands it over, ending in the platform's separator.
std::string Slash(const fs::path& folder) {
    return folder.string() + static_cast<char>(fs::path::preferred_separator);
}

void ConvertWith(RecordingView& view, const char* program) {
    ConvertFolder(view, ConversionOf(*FindProfile(program)));
}

TEST(ConvertFolder, EmptyBoxBrowsesAndDoesNothingElse) {
    RecordingView view("");
    ConvertWith(view, "pelmark");
    EXPECT_EQ(view.events, std::vector<std::string>{"browse"});
}

TEST(ConvertFolder, ConvertsEveryMatchingFileOfTheNamedFilesFolder) {
    TempDir dir;
    const Bytes good = Concat(kVgs, kImage);
    WriteFile(dir / "a.mem", good);
    WriteFile(dir / "GAME.MEM", good);
    WriteFile(dir / "short.mem", Bytes(131135, 1));  // rejected: wrong size
    WriteFile(dir / "empty.mem", {});                // skipped, the run goes on
    WriteFile(dir / ".hidden.mem", good);            // hidden: not listed
    WriteFile(dir / "other.mcd", kImage);            // not the source format
    fs::create_directory(dir / "folder.mem");        // not a plain file
#ifdef _WIN32
    // A leading dot hides nothing there: the attribute does.
    ASSERT_TRUE(::SetFileAttributesW((dir / ".hidden.mem").c_str(), FILE_ATTRIBUTE_HIDDEN));
#endif

    RecordingView view((dir / "a.mem").string());
    ConvertWith(view, "pelmark");

    EXPECT_EQ(dir.names(),
              (std::vector<std::string>{".hidden.mem", "GAME.MEM", "GAME.gme", "a.gme", "a.mem",
                                        "empty.mem", "folder.mem", "other.mcd", "short.mem"}));
    const Bytes expected = Concat(kDex, kImage);
    EXPECT_EQ(ReadFile(dir / "a.gme"), expected);
    EXPECT_EQ(ReadFile(dir / "GAME.gme"), expected);
    EXPECT_EQ(ReadFile(dir / "a.mem"), good) << "sources are only read";

    EXPECT_EQ(view.statuses(),
              (std::vector<std::string>{"1 Processed.", "2 Processed.", "Description"}));
    EXPECT_EQ(view.repaints(), 4) << "a repaint after every listed file";
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.events.end()[-2], "message:Caption:2 Files Processed");
    EXPECT_EQ(view.events.back(), "status:Description") << "description returns after the message";
}

TEST(ConvertFolder, FolderComesFromTheTextUpToItsLastSeparator) {
    TempDir dir;
    fs::create_directory(dir / "cards");
    WriteFile(dir / "top.mcd", kImage);
    WriteFile(dir / "cards" / "inner.mcd", kImage);

    struct Case {
        std::string text;
        std::vector<std::string> converted;
    };
    const std::vector<Case> cases{
        {(dir / "cards" / "inner.mcd").string(), {"inner.gme"}},
        {Slash(dir / "cards"), {"inner.gme"}},
        {(dir / "cards").string(), {"top.gme"}},  // no final separator: the parent
        {(dir / "cards" / "nothing-by-this-name").string(), {"inner.gme"}},
    };
    for (const auto& c : cases) {
        fs::remove(dir / "top.gme");
        fs::remove(dir / "cards" / "inner.gme");
        RecordingView view(c.text);
        ConvertWith(view, "dunsore");
        std::vector<std::string> converted;
        for (const char* name : {"top.gme", "cards/inner.gme"}) {
            if (fs::exists(dir / name)) {
                converted.push_back(fs::path(name).filename().string());
            }
        }
        EXPECT_EQ(converted, c.converted) << c.text;
        EXPECT_EQ(view.messages, std::vector<std::string>{"1 Files Processed"}) << c.text;
    }
}

TEST(ConvertFolder, BareNameIsAFolderInTheCurrentFolder) {
    TempDir dir;
    fs::create_directory(dir / "cards");
    WriteFile(dir / "cards" / "x.mcd", kImage);
    const fs::path before = fs::current_path();
    fs::current_path(dir.path());
    RecordingView view("cards");
    ConvertWith(view, "morcade");
    fs::current_path(before);
    EXPECT_EQ(ReadFile(dir / "cards" / "x.mem"), Concat(kVgs, kImage));
}

TEST(ConvertFolder, MissingFolderGivesZeroAndRestoresTheDescription) {
    TempDir dir;
    RecordingView view(Slash(dir / "no-such-folder"));
    ConvertWith(view, "hobrast");
    EXPECT_EQ(view.events, (std::vector<std::string>{"message:Caption:0 Files Processed",
                                                     "status:Description"}));
}

TEST(ConvertFolder, BleemToVgsWritesAndCountsEveryListedFile) {
    TempDir dir;
    WriteFile(dir / "a.mcd", kImage);
    WriteFile(dir / "b.mcd", Bytes(7, 3));
    WriteFile(dir / "c.MCD", MakeCardImage(131073));
    RecordingView view(Slash(dir.path()));
    ConvertWith(view, "morcade");
    EXPECT_EQ(ReadFile(dir / "b.mem"), Concat(kVgs, Bytes(7, 3)));
    EXPECT_EQ(ReadFile(dir / "c.mem").size(), 131137u);
    EXPECT_EQ(view.messages, std::vector<std::string>{"3 Files Processed"});
}

TEST(ConvertFolder, ReplacesOutputsWholeRunAfterRun) {
    TempDir dir;
    const Bytes dex = Concat(kDex, kImage);
    WriteFile(dir / "card.gme", dex);
    WriteFile(dir / "card.mcd", Bytes(200000, 0xEE));  // an older, longer output
    for (int run = 0; run < 2; ++run) {
        RecordingView view(Slash(dir.path()));
        ConvertWith(view, "vintrel");
        EXPECT_EQ(ReadFile(dir / "card.mcd"), kImage) << "run " << run;
        EXPECT_EQ(view.messages, std::vector<std::string>{"1 Files Processed"});
    }
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"card.gme", "card.mcd"}));
}

TEST(ConvertFolder, ReadOnlyOutputIsKeptAndNotCounted) {
    TempDir dir;
    const Bytes dex = Concat(kDex, kImage);
    WriteFile(dir / "a.gme", dex);
    WriteFile(dir / "b.gme", dex);
    const Bytes old(10, 0xEE);
    WriteFile(dir / "a.mem", old);
    fs::permissions(dir / "a.mem", fs::perms::owner_read);
    RecordingView view(Slash(dir.path()));
    ConvertWith(view, "hobrast");
    EXPECT_EQ(ReadFile(dir / "a.mem"), old);
    EXPECT_EQ(ReadFile(dir / "b.mem"), Concat(kVgs, kImage));
    EXPECT_EQ(view.statuses(), (std::vector<std::string>{"1 Processed.", "Description"}));
    EXPECT_EQ(view.messages,
              std::vector<std::string>{"1 Files Processed\n1 Files Could Not Be Written"});
}

// Records which source went to which output, and which outputs were not written.
class RecordingObserver final : public converter::BatchObserver {
  public:
    void written(const fs::path& source, const fs::path& output, int) override {
        writtenFrom[output.filename().string()] = source.filename().string();
    }
    void notWritten(const fs::path&, const fs::path& output,
                    const converter::WriteResult&) override {
        notWrittenOutputs.push_back(output.filename().string());
    }
    std::map<std::string, std::string> writtenFrom;
    std::vector<std::string> notWrittenOutputs;
};

TEST(ConvertListedFiles, TwoCardsNamedAlikeDoNotShareOneOutput) {
    TempDir dir;
    const Bytes first = MakeCardImage();
    Bytes second = MakeCardImage();
    second[1000] ^= 0xFF;
    WriteFile(dir / "a.mem", Concat(kVgs, first));
    WriteFile(dir / "a.MEM", Concat(kVgs, second));
    if (fs::equivalent(dir / "a.mem", dir / "a.MEM")) {
        GTEST_SKIP() << "this file system does not tell case apart";
    }
    RecordingObserver observer;
    const auto tally =
        converter::ConvertListedFiles(dir.path(), ConversionOf(*FindProfile("pelmark")), observer);

    EXPECT_EQ(tally.written, 1);
    EXPECT_EQ(tally.notWritten, 1);
    EXPECT_EQ(observer.notWrittenOutputs, std::vector<std::string>{"a.gme"});
    ASSERT_EQ(observer.writtenFrom.count("a.gme"), 1u);
    const Bytes& converted = observer.writtenFrom["a.gme"] == "a.mem" ? first : second;
    EXPECT_EQ(ReadFile(dir / "a.gme"), Concat(kDex, converted))
        << "the output belongs to the card reported as written";
}

// A run killed between writing an output's temporary file and renaming it leaves that file behind.
// The next run clears it, but only a plain file named exactly like the temporary files of its own
// outputs and untouched for long enough to be no write's that is still going on.
TEST(ConvertListedFiles, ClearsOnlyAbandonedTemporaryFiles) {
    TempDir dir;
    WriteFile(dir / "a.mcd", kImage);
    const auto old = fs::file_time_type::clock::now() - 10 * converter::kAbandonedAfter;
    const auto plant = [&](const std::string& name, bool abandoned) {
        WriteFile(dir / name, Bytes(3000, 0x44));
        if (abandoned) {
            fs::last_write_time(dir / name, old);
        }
    };
    plant(".a.gme.12345678.part", true);
    plant("..gme.7.part", true);     // of the output of ".mcd", which is ".gme"
    plant(".b.gme.42.part", false);  // being written right now by another run
    std::vector<std::string> kept{".b.gme.42.part"};
    for (const char* name :
         {".a.gme.part", ".a.gme.12x4.part", ".a.gme.123456789.part", "a.gme.123.part",
          ".a.mem.123.part", ".a.GME.123.part", ".a.gme.123.part.bak", ".gme.5.part"}) {
        plant(name, true);
        kept.push_back(name);
    }
    fs::create_directory(dir / ".d.gme.5.part");
    kept.push_back(".d.gme.5.part");
#ifndef _WIN32
    WriteFile(dir / "precious", Bytes(10, 0x55));
    fs::create_symlink("precious", dir / ".c.gme.5.part");  // what it points to is not ours
    kept.insert(kept.end(), {".c.gme.5.part", "precious"});
#endif

    converter::BatchObserver quiet;
    const auto tally = converter::ConvertListedFiles(
        dir.path(),
        converter::ConversionBetween(cardformat::CardFormat::Bleem,
                                     cardformat::CardFormat::DexDrive),
        quiet);
    EXPECT_EQ(tally.written, 1);
    kept.insert(kept.end(), {"a.gme", "a.mcd"});
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(dir.names(), kept);
#ifndef _WIN32
    EXPECT_EQ(ReadFile(dir / "precious"), Bytes(10, 0x55));
#endif
}

#ifndef _WIN32
TEST(ConvertFolder, AFullDiskKeepsTheOldOutputAndDoesNotCountIt) {
    TempDir dir;
    WriteFile(dir / "a.mcd", kImage);
    WriteFile(dir / "b.mcd", MakeCardImage(500));
    const Bytes oldA = testsupport::PatternBytes(40000, 5);
    WriteFile(dir / "a.mem", oldA);
    RecordingView view(Slash(dir.path()));
    {
        const testsupport::FileSizeLimit full(30000);
        ConvertWith(view, "morcade");
    }
    EXPECT_EQ(ReadFile(dir / "a.mem"), oldA);
    EXPECT_EQ(ReadFile(dir / "b.mem"), Concat(kVgs, MakeCardImage(500))) << "this one fits";
    EXPECT_EQ(ReadFile(dir / "a.mcd"), kImage);
    EXPECT_EQ(dir.names(), (std::vector<std::string>{"a.mcd", "a.mem", "b.mcd", "b.mem"}));
    EXPECT_EQ(view.messages,
              std::vector<std::string>{"1 Files Processed\n1 Files Could Not Be Written"});
}

TEST(ConvertFolder, NamesThatAreNotValidTextConvertToo) {
    TempDir dir;
    const std::string name = "\xff\xfe card.gme";
    WriteFile(dir.path() / fs::path(name), Concat(kDex, kImage));
    RecordingView view(Slash(dir.path()));
    ConvertWith(view, "vintrel");
    EXPECT_EQ(ReadFile(dir.path() / fs::path(std::string("\xff\xfe card.mcd"))), kImage);
}
#endif

// The window hands over UTF-8; on Windows the names are UTF-16 underneath.
TEST(ConvertFolder, NamesInAnyScriptConvert) {
    TempDir dir;
    const fs::path cards = dir.path() / fs::path(u8"\u041a\u0430\u0440\u0442\u044b");
    fs::create_directory(cards);
    WriteFile(cards / fs::path(u8"\u30bb\u30fc\u30d6.gme"), Concat(kDex, kImage));
    WriteFile(cards / fs::path(u8"\u00dcBER.GME"), Concat(kDex, kImage));
    const std::u8string text = (cards / fs::path(u8"\u30bb\u30fc\u30d6.gme")).u8string();
    RecordingView view(std::string(text.begin(), text.end()));
    ConvertWith(view, "vintrel");
    EXPECT_EQ(ReadFile(cards / fs::path(u8"\u30bb\u30fc\u30d6.mcd")), kImage);
    EXPECT_EQ(ReadFile(cards / fs::path(u8"\u00dcBER.mcd")), kImage);
    EXPECT_EQ(view.messages, std::vector<std::string>{"2 Files Processed"});
}

#ifdef _WIN32
void AddAttributes(const fs::path& path, DWORD attributes) {
    const DWORD now = ::GetFileAttributesW(path.c_str());
    ASSERT_NE(now, INVALID_FILE_ATTRIBUTES) << path;
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), now | attributes)) << path;
}

TEST(ConvertFolder, FilesMarkedHiddenOrSystemAreNotListed) {
    TempDir dir;
    for (const char* name : {"plain.mcd", "hidden.mcd", "system.mcd", "both.mcd", "Case.McD"}) {
        WriteFile(dir / name, kImage);
    }
    AddAttributes(dir / "hidden.mcd", FILE_ATTRIBUTE_HIDDEN);
    AddAttributes(dir / "system.mcd", FILE_ATTRIBUTE_SYSTEM);
    AddAttributes(dir / "both.mcd", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    RecordingView view(Slash(dir.path()));
    ConvertWith(view, "dunsore");
    EXPECT_EQ(dir.names(),
              (std::vector<std::string>{"Case.McD", "Case.gme", "both.mcd", "hidden.mcd",
                                        "plain.gme", "plain.mcd", "system.mcd"}));
    EXPECT_EQ(view.messages, std::vector<std::string>{"2 Files Processed"});
}

TEST(ConvertFolder, ReadOnlyAttributeKeepsTheOutputAndIsNotCounted) {
    TempDir dir;
    WriteFile(dir / "a.mcd", kImage);
    WriteFile(dir / "b.mcd", kImage);
    const Bytes old(10, 0xEE);
    WriteFile(dir / "a.mem", old);
    AddAttributes(dir / "a.mem", FILE_ATTRIBUTE_READONLY);
    RecordingView view(Slash(dir.path()));
    ConvertWith(view, "morcade");
    EXPECT_EQ(ReadFile(dir / "a.mem"), old);
    EXPECT_NE(::GetFileAttributesW((dir / "a.mem").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_EQ(ReadFile(dir / "b.mem"), Concat(kVgs, kImage));
    EXPECT_EQ(view.messages,
              std::vector<std::string>{"1 Files Processed\n1 Files Could Not Be Written"});
}

TEST(ConvertFolder, ACardAnotherProgramHoldsIsSkippedAndTheRunGoesOn) {
    TempDir dir;
    WriteFile(dir / "a.mcd", kImage);
    WriteFile(dir / "b.mcd", kImage);
    // Opened without sharing, as a program that is saving the card would.
    const HANDLE held = ::CreateFileW((dir / "a.mcd").c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    RecordingView view(Slash(dir.path()));
    ConvertWith(view, "dunsore");
    ::CloseHandle(held);
    EXPECT_FALSE(fs::exists(dir / "a.gme"));
    EXPECT_EQ(ReadFile(dir / "b.gme"), Concat(kDex, kImage));
    EXPECT_EQ(view.messages, std::vector<std::string>{"1 Files Processed"});
}

// "C:\cards" names the root of drive C. The card there carries an ending of its own making, so
// that no file of the machine's is listed, and is removed again.
TEST(ConvertFolder, DriveRootIsAFolder) {
    const fs::path root = fs::temp_directory_path().root_path();
    const std::string tag = std::to_string(std::random_device()() % 1000000);
    const std::string ending = ".t" + tag;
    const std::string pattern = "*" + ending;
    const fs::path card = root / ("memcard-test-" + tag + ending);
    const fs::path output = root / ("memcard-test-" + tag + ".gme");
    try {
        WriteFile(card, kImage);
    } catch (const std::exception&) {
        GTEST_SKIP() << "cannot write a file at " << root;
    }
    converter::ConversionValues values = ConversionOf(*FindProfile("dunsore"));
    values.listingPattern = pattern;
    values.sourceEnding = ending;
    const std::string drive = root.root_name().string();  // "C:"
    for (const std::string& text : {drive + "\\no-such-folder", drive + "\\", drive}) {
        std::error_code ignored;
        fs::remove(output, ignored);
        RecordingView view(text);
        ConvertFolder(view, values);
        EXPECT_EQ(view.messages, std::vector<std::string>{"1 Files Processed"}) << text;
        EXPECT_TRUE(fs::exists(output)) << text;
    }
    EXPECT_EQ(ReadFile(output), Concat(kDex, kImage));
    std::error_code ignored;
    fs::remove(card, ignored);
    fs::remove(output, ignored);
}
#endif

}  // namespace
