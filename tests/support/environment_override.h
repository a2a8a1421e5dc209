// Environment variables changed for one test and put back after it.
#pragma once

#include <cstdlib>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace pelmora::testing {

class EnvironmentOverride {
  public:
    void Set(const char* name, const char* value) {
        if (const char* old = std::getenv(name))
            saved_.emplace_back(name, old);
        else
            saved_.emplace_back(name, std::nullopt);
        value != nullptr ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~EnvironmentOverride() {
        for (const auto& [name, value] : saved_)
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
    }

  private:
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

} // namespace pelmora::testing
