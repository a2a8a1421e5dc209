// Real files in a private temporary folder.
#pragma once

#include "support/temp_folder.h"

#include <cstdint>
#include <filesystem>
#include <string_view>
#include <vector>

namespace pelmora::test {

using pelmora::testing::TempFolder;

std::vector<std::uint8_t> Bytes(std::string_view text);
std::vector<std::uint8_t> ReadAll(const std::filesystem::path& file);
void WriteAll(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes);
std::vector<std::filesystem::path> FilesIn(const std::filesystem::path& folder);

} // namespace pelmora::test
