#include "support/temp_folder.h"

#include <random>
#include <stdexcept>
#include <string>

namespace fs = std::filesystem;

namespace pelmora::testing {

TempFolder::TempFolder() {
    std::random_device random;
    for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
        const fs::path candidate =
            fs::temp_directory_path() / ("pelmora-test-" + std::to_string(random()));
        if (fs::create_directory(candidate))
            path_ = candidate;
    }
    if (path_.empty())
        throw std::runtime_error("cannot create a temporary folder");
    // Readable by anyone, so that tests which drop their privileges can still reach it.
    fs::permissions(path_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                               fs::perms::others_read | fs::perms::others_exec);
}

TempFolder::~TempFolder() {
    std::error_code error;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, error);
    fs::remove_all(path_, error);
}

} // namespace pelmora::testing
