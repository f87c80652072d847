#include "converter/native_io.h"

#include <cerrno>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <algorithm>
#include <fstream>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>
#endif

namespace converter::native {

namespace fs = std::filesystem;

bool IsReadOnly(const fs::file_status& linkStatus) {
    if (!fs::exists(linkStatus) || fs::is_symlink(linkStatus)) {
        return false;
    }
    constexpr auto kAnyWrite =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    return (linkStatus.permissions() & kAnyWrite) == fs::perms::none;
}

#ifdef _WIN32

namespace {

// Reads the file into `bytes`, whatever `bytes` held; ReadWholeFile empties it on failure.
std::error_code ReadInto(const fs::path& path, std::uintmax_t limit,
                         std::vector<std::uint8_t>& bytes, ReadOutcome& outcome) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (error) {
        return error;
    }
    if (!fs::is_regular_file(status)) {
        outcome = ReadOutcome::NotAFile;
        return {};
    }
    const std::uintmax_t size = fs::file_size(path, error);
    if (error) {
        return error;
    }
    if (size > limit) {
        outcome = ReadOutcome::TooLarge;
        return {};
    }
    const fs::file_time_type written = fs::last_write_time(path, error);
    if (error) {
        return error;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::make_error_code(std::errc::permission_denied);
    }
    bytes.resize(static_cast<std::size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(size));
    if (in.bad()) {
        return std::make_error_code(std::errc::io_error);
    }
    const bool allRead = static_cast<std::uintmax_t>(in.gcount()) == size &&
                         in.peek() == std::ifstream::traits_type::eof();
    const bool untouched = fs::file_size(path, error) == size && !error &&
                           fs::last_write_time(path, error) == written && !error;
    if (!allRead || !untouched) {
        outcome = ReadOutcome::Changed;
        return {};
    }
    outcome = ReadOutcome::Read;
    return {};
}

}  // namespace

std::error_code CreateAndWrite(const fs::path& path, std::span<const std::uint8_t> head,
                               std::span<const std::uint8_t> body, Durability durability) {
    // _O_EXCL, because the C library's fopen ignores the "x" of "wbx" and would empty a file.
    const int fd = _wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                          _S_IREAD | _S_IWRITE);
    if (fd < 0) {
        return std::error_code(errno, std::generic_category());
    }
    std::error_code error;
    for (std::span<const std::uint8_t> piece : {head, body}) {
        while (!error && !piece.empty()) {
            const unsigned chunk =
                static_cast<unsigned>(std::min<std::size_t>(piece.size(), 1u << 30));
            const int n = _write(fd, piece.data(), chunk);
            if (n <= 0) {
                error = std::error_code(n < 0 ? errno : ENOSPC, std::generic_category());
            } else {
                piece = piece.subspan(static_cast<std::size_t>(n));
            }
        }
    }
    if (!error && durability == Durability::Flushed && _commit(fd) != 0) {
        error = std::error_code(errno, std::generic_category());
    }
    if (_close(fd) != 0 && !error) {
        error = std::error_code(errno, std::generic_category());
    }
    return error;
}

