#pragma once

// Reading sources and writing outputs, so that a run never damages a card: sources are only read,
// and an output is either written whole or left as it was.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>
#include <system_error>
#include <vector>

namespace converter {

using ByteView = std::span<const std::uint8_t>;

// Far above any card file: a larger source is not read, so memory stays bounded by one card.
inline constexpr std::uintmax_t kMaxSourceSize = 64u * 1024u * 1024u;

// True when the length of the file at `path` can be read and is greater than 0. False for a missing
// or empty file, a folder, an empty path and on any error; never reports one.
bool FileExists(const std::filesystem::path& path) noexcept;

enum class ReadError {
    None,
    Empty,       // 0 bytes
    NotAFile,    // a folder, FIFO, device or anything else that is not a plain file
    TooLarge,    // more than kMaxSourceSize
    Unreadable,  // missing, vanished, no permission, or an I/O error
    Changed,     // written to while it was read (as a card is while a program saves it)
};

// Reads a whole plain file into `bytes` (replacing what it held; its capacity is reused). Never
// blocks on a FIFO or a device and never allocates more than one byte over the file's size. On
// any error `bytes` is left empty: no part of a file is ever taken for all of it.
ReadError ReadSourceFile(const std::filesystem::path& path, std::vector<std::uint8_t>& bytes,
                         std::error_code& error) noexcept;

enum class WriteOutcome {
    Written,
    ReadOnly,  // an existing output without any write permission: left as it was
    Failed,    // nothing changed: an existing output is kept, no temporary file is left
};

struct WriteResult {
    WriteOutcome outcome;
    std::error_code error;
};

// Writes `head` followed by `body` as the whole content of `target`. The bytes go to a temporary
// file in the same folder first, which is then renamed over the target: a failure never leaves a
// truncated output nor destroys an existing one. A target that is a symbolic link is replaced by a
// plain file; the link's target is never written.
WriteResult WriteOutputFile(const std::filesystem::path& target, ByteView head,
                            ByteView body) noexcept;

// A run killed between writing an output's temporary file and renaming it leaves that file behind.
// Writing one card never takes this long, so a temporary file untouched for longer belongs to no
// write still going on.
inline constexpr std::chrono::seconds kAbandonedAfter{5};

// Removes `entry` when it is such a leftover of an output whose name ends in "." + `extension`:
// a plain file (never a link or a folder) named "." + output name + "." + up to eight digits +
// ".part", last written at least kAbandonedAfter before `now`. True when it was removed.
bool RemoveAbandonedTemporary(const std::filesystem::directory_entry& entry,
                              std::string_view extension,
                              std::filesystem::file_time_type now) noexcept;

}  // namespace converter
