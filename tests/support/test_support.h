#pragma once

// Small helpers shared by the tests: card bytes and real temporary folders.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

using Bytes = std::vector<std::uint8_t>;

// A card image that begins with "MC" and four zero bytes, the rest a pattern that holds no
// other occurrence of that signature.
Bytes MakeCardImage(std::size_t size = 131072);

// `size` bytes of a pattern with no card signature in it.
Bytes PatternBytes(std::size_t size, std::uint8_t seed = 1);

Bytes Concat(const Bytes& a, const Bytes& b);

// The two headers the converters write, as bytes.
Bytes VgsHeaderBytes();
Bytes DexHeaderBytes();

Bytes ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const Bytes& bytes);

// The folder of the real-world sample cards.
std::filesystem::path SamplesDir();

#ifndef _WIN32
// While it lives, every file this process writes fails once it reaches `bytes` bytes, as on a full
// disk: the write returns an error instead of raising SIGXFSZ.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(std::uintmax_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  private:
    std::uintmax_t m_previous;
    void (*m_previousHandler)(int);
};
#endif

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return m_path; }
    std::filesystem::path operator/(const std::string& name) const { return m_path / name; }
    // The names in the folder, sorted; hidden names too.
    std::vector<std::string> names() const;

  private:
    std::filesystem::path m_path;
};

}  // namespace testsupport
