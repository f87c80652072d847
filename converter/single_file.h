#pragma once

// The Convert action of the single-file converter: one chosen card, saved where the user says.

#include <string>
#include <string_view>

#include "converter/converter_view.h"
#include "converter/profiles.h"

namespace converter {

// The single-file flow also asks where to save, in a Save dialog owned by its window.
class SingleFileView : public ConverterView {
  public:
    // The chosen path, or the empty text when the user cancels.
    virtual std::string SaveDialog(const std::string& filter, const std::string& title,
                                   const std::string& initDir,
                                   const std::string& defaultFilename) = 0;
};

inline constexpr std::string_view kSaveFilter = "Bleem Memory Cards (*.mcd)|*.mcd";
inline constexpr std::string_view kSaveTitle = "Save Bleem Memory Card";
inline constexpr std::string_view kWrongFormatMessage = "File is in a wrong format.";

// "File '" + path + "' could not be written."
std::string NotWrittenMessage(const std::string& path);

void ConvertOneFile(SingleFileView& view, const ConversionValues& values);

}  // namespace converter
