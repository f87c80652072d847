#include "selector/tool_selector.h"

#include <filesystem>

#include "converter/file_access.h"
#include "converter/output_name.h"

namespace selector {

namespace {

constexpr char kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);

}  // namespace

std::string ProgramPath(std::string folder, std::string_view fileName) {
    if (folder.empty() || folder.back() != kSeparator) {
        folder += kSeparator;
    }
    folder += fileName;
    return folder;
}

std::string NotFoundMessage(const std::string& path) {
    return "File '" + path + "' was not found.";
}

std::string RootFolder() {
#ifdef _WIN32
    return "C:\\";
#else
    return "/";
#endif
}

void ToolSelector::chkButton_Click(std::int16_t Index) {
    if (Index < 0 || Index >= kToggleCount) {
        return;
    }
    const bool down = m_view.toggleDown(Index);
    if (down && m_sourceChosen) {
        const std::string_view program = kLaunchTable[m_sourceIndex][Index];
        if (!program.empty()) {
            LaunchTool(std::string(program) + std::string(kProgramSuffix));
        }
        return;
    }
    if (down) {
        m_sourceIndex = Index;
        m_view.setStatusText(kAwaitingTarget);
        m_sourceChosen = true;
    } else {
        m_view.setStatusText(kAwaitingSource);
        m_sourceChosen = false;
    }
}

void ToolSelector::LaunchTool(std::string_view FileName) {
    const std::string path = ProgramPath(m_view.programFolder(), FileName);
    if (converter::FileExists(converter::PathFromUtf8(path))) {
        m_view.startProgram(path, RootFolder());
    } else {
        m_view.showMessage(NotFoundMessage(path), std::string(kCaption));
    }
    // Releasing each toggle runs its click notification, which puts the label back to SOURCE.
    for (int index = 0; index < kToggleCount; ++index) {
        m_view.setToggle(index, false);
    }
    m_sourceChosen = false;
}

}  // namespace selector
