#include "converter/single_file.h"

#include <cstdint>
#include <vector>

#include "converter/file_access.h"
#include "converter/output_name.h"

namespace converter {

std::string NotWrittenMessage(const std::string& path) {
    return "File '" + path + "' could not be written.";
}

void ConvertOneFile(SingleFileView& view, const ConversionValues& values) {
    const std::string sourceText = view.sourceText();
    const std::filesystem::path source = PathFromUtf8(sourceText);
    if (sourceText.empty() || !FileExists(source)) {
        view.btnSource_Click();
        return;
    }

    // A file that cannot be read is judged as empty content, which the rule turns down.
    std::vector<std::uint8_t> content;
    std::error_code error;
    if (ReadSourceFile(source, content, error) != ReadError::None) {
        content.clear();
    }
    const auto planned = cardformat::PlanConversion(*values.rule, content);
    if (std::holds_alternative<cardformat::Rejection>(planned)) {
        view.showMessage(std::string(kWrongFormatMessage), view.caption());
        return;
    }

    const std::string proposed =
        OutputNameFor(sourceText, values.sourceEnding, values.targetExtension);
    const std::string chosen =
        view.SaveDialog(std::string(kSaveFilter), std::string(kSaveTitle), proposed, proposed);
    if (chosen.empty()) {
        return;
    }
    // The content was read before anything is replaced, so the source itself may be the output.
    const auto& plan = std::get<cardformat::ConversionPlan>(planned);
    const WriteResult result = WriteOutputFile(PathFromUtf8(chosen), plan.header, plan.slice);
    if (result.outcome != WriteOutcome::Written) {
        view.showMessage(NotWrittenMessage(chosen), view.caption());
    }
}

}  // namespace converter
