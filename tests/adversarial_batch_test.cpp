// The batch converters against folders that hold whatever a folder can hold. After every run each
// source is byte for byte as it was, each output is the whole card or is as it was before (or
// absent), nothing else in the tree has changed, and cardconv reports every file rightly.

#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <functional>
#include <iostream>
#include <map>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "cardformat/card_format.h"
#include "converter/batch.h"
#include "converter/file_access.h"
#include "converter/output_name.h"
#include "folder_state.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testsupport::Bytes;
using testsupport::Concat;
using testsupport::Expectation;
using testsupport::Fate;
using testsupport::Lines;
using testsupport::ProcessResult;
using testsupport::RunProcess;
using testsupport::WriteFile;

const Bytes kDex = testsupport::DexHeaderBytes();

// Makes a card image differ from card `n` for every other `n`, so that an output made of another
// card's bytes shows.
void Number(Bytes& image, int n, std::size_t at = 0) {
    image[at + 200] = static_cast<std::uint8_t>(n);
    image[at + 201] = static_cast<std::uint8_t>(n >> 8);
}

Bytes Card(int n, std::size_t size = cardformat::kCardImageSize) {
    Bytes image = testsupport::MakeCardImage(size);
    Number(image, n);
    return image;
}

// A test folder `cards` (the one converted) beside `elsewhere` (where links point), and what
// each path may look like after the run. The rows convert bleem! into DexDrive, as dunsore does:
// a source of exactly one card image is accepted, any other size rejected.
class Scene {
  public:
    explicit Scene(const std::string& folderName = "cards")
        : cards(m_root.path() / fs::path(folderName)), elsewhere(m_root.path() / "elsewhere") {
        fs::create_directory(cards);
        fs::create_directory(elsewhere);
    }

    // A source, and the output that the run must write for it (or not, when it is no card).
    void Source(const std::string& name, const Bytes& bytes) {
        WriteFile(cards / fs::path(name), bytes);
        const fs::path output = cards / converter::OutputPathFor(fs::path(name), ".mcd", "gme");
        if (bytes.size() == cardformat::kCardImageSize) {
            // One buffer for all: thousands of fresh ones cost dearly under the sanitizers.
            m_converted.assign(kDex.begin(), kDex.end());
            m_converted.insert(m_converted.end(), bytes.begin(), bytes.end());
            Expect(output, testsupport::ExactBytes(m_converted));
        } else {
            Expect(output, {Fate::Absent});
        }
    }

    void Expect(const fs::path& path, Expectation expectation) {
        expected[path.lexically_relative(m_root.path()).string()] = expectation;
    }

    testsupport::TreeState Snapshot() const { return testsupport::Snapshot(m_root.path()); }

    // Every difference from `before` that the expectations do not allow.
    void CheckAgainst(const testsupport::TreeState& before) const {
        for (const std::string& problem :
             testsupport::UnexpectedChanges(before, Snapshot(), expected)) {
            ADD_FAILURE() << problem;
        }
    }

    std::vector<std::string> BatchArgs(const char* from = "mcd", const char* to = "gme") const {
        return {CARDCONV_PATH, "batch", "--from", from, "--to", to, cards.string() + "/"};
    }

  private:
    testsupport::TempDir m_root;
    Bytes m_converted;

  public:
    const fs::path cards;
    const fs::path elsewhere;
    std::map<std::string, Expectation> expected;
};

// The closing lines of `cardconv batch`, as FinalMessage words them.
std::string Summary(int written, int notWritten) {
    std::string text = std::to_string(written) + " Files Processed\n";
    if (notWritten > 0) {
        text += std::to_string(notWritten) + " Files Could Not Be Written\n";
    }
    return text;
}

