// Stands in for a converter program: appends the folder it runs in, the number of its arguments
// and its own name to the file named by MEMCARD_PROBE_FILE, one line each.

#include <cstdlib>
#include <filesystem>
#include <fstream>

int main(int argc, char** argv) {
    const char* out = std::getenv("MEMCARD_PROBE_FILE");
    if (out == nullptr) {
        return 1;
    }
    std::ofstream file(out, std::ios::app);
    file << std::filesystem::current_path().string() << '\n'
         << (argc - 1) << '\n'
         << std::filesystem::path(argv[0]).filename().string() << '\n';
    return 0;
}
