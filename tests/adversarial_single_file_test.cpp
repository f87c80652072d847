// tesswick's single-file flow against targets and sources that are not what they seem: the source
// stays as it was, the chosen target is the whole card or is left as it was, nothing else in the
// tree changes, and the window says what happened.

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "cardformat/card_format.h"
#include "converter/profiles.h"
#include "converter/single_file.h"
#include "folder_state.h"
#include "test_support.h"

namespace {

namespace fs = std::filesystem;
using testsupport::Bytes;
using testsupport::Expectation;
using testsupport::Fate;
using testsupport::WriteFile;

const Bytes kVgs = testsupport::VgsHeaderBytes();
const Bytes kImage = testsupport::MakeCardImage();

// Answers the Save dialog from the script and keeps what the flow showed.
class ScriptedView final : public converter::SingleFileView {
  public:
    std::string sourceText() const override {
        if (beforeSourceRead) {
            beforeSourceRead();
        }
        return source;
    }
    void btnSource_Click() override { ++browses; }
    void setStatusText(const std::string&) override {}
    void repaintNow() override {}
    std::string caption() const override { return "Caption"; }
    std::string description() const override { return "Description"; }
    void showMessage(const std::string& text, const std::string&) override {
        messages.push_back(text);
    }
    std::string SaveDialog(const std::string&, const std::string&, const std::string&,
                           const std::string&) override {
        ++saveDialogs;
        return saveAnswer;
    }

    std::string source;
    std::string saveAnswer;
    std::function<void()> beforeSourceRead;  // the moment after Convert is pressed
    int browses = 0;
    int saveDialogs = 0;
    std::vector<std::string> messages;
};

// A VGS card in `cards`, saved as `cards/out.mcd` unless a row says otherwise.
struct Scene {
    Scene()
        : cards(root.path() / "cards"),
          elsewhere(root.path() / "elsewhere"),
          source(cards / "card.mem"),
          target(cards / "out.mcd") {
        fs::create_directory(cards);
        fs::create_directory(elsewhere);
        WriteFile(source, testsupport::Concat(kVgs, kImage));
        Expect(target, testsupport::ExactBytes(kImage));
    }
    void Expect(const fs::path& path, Expectation expectation) {
        expected[path.lexically_relative(root.path()).string()] = expectation;
    }

    testsupport::TempDir root;
    fs::path cards;
    fs::path elsewhere;
    fs::path source;
    fs::path target;
    std::map<std::string, Expectation> expected;
};

struct Row {
    const char* name;
    std::function<void(Scene&, ScriptedView&)> setup;
    bool targetNotWritten;  // the flow must say "could not be written"
    int browses = 0;        // 1 when the flow must send the user back to the browse dialog
};

void PrintTo(const Row& row, std::ostream* os) {
    *os << row.name;
}

class AdversarialSingleFile : public testing::TestWithParam<Row> {};

TEST_P(AdversarialSingleFile, SourceStaysTargetIsWholeOrUntouchedAndTheWindowSaysSo) {
    const Row& row = GetParam();
    Scene scene;
    ScriptedView view;
    view.source = scene.source.string();
    view.saveAnswer = scene.target.string();
    row.setup(scene, view);
    const auto before = testsupport::Snapshot(scene.root.path());

    converter::ConvertOneFile(view, converter::ConversionOf(*converter::FindProfile("tesswick")));

    for (const std::string& problem : testsupport::UnexpectedChanges(
             before, testsupport::Snapshot(scene.root.path()), scene.expected)) {
        ADD_FAILURE() << problem;
    }
    EXPECT_EQ(view.browses, row.browses);
    EXPECT_EQ(view.saveDialogs, row.browses == 0 ? 1 : 0);
    const std::vector<std::string> messages =
        row.targetNotWritten
            ? std::vector<std::string>{converter::NotWrittenMessage(scene.target.string())}
            : std::vector<std::string>{};
    EXPECT_EQ(view.messages, messages);
}

const std::vector<Row> kRows{
    {"ReadOnlyTarget",
     [](Scene& s, ScriptedView&) {
         WriteFile(s.target, Bytes(70, 0xEE));
         fs::permissions(s.target, fs::perms::owner_read | fs::perms::group_read);
         s.Expect(s.target, {Fate::Unchanged});
     },
     true},

    {"TargetIsAFolder",
     [](Scene& s, ScriptedView&) {
         fs::create_directory(s.target);
         WriteFile(s.target / "inside.mcd", kImage);
         s.Expect(s.target, {Fate::Unchanged});
     },
     true},

    // The link is replaced by a plain file; what it points to is never written.
    {"TargetIsALink",
     [](Scene& s, ScriptedView&) {
         WriteFile(s.elsewhere / "precious.mcd", testsupport::PatternBytes(131072, 9));
         fs::create_symlink("../elsewhere/precious.mcd", s.target);
     },
     false},

    {"TargetIsALinkToTheSource",
     [](Scene& s, ScriptedView&) { fs::create_symlink("card.mem", s.target); }, false},

    {"TargetIsADanglingLink",
     [](Scene& s, ScriptedView&) { fs::create_symlink("../elsewhere/gone.mcd", s.target); }, false},

    // The file goes away after Convert is pressed and before the flow looks at it.
    {"SourceVanishesBeforeReading",
     [](Scene& s, ScriptedView& view) {
         view.beforeSourceRead = [path = s.source] { fs::remove(path); };
         s.Expect(s.source, {Fate::Absent});
         s.Expect(s.target, {Fate::Absent});
     },
     false, 1},
};

INSTANTIATE_TEST_SUITE_P(Rows, AdversarialSingleFile, testing::ValuesIn(kRows),
                         [](const testing::TestParamInfo<Row>& info) { return info.param.name; });

}  // namespace
