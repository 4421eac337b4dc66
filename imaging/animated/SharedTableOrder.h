#pragma once
// The order of a colour table that many frames share. LZW data is the same
// whatever the entries' order, but a frame whose indices (its transparent
// one included) all lie below 2^k can start its codes at k+1 bits, which
// saves about a bit per code for the first hundreds of codes, for each
// width below the table's. So the order puts first the entries that let
// the most frames (weighted by what each saves) fit below 128, then below
// 64 among those, and so on; each frame then takes as its transparent
// index the lowest entry it does not show.
#include <bitset>
#include <cstdint>
#include <vector>

namespace PVWebImg {

struct PVTableUse {
    std::bitset<256> shown;   // the entries the frame shows
    bool transparent = false; // it needs an index it does not show
    uint64_t codes = 0;       // its LZW codes, about
};

// A frame under `order` (the new position of each entry): the index its
// transparent pixels take and the LZW code size its indices then need.
struct PVTableFit {
    int transparent = -1; // the lowest position it does not show; -1 when it needs none
    int bits = 2;         // 2..8
};
PVTableFit FitFrame(const PVTableUse& frame, const std::vector<uint8_t>& order);

// Bits `codes` codes of one stream take when the codes start at bits + 1,
// clear codes when the table fills included.
uint64_t CodeBits(int bits, uint64_t codes);
// About how many codes a stream of that many bits holds at that start.
uint64_t CodesIn(int bits, uint64_t streamBits);

// New position of each of the table's `entries` entries: the order above
// when it saves more than the table's own order, else that own order.
// bits: the table's (entries <= 2^bits).
std::vector<uint8_t> OrderSharedTable(const std::vector<PVTableUse>& frames, int entries, int bits);

} // namespace PVWebImg