bool EndsWith(const std::string& text, const std::string& ending) {
    return text.size() >= ending.size() &&
           text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

// What cardconv must say: its exit code, how many outputs it wrote and could not write, and the
// one line on standard error for each file that was not converted.
struct Report {
    int exitCode;
    int written;
    int notWritten;
    std::vector<std::string> complaints;  // each found in exactly one line of standard error
};

void CheckReport(const ProcessResult& run, const Report& report) {
    ASSERT_FALSE(run.timedOut) << "cardconv hung and was killed";
    ASSERT_TRUE(run.exited) << "cardconv ended by signal " << run.signal << "\n" << run.err;
    EXPECT_EQ(run.exitCode, report.exitCode) << run.err;
    EXPECT_TRUE(EndsWith(run.out, Summary(report.written, report.notWritten))) << run.out;
    // One line per written file, then the summary.
    EXPECT_EQ(Lines(run.out).size(),
              static_cast<std::size_t>(report.written + (report.notWritten > 0 ? 2 : 1)))
        << run.out;
    // Whatever the names hold, nothing but line ends reaches the terminal as a control character.
    const auto control = [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return (byte < 0x20 && c != '\n') || byte == 0x7F;
    };
    EXPECT_EQ(std::count_if(run.out.begin(), run.out.end(), control), 0) << run.out;
    EXPECT_EQ(std::count_if(run.err.begin(), run.err.end(), control), 0) << run.err;
    const std::vector<std::string> errLines = Lines(run.err);
    EXPECT_EQ(errLines.size(), report.complaints.size()) << run.err;
    for (const std::string& complaint : report.complaints) {
        const auto count = std::count_if(errLines.begin(), errLines.end(), [&](const auto& line) {
            return line.find(complaint) != std::string::npos;
        });
        EXPECT_EQ(count, 1) << "'" << complaint << "' in:\n" << run.err;
    }
}

struct Row {
    const char* name;
    std::function<void(Scene&)> setup;
    Report report;
    std::string folderName = "cards";
    long maxResidentMiB = 0;  // when set, cardconv's peak memory must stay below it
};

void PrintTo(const Row& row, std::ostream* os) {
    *os << row.name;
}

class AdversarialBatch : public testing::TestWithParam<Row> {};

TEST_P(AdversarialBatch, SourcesStayOutputsAreWholeOrUntouchedAndTheReportIsRight) {
    const Row& row = GetParam();
    Scene scene(row.folderName);
    row.setup(scene);
    if (IsSkipped() || HasFatalFailure()) {
        return;
    }
    const auto before = scene.Snapshot();
    const ProcessResult run = RunProcess(scene.BatchArgs(), 60s);
    CheckReport(run, row.report);
    scene.CheckAgainst(before);
    if (row.maxResidentMiB > 0) {
        // Far below a huge source's size: one card's worth on top of the program itself and the
        // sanitizers' bookkeeping.
        EXPECT_LT(run.maxResidentKiB, run.spawnerPeakKiB + row.maxResidentMiB * 1024)
            << "cardconv's peak memory, KiB";
    }
}

const std::vector<Row> kRows{
    {"ReadOnlyOutput",
     [](Scene& s) {
         s.Source("a.mcd", Card(1));
         s.Source("b.mcd", Card(2));
         WriteFile(s.cards / "a.gme", Bytes(50, 0xEE));
         fs::permissions(s.cards / "a.gme",
                         fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
         s.Expect(s.cards / "a.gme", {Fate::Unchanged});
     },
     {1, 1, 1, {"a.gme: not written: the existing file is read-only"}}},

    {"FolderWithTheOutputsName",
     [](Scene& s) {
         s.Source("a.mcd", Card(1));
         s.Source("b.mcd", Card(2));
         fs::create_directory(s.cards / "a.gme");
         WriteFile(s.cards / "a.gme" / "inside.gme", Card(3));
         s.Expect(s.cards / "a.gme", {Fate::Unchanged});
     },
     {1, 1, 1, {"a.gme: not written: Is a directory"}}},

    // The link is replaced by a plain file; what it pointed to is never written. The hard link
    // shows that no output is ever written in place.
    {"OutputIsALink",
     [](Scene& s) {
         s.Source("a.mcd", Card(1));
         WriteFile(s.elsewhere / "precious.gme", Concat(kDex, Card(9)));
         fs::create_symlink("../elsewhere/precious.gme", s.cards / "a.gme");
         s.Source("b.mcd", Card(2));
         fs::create_symlink("b.mcd", s.cards / "b.gme");  // to its own source
         s.Source("c.mcd", Card(3));
         fs::create_hard_link(s.cards / "c.mcd", s.cards / "c.gme");
         s.Source("d.mcd", Card(4));
         fs::create_symlink("nowhere.gme", s.cards / "d.gme");
     },
     {0, 4, 0, {}}},

    // Only what is a plain file, directly or through a link, is a source.
    {"LinksAsSources",
     [](Scene& s) {
         fs::create_symlink("../elsewhere/missing.mcd", s.cards / "ghost.mcd");
         fs::create_directory(s.elsewhere / "folder");
         fs::create_symlink("../elsewhere/folder", s.cards / "folder.mcd");
         WriteFile(s.elsewhere / "card.mcd", Card(5));
         fs::create_symlink("../elsewhere/card.mcd", s.cards / "linked.mcd");
         s.Expect(s.cards / "linked.gme", testsupport::ExactBytes(Concat(kDex, Card(5))));
         s.Source("good.mcd", Card(6));
     },
     {0, 2, 0, {}}},

    {"EmptySourceAmongGoodOnes",
     [](Scene& s) {
         s.Source("a.mcd", Card(1));
         s.Source("empty.mcd", {});
         s.Source("z.mcd", Card(2));
     },
     {1, 2, 0, {"empty.mcd: not read: the file is empty"}}},

    // Opening either for reading would block or never end.
    {"FifoAndDeviceNamedLikeCards",
     [](Scene& s) {
         ASSERT_EQ(::mkfifo((s.cards / "pipe.mcd").c_str(), 0600), 0) << std::strerror(errno);
         fs::create_symlink("/dev/zero", s.cards / "zero.mcd");
         s.Source("good.mcd", Card(1));
     },
     {0, 1, 0, {}}},

    {"HugeSparseFile",
     [](Scene& s) {
         s.Source("good.mcd", Card(1));
         const fs::path huge = s.cards / "huge.mcd";
         WriteFile(huge, {});
         std::error_code error;
         fs::resize_file(huge, 100ull * 1000 * 1000 * 1000, error);
         if (error) {
             GTEST_SKIP() << "this file system cannot hold a 100 GB sparse file: "
                          << error.message();
         }
         s.Expect(s.cards / "huge.gme", {Fate::Absent});
     },
     {1, 1, 0, {"huge.mcd: not read: larger than any card file"}},
     "cards",
     512},

    // Names reach the file system as the bytes they are, and every report stays on its line.
    {"NamesOfEveryKind",
     [](Scene& s) {
         const std::vector<std::string> names{
             "\xff\xfe not text.mcd",
             "two  spaces.mcd",
             "quote ' and \".mcd",
             "new\nline.mcd",
             "карта памяти.mcd",
             "メモリーカード.MCD",
             "-starts-with-dash.mcd",
             "tab\there.mcd",
             "back\\slash.mcd",
             "$HOME `id` $(id).mcd",
             "*.mcd",
             " leading space.mcd",
             "carriage\rreturn.mcd",
             "\x1b[31mred\x1b[0m.mcd",
         };
         int n = 0;
         for (const std::string& name : names) {
             s.Source(name, Card(++n));
         }
         s.Source("cut\nshort.mcd", Bytes(1000, 0x11));
     },
     {1, 14, 0, {"cut\\nshort.mcd: rejected: size is 1000 bytes, expected 131072"}},
     "cards 'ü' \"and\" $HOME"},
};

INSTANTIATE_TEST_SUITE_P(Rows, AdversarialBatch, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<Row>& info) { return info.param.name; });

// Deletes one source that the listing has already named but the driver not yet read.
class DeletingObserver final : public converter::BatchObserver {
  public:
    explicit DeletingObserver(std::vector<fs::path> sources) : m_pending(std::move(sources)) {}
    void written(const fs::path& source, const fs::path&, int) override { Handled(source); }
    void notRead(const fs::path& source, converter::ReadError why, std::error_code) override {
        Handled(source);
        unread.emplace_back(source, why);
    }
    void fileDone() override {
        if (deleted.empty() && !m_pending.empty()) {
            deleted = m_pending.front();
            fs::remove(deleted);
        }
    }
    fs::path deleted;
    std::vector<std::pair<fs::path, converter::ReadError>> unread;

  private:
    void Handled(const fs::path& source) { std::erase(m_pending, source); }
    std::vector<fs::path> m_pending;
};

TEST(AdversarialBatchRun, SourceDeletedBetweenListingAndReading) {
    Scene scene;
    std::vector<fs::path> sources;
    for (int n = 1; n <= 3; ++n) {
        const std::string name = "card" + std::to_string(n) + ".mcd";
        scene.Source(name, Card(n));
        sources.push_back(scene.cards / name);
    }
    const auto before = scene.Snapshot();
    DeletingObserver observer(sources);
    const converter::BatchTally tally = converter::ConvertListedFiles(
        scene.cards,
        converter::ConversionBetween(cardformat::CardFormat::Bleem,
                                     cardformat::CardFormat::DexDrive),
        observer);

    ASSERT_FALSE(observer.deleted.empty());
    scene.Expect(observer.deleted, {Fate::Absent});
    scene.Expect(converter::OutputPathFor(observer.deleted, ".mcd", "gme"), {Fate::Absent});
    scene.CheckAgainst(before);
    EXPECT_EQ(tally.written, 2);
    // The listing was read ahead, so the vanished name still comes up, and is reported unread.
    ASSERT_EQ(observer.unread.size(), 1u);
    EXPECT_EQ(observer.unread[0].first, observer.deleted);
    EXPECT_EQ(observer.unread[0].second, converter::ReadError::Unreadable);
    EXPECT_EQ(tally.notRead, 1);
}

// Unmounts what the test mounted, whatever the test's outcome.
class Mount {
  public:
    explicit Mount(const fs::path& at, const char* options) : m_at(at) {
        if (::mount("tmpfs", at.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options) != 0) {
            error = std::strerror(errno);
        }
    }
    ~Mount() {
        if (error.empty()) {
            ::umount2(m_at.c_str(), MNT_DETACH);
        }
    }
    std::string error;

  private:
    fs::path m_at;
};

std::uintmax_t FreeBytes(const fs::path& at) {
    struct statvfs info {};
    if (::statvfs(at.c_str(), &info) != 0) {
        throw std::runtime_error("statvfs");
    }
    return static_cast<std::uintmax_t>(info.f_bavail) * info.f_frsize;
}

// Every output is flushed to the disk before it replaces a card, which costs milliseconds per file
// on a disk. The rows with thousands of files run on a RAM file system where the machine allows
// one to be mounted, and on the disk, only slower, where it does not.
class FastFolder {
  public:
    explicit FastFolder(const fs::path& at) : m_mount(at, "size=1g,mode=0755") {
        if (!m_mount.error.empty()) {
            std::cout << "running on the disk: cannot mount a tmpfs here (" << m_mount.error
                      << ")\n";
        }
    }

  private:
    Mount m_mount;
};

TEST(AdversarialBatchRun, TenThousandCardsInOneFolder) {
    // DexDrive files cut short after 8 KiB of their image, as real ones can be, into bleem!.
    Scene scene;
    const FastFolder fast(scene.cards);
    constexpr int kCards = 10000;
    Bytes dex = Concat(kDex, Card(0, 8192));
    Bytes image = Card(0, 8192);
    for (int n = 0; n < kCards; ++n) {
        Number(dex, n, kDex.size());
        Number(image, n);
        const std::string name = "card" + std::to_string(n);
        WriteFile(scene.cards / (name + ".gme"), dex);
        scene.Expect(scene.cards / (name + ".mcd"), testsupport::ExactBytes(image));
    }
    const auto before = scene.Snapshot();
    const ProcessResult run = RunProcess(scene.BatchArgs("gme", "mcd"), 600s);
    CheckReport(run, {0, kCards, 0, {}});
    scene.CheckAgainst(before);
}

TEST(AdversarialBatchRun, FullDisk) {
    Scene scene;
    const Mount disk(scene.cards, "size=1m,mode=0755");
    if (!disk.error.empty()) {
        GTEST_SKIP() << "the full-disk row did not run: this machine refuses to mount a 1 MiB "
                        "tmpfs ("
                     << disk.error << ")";
    }
    for (int n = 0; n < 4; ++n) {
        scene.Source(std::string(1, static_cast<char>('a' + n)) + ".mcd", Card(n));
    }
    const Bytes oldOutput(100, 0xEE);
    WriteFile(scene.cards / "a.gme", oldOutput);

    // First with room for no output at all: every one fails, and the old one stays.
    const fs::path filler = scene.cards / "filler.bin";
    WriteFile(filler, Bytes(FreeBytes(scene.cards) - 20 * 4096, 0x33));
    scene.Expect(scene.cards / "a.gme", {Fate::Unchanged});
    for (const char* output : {"b.gme", "c.gme", "d.gme"}) {
        scene.Expect(scene.cards / output, {Fate::Absent});
    }
    auto before = scene.Snapshot();
    ProcessResult run = RunProcess(scene.BatchArgs(), 60s);
    CheckReport(run, {1,
                      0,
                      4,
                      {"a.gme: not written: No space left on device",
                       "b.gme: not written: No space left on device",
                       "c.gme: not written: No space left on device",
                       "d.gme: not written: No space left on device"}});
    scene.CheckAgainst(before);

    // Then with room for some: which ones is up to the listing order, but each output is whole
    // or as it was, and the counts say which.
    fs::remove(filler);
    for (int n = 0; n < 4; ++n) {
        const std::string output = std::string(1, static_cast<char>('a' + n)) + ".gme";
        scene.Expect(scene.cards / output, testsupport::ExactOrUnchanged(Concat(kDex, Card(n))));
    }
    before = scene.Snapshot();
    run = RunProcess(scene.BatchArgs(), 60s);
    ASSERT_TRUE(run.exited) << run.err;
    EXPECT_EQ(run.exitCode, 1);
    scene.CheckAgainst(before);
    int whole = 0;
    for (int n = 0; n < 4; ++n) {
        const fs::path output = scene.cards / (std::string(1, static_cast<char>('a' + n)) + ".gme");
        std::error_code error;
        whole += fs::file_size(output, error) == 134976 ? 1 : 0;
    }
    EXPECT_GT(whole, 0);
    EXPECT_LT(whole, 4);
    EXPECT_TRUE(EndsWith(run.out, Summary(whole, 4 - whole))) << run.out;
    EXPECT_EQ(Lines(run.err).size(), static_cast<std::size_t>(4 - whole)) << run.err;
}

bool IsTemporaryLeftover(const std::string& name) {
    static const std::regex pattern(R"(\..*\.gme\.[0-9]{1,8}\.part)");
    return std::regex_match(name, pattern);
}

TEST(AdversarialBatchRun, KilledMidRunThenRunAgain) {
    Scene scene;
    const FastFolder fast(scene.cards);
    constexpr int kCards = 2000;
    Bytes card = Card(0);
    for (int n = 0; n < kCards; ++n) {
        Number(card, n);
        scene.Source("card" + std::to_string(n) + ".mcd", card);
    }
    const auto before = scene.Snapshot();
    // After the first run every output is whole or still absent.
    auto afterKill = scene.expected;
    for (auto& [path, expectation] : afterKill) {
        expectation.fate = Fate::ExactOrUnchanged;
    }

    const auto outputsSoFar = [&] {
        int count = 0;
        for (const auto& entry : fs::directory_iterator(scene.cards)) {
            count += entry.path().extension() == ".gme" ? 1 : 0;
        }
        return count;
    };
    // Once a quarter is done, the run is stopped until it is caught holding a temporary file,
    // and killed then: the hardest moment, since a kill between two files leaves nothing behind.
    // It is stopped before its outputs are counted, so that a fast run cannot finish while the
    // folder is being looked at.
    int attempts = 0;
    const auto caughtMidWrite = [&](int pid) {
        if (!testsupport::StopProcess(pid)) {
            return false;
        }
        if (outputsSoFar() < kCards / 4) {
            ::kill(pid, SIGCONT);
            return false;
        }
        for (const auto& entry : fs::directory_iterator(scene.cards)) {
            if (IsTemporaryLeftover(entry.path().filename().string())) {
                return true;
            }
        }
        ::kill(pid, SIGCONT);
        return ++attempts >= 1000;  // not caught: a kill between two files is a case too
    };
    const ProcessResult killed = RunProcess(scene.BatchArgs(), 300s, caughtMidWrite);
    ASSERT_FALSE(killed.exited) << "the run ended before it could be killed";
    ASSERT_EQ(killed.signal, SIGKILL);

    std::vector<std::string> leftovers;
    for (const auto& entry : fs::directory_iterator(scene.cards)) {
        const std::string name = entry.path().filename().string();
        if (IsTemporaryLeftover(name)) {
            leftovers.push_back(name);
        }
    }
    for (const std::string& problem :
         testsupport::UnexpectedChanges(before, scene.Snapshot(), afterKill)) {
        // A leftover temporary file "appeared"; anything else is damage.
        if (problem.find(".part' appeared") == std::string::npos) {
            ADD_FAILURE() << "after the kill: " << problem;
        }
    }
    std::cout << "killed after " << outputsSoFar() << " of " << kCards << " outputs; "
              << leftovers.size() << " temporary file(s) left behind\n";

    // A leftover is taken for abandoned once nothing has written to it for a while.
    if (!leftovers.empty()) {
        std::this_thread::sleep_for(converter::kAbandonedAfter + 500ms);
    }
    const ProcessResult again = RunProcess(scene.BatchArgs(), 300s);
    CheckReport(again, {0, kCards, 0, {}});
    scene.CheckAgainst(before);  // every output whole, and no temporary file anywhere
}

}  // namespace
