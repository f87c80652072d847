// Writes N copies of a card file into a folder, named card00000.ext and on: the folders the
// benchmark converts.
//
// Usage: fill CARD FOLDER COUNT EXTENSION

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 5) {
        std::fprintf(stderr, "usage: fill CARD FOLDER COUNT EXTENSION\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    const std::vector<char> card(std::istreambuf_iterator<char>(in), {});
    const long count = std::strtol(argv[3], nullptr, 10);
    for (long i = 0; i < count; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "/card%05ld.", i);
        std::ofstream out(std::string(argv[2]) + name + argv[4], std::ios::binary);
        out.write(card.data(), static_cast<std::streamsize>(card.size()));
        if (!out) {
            return 1;
        }
    }
    return 0;
}
