#include "folder_state.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cerrno>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string_view>
#include <thread>

#include "test_support.h"

extern char** environ;

namespace testsupport {

namespace fs = std::filesystem;

std::uint64_t Digest(const Bytes& bytes) {
    // The standard library's own hash: compiled optimised, so that the trees of thousands of cards
    // are digested quickly in the sanitizer build as well.
    const std::string_view view(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    return std::hash<std::string_view>{}(view);
}

namespace {

// Into `bytes`, whose capacity is reused: thousands of fresh buffers cost dearly under the
// sanitizers.
void ReadWhole(const fs::path& path, std::uintmax_t size, Bytes& bytes) {
    bytes.resize(size);
    std::ifstream in(path, std::ios::binary);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    if (!in || in.peek() != std::ifstream::traits_type::eof()) {
        throw std::runtime_error("cannot read " + path.string());
    }
}

}  // namespace

TreeState Snapshot(const fs::path& root) {
    TreeState tree;
    Bytes content;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        const fs::path& path = it->path();
        const fs::file_status status = it->symlink_status();
        EntryState entry;
        entry.perms = status.permissions();
        if (fs::is_symlink(status)) {
            entry.kind = EntryState::Kind::Link;
            entry.linkTarget = fs::read_symlink(path).string();
        } else if (fs::is_directory(status)) {
            entry.kind = EntryState::Kind::Folder;
        } else if (fs::is_regular_file(status)) {
            entry.kind = EntryState::Kind::File;
            entry.size = fs::file_size(path);
            if (entry.size <= kDigestLimit) {
                ReadWhole(path, entry.size, content);
                entry.digest = Digest(content);
            }
        }
        tree[path.lexically_relative(root).string()] = entry;
    }
    return tree;
}

Expectation ExactBytes(const Bytes& expected) {
    return {Fate::Exact, expected.size(), Digest(expected)};
}

Expectation ExactOrUnchanged(const Bytes& expected) {
    return {Fate::ExactOrUnchanged, expected.size(), Digest(expected)};
}

namespace {

// Names with line ends and other control characters, shown on one line.
std::string Shown(const std::string& name) {
    std::string shown = "'";
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", static_cast<unsigned char>(c));
            shown += escaped;
        } else {
            shown += c;
        }
    }
    return shown + "'";
}

bool HoldsExactly(const EntryState* entry, const Expectation& expected) {
    return entry != nullptr && entry->kind == EntryState::Kind::File &&
           entry->size == expected.size && entry->digest == expected.digest;
}

template <class Map>
const typename Map::mapped_type* Find(const Map& map, const std::string& key) {
    const auto it = map.find(key);
    return it == map.end() ? nullptr : &it->second;
}

}  // namespace

std::vector<std::string> UnexpectedChanges(const TreeState& before, const TreeState& after,
                                           const std::map<std::string, Expectation>& expected) {
    std::set<std::string> paths;
    for (const auto& [path, entry] : before) {
        paths.insert(path);
    }
    for (const auto& [path, entry] : after) {
        paths.insert(path);
    }
    for (const auto& [path, expectation] : expected) {
        paths.insert(path);
    }

    std::vector<std::string> problems;
    for (const std::string& path : paths) {
        const EntryState* was = Find(before, path);
        const EntryState* is = Find(after, path);
        const Expectation* expectation = Find(expected, path);
        const bool unchanged =
            (was == nullptr && is == nullptr) || (was != nullptr && is != nullptr && *was == *is);
        std::string problem;
        if (expectation == nullptr) {
            if (is == nullptr && was != nullptr) {
                problem = "was removed";
            } else if (was == nullptr && is != nullptr) {
                problem = "appeared";
            } else if (!unchanged) {
                problem = "was changed";
            }
        } else {
            switch (expectation->fate) {
                case Fate::Exact:
                    if (!HoldsExactly(is, *expectation)) {
                        problem = is == nullptr ? "is missing"
                                                : "is not a plain file holding exactly the card";
                    }
                    break;
                case Fate::Unchanged:
                    if (!unchanged) {
                        problem = "was changed";
                    }
                    break;
                case Fate::Absent:
                    if (is != nullptr) {
                        problem = "exists";
                    }
                    break;
                case Fate::ExactOrUnchanged:
                    if (!unchanged && !HoldsExactly(is, *expectation)) {
                        problem = "is neither the whole card nor as it was";
                    }
                    break;
            }
        }
        if (!problem.empty()) {
            problems.push_back(Shown(path) + " " + problem);
        }
    }
    return problems;
}

namespace {

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

namespace {

// This process's peak resident memory, in KiB.
long PeakResidentKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stol(line.substr(6));
        }
    }
    return 0;
}

}  // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv, std::chrono::milliseconds timeout,
                         const std::function<bool(int)>& killWhen) {
    TempDir logs;
    const std::string outPath = (logs / "out").string();
    const std::string errPath = (logs / "err").string();

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    std::vector<char*> args;
    for (const auto& arg : argv) {
        args.push_back(const_cast<char*>(arg.c_str()));
    }
    args.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        throw std::runtime_error("cannot start " + argv[0]);
    }

    ProcessResult result;
    result.spawnerPeakKiB = PeakResidentKiB();
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    bool killed = false;
    int status = 0;
    rusage usage{};
    for (;;) {
        const pid_t ended = ::wait4(pid, &status, WNOHANG, &usage);
        if (ended == pid) {
            break;
        }
        if (ended < 0 && errno != EINTR) {
            throw std::runtime_error("lost the process of " + argv[0]);
        }
        if (!killed && killWhen && killWhen(pid)) {
            ::kill(pid, SIGKILL);
            killed = true;
        }
        if (!killed && std::chrono::steady_clock::now() > deadline) {
            ::kill(pid, SIGKILL);
            killed = true;
            result.timedOut = true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    result.exited = WIFEXITED(status);
    result.exitCode = result.exited ? WEXITSTATUS(status) : -1;
    result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    result.maxResidentKiB = usage.ru_maxrss;
    result.out = Slurp(outPath);
    result.err = Slurp(errPath);
    return result;
}

bool StopProcess(int pid) {
    if (::kill(pid, SIGSTOP) != 0) {
        return false;
    }
    // The third field of /proc/PID/stat is the state: T once the stop has taken hold.
    for (;;) {
        std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
        std::string content((std::istreambuf_iterator<char>(stat)), {});
        const auto close = content.rfind(')');
        if (close == std::string::npos || close + 2 >= content.size()) {
            return false;
        }
        const char state = content[close + 2];
        if (state == 'T' || state == 't') {
            return true;
        }
        if (state == 'Z' || state == 'X') {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    }
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

}  // namespace testsupport
