// libFuzzer target: the performance-file decoder and the checks behind Open.
// Any bytes must either be refused or give a record that the encoder writes
// back to exactly the bytes it was read from; a setup that passes the checks
// must survive a save and a second open unchanged.

#include "files/PerformanceRecord.h"
#include "files/PerformanceSetup.h"

#include <cstdlib>
#include <cstring>

namespace {
void check(bool ok)
{
    if (!ok)
        std::abort();
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kelvane;
    const std::optional<PerformanceRecord> record = decodePerformanceRecord(std::span(data, size));
    if (!record)
        return 0;
    const std::vector<std::uint8_t> again = encodePerformanceRecord(*record);
    check(again.size() <= size && std::memcmp(again.data(), data, again.size()) == 0);

    const std::optional<PerformanceSetup> setup = setupOf(*record);
    if (!setup)
        return 0;
    const PerformanceRecord saved = recordOf(*setup);
    const std::optional<PerformanceRecord> reopened = decodePerformanceRecord(encodePerformanceRecord(saved));
    check(reopened && *reopened == saved);
    const std::optional<PerformanceSetup> restored = setupOf(*reopened);
    check(restored && *restored == *setup);
    return 0;
}
