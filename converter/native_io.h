#pragma once

// The few file operations the standard library cannot do safely, one implementation per platform.
// Everything platform-specific in the converters lives behind these functions.

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <system_error>
#include <vector>

namespace converter::native {

enum class ReadOutcome {
    Read,
    NotAFile,  // nothing read
    TooLarge,  // larger than the limit: nothing read
    Changed,   // written to while it was read, or holding more or less than its length says
};

// Opens without blocking (FIFOs, devices), checks the kind and size of what was opened, and reads
// it whole. `bytes` holds the content only when the outcome is Read; it is empty otherwise.
std::error_code ReadWholeFile(const std::filesystem::path& path, std::uintmax_t limit,
                              std::vector<std::uint8_t>& bytes, ReadOutcome& outcome);

// Whether the bytes must be on the disk before the file is closed.
enum class Durability {
    Flushed,  // a crash or power cut after a rename over a card never leaves it empty or cut short
    Cached,   // the system writes them when it likes: for a file that replaces nothing
};

// Creates `path`, which must not exist yet, writes both pieces into it and closes it; with
// Durability::Flushed it has the system put them on the disk first.
std::error_code CreateAndWrite(const std::filesystem::path& path,
                               std::span<const std::uint8_t> head,
                               std::span<const std::uint8_t> body,
                               Durability durability = Durability::Flushed);

// Hidden files are left out of listings: dot files on POSIX, the hidden or system attribute on
// Windows.
bool IsHidden(const std::filesystem::directory_entry& entry);

// True when an existing file carries no write permission at all (on Windows: the read-only
// attribute). Judged on the entry itself, not on what a link points to.
bool IsReadOnly(const std::filesystem::file_status& linkStatus);

// The program's arguments after its own name, as UTF-8. On Windows `argv` holds them in the ANSI
// code page, which cannot spell every file name: there they come from the UTF-16 command line.
std::vector<std::string> CommandLineArguments(int argc, char** argv);

}  // namespace converter::native
