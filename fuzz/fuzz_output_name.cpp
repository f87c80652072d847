// Output names for every direction: the ending replaced or the extension added, never a name
// that the same run would list again, never the source's own name, never a new folder part.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "cardformat/card_format.h"
#include "converter/output_name.h"
#include "converter/profiles.h"
#include "fuzz_check.h"

namespace {

using cardformat::CardFormat;
using fuzzcheck::Require;

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EndsWithFolded(std::string_view name, std::string_view ending) {
    if (name.size() < ending.size()) {
        return false;
    }
    for (std::size_t i = 0; i < ending.size(); ++i) {
        if (Lower(name[name.size() - ending.size() + i]) != Lower(ending[i])) {
            return false;
        }
    }
    return true;
}

void CheckDirection(std::string_view name, std::string_view ending, std::string_view extension) {
    const std::string output = converter::OutputNameFor(name, ending, extension);
    const bool replaces = EndsWithFolded(name, ending);
    Require(converter::EndsWithIgnoringCase(name, ending) == replaces,
            "the ending is compared without regard to ASCII case");
    // "game.MEM" keeps "game." and takes the lower-case extension; "game.dat" gets ".mcd" added.
    const std::string expected =
        replaces ? std::string(name.substr(0, name.size() - 3)) + std::string(extension)
                 : std::string(name) + "." + std::string(extension);
    Require(output == expected, "the ending is replaced, or a dot and the extension added");
    Require(output != name, "an output never has its source's name");
    Require(!EndsWithFolded(output, ending), "an output is never listed by the same run");
    Require(
        std::count(output.begin(), output.end(), '/') == std::count(name.begin(), name.end(), '/'),
        "the name adds no folder part");

    // The same rule on a path in the platform's encoding, and on wide text, byte for byte.
    const std::filesystem::path path(name);
    Require(converter::OutputPathFor(path, ending, extension).native() == output,
            "the path keeps the name's bytes, valid text or not");
    const std::wstring wide(name.begin(), name.end());
    const std::wstring wideOutput =
        converter::OutputNameFor(std::wstring_view(wide), ending, extension);
    Require(std::equal(wideOutput.begin(), wideOutput.end(), output.begin(), output.end(),
                       [](wchar_t w, char c) { return w == static_cast<wchar_t>(c); }),
            "wide names follow the same rule");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view name(reinterpret_cast<const char*>(data), size);
    // Every ordered pair of formats, as cardconv offers them; the six programs are among them.
    for (CardFormat from : cardformat::kAllFormats) {
        for (CardFormat to : cardformat::kAllFormats) {
            const converter::ConversionValues values = converter::ConversionBetween(from, to);
            if (values.rule != nullptr) {
                CheckDirection(name, values.sourceEnding, values.targetExtension);
            }
        }
    }
    for (const auto& profile : converter::kConverterProfiles) {
        CheckDirection(name, profile.sourceEnding, profile.targetExtension);
    }
    return 0;
}
