// libFuzzer target for the ledger reader: any bytes must be either refused with a message or
// read into records that survive a write and a second read unchanged.

#include "punch/ledger.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<int>(size));
    const LedgerRead first = ParseLedger(bytes);
    if (!first.ok) {
        if (first.error.isEmpty()) std::abort(); // a refusal must say why
        return 0;
    }
    const LedgerRead again = ParseLedger(FormatLedger(first.projects, first.legacyEncoding));
    if (!again.ok || again.projects.size() != first.projects.size()) std::abort();
    for (std::size_t i = 0; i < first.projects.size(); ++i) {
        const ProjectRec& a = first.projects[i];
        const ProjectRec& b = again.projects[i];
        if (a.number != b.number || a.hours != b.hours || a.minutes != b.minutes || a.name != b.name) std::abort();
    }
    return 0;
}
