#include "storage_test_support.h"

#include <fstream>
#include <stdexcept>
#include <string>

namespace pelmora::test {

namespace fs = std::filesystem;

std::vector<std::uint8_t> Bytes(std::string_view text) {
    return std::vector<std::uint8_t>(text.begin(), text.end());
}

std::vector<std::uint8_t> ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::uint8_t> bytes(fs::file_size(file));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

void WriteAll(const fs::path& file, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        throw std::runtime_error("cannot write " + file.string());
    }
}

std::vector<fs::path> FilesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(folder)) {
        files.push_back(entry.path().filename());
    }
    return files;
}

} // namespace pelmora::test
