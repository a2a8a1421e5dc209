#include "storage/temp_name.h"

#include <random>
#include <string>
#include <string_view>

namespace pelmora {

namespace {

constexpr std::string_view TempNamePrefix = ".~save-";
constexpr std::string_view TempNameLetters = "abcdefghijklmnopqrstuvwxyz0123456789";
constexpr int TempNameRandomLetters = 8;

} // namespace

std::filesystem::path RandomTempPathBeside(const std::filesystem::path& file) {
    static std::random_device source;
    std::uniform_int_distribution<std::size_t> pick(0, TempNameLetters.size() - 1);
    std::string name(TempNamePrefix);
    for (int i = 0; i < TempNameRandomLetters; ++i) {
        name += TempNameLetters[pick(source)];
    }
    return file.has_parent_path() ? file.parent_path() / name : std::filesystem::path(name);
}

} // namespace pelmora
