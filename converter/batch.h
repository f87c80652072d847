#pragma once

// The batch conversion of a folder: every card of the source format in it is converted and written
// next to its source.

#include <filesystem>
#include <string>
#include <system_error>

#include "cardformat/conversion_rule.h"
#include "converter/converter_view.h"
#include "converter/file_access.h"
#include "converter/profiles.h"

namespace converter {

// What happened to each listed file, for callers that report more than the window does.
class BatchObserver {
  public:
    virtual ~BatchObserver() = default;
    virtual void written(const std::filesystem::path& /*source*/,
                         const std::filesystem::path& /*output*/, int /*count*/) {}
    virtual void rejected(const std::filesystem::path& /*source*/,
                          const cardformat::Rejection& /*why*/) {}
    virtual void notRead(const std::filesystem::path& /*source*/, ReadError /*why*/,
                         std::error_code /*error*/) {}
    virtual void notWritten(const std::filesystem::path& /*source*/,
                            const std::filesystem::path& /*output*/, const WriteResult& /*why*/) {}
    // After every listed file, whatever became of it.
    virtual void fileDone() {}
};

struct BatchTally {
    int written = 0;  // the count: outputs actually written
    int rejected = 0;
    int notRead = 0;
    int notWritten = 0;
    bool listed = true;  // false when the folder could not be listed at all
};

// Converts the listed files of `folder` one at a time, in the order the platform lists them.
// Hidden files, folders and anything that is not a plain file are not listed; names match the
// listing pattern without regard to case. An empty, vanished, unreadable or oversized file is
// skipped and the run goes on.
BatchTally ConvertListedFiles(const std::filesystem::path& folder, const ConversionValues& values,
                              BatchObserver& observer);

// The text of the final message: the count and " Files Processed", and on a second line the
// number of outputs that could not be written, when there are any.
std::string FinalMessage(const BatchTally& tally);

// The Convert action of the batch converters.
void ConvertFolder(ConverterView& view, const ConversionValues& values);

}  // namespace converter
