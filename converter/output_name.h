#pragma once

// Names of outputs and the folder a source text stands for. Text only: nothing here touches the
// file system.

#include <filesystem>
#include <string>
#include <string_view>

namespace converter {

// The output name of a source name or path: a name ending in `sourceEnding` (compared without
// regard to case) keeps everything up to its last three characters and takes `targetExtension`;
// any other name gets a dot and `targetExtension` added. "GAME.MEM" gives "GAME.gme".
std::string OutputNameFor(std::string_view name, std::string_view sourceEnding,
                          std::string_view targetExtension);
std::wstring OutputNameFor(std::wstring_view name, std::string_view sourceEnding,
                           std::string_view targetExtension);

// The same rule on a path in the platform's own encoding, so names that are not valid text convert
// too.
std::filesystem::path OutputPathFor(const std::filesystem::path& name,
                                    std::string_view sourceEnding,
                                    std::string_view targetExtension);

// True when `name` ends in `ending`, ASCII letters compared without regard to case.
bool EndsWithIgnoringCase(std::string_view name, std::string_view ending);
bool EndsWithIgnoringCase(std::wstring_view name, std::string_view ending);

// The folder that a source text names: the text up to and including its last separator, or, with
// no separator in it, the whole text with a separator added. The separator is the platform's own
// ("/" here, "\" on Windows); the text names a file only to give its folder.
std::string DeriveFolder(std::string_view sourceText);

// A path from UTF-8 text, as the window and the command line hand it over.
std::filesystem::path PathFromUtf8(std::string_view text);

// A path as UTF-8 text for messages; on POSIX the bytes are passed on as they are, on Windows an
// unpaired surrogate shows as U+FFFD. Never throws for the name's sake.
std::string PathToDisplay(const std::filesystem::path& path);

}  // namespace converter
