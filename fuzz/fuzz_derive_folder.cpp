// The folder a source text stands for, and the path made of it: the text up to its last
// separator, or the whole text and a separator; never a byte changed on the way to a path.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "converter/output_name.h"
#include "fuzz_check.h"

namespace {

using fuzzcheck::Require;

constexpr char kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::string folder = converter::DeriveFolder(text);

    Require(!folder.empty() && folder.back() == kSeparator, "a folder ends in the separator");
    const std::size_t last = text.rfind(kSeparator);
    if (last == std::string_view::npos) {
        Require(folder == std::string(text) + kSeparator,
                "a text without a separator is a folder itself");
    } else {
        Require(folder == text.substr(0, last + 1), "the text up to its last separator");
        Require(folder + std::string(text.substr(last + 1)) == text,
                "only the part after the last separator is dropped");
    }
    Require(converter::DeriveFolder(folder) == folder, "a folder derives to itself");

#ifndef _WIN32
    // Names come from the window and the command line as bytes: they reach the file system as
    // they are, whether or not they are valid UTF-8.
    const std::filesystem::path path = converter::PathFromUtf8(folder);
    Require(path.native() == folder, "the path holds the folder's bytes");
    Require(converter::PathToDisplay(path) == folder, "a path is shown with its own bytes");
#endif
    return 0;
}
