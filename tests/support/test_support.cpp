#include "test_support.h"

#include "cardformat/card_format.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <stdexcept>

#ifndef _WIN32
#include <sys/resource.h>

#include <csignal>
#endif

namespace testsupport {

namespace fs = std::filesystem;

#ifndef _WIN32
FileSizeLimit::FileSizeLimit(std::uintmax_t bytes) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0) {
        throw std::runtime_error("cannot read the file size limit");
    }
    m_previous = limit.rlim_cur;
    m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    limit.rlim_cur = static_cast<rlim_t>(bytes);
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
        throw std::runtime_error("cannot set the file size limit");
    }
}

FileSizeLimit::~FileSizeLimit() {
    rlimit limit{};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = static_cast<rlim_t>(m_previous);
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, m_previousHandler);
}
#endif

Bytes PatternBytes(std::size_t size, std::uint8_t seed) {
    Bytes bytes(size);
    std::uint32_t state = seed * 2654435761u + 1;
    for (auto& byte : bytes) {
        state = state * 1664525u + 1013904223u;
        // Never 0: no "MC" can be followed by zero bytes.
        byte = static_cast<std::uint8_t>((state >> 24) | 1u);
    }
    return bytes;
}

Bytes MakeCardImage(std::size_t size) {
    Bytes image = PatternBytes(size, 7);
    const std::uint8_t signature[6] = {'M', 'C', 0, 0, 0, 0};
    std::copy_n(signature, std::min<std::size_t>(6, size), image.begin());
    return image;
}

Bytes Concat(const Bytes& a, const Bytes& b) {
    Bytes out(a);
    out.insert(out.end(), b.begin(), b.end());
    return out;
}

Bytes VgsHeaderBytes() {
    return Bytes(cardformat::kVgsHeader.begin(), cardformat::kVgsHeader.end());
}

Bytes DexHeaderBytes() {
    return Bytes(cardformat::kDexHeader.begin(), cardformat::kDexHeader.end());
}

Bytes ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        throw std::runtime_error("cannot read " + path.string());
    }
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteFile(const fs::path& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + path.string());
    }
}

fs::path SamplesDir() {
    return fs::path(MEMCARD_SAMPLES_DIR);
}

TempDir::TempDir() {
    std::random_device device;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate =
            fs::temp_directory_path() / ("memcard-test-" + std::to_string(device()));
        if (fs::create_directory(candidate)) {
            m_path = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code error;
    // Folders a test made read-only must be writable again to be removed; on Windows files too,
    // since a file with the read-only attribute cannot be deleted there.
    for (auto it = fs::recursive_directory_iterator(m_path, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
#ifdef _WIN32
        const bool makeWritable = true;
#else
        const bool makeWritable = it->is_directory(error);
#endif
        if (makeWritable && !it->is_symlink(error)) {
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, error);
        }
    }
    fs::remove_all(m_path, error);
}

std::vector<std::string> TempDir::names() const {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(m_path)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace testsupport
