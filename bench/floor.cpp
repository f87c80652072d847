// The least that any correct converter must do for a folder of cards, as a yardstick: for every
// file whose name ends in the source ending, open it, read it whole, close it; create a
// temporary file, write header and image in one write, close it, rename it over the output.
// No checks beyond that, no output name rules beyond replacing the ending.
//
// Usage: floor FOLDER SOURCE_ENDING TARGET_EXTENSION HEADER_BYTES SKIP_BYTES

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fprintf(stderr, "usage: floor FOLDER SOURCE_ENDING TARGET_EXTENSION HEADER SKIP\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    const std::string ending = argv[2];
    const std::string extension = argv[3];
    const std::size_t header = std::strtoul(argv[4], nullptr, 10);
    const std::size_t skip = std::strtoul(argv[5], nullptr, 10);

    DIR* listing = opendir(folder.c_str());
    if (listing == nullptr) {
        return 1;
    }
    std::vector<unsigned char> buffer(header + 256 * 1024);
    long files = 0;
    while (const dirent* entry = readdir(listing)) {
        const std::size_t length = std::strlen(entry->d_name);
        if (length < ending.size() ||
            strcasecmp(entry->d_name + length - ending.size(), ending.c_str()) != 0) {
            continue;
        }
        const std::string source = folder + entry->d_name;
        const int in = open(source.c_str(), O_RDONLY);
        if (in < 0) {
            continue;
        }
        // The image lands right behind the header's place in the same buffer: one write later.
        std::size_t got = 0;
        ssize_t n;
        while ((n = read(in, buffer.data() + header + got, buffer.size() - header - got)) > 0) {
            got += static_cast<std::size_t>(n);
        }
        close(in);
        if (got < skip) {
            continue;
        }
        std::memmove(buffer.data() + header, buffer.data() + header + skip, got - skip);
        std::memset(buffer.data(), 0, header);

        const std::string stem(entry->d_name, length - ending.size() + 1);
        const std::string target = folder + stem + extension;
        const std::string temporary = folder + "." + stem + extension + ".tmp";
        const int out = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (out < 0) {
            continue;
        }
        const std::size_t size = header + got - skip;
        if (write(out, buffer.data(), size) != static_cast<ssize_t>(size)) {
            close(out);
            continue;
        }
        close(out);
        rename(temporary.c_str(), target.c_str());
        ++files;
    }
    closedir(listing);
    std::printf("%ld\n", files);
    return 0;
}
