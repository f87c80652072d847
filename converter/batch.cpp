#include "converter/batch.h"

#include <cstdint>
#include <unordered_set>
#include <vector>

#include "converter/native_io.h"
#include "converter/output_name.h"

namespace converter {

namespace fs = std::filesystem;

namespace {

// "*.mem" matches every name that ends in ".mem", in any case.
bool MatchesPattern(const fs::path& name, std::string_view pattern) {
    const std::string_view ending = pattern.substr(pattern.find_first_not_of('*'));
    using View = std::basic_string_view<fs::path::value_type>;
    return EndsWithIgnoringCase(View(name.native()), ending);
}

bool IsListed(const fs::directory_entry& entry, std::string_view pattern) {
    if (!MatchesPattern(entry.path().filename(), pattern) || native::IsHidden(entry)) {
        return false;
    }
    std::error_code error;
    return entry.is_regular_file(error) && !error;  // follows links: a link to a card is listed
}

}  // namespace

BatchTally ConvertListedFiles(const fs::path& folder, const ConversionValues& values,
                              BatchObserver& observer) {
    BatchTally tally;
    std::error_code error;
    fs::directory_iterator listing(folder, fs::directory_options::skip_permission_denied, error);
    if (error) {
        tally.listed = false;
        return tally;
    }
    // One buffer for the whole run: its capacity is reused, so memory stays flat.
    std::vector<std::uint8_t> content;
    // Where names tell case apart, a.mem and a.MEM both give a.gme: the second card must not
    // replace the first one's output. Kept as plain strings: all are made the same way.
    std::unordered_set<fs::path::string_type> writtenOutputs;
    // What a killed run left behind is cleared, once it is old enough to be no one's.
    const fs::file_time_type started = fs::file_time_type::clock::now();
    for (; listing != fs::directory_iterator(); listing.increment(error)) {
        const fs::directory_entry& entry = *listing;
        if (!IsListed(entry, values.listingPattern)) {
            RemoveAbandonedTemporary(entry, values.targetExtension, started);
            continue;
        }
        const fs::path source = entry.path();
        std::error_code readError;
        const ReadError read = ReadSourceFile(source, content, readError);
        if (read != ReadError::None) {
            ++tally.notRead;
            observer.notRead(source, read, readError);
            observer.fileDone();
            continue;
        }
        const auto planned = cardformat::PlanConversion(*values.rule, content);
        if (const auto* rejection = std::get_if<cardformat::Rejection>(&planned)) {
            ++tally.rejected;
            observer.rejected(source, *rejection);
            observer.fileDone();
            continue;
        }
        const auto& plan = std::get<cardformat::ConversionPlan>(planned);
        const fs::path output =
            folder / OutputPathFor(source.filename(), values.sourceEnding, values.targetExtension);
        const WriteResult result =
            writtenOutputs.contains(output.native())
                ? WriteResult{WriteOutcome::Failed, std::make_error_code(std::errc::file_exists)}
                : WriteOutputFile(output, plan.header, plan.slice);
        if (result.outcome == WriteOutcome::Written) {
            writtenOutputs.insert(output.native());
            ++tally.written;
            observer.written(source, output, tally.written);
        } else {
            ++tally.notWritten;
            observer.notWritten(source, output, result);
        }
        observer.fileDone();
    }
    return tally;
}

std::string FinalMessage(const BatchTally& tally) {
    std::string text = std::to_string(tally.written) + " Files Processed";
    if (tally.notWritten > 0) {
        // Appended piece by piece: GCC 12 at -O3 warns falsely on "\n" + std::string.
        text += '\n';
        text += std::to_string(tally.notWritten);
        text += " Files Could Not Be Written";
    }
    return text;
}

namespace {

// Shows the running count in the window's status line, repainting after every file.
class StatusProgress final : public BatchObserver {
  public:
    explicit StatusProgress(ConverterView& view) : m_view(view) {}
    void written(const fs::path&, const fs::path&, int count) override {
        m_view.setStatusText(std::to_string(count) + " Processed.");
    }
    void fileDone() override { m_view.repaintNow(); }

  private:
    ConverterView& m_view;
};

}  // namespace

void ConvertFolder(ConverterView& view, const ConversionValues& values) {
    const std::string text = view.sourceText();
    if (text.empty()) {
        view.btnSource_Click();
        return;
    }
    const fs::path folder = PathFromUtf8(DeriveFolder(text));
    StatusProgress progress(view);
    const BatchTally tally = ConvertListedFiles(folder, values, progress);
    view.showMessage(FinalMessage(tally), view.caption());
    view.setStatusText(view.description());
}

}  // namespace converter
