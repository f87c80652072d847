#include "converter/file_access.h"

#include <algorithm>
#include <atomic>
#include <random>
#include <string>

#include "converter/native_io.h"

namespace converter {

namespace fs = std::filesystem;

bool FileExists(const fs::path& path) noexcept {
    if (path.empty()) {
        return false;
    }
    std::error_code error;
    const std::uintmax_t size = fs::file_size(path, error);
    return !error && size > 0;
}

ReadError ReadSourceFile(const fs::path& path, std::vector<std::uint8_t>& bytes,
                         std::error_code& error) noexcept {
    try {
        native::ReadOutcome outcome = native::ReadOutcome::Read;
        error = native::ReadWholeFile(path, kMaxSourceSize, bytes, outcome);
        if (error) {
            return ReadError::Unreadable;
        }
        switch (outcome) {
            case native::ReadOutcome::NotAFile:
                return ReadError::NotAFile;
            case native::ReadOutcome::TooLarge:
                error = std::make_error_code(std::errc::file_too_large);
                return ReadError::TooLarge;
            case native::ReadOutcome::Changed:
                return ReadError::Changed;
            case native::ReadOutcome::Read:
                break;
        }
        return bytes.empty() ? ReadError::Empty : ReadError::None;
    } catch (const std::bad_alloc&) {
        bytes.clear();
        error = std::make_error_code(std::errc::not_enough_memory);
        return ReadError::Unreadable;
    }
}

namespace {

// A hidden name in the target's folder, so that it is never listed as a source nor shown to the
// user, and unlikely to meet another program's temporary files.
fs::path TemporaryPathFor(const fs::path& target) {
    static std::atomic<std::uint64_t> counter{0};
    static const std::uint64_t salt = [] {
        std::random_device device;
        return (static_cast<std::uint64_t>(device()) << 32) ^ device();
    }();
    const std::uint64_t tag = salt + counter.fetch_add(1);
    fs::path name = target.filename();
    name += ".";
    name += std::to_string(tag % 100000000u);
    name += ".part";
    return target.parent_path() / (fs::path(".") += name);
}

// The names TemporaryPathFor makes, for an output whose name ends in "." + `extension`.
template <class Char>
bool IsTemporaryName(std::basic_string_view<Char> name, std::string_view extension) {
    const auto endsWith = [](std::basic_string_view<Char> text, std::string_view ending) {
        return text.size() >= ending.size() &&
               std::equal(ending.begin(), ending.end(), text.end() - ending.size(),
                          [](char a, Char b) { return Char(static_cast<unsigned char>(a)) == b; });
    };
    constexpr std::string_view kSuffix = ".part";
    if (name.size() < 1 + kSuffix.size() || name.front() != Char('.') || !endsWith(name, kSuffix)) {
        return false;
    }
    name = name.substr(1, name.size() - 1 - kSuffix.size());  // "<output name>.<digits>"
    const auto dot = name.rfind(Char('.'));
    if (dot == name.npos) {
        return false;
    }
    const auto digits = name.substr(dot + 1);
    if (digits.empty() || digits.size() > 8 ||
        !std::all_of(digits.begin(), digits.end(),
                     [](Char c) { return c >= Char('0') && c <= Char('9'); })) {
        return false;
    }
    const auto output = name.substr(0, dot);
    return output.size() > extension.size() && endsWith(output, extension) &&
           output[output.size() - extension.size() - 1] == Char('.');
}

}  // namespace

bool RemoveAbandonedTemporary(const fs::directory_entry& entry, std::string_view extension,
                              fs::file_time_type now) noexcept {
    try {
        using View = std::basic_string_view<fs::path::value_type>;
        const fs::path name = entry.path().filename();
        if (!IsTemporaryName(View(name.native()), extension)) {
            return false;
        }
        std::error_code error;
        if (!fs::is_regular_file(fs::symlink_status(entry.path(), error)) || error) {
            return false;
        }
        const fs::file_time_type written = fs::last_write_time(entry.path(), error);
        if (error || written > now - kAbandonedAfter) {
            return false;
        }
        return fs::remove(entry.path(), error) && !error;
    } catch (const std::exception&) {
        return false;
    }
}

WriteResult WriteOutputFile(const fs::path& target, ByteView head, ByteView body) noexcept {
    try {
        std::error_code error;
        const fs::file_status existing = fs::symlink_status(target, error);
        if (native::IsReadOnly(existing)) {
            return {WriteOutcome::ReadOnly, std::make_error_code(std::errc::permission_denied)};
        }
        if (fs::is_directory(existing)) {
            return {WriteOutcome::Failed, std::make_error_code(std::errc::is_a_directory)};
        }

        // Flushing before the rename costs a disk round trip per file. It is paid where the rename
        // replaces something, which a crash could otherwise leave empty: an earlier output, or the
        // very card being converted when it is chosen as its own output. A new name replaces
        // nothing, and its source stays as it was.
        const auto durability =
            fs::exists(existing) ? native::Durability::Flushed : native::Durability::Cached;
        // A name taken by a leftover temporary file is simply skipped.
        constexpr int kAttempts = 8;
        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            const fs::path temporary = TemporaryPathFor(target);
            error = native::CreateAndWrite(temporary, head, body, durability);
            if (error == std::errc::file_exists) {
                continue;
            }
            if (!error) {
                fs::rename(temporary, target, error);
                if (!error) {
                    return {WriteOutcome::Written, {}};
                }
            }
            std::error_code ignored;
            fs::remove(temporary, ignored);
            return {WriteOutcome::Failed, error};
        }
        return {WriteOutcome::Failed, error};
    } catch (const std::exception&) {
        return {WriteOutcome::Failed, std::make_error_code(std::errc::not_enough_memory)};
    }
}

}  // namespace converter
