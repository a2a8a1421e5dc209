// The record sits in a section of its own, which the linker bounds with two symbols.
#include "app/version_info.h"

// Bounds of the section that holds the embedded record; null when no record was linked in.
extern "C" {
extern const char __start_pelmora_version[] __attribute__((weak));
extern const char __stop_pelmora_version[] __attribute__((weak));
}

namespace pelmora {

std::optional<std::string_view> EmbeddedVersionRecord() {
    if (__start_pelmora_version == nullptr || __stop_pelmora_version == nullptr)
        return std::nullopt;
    return std::string_view(__start_pelmora_version,
                            std::size_t(__stop_pelmora_version - __start_pelmora_version));
}

} // namespace pelmora
