// Runs the differential fuzz target's check once on each file given, or on
// each file in the folders given: the script cases replayed through the
// engine and the reference interpreter, without a fuzzer. Exits 0 when every
// one agrees; the first difference aborts with both outcomes.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv);
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    for (int i = 1; i < argc; i++) {
        fs::path given = fs::absolute(argv[i]);
        if (!fs::is_directory(given)) {
            files.push_back(given);
            continue;
        }
        for (const auto& entry : fs::recursive_directory_iterator(given)) {
            if (entry.is_regular_file() && entry.path().extension() == ".zen") files.push_back(entry.path());
        }
    }
    LLVMFuzzerInitialize(&argc, &argv);
    for (const fs::path& file : files) {
        std::ifstream in(file, std::ios::binary);
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::fprintf(stderr, "%s\n", file.c_str());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    }
    std::printf("%zu files: the engine and the reference agree on each\n", files.size());
    return 0;
}
