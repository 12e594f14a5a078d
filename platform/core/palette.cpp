// The emulated display's system palette: realization of logical palettes, colour matching, UpdateColors.
#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <utility>

#include "internal.h"

namespace platform {
namespace {

constexpr int kFirstFree = 10;
constexpr int kLastFree = 245;

constexpr PALETTEENTRY Rgb(BYTE r, BYTE g, BYTE b) { return PALETTEENTRY{r, g, b, 0}; }

// The twenty colours that Windows reserves at both ends of a 256-colour system palette.
constexpr std::array<PALETTEENTRY, 10> kLowStatics = {
    Rgb(0, 0, 0),     Rgb(128, 0, 0),   Rgb(0, 128, 0),     Rgb(128, 128, 0),   Rgb(0, 0, 128),
    Rgb(128, 0, 128), Rgb(0, 128, 128), Rgb(192, 192, 192), Rgb(192, 220, 192), Rgb(166, 202, 240),
};
constexpr std::array<PALETTEENTRY, 10> kHighStatics = {
    Rgb(255, 251, 240), Rgb(160, 160, 164), Rgb(128, 128, 128), Rgb(255, 0, 0), Rgb(0, 255, 0),
    Rgb(255, 255, 0),   Rgb(0, 0, 255),     Rgb(255, 0, 255),   Rgb(0, 255, 255), Rgb(255, 255, 255),
};

bool IsStatic(int index) { return index < kFirstFree || index > kLastFree; }

bool SameColour(const PALETTEENTRY& a, const PALETTEENTRY& b) {
    return a.peRed == b.peRed && a.peGreen == b.peGreen && a.peBlue == b.peBlue;
}

int Distance(const PALETTEENTRY& a, const PALETTEENTRY& b) {
    int dr = a.peRed - b.peRed, dg = a.peGreen - b.peGreen, db = a.peBlue - b.peBlue;
    return dr * dr + dg * dg + db * db;
}

using Palette = std::array<PALETTEENTRY, 256>;
using IndexSet = std::array<bool, 256>;

struct DisplayState {
    Palette current{};
    // Every distinct system palette shown so far; a window's paletteGeneration indexes it. A
    // palette realized again gets its old number back, so pixels drawn under it stay valid.
    std::vector<Palette> generations;
    int generation = 0;
    HPALETTE__ defaultPalette;

    DisplayState() {
        for (int i = 0; i < 10; ++i) {
            current[i] = kLowStatics[i];
            current[246 + i] = kHighStatics[i];
        }
        // The free slots start black until a palette is realized into them.
        for (int i = kFirstFree; i <= kLastFree; ++i) current[i] = Rgb(0, 0, 0);
        generations.push_back(current);
        for (int i = 0; i < 256; ++i) {
            if (!IsStatic(i)) continue;
            defaultPalette.entries.push_back(current[i]);
            defaultPalette.systemIndex.push_back(static_cast<BYTE>(i));
        }
    }
};

DisplayState& D() {
    static DisplayState state;
    return state;
}

// The system index nearest to the colour among the allowed ones: an exact match is distance 0,
// and a tie keeps the lower index because only a strictly nearer entry replaces the best.
BYTE Nearest(const PALETTEENTRY& colour, const IndexSet& allowed) {
    const Palette& sys = D().current;
    int best = 0;
    int bestDistance = std::numeric_limits<int>::max();
    for (int i = 0; i < 256; ++i) {
        if (!allowed[i]) continue;
        int d = Distance(colour, sys[i]);
        if (d < bestDistance) {
            best = i;
            bestDistance = d;
            if (d == 0) break;
        }
    }
    return static_cast<BYTE>(best);
}

// The system entries that a palette shows through. A palette never realized shows each of its
// colours as the nearest entry of the system palette as it stands.
IndexSet RealizedIndices(HPALETTE palette) {
    IndexSet used{};
    if (palette->systemIndex.size() == palette->entries.size() && !palette->entries.empty()) {
        for (BYTE i : palette->systemIndex) used[i] = true;
    } else {
        IndexSet all;
        all.fill(true);
        for (const auto& e : palette->entries) used[Nearest(e, all)] = true;
    }
    if (std::none_of(used.begin(), used.end(), [](bool b) { return b; })) used[0] = true;
    return used;
}

HPALETTE SelectedPalette(HDC dc) { return dc->palette ? dc->palette : &D().defaultPalette; }

}  // namespace

const std::array<PALETTEENTRY, 256>& SystemPalette() { return D().current; }

HPALETTE DefaultPalette() { return &D().defaultPalette; }

void MatchRealizedColours(HPALETTE palette, const PALETTEENTRY* colours, int count,
                          BYTE* indices) {
    /* The same answer as Nearest for each colour, in a fraction of its time, since three
       bitmaps' colours are matched while the game starts: the allowed entries are gathered once,
       an exact colour is found by binary search (lowest index first), and only the others are
       compared with every allowed entry. */
    const IndexSet allowed = RealizedIndices(palette ? palette : DefaultPalette());
    const Palette& sys = D().current;
    auto key = [](const PALETTEENTRY& c) {
        return static_cast<std::uint32_t>(c.peRed | (c.peGreen << 8) | (c.peBlue << 16));
    };
    std::array<std::pair<std::uint32_t, BYTE>, 256> exact;
    int candidateCount = 0;
    for (int i = 0; i < 256; ++i)
        if (allowed[i]) exact[candidateCount++] = {key(sys[i]), static_cast<BYTE>(i)};
    const auto end = exact.begin() + candidateCount;
    std::sort(exact.begin(), end);
    for (int i = 0; i < count; ++i) {
        const std::uint32_t k = key(colours[i]);
        auto found = std::lower_bound(exact.begin(), end, std::pair<std::uint32_t, BYTE>{k, 0});
        indices[i] = found != end && found->first == k ? found->second : Nearest(colours[i], allowed);
    }
}

}  // namespace platform

