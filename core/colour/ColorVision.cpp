#include "colour/ColorVision.h"

#include <array>
#include <cstdint>
#include <iterator>

namespace {

// The web-safe grid: six levels per channel, 51 apart.
constexpr int kGridStep = 51;
constexpr int kGridLevels = 6;
constexpr int kGridColors = kGridLevels * kGridLevels * kGridLevels;

struct TDichromatEntry {
    std::uint32_t Prot, Deut, Trit; // 0xRRGGBB
};

constexpr TDichromatEntry kDichromat[] = {
#include "colour/ColorVisionTable.inc"
};
static_assert(std::size(kDichromat) == kGridColors, "one dichromat entry per web-safe colour");

constexpr TColor FromRRGGBB(std::uint32_t v)
{
    return RGB(static_cast<int>((v >> 16) & 0xFF), static_cast<int>((v >> 8) & 0xFF),
               static_cast<int>(v & 0xFF));
}

constexpr int GridIndex(int r, int g, int b) { return 36 * r + 6 * g + b; }

using TVisionColumn = std::array<TColor, kGridColors>;
using TVisionTable = std::array<TVisionColumn, kColorVisionTypeCount>;

// Every column is filled at compile time, so the table needs no start-up step and is
// shared read-only by every control that simulates.
constexpr TVisionTable BuildVisionTable()
{
    TVisionTable table{};
    for (int ri = 0; ri < kGridLevels; ++ri) {
        for (int gi = 0; gi < kGridLevels; ++gi) {
            for (int bi = 0; bi < kGridLevels; ++bi) {
                const int index = GridIndex(ri, gi, bi);
                const int r = ri * kGridStep, g = gi * kGridStep, b = bi * kGridStep;
                const TColor norm = RGB(r, g, b);
                const TColor dichromat[3] = {FromRRGGBB(kDichromat[index].Prot),
                                             FromRRGGBB(kDichromat[index].Deut),
                                             FromRRGGBB(kDichromat[index].Trit)};
                table[cvtNorm][index] = norm;
                for (int k = 0; k < 3; ++k) {
                    const TColor d = dichromat[k];
                    table[cvtProt + k][index] = d;
                    // The anomalous trichromat sees halfway between normal and dichromat.
                    table[cvtProA + k][index] = RGB((r + GetRValue(d)) / 2, (g + GetGValue(d)) / 2,
                                                    (b + GetBValue(d)) / 2);
                }
                const int sum = r + g + b;
                const int grey = sum / 3;
                table[cvtMono][index] = RGB(grey, grey, grey);
                // 80 % of the grey plus 20 % of the channel, kept in integers so it floors
                // exactly: (0.8 * sum / 3 + 0.2 * c) = (4 * sum + 3 * c) / 15.
                table[cvtPMon][index] =
                    RGB((4 * sum + 3 * r) / 15, (4 * sum + 3 * g) / 15, (4 * sum + 3 * b) / 15);
            }
        }
    }
    return table;
}

constexpr TVisionTable kVisionTable = BuildVisionTable();

// Where a channel byte sits on the grid: its nearest level, the level beside it on the
// colour's side, and its distance from the nearest level (0..25).
struct TChannelStep {
    std::uint8_t Level, Neighbour, Distance;
};

constexpr std::array<TChannelStep, 256> BuildChannelSteps()
{
    std::array<TChannelStep, 256> steps{};
    for (int c = 0; c < 256; ++c) {
        // Nearest level; 51 is odd, so a byte never lies exactly halfway and plain
        // integer rounding agrees with ties-to-even.
        const int level = (c + kGridStep / 2) / kGridStep;
        const int q = level * kGridStep;
        const int neighbour = c < q ? level - 1 : (c > q ? level + 1 : level);
        steps[c] = {static_cast<std::uint8_t>(level), static_cast<std::uint8_t>(neighbour),
                    static_cast<std::uint8_t>(c < q ? q - c : c - q)};
    }
    return steps;
}

constexpr std::array<TChannelStep, 256> kChannelSteps = BuildChannelSteps();

// Moves a table value e toward the neighbour's value f by distance / 51 and rounds to the
// nearest integer. In integers: the exact value is (51e - d(e - f)) / 51, which lies
// between e and f and so is never negative, and never sits on a half (its doubled
// numerator is even, 51 odd), so adding 25 before dividing rounds it exactly as
// ties-to-even rounding of the floating-point form would.
constexpr int Blend(int e, int f, int distance)
{
    return (kGridStep * e - distance * (e - f) + kGridStep / 2) / kGridStep;
}

} // namespace

TColor SimulateColorVision(TColor color, TColorVisionType type)
{
    const unsigned kind = static_cast<unsigned>(type);
    if (kind == cvtNorm || kind >= static_cast<unsigned>(kColorVisionTypeCount))
        return color;
    if (color & 0xFF000000u)
        color = ColorToRGB(color);

    const TChannelStep& r = kChannelSteps[GetRValue(color)];
    const TChannelStep& g = kChannelSteps[GetGValue(color)];
    const TChannelStep& b = kChannelSteps[GetBValue(color)];
    const TVisionColumn& column = kVisionTable[kind];
    const TColor e = column[GridIndex(r.Level, g.Level, b.Level)];
    // The neighbour moves in all three channels at once: the diagonal grid colour.
    const TColor f = column[GridIndex(r.Neighbour, g.Neighbour, b.Neighbour)];

    return RGB(Blend(GetRValue(e), GetRValue(f), r.Distance),
               Blend(GetGValue(e), GetGValue(f), g.Distance),
               Blend(GetBValue(e), GetBValue(f), b.Distance));
}
