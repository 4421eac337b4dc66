// Metafile parser: headers and the record split, then every record's
// parameters read through the bounds-checked accessor as a player would.
#include "imaging/still/WmfRecords.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    wmf::Document doc;
    std::string error;
    const std::span<const uint8_t> file(data, size);
    if (!wmf::Parse(file, doc, error)) return 0;
    int32_t width = 0, height = 0;
    wmf::NaturalSize(doc, width, height);
    uint32_t sink = 0;
    for (const wmf::Record& r : doc.records) {
        const wmf::Params p(file, r);
        for (size_t i = 0; i <= p.words(); ++i)
            sink += p.u32(i);
        sink += uint32_t(p.bytes(p.words() / 2).size());
    }
    return sink == 0xFFFFFFFF ? 1 : 0;
}