using namespace platform;

UINT RealizePalette(HDC dc) {
    if (!dc) return GDI_ERROR;
    HPALETTE palette = SelectedPalette(dc);
    DisplayState& d = D();

    /* A foreground realization as Windows makes it: an entry equal to one of the twenty static
       colours shows through that static entry; every other entry takes the next free slot, so
       a palette that keeps the statics at 0-9 and 246-255 lands on itself index for index. Only
       when the 236 free slots run out does an entry fall back to the nearest colour shown.
       This display has no other application, so a background realization is made the same way. */
    Palette next = d.current;
    const std::size_t count = palette->entries.size();
    palette->systemIndex.assign(count, 0);
    std::vector<std::size_t> overflow;
    int nextFree = kFirstFree;
    for (std::size_t i = 0; i < count; ++i) {
        const PALETTEENTRY& e = palette->entries[i];
        int match = -1;
        for (int k = 0; k < 10 && match < 0; ++k) {
            if (SameColour(e, kLowStatics[k])) match = k;
            else if (SameColour(e, kHighStatics[k])) match = 246 + k;
        }
        if (match < 0 && nextFree <= kLastFree) {
            match = nextFree++;
            next[match] = Rgb(e.peRed, e.peGreen, e.peBlue);
        }
        if (match < 0)
            overflow.push_back(i);
        else
            palette->systemIndex[i] = static_cast<BYTE>(match);
    }

    UINT changed = 0;
    for (int s = 0; s < 256; ++s)
        if (!SameColour(next[s], d.current[s])) ++changed;
    if (changed) {
        d.current = next;
        auto known = std::find_if(d.generations.begin(), d.generations.end(), [&](const Palette& p) {
            return std::equal(p.begin(), p.end(), next.begin(), SameColour);
        });
        d.generation = static_cast<int>(known - d.generations.begin());
        if (known == d.generations.end()) d.generations.push_back(next);
    }
    // The window's pixels are drawn through what it has just realized.
    if (dc->kind == HDC__::Kind::Window && IsLiveWindow(dc->window))
        dc->window->paletteGeneration = d.generation;
    IndexSet all;
    all.fill(true);
    for (std::size_t i : overflow) palette->systemIndex[i] = Nearest(palette->entries[i], all);

    if (changed) {
        CurrentBackend().SystemPaletteChanged();
        BroadcastPaletteChanged(dc->kind == HDC__::Kind::Window ? dc->window : nullptr);
    }
    return changed;
}

BOOL UpdateColors(HDC dc) {
    if (!dc || dc->kind != HDC__::Kind::Window || !IsLiveWindow(dc->window)) return FALSE;
    DisplayState& d = D();

    HWND hwnd = dc->window;
    const int from = hwnd->paletteGeneration;
    hwnd->paletteGeneration = d.generation;
    if (from == d.generation || from < 0 || from >= static_cast<int>(d.generations.size()))
        return TRUE;

    // A pixel keeps its index while its entry still holds the colour it was drawn in; otherwise
    // it takes the nearest colour of the DC's palette or of the statics, which never move.
    const Palette& drawnIn = d.generations[from];
    IndexSet allowed = RealizedIndices(SelectedPalette(dc));
    for (int s = 0; s < 256; ++s)
        if (IsStatic(s)) allowed[s] = true;
    std::array<BYTE, 256> remap{};
    bool identity = true;
    for (int s = 0; s < 256; ++s) {
        remap[s] = SameColour(d.current[s], drawnIn[s]) ? static_cast<BYTE>(s)
                                                       : Nearest(drawnIn[s], allowed);
        identity = identity && remap[s] == s;
    }
    if (identity) return TRUE;

    Surface& fb = hwnd->framebuffer;
    for (BYTE& p : fb.pixels) p = remap[p];
    FramebufferChanged(hwnd, RECT{0, 0, fb.width, fb.height});
    return TRUE;
}
