// Any bytes as an alignment file: exactly the values held completely are read, and an image
// built from them again matches the input's value bytes.
#include "storage/alignment_file.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace pelmora;
    const PmxReadValues read = ParsePmxImage(std::span<const std::uint8_t>(data, size));

    const std::size_t held = size < PmxHeaderSize ? 0 : (size - PmxHeaderSize) / 4;
    const std::size_t expected = std::min<std::size_t>(held, PmxValueCount);
    PmxValues values{};
    for (std::size_t i = 0; i < read.size(); ++i) {
        if (read[i].has_value() != (i < expected)) {
            std::abort();
        }
        values[i] = read[i].value_or(0);
    }
    const PmxImage image = BuildPmxImage(values);
    const std::size_t valueBytes = expected * 4;
    if (valueBytes > 0 &&
        !std::equal(image.begin() + PmxHeaderSize, image.begin() + PmxHeaderSize + valueBytes,
                    data + PmxHeaderSize)) {
        std::abort();
    }
    return 0;
}
