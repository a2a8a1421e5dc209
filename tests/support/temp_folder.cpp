#include "support/temp_folder.h"

#include <stdexcept>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace pelmora::testing {

TempFolder::TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "pelmora-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary folder");
    path_ = pattern;
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
