#pragma once

// The selector's choice of source and target format and the start of the matching converter,
// without any window: the window is reached through SelectorView only.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace selector {

inline constexpr std::string_view kCaption = "Quillane";
inline constexpr std::string_view kAwaitingSource = "SOURCE";
inline constexpr std::string_view kAwaitingTarget = "TARGET";
inline constexpr int kToggleCount = 3;  // one per card format, by its value

// The converter program for each source (row) and target (column); none on the diagonal.
inline constexpr std::array<std::array<std::string_view, kToggleCount>, kToggleCount> kLaunchTable{{
    {"", "morcade", "dunsore"},
    {"tesswick", "", "pelmark"},
    {"vintrel", "hobrast", ""},
}};

#ifdef _WIN32
inline constexpr std::string_view kProgramSuffix = ".exe";
#else
inline constexpr std::string_view kProgramSuffix = "";
#endif

class SelectorView {
  public:
    virtual ~SelectorView() = default;
    virtual bool toggleDown(int index) const = 0;
    // Changing a toggle's value raises its click notification, as a click by the user would.
    virtual void setToggle(int index, bool down) = 0;
    virtual void setStatusText(std::string_view text) = 0;
    virtual void showMessage(const std::string& text, const std::string& title) = 0;
    // The folder of the selector's own program file.
    virtual std::string programFolder() const = 0;
    // Starts a program detached, with no arguments, in `workingFolder`; the outcome is not looked
    // at.
    virtual void startProgram(const std::string& path, const std::string& workingFolder) = 0;
};

class ToolSelector {
  public:
    explicit ToolSelector(SelectorView& view) : m_view(view) {}

    // The click notification of toggle `Index`, raised after its value changed.
    void chkButton_Click(std::int16_t Index);

    bool sourceChosen() const { return m_sourceChosen; }

  private:
    void LaunchTool(std::string_view FileName);

    SelectorView& m_view;
    std::int16_t m_sourceIndex = 0;
    bool m_sourceChosen = false;
};

// The path of a program in `folder`: exactly one separator between the two.
std::string ProgramPath(std::string folder, std::string_view fileName);

// "File '" + path + "' was not found."
std::string NotFoundMessage(const std::string& path);

// The folder a started converter works in: the file-system root.
std::string RootFolder();

}  // namespace selector
