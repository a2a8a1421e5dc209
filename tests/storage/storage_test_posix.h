// Child processes for conditions a test process must not impose on itself (a dropped
// privilege, a file-size limit), and folders made read-only for a while.
#pragma once

#include "storage_test_support.h"

#include <cstdint>
#include <filesystem>
#include <functional>

namespace pelmora::test {

// Runs body in a forked child and returns its exit status, or -1 when it did not end within
// five seconds. As root, the child first becomes an unprivileged user, so that folder
// permissions bind it as they bind any user.
int RunUnprivileged(const std::function<int()>& body);
// Runs body in a forked child whose files cannot grow beyond maxBytes.
int RunWithFileSizeLimit(std::uintmax_t maxBytes, const std::function<int()>& body);

// Makes the folder read-only (and readable by anyone) for the lifetime of the object.
class ReadOnlyFolder {
  public:
    explicit ReadOnlyFolder(const std::filesystem::path& folder);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

  private:
    std::filesystem::path folder_;
};

} // namespace pelmora::test
