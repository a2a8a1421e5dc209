// The error raised when a file cannot be created, opened or fully written.
#pragma once

#include <stdexcept>

namespace pelmora {

class EFileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

} // namespace pelmora
