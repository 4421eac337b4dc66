#include "imaging/animated/PVGifOptimizer.h"

#include "imaging/animated/ChooseUnchangedPixels.h"
#include "imaging/animated/PVCompositor.h"
#include "imaging/animated/SharedTableOrder.h"
#include "libs/imagecore/Dib.h"
#include "libs/imagecore/LzwPlanner.h"
#include "platform/GlobalBlock.h"
#include "platform/GlobalMemory.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <numeric>
#include <set>
#include <vector>

namespace PVWebImg {

namespace {

constexpr uint32_t kTransparent = 0; // the compositor's transparent pixel
constexpr uint32_t kOpaque = 0xFF000000u;

// Colour (0xFFRRGGBB) to table index; opaque colours are never 0, so 0
// marks a free slot.
class ColourIndex {
  public:
    void clear() {
        FKeys.fill(0);
        FCount = 0;
    }
    // The colour's index, or -1.
    int find(uint32_t colour) const {
        for (uint32_t h = slot(colour);; h = (h + 1) & kMask) {
            if (FKeys[h] == colour) return FValues[h];
            if (FKeys[h] == 0) return -1;
        }
    }
    // Adds with the next index unless present; answers the index, -1 when
    // 256 colours are taken.
    int add(uint32_t colour) {
        uint32_t h = slot(colour);
        for (; FKeys[h] != 0; h = (h + 1) & kMask)
            if (FKeys[h] == colour) return FValues[h];
        if (FCount == 256) return -1;
        FKeys[h] = colour;
        FValues[h] = int16_t(FCount);
        return FCount++;
    }
    int size() const { return FCount; }

  private:
    static constexpr uint32_t kSlots = 1024, kMask = kSlots - 1;
    static uint32_t slot(uint32_t c) { return (c * 2654435761u) >> 22; }
    std::array<uint32_t, kSlots> FKeys{};
    std::array<int16_t, kSlots> FValues{};
    int FCount = 0;
};

int tableBits(int colours) {
    int bits = 1;
    while (bits < 8 && (1 << bits) < colours)
        ++bits;
    return bits;
}

// A colour table: the colours in index order, and a slot for the
// transparent index when the stored table (a power of two entries) has
// room for one more.
struct Table {
    std::vector<uint32_t> colours;
    int slot = -1;
    ColourIndex index;

