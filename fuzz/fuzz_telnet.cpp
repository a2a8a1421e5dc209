// Arbitrary bytes from a server through the Telnet reader, whole and cut in two: both ways
// must give the same data and answers, and the answers must be well-formed commands.
#include "serial/telnet.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    using namespace pelmora::telnet;
    Reader whole, cut;
    whole.Asked(true);
    cut.Asked(true);
    std::string dataWhole, repliesWhole, dataCut, repliesCut;
    whole.Feed(bytes, dataWhole, repliesWhole);
    const std::size_t at = size == 0 ? 0 : data[0] % (size + 1);
    cut.Feed(bytes.substr(0, at), dataCut, repliesCut);
    cut.Feed(bytes.substr(at), dataCut, repliesCut);
    if (dataWhole != dataCut || repliesWhole != repliesCut || dataWhole.size() > size ||
        repliesWhole.size() % 3 != 0)
        std::abort();
    for (std::size_t i = 0; i < repliesWhole.size(); i += 3)
        if (static_cast<unsigned char>(repliesWhole[i]) != Iac ||
            static_cast<unsigned char>(repliesWhole[i + 1]) < Will)
            std::abort();
    return 0;
}
