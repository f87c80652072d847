#pragma once

// What the adversarial tests check after every run: a picture of a whole folder tree taken before,
// compared entry by entry with the tree afterwards, and a program run as a real process that
// cannot hang the test. POSIX only.

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace testsupport {

using Bytes = std::vector<std::uint8_t>;

// One entry of a tree, without following links and without opening anything but plain files.
struct EntryState {
    enum class Kind { File, Link, Folder, Other };
    Kind kind = Kind::Other;
    std::uintmax_t size = 0;
    std::uint64_t digest = 0;  // of the content, for plain files up to kDigestLimit
    std::string linkTarget;
    std::filesystem::perms perms = std::filesystem::perms::none;

    friend bool operator==(const EntryState&, const EntryState&) = default;
};

// Larger files (the sparse giant) are compared by size alone, and never read.
inline constexpr std::uintmax_t kDigestLimit = 16u * 1024u * 1024u;

std::uint64_t Digest(const Bytes& bytes);

// Every entry below `root`, by its path relative to `root`.
using TreeState = std::map<std::string, EntryState>;
TreeState Snapshot(const std::filesystem::path& root);

// What a run may do to one path.
enum class Fate {
    Exact,      // a plain file (not a link) holding exactly the expected bytes
    Unchanged,  // as it was before, or still absent
    Absent,
    ExactOrUnchanged,  // where the order of the listing decides, as on a full disk
};

struct Expectation {
    Fate fate;
    std::uintmax_t size = 0;  // of the expected bytes, for Exact
    std::uint64_t digest = 0;
};

Expectation ExactBytes(const Bytes& expected);
Expectation ExactOrUnchanged(const Bytes& expected);

// The differences between `after` and what `before` and the expectations allow, one line each:
// every path without an expectation must be exactly as it was, and no path may appear or vanish.
std::vector<std::string> UnexpectedChanges(const TreeState& before, const TreeState& after,
                                           const std::map<std::string, Expectation>& expected);

struct ProcessResult {
    bool exited = false;  // false when a signal ended it
    int exitCode = -1;
    int signal = 0;
    bool timedOut = false;  // it was killed for taking longer than allowed
    std::string out;
    std::string err;
    // The peak memory of the process. It starts as a copy of this one, whose own peak so far it
    // inherits: only what lies beyond `spawnerPeakKiB` is the program's own.
    long maxResidentKiB = 0;
    long spawnerPeakKiB = 0;
};

// Runs `argv` with standard input from /dev/null. The process is killed with SIGKILL when
// `killWhen`, given its process id, first returns true (asked every millisecond or so) or when
// `timeout` has passed.
ProcessResult RunProcess(const std::vector<std::string>& argv, std::chrono::milliseconds timeout,
                         const std::function<bool(int)>& killWhen = {});

// Stops the process and waits until it stands still; false when it has ended instead.
bool StopProcess(int pid);

// The lines of a text, without their line ends.
std::vector<std::string> Lines(const std::string& text);

}  // namespace testsupport