    void set(const std::vector<uint32_t>& list, bool growForSlot) {
        colours = list;
        index.clear();
        for (uint32_t c : colours)
            index.add(c);
        const int n = int(colours.size());
        slot = n < 256 && (growForSlot || n < (1 << tableBits(n))) ? n : -1;
    }
    int size() const { return int(colours.size()) + (slot >= 0 ? 1 : 0); }
};

// The colours of as many frames as can share one table, given what each
// frame must show: frame 0's first (the file's global table is its), then
// each added frame bringing the fewest colours the table lacks (every frame
// it holds saves a table of its own); the slots left take the colours most
// frames show.
bool PickShared(const std::vector<std::vector<uint32_t>>& used, const std::set<uint32_t>& every,
                std::vector<uint32_t>& table) {
    std::set<uint32_t> chosen;
    std::vector<bool> inTable(size_t(1) << 24), taken(used.size());
    const auto lacking = [&](const std::vector<uint32_t>& colours) {
        size_t n = 0;
        for (uint32_t c : colours)
            n += !inTable[c & 0xFFFFFF];
        return n;
    };
    const auto take = [&](size_t i) {
        taken[i] = true;
        for (uint32_t c : used[i])
            if (chosen.insert(c).second) inTable[c & 0xFFFFFF] = true;
    };
    // The file's global table is frame 0's: its colours come first.
    if (!used.empty()) take(0);
    for (;;) {
        size_t best = used.size(), fewest = 257;
        for (size_t i = 0; i < used.size(); ++i) {
            if (taken[i]) continue;
            const size_t n = lacking(used[i]);
            if (n < fewest && chosen.size() + n <= 256) best = i, fewest = n;
        }
        if (best == used.size()) break;
        take(best);
    }
    std::vector<std::pair<int, uint32_t>> counts;
    for (uint32_t c : every)
        counts.emplace_back(0, c);
    for (const auto& colours : used)
        for (uint32_t c : colours) {
            const auto at =
                std::lower_bound(counts.begin(), counts.end(), c,
                                 [](const auto& e, uint32_t v) { return e.second < v; });
            if (at != counts.end() && at->second == c) --at->first;
        }
    std::stable_sort(counts.begin(), counts.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (size_t i = 0; i < counts.size() && chosen.size() < 256; ++i)
        chosen.insert(counts[i].second);
    table.assign(chosen.begin(), chosen.end());
    return true;
}

// The colours of the records: per record those it shows (its used indices
// but the transparent one), and all of them.
struct ColourSurvey {
    std::vector<std::vector<uint32_t>> used;
    std::set<uint32_t> every;
    std::vector<uint32_t> inOrder; // every colour, in the records' own order
};

// The table frames share: every colour when those fit in one table, else
// chosen by PickShared. `all` says whether it holds every colour. False for
// a picture the optimiser does not take.
bool sharedColours(const TFrameList& frames, ColourSurvey& survey, std::vector<uint32_t>& table,
                   bool& all) {
    auto& [used, every, inOrder] = survey;
    for (const TMyGifAnimation* record : frames) {
        zp::GlobalLockGuard lock(record->DibHandle);
        ic::DibView view;
        if (!lock || !ic::parseDib(lock.data(), GlobalSize(record->DibHandle), view)) return false;
        if (view.bpp > 8) return false;
        std::array<bool, 256> seen{};
        for (int32_t y = 0; y < view.height; ++y) {
            const uint8_t* row = view.row(y);
            if (view.bpp == 8) {
                for (int32_t x = 0; x < view.width; ++x)
                    seen[row[x]] = true;
            } else {
                for (int32_t x = 0; x < view.width; ++x)
                    seen[view.index(x, y)] = true;
            }
        }
        if (record->HasTransparency == 1) seen[record->TransparentIndex] = false;
        std::set<uint32_t> colours;
        for (uint32_t i = 0; i < 256; ++i) {
            if (!seen[i]) continue;
            const RGBQUAD c = i < view.colorCount ? view.colors[i] : RGBQUAD{0, 0, 0, 0};
            const uint32_t colour =
                kOpaque | uint32_t(c.rgbRed) << 16 | uint32_t(c.rgbGreen) << 8 | c.rgbBlue;
            colours.insert(colour);
            // In the records' own order: a table's neighbours often share an
            // area of the picture, which keeps a small frame's indices low.
            if (every.insert(colour).second) inOrder.push_back(colour);
        }
        used.emplace_back(colours.begin(), colours.end());
    }
    all = every.size() <= 256;
    if (all) {
        table = inOrder;
        return true;
    }
    return PickShared(used, every, table);
}

PVRect boundsWhere(int32_t w, int32_t h, auto&& test) {
    PVRect r{w, h, 0, 0};
    for (int32_t y = 0; y < h; ++y) {
        int32_t x0 = -1, x1 = -1;
        for (int32_t x = 0; x < w; ++x)
            if (test(size_t(y) * size_t(w) + size_t(x))) {
                if (x0 < 0) x0 = x;
                x1 = x;
            }
        if (x0 < 0) continue;
        r.x0 = std::min(r.x0, x0);
        r.x1 = std::max(r.x1, x1 + 1);
        r.y0 = std::min(r.y0, y);
        r.y1 = y + 1;
    }
    return r.empty() ? PVRect{} : r;
}

// Builds the new frames one screen at a time.
class Builder {
  public:
    Builder(int level, int32_t width, int32_t height, const TMyGifAnimation& first, TFrameList& out)
        : FLevel(level), FWidth(width), FHeight(height), FFirst(first), FOut(out),
          FBase(size_t(width) * size_t(height), kTransparent) {}

    // The global table; with `every` set it holds every colour, else frames
    // it cannot show get tables of their own.
    void UseTable(const std::vector<uint32_t>& colours, bool every) {
        FGlobal = every;
        FShared.set(colours, false);
    }

    // Writes screen `target` for `delay`; `next` is the screen after it
    // (nullptr for the last), `fixed` the rectangle a lone frame keeps.
    bool Add(const std::vector<uint32_t>& target, const std::vector<uint32_t>* next, uint16_t delay,
             const PVRect* fixed);
    // Per frame made, its LZW stream's bits where they were measured, else 0.
    const std::vector<uint64_t>& StreamBits() const { return FStreamBits; }

  private:
    // Sets FTable for the rectangle and answers the transparent index to
    // use, -1 for none, kNoTable when no table can show it.
    static constexpr int kNoTable = -2;
    int ChooseTable(const PVRect& r, const std::vector<uint32_t>& target, bool wantTransparent,
                    bool needTransparent);
    HGLOBAL MakeDib(const PVRect& r, const std::vector<uint8_t>& pixels) const;

    const int FLevel;
    const int32_t FWidth, FHeight;
    const TMyGifAnimation& FFirst;
    TFrameList& FOut;
    std::vector<uint32_t> FBase; // the screen the next frame is drawn on
    bool FGlobal = false;
    Table FShared; // the global table, or frame 0's when each frame has its own
    Table FOwn;
    const Table* FTable = nullptr; // the current frame's
    // The colour the frame's transparent index stands in for: every pixel
    // of it is unchanged and left transparent (kTransparent = none).
    uint32_t FLeftColour = 0;
    PVChoiceHistory FHistory;
    std::vector<uint64_t> FStreamBits;
};

int Builder::ChooseTable(const PVRect& r, const std::vector<uint32_t>& target, bool wantTransparent,
                         bool needTransparent) {
    ColourIndex seen, changedSeen;
    std::vector<uint32_t> colours, changed;
    for (int32_t y = r.y0; y < r.y1; ++y)
        for (int32_t x = r.x0; x < r.x1; ++x) {
            const size_t p = size_t(y) * size_t(FWidth) + size_t(x);
            const uint32_t c = target[p];
            if (c == kTransparent) continue;
            if (FBase[p] != c && changedSeen.add(c) >= 0) changed.push_back(c);
            if (seen.find(c) >= 0) continue;
            if (seen.add(c) < 0) return kNoTable;
            colours.push_back(c);
        }
    const bool transparent = wantTransparent || needTransparent;
    // The transparent index: the table's free slot, else an entry whose
    // colour this rectangle does not show, else (where unchanged pixels may
    // be left transparent) one whose colour only unchanged pixels show:
    // those pixels are then all left transparent.
    FLeftColour = kTransparent;
    const auto transparentIn = [&](const Table& table) {
        if (!transparent) return -1;
        if (table.slot >= 0) return table.slot;
        for (size_t i = 0; i < table.colours.size(); ++i)
            if (seen.find(table.colours[i]) < 0) return int(i);
        if (wantTransparent && !needTransparent)
            for (size_t i = 0; i < table.colours.size(); ++i)
                if (changedSeen.find(table.colours[i]) < 0) {
                    FLeftColour = table.colours[i];
                    return int(i);
                }
        return -1;
    };
    const auto holds = [&](const Table& table, const std::vector<uint32_t>& wanted) {
        return std::all_of(wanted.begin(), wanted.end(),
                           [&](uint32_t c) { return table.index.find(c) >= 0; });
    };
    // The global table, for every frame whose colours it holds; or, where
    // unchanged pixels may be left transparent, whose changed colours it
    // holds (the unchanged ones it lacks are then left transparent).
    if (FGlobal || holds(FShared, colours) || (wantTransparent && holds(FShared, changed))) {
        const int t = transparentIn(FShared);
        const bool all = FGlobal || holds(FShared, colours);
        if (FGlobal || t >= 0 || (!transparent && all)) {
            FTable = &FShared;
            return t < 0 && needTransparent ? kNoTable : t;
        }
    }
    FLeftColour = kTransparent;
    std::sort(colours.begin(), colours.end());
    Table& own = FOut.empty() ? FShared : FOwn;
    own.set(colours, transparent);
    FTable = &own;
    const int t = transparentIn(own);
    return t < 0 && needTransparent ? kNoTable : t;
}

HGLOBAL Builder::MakeDib(const PVRect& r, const std::vector<uint8_t>& pixels) const {
    std::vector<RGBQUAD> rgb(size_t(FTable->size()), RGBQUAD{0, 0, 0, 0});
    for (size_t i = 0; i < FTable->colours.size(); ++i) {
        const uint32_t c = FTable->colours[i];
        rgb[i] = RGBQUAD{uint8_t(c), uint8_t(c >> 8), uint8_t(c >> 16), 0};
    }
    const int32_t w = r.x1 - r.x0, h = r.y1 - r.y0;
    zp::GlobalBlock dib(ic::createDib(w, h, 8, rgb.data(), uint32_t(rgb.size())));
    if (!dib) return 0;
    ic::MutableDib view(dib.get());
    if (!view.ok()) return 0;
    for (int32_t y = 0; y < h; ++y)
        std::memcpy(view.row(y), pixels.data() + size_t(y) * size_t(w), size_t(w));
    return dib.release();
}

bool Builder::Add(const std::vector<uint32_t>& target, const std::vector<uint32_t>* next,
                  uint16_t delay, const PVRect* fixed) {
    const size_t screen = size_t(FWidth) * size_t(FHeight);
    // Pixels the next screen shows transparent where this one is opaque can
    // only be made so by clearing this frame's rectangle afterwards.
    PVRect clear;
    if (next)
        clear = boundsWhere(FWidth, FHeight, [&](size_t p) {
            return target[p] != kTransparent && (*next)[p] == kTransparent;
        });
    PVRect r = fixed ? *fixed : boundsWhere(FWidth, FHeight, [&](size_t p) {
                                    return FBase[p] != target[p];
                                }).united(clear);
    if (r.empty()) r = PVRect{0, 0, 1, 1}; // nothing changed, but the delay must be kept

    bool flexible = false, mustBeTransparent = false;
    for (int32_t y = r.y0; y < r.y1; ++y)
        for (int32_t x = r.x0; x < r.x1; ++x) {
            const size_t p = size_t(y) * size_t(FWidth) + size_t(x);
            if (target[p] == kTransparent) {
                // Nothing draws a transparent pixel over an opaque one.
                if (FBase[p] != kTransparent) return false;
                mustBeTransparent = true;
            } else if (FBase[p] == target[p]) {
                flexible = true;
            }
        }
    const bool wantTransparent = flexible && FLevel >= 2;
    const int transparent = ChooseTable(r, target, wantTransparent, mustBeTransparent);
    if (transparent == kNoTable) return false;
    const Table& table = *FTable;
    const bool useAlternatives = wantTransparent && transparent >= 0;
    const int32_t w = r.x1 - r.x0, h = r.y1 - r.y0;
    std::vector<uint8_t> pixels(size_t(w) * size_t(h)), alternatives;
    uint64_t streamBits = 0;
    if (useAlternatives) alternatives.resize(pixels.size());
    size_t at = 0;
    for (int32_t y = r.y0; y < r.y1; ++y)
        for (int32_t x = r.x0; x < r.x1; ++x, ++at) {
            const size_t p = size_t(y) * size_t(FWidth) + size_t(x);
            const uint32_t c = target[p];
            const int found =
                c == kTransparent || c == FLeftColour ? transparent : table.index.find(c);
            const uint8_t index = uint8_t(found < 0 ? transparent : found);
            pixels[at] = index;
            if (useAlternatives)
                alternatives[at] =
                    c != kTransparent && FBase[p] == c ? uint8_t(transparent) : index;
        }

    if (useAlternatives)
        pixels = ChooseUnchangedPixels(pixels, alternatives, uint8_t(transparent), size_t(w),
                                       tableBits(table.size()), FLevel, FHistory, &streamBits);
    FStreamBits.push_back(streamBits);
    const bool transparentUsed =
        transparent >= 0 &&
        std::find(pixels.begin(), pixels.end(), uint8_t(transparent)) != pixels.end();

    zp::GlobalBlock dib(MakeDib(r, pixels));
    if (!dib) return false;
    auto* record = new TMyGifAnimation;
    record->Name = "Frame " + std::to_string(FOut.size() + 1);
    record->ScreenWidth = uint16_t(FWidth);
    record->ScreenHeight = uint16_t(FHeight);
    record->ScreenColors = uint8_t(std::min(FShared.size(), 256) - 1);
    record->BackgroundColor = FFirst.BackgroundColor;
    record->Left = int16_t(r.x0);
    record->Top = int16_t(r.y0);
    record->Width = int16_t(w);
    record->Height = int16_t(h);
    record->Disposal = clear.empty() ? 1 : 2;
    record->HasTransparency = transparentUsed ? 1 : 0;
    record->TransparentIndex = transparentUsed ? uint8_t(transparent) : 0;
    record->Delay = delay;
    record->Loops = FFirst.Loops;
    record->DibHandle = dib.release();
    FOut.push_back(record);

    std::memcpy(FBase.data(), target.data(), screen * sizeof(uint32_t));
    if (!clear.empty())
        for (int32_t y = r.y0; y < r.y1; ++y)
            std::fill_n(FBase.data() + size_t(y) * size_t(FWidth) + size_t(r.x0), size_t(w),
                        kTransparent);
    return true;
}

// Orders the table frame 0 shares with others so that frames can start
// their codes narrower (SharedTableOrder.h). Every frame on that table gets
// its pixels renumbered and, where it has one, the lowest transparent index
// it can take. streamBits: per frame the size of its LZW stream at the
// table's width, 0 where unknown.
void sortSharedTable(TFrameList& frames, const std::vector<uint64_t>& streamBits) {
    std::vector<std::unique_ptr<ic::MutableDib>> dibs;
    for (TMyGifAnimation* record : frames)
        dibs.push_back(std::make_unique<ic::MutableDib>(record->DibHandle));
    if (!dibs.front()->ok()) return;
    const ic::DibView& first = dibs.front()->view();
    const auto sameTable = [&](const ic::DibView& v) {
        return v.colorCount == first.colorCount &&
               std::memcmp(v.colors, first.colors, first.colorCount * sizeof(RGBQUAD)) == 0;
    };
    const int bits = std::max(2, tableBits(int(first.colorCount)));
    std::vector<size_t> sharing;
    std::vector<PVTableUse> uses;
    for (size_t f = 0; f < frames.size(); ++f) {
        if (!dibs[f]->ok() || !sameTable(dibs[f]->view())) continue;
        const ic::DibView& v = dibs[f]->view();
        PVTableUse use;
        for (int32_t y = 0; y < v.height; ++y)
            for (int32_t x = 0; x < v.width; ++x)
                use.shown[v.row(y)[x]] = true;
        if (frames[f]->HasTransparency) {
            use.shown[frames[f]->TransparentIndex] = false;
            use.transparent = true;
        }
        uint64_t size = f < streamBits.size() ? streamBits[f] : 0;
        // Only a frame that could start narrower needs its size measured.
        if (size == 0 && use.shown.count() + use.transparent <= (size_t(1) << (bits - 1))) {
            std::vector<uint8_t> pixels;
            pixels.reserve(size_t(v.width) * size_t(v.height));
            for (int32_t y = 0; y < v.height; ++y)
                pixels.insert(pixels.end(), v.row(y), v.row(y) + v.width);
            size = ic::LzwPlanner(bits).run(pixels.data(), nullptr, pixels.size(), {}, nullptr,
                                            nullptr);
        }
        use.codes = CodesIn(bits, size);
        sharing.push_back(f);
        uses.push_back(use);
    }
    const std::vector<uint8_t> order = OrderSharedTable(uses, int(first.colorCount), bits);
    const std::vector<RGBQUAD> table(first.colors, first.colors + first.colorCount);
    for (size_t s = 0; s < sharing.size(); ++s) {
        TMyGifAnimation& record = *frames[sharing[s]];
        ic::MutableDib& dib = *dibs[sharing[s]];
        const PVTableFit fit = FitFrame(uses[s], order);
        std::array<uint8_t, 256> to{};
        for (size_t i = 0; i < order.size(); ++i) {
            to[i] = order[i];
            dib.colors()[order[i]] = table[i];
        }
        if (record.HasTransparency) to[record.TransparentIndex] = uint8_t(fit.transparent);
        for (int32_t y = 0; y < dib.view().height; ++y)
            for (int32_t x = 0; x < dib.view().width; ++x)
                dib.row(y)[x] = to[dib.row(y)[x]];
        if (record.HasTransparency) record.TransparentIndex = uint8_t(fit.transparent);
    }
}

} // namespace

PVGifOptimizer::PVGifOptimizer(int level) : FLevel(std::clamp(level, 1, 3)) {}

PVGifOptimizer::~PVGifOptimizer() {
    FreeFrames();
}

void PVGifOptimizer::FreeFrames() {
    for (TMyGifAnimation* record : FFrames) {
        zp::GlobalBlock::freeFully(record->DibHandle);
        delete record;
    }
    FFrames.clear();
}

bool PVGifOptimizer::Optimize(const TFrameList& frames) {
    FreeFrames();
    if (frames.empty()) return false;
    for (const TMyGifAnimation* record : frames)
        if (!record->DibHandle) return false;
    std::vector<uint32_t> shared;
    bool every = false;
    ColourSurvey survey;
    if (!sharedColours(frames, survey, shared, every)) return false;

    PVCompositor compositor;
    const auto compose = [&](size_t index, std::vector<uint32_t>& screen) {
        if (!compositor.ComposeTo(frames, int(index))) return false;
        screen.assign(compositor.Pixels(),
                      compositor.Pixels() + size_t(compositor.Width()) * compositor.Height());
        return true;
    };
    // Where frames may leave unchanged pixels transparent, a frame needs of
    // the shared table only the colours that change: the table is chosen
    // from those.
    if (!every && FLevel >= 2 && frames.size() > 1) {
        std::vector<std::vector<uint32_t>> changing;
        std::vector<uint32_t> before, screen;
        for (size_t i = 0; i < frames.size(); ++i) {
            if (!compose(i, screen)) return false;
            std::set<uint32_t> colours;
            for (size_t p = 0; p < screen.size(); ++p)
                if (screen[p] != kTransparent && (before.empty() || before[p] != screen[p]))
                    colours.insert(screen[p]);
            changing.emplace_back(colours.begin(), colours.end());
            before.swap(screen);
        }
        PickShared(changing, survey.every, shared);
    }
    std::vector<uint32_t> current, next;
    if (!compose(0, current) || current.empty()) return false;
    const int32_t width = compositor.Width(), height = compositor.Height();

    Builder builder(FLevel, width, height, *frames.front(), FFrames);
    builder.UseTable(shared, every);
    bool ok = true;
    if (frames.size() == 1) {
        // A lone picture keeps its rectangle: only its table and data shrink.
        const TMyGifAnimation& only = *frames.front();
        PVRect r{only.Left, only.Top, 0, 0};
        {
            zp::GlobalLockGuard lock(only.DibHandle);
            ic::DibView view;
            if (lock && ic::parseDib(lock.data(), GlobalSize(only.DibHandle), view)) {
                r.x1 = r.x0 + view.width;
                r.y1 = r.y0 + view.height;
            }
        }
        r = PVRect{std::max(r.x0, 0), std::max(r.y0, 0), std::min(r.x1, width),
                   std::min(r.y1, height)};
        ok = !r.empty() && builder.Add(current, nullptr, only.Delay, &r);
    } else {
        uint32_t delay = frames.front()->Delay;
        size_t index = 1;
        for (;;) {
            bool more = false;
            while (index < frames.size()) {
                if (!compose(index, next)) return (FreeFrames(), false);
                const uint32_t added = delay + frames[index]->Delay;
                ++index;
                // The same screen again only lengthens the one shown.
                if (next == current && added <= 0xFFFF) {
                    delay = added;
                    continue;
                }
                more = true;
                break;
            }
            if (!builder.Add(current, more ? &next : nullptr, uint16_t(delay), nullptr)) {
                ok = false;
                break;
            }
            if (!more) break;
            current.swap(next);
            delay = frames[index - 1]->Delay;
        }
    }
    if (!ok) FreeFrames();
    if (ok && FLevel >= 3) sortSharedTable(FFrames, builder.StreamBits());
    return ok;
}

} // namespace PVWebImg