bool IsHidden(const fs::directory_entry& entry) {
    const DWORD attributes = GetFileAttributesW(entry.path().c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0;
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (wide == nullptr) {
        return std::vector<std::string>(argc > 0 ? argv + 1 : argv, argv + argc);
    }
    std::vector<std::string> args;
    for (int i = 1; i < count; ++i) {
        // An unpaired surrogate becomes U+FFFD: such a name cannot be found, and says so.
        const int length =
            WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(static_cast<std::size_t>(length > 0 ? length : 1), '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), length, nullptr, nullptr);
        arg.resize(arg.size() - 1);  // the terminating zero
        args.push_back(std::move(arg));
    }
    LocalFree(wide);
    return args;
}

#else

namespace {

std::error_code LastError() {
    return {errno, std::generic_category()};
}

// Closes on every path out of a function.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    int get() const { return m_fd; }
    // Closes now, so that an error on close can be seen: a write may only fail there.
    std::error_code close() {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 ? std::error_code{} : LastError();
    }

  private:
    int m_fd;
};

bool SameVersion(const struct stat& before, const struct stat& after) {
    return before.st_size == after.st_size && before.st_mtim.tv_sec == after.st_mtim.tv_sec &&
           before.st_mtim.tv_nsec == after.st_mtim.tv_nsec;
}

// Reads the file into `bytes`, whatever `bytes` held; ReadWholeFile empties it on failure.
std::error_code ReadInto(const fs::path& path, std::uintmax_t limit,
                         std::vector<std::uint8_t>& bytes, ReadOutcome& outcome) {
    // O_NONBLOCK: opening a FIFO without a writer, or a device, must not hang the run.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0) {
        return LastError();
    }
    struct stat before {};
    if (::fstat(file.get(), &before) != 0) {
        return LastError();
    }
    if (!S_ISREG(before.st_mode)) {
        outcome = ReadOutcome::NotAFile;
        return {};
    }
    if (before.st_size < 0 || static_cast<std::uintmax_t>(before.st_size) > limit) {
        outcome = ReadOutcome::TooLarge;
        return {};
    }
    // One byte more than the length says, to see a file that has grown since.
    const auto size = static_cast<std::size_t>(before.st_size);
    bytes.resize(size + 1);
    std::size_t got = 0;
    while (got <= size) {
        const ssize_t n = ::read(file.get(), bytes.data() + got, size + 1 - got);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return LastError();
        }
        if (n == 0) {
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    struct stat after {};
    if (::fstat(file.get(), &after) != 0) {
        return LastError();
    }
    // A card that another program is saving would come out half old and half new, or cut short.
    if (got != size || !SameVersion(before, after)) {
        outcome = ReadOutcome::Changed;
        return {};
    }
    bytes.resize(size);
    outcome = ReadOutcome::Read;
    return {};
}

}  // namespace

std::error_code CreateAndWrite(const fs::path& path, std::span<const std::uint8_t> head,
                               std::span<const std::uint8_t> body, Durability durability) {
    FileDescriptor file(
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666));
    if (file.get() < 0) {
        return LastError();
    }
    std::span<const std::uint8_t> pieces[2] = {head, body};
    std::size_t first = 0;  // the first piece not yet fully written
    while (first < 2) {
        if (pieces[first].empty()) {
            ++first;
            continue;
        }
        iovec vectors[2];
        int count = 0;
        for (std::size_t i = first; i < 2; ++i) {
            vectors[count].iov_base = const_cast<std::uint8_t*>(pieces[i].data());
            vectors[count].iov_len = pieces[i].size();
            ++count;
        }
        const ssize_t n = ::writev(file.get(), vectors, count);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return LastError();
        }
        auto written = static_cast<std::size_t>(n);
        while (first < 2 && written >= pieces[first].size()) {
            written -= pieces[first].size();
            pieces[first] = {};
            ++first;
        }
        if (first < 2) {
            pieces[first] = pieces[first].subspan(written);
        }
    }
    while (durability == Durability::Flushed && ::fsync(file.get()) != 0) {
        if (errno != EINTR) {
            return LastError();
        }
    }
    return file.close();
}

bool IsHidden(const fs::directory_entry& entry) {
    const fs::path name = entry.path().filename();
    return !name.empty() && name.native().front() == '.';
}

std::vector<std::string> CommandLineArguments(int argc, char** argv) {
    return std::vector<std::string>(argc > 0 ? argv + 1 : argv, argv + argc);
}

#endif

std::error_code ReadWholeFile(const fs::path& path, std::uintmax_t limit,
                              std::vector<std::uint8_t>& bytes, ReadOutcome& outcome) {
    // The buffer keeps its length from the card before. Cards are mostly of one length, so
    // growing it to this card's length writes no zeros over bytes the read then replaces.
    const std::error_code error = ReadInto(path, limit, bytes, outcome);
    if (error || outcome != ReadOutcome::Read) {
        bytes.clear();
    }
    return error;
}

}  // namespace converter::native
