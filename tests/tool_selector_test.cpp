#include "selector/tool_selector.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "test_support.h"

namespace {

using selector::ToolSelector;
using testsupport::TempDir;

// Toggles that raise their click notification when their value changes, as the window's do.
class FakeSelectorView final : public selector::SelectorView {
  public:
    explicit FakeSelectorView(std::string folder) : m_folder(std::move(folder)) {}

    ToolSelector* selector = nullptr;
    std::array<bool, 3> toggles{};
    std::string status = "SOURCE";
    std::vector<std::string> started;   // "path|working folder"
    std::vector<std::string> messages;  // "title|text|status|toggles"

    // A press by the user: the toggle flips, then its notification runs.
    void press(int index) { setToggle(index, !toggles[index]); }

    bool toggleDown(int index) const override { return toggles.at(index); }
    void setToggle(int index, bool down) override {
        if (toggles.at(index) != down) {
            toggles[index] = down;
            selector->chkButton_Click(static_cast<std::int16_t>(index));
        }
    }
    void setStatusText(std::string_view text) override { status = text; }
    void showMessage(const std::string& text, const std::string& title) override {
        messages.push_back(title + "|" + text + "|" + status + "|" + Toggles());
    }
    std::string programFolder() const override { return m_folder; }
    void startProgram(const std::string& path, const std::string& workingFolder) override {
        started.push_back(path + "|" + workingFolder);
    }

    std::string Toggles() const {
        std::string text;
        for (bool down : toggles) {
            text += down ? '1' : '0';
        }
        return text;
    }

  private:
    std::string m_folder;
};

struct Harness {
    explicit Harness(std::string folder) : view(std::move(folder)), selector(view) {
        view.selector = &selector;
    }
    FakeSelectorView view;
    ToolSelector selector;
};

void MakeProgram(const TempDir& dir, const std::string& name) {
    testsupport::WriteFile(dir / (name + std::string(selector::kProgramSuffix)), {0x7F, 'E'});
}

TEST(ToolSelector, EachPairStartsItsConverterThenWaitsForANewSource) {
    TempDir dir;
    const char* names[] = {"morcade", "dunsore", "tesswick", "pelmark", "vintrel", "hobrast"};
    for (const char* name : names) {
        MakeProgram(dir, name);
    }
    struct Pair {
        int source, target;
        const char* program;
    };
    const Pair pairs[] = {{0, 1, "morcade"}, {0, 2, "dunsore"}, {1, 0, "tesswick"},
                          {1, 2, "pelmark"}, {2, 0, "vintrel"}, {2, 1, "hobrast"}};
    Harness h(dir.path().string());
    for (const Pair& pair : pairs) {
        h.view.press(pair.source);
        EXPECT_EQ(h.view.status, "TARGET");
        h.view.press(pair.target);
        ASSERT_FALSE(h.view.started.empty());
        EXPECT_EQ(h.view.started.back(), (dir.path() / pair.program).string() +
                                             std::string(selector::kProgramSuffix) + "|" +
                                             selector::RootFolder());
        EXPECT_EQ(h.view.Toggles(), "000");
        EXPECT_EQ(h.view.status, "SOURCE");
        EXPECT_FALSE(h.selector.sourceChosen());
    }
    EXPECT_EQ(h.view.started.size(), 6u);
    EXPECT_TRUE(h.view.messages.empty());
}

TEST(ToolSelector, PressingTheSourceAgainReleasesIt) {
    Harness h("/nowhere");
    h.view.press(2);
    EXPECT_EQ(h.view.status, "TARGET");
    h.view.press(2);
    EXPECT_EQ(h.view.status, "SOURCE");
    EXPECT_EQ(h.view.Toggles(), "000");
    h.view.press(0);  // a new source, not a target
    EXPECT_EQ(h.view.status, "TARGET");
    EXPECT_TRUE(h.view.started.empty());
    EXPECT_TRUE(h.view.messages.empty());
}

TEST(ToolSelector, MissingOrEmptyProgramGivesTheNotFoundMessage) {
    TempDir dir;
    testsupport::WriteFile(dir / ("dunsore" + std::string(selector::kProgramSuffix)), {});
    for (const std::string& folder : {dir.path().string(), dir.path().string() + "/"}) {
        Harness h(folder);
        h.view.press(0);
        h.view.press(2);  // dunsore: 0 bytes
        h.view.press(0);
        h.view.press(1);  // morcade: missing
        const std::string prefix = "Quillane|File '" + dir.path().string() + "/";
        const std::string suffix = std::string(selector::kProgramSuffix) + "' was not found.";
        ASSERT_EQ(h.view.messages.size(), 2u) << folder;
        // While the message is shown both toggles stay down and the label reads TARGET.
        EXPECT_EQ(h.view.messages[0], prefix + "dunsore" + suffix + "|TARGET|101") << folder;
        EXPECT_EQ(h.view.messages[1], prefix + "morcade" + suffix + "|TARGET|110") << folder;
        EXPECT_TRUE(h.view.started.empty());
        EXPECT_EQ(h.view.Toggles(), "000");
        EXPECT_EQ(h.view.status, "SOURCE");
    }
}

#ifndef _WIN32
TEST(ToolSelector, ProgramPathHasOneSeparatorAlsoAtTheRoot) {
    EXPECT_EQ(selector::ProgramPath("/", "morcade"), "/morcade");
    EXPECT_EQ(selector::ProgramPath("/opt/cards", "morcade"), "/opt/cards/morcade");
    EXPECT_EQ(selector::ProgramPath("/opt/cards/", "morcade"), "/opt/cards/morcade");
}
#endif

}  // namespace
