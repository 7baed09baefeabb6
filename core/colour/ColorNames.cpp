#include "colour/ColorNames.h"

#include "colour/Colors.h"

#include <array>
#include <iterator>

namespace {

// Each sector spans its centre (n * 15 degrees) +/- 7.5 degrees; sector 24 is red again.
struct TSectorName {
    const char* Vivid;
    const char* Dull;
    const char* Temperature;
};

constexpr TSectorName kSectors[] = {
    {"red", "red", "warm"},
    {"橘红色", "红棕色", "warm"},
    {"橙色", "棕色", "warm"},
    {"橙黄色", "黄棕色", "warm"},
    {"黄色", "黄棕色", "warm"}, // vivid from 64 degrees on: kVividYellowGreen
    {"黄绿色", "黄绿色", "warm"},
    {"黄绿色", "黄绿色", "warm"},
    {"黄绿色", "黄绿色", "warm"},
    {"绿色", "绿色", "neutral"},
    {"蓝绿色", "蓝绿色", "cold"},
    {"蓝绿色", "蓝绿色", "cold"},
    {"绿青色", "绿青色", "cold"},
    {"青色", "青色", "cold"},
    {"蓝青色", "蓝青色", "cold"},
    {"中蓝色", "中蓝色", "cold"},
    {"中蓝色", "中蓝色", "cold"},
    {"蓝色", "蓝色", "cold"},
    {"靛青", "靛青", "cold"},
    {"蓝紫色", "蓝紫色", "cold"},
    {"紫色", "紫色", "cold"},
    {"品红", "品红", "cold"},
    {"微品红", "微品红", "cold"},
    {"紫红色", "紫红色", "cold"},
    {"品红", "品红", "neutral"},
    {"red", "red", "warm"},
};
constexpr int kSectorCount = 25;
static_assert(std::size(kSectors) == kSectorCount, "one entry per 15-degree sector, 0..360");

// Sector 4 straddles yellow and yellow-green; a vivid colour past this hue reads as the latter.
constexpr int kYellowSector = 4;
constexpr double kYellowGreenFrom = 64;
constexpr const char* kVividYellowGreen = "黄绿色";

constexpr const char* kShadePrefix = "阴影";
constexpr const char* kTintPrefix = "色调";
constexpr const char* kDesaturatedPrefix = "desaturated ";
constexpr const char* kGraySuffix = " gray";
constexpr const char* kWhiteSuffix = " white";
constexpr const char* kBlack = "black";
constexpr const char* kWhite = "white";

struct TNameInputs {
    double H = 0, S = 0; // HSB hue in degrees, saturation 0..1
    int S240 = 0, L240 = 0;
    int Sector = 0;
};

TNameInputs NameInputs(TColor color)
{
    color = ColorToRGB(color);
    TNameInputs in;
    const THSB hsb =
        RGBToHSB(GetRValue(color) / 255.0, GetGValue(color) / 255.0, GetBValue(color) / 255.0);
    in.H = hsb.H;
    in.S = hsb.S;
    const THSL240 hsl = ColorToHSL240(color);
    in.S240 = hsl.S;
    in.L240 = hsl.L;
    // RGBToHSB keeps the hue in [0, 360), so the sector is 0..24; the clamp keeps a
    // rounding slip from ever reading past the table.
    const int n = Round(in.H / 15);
    in.Sector = n < 0 ? 0 : (n >= kSectorCount ? kSectorCount - 1 : n);
    return in;
}

} // namespace

QString ColorTemperature(TColor color)
{
    return QString::fromUtf8(kSectors[NameInputs(color).Sector].Temperature);
}

QString ColorToName(TColor color)
{
    const TNameInputs in = NameInputs(color);
    const TSectorName& sector = kSectors[in.Sector];
    const QString t = QString::fromUtf8(sector.Temperature);

    const bool vivid = in.S240 >= 201 && in.L240 >= 101;
    QString name;
    if (!vivid)
        name = QString::fromUtf8(sector.Dull);
    else if (in.Sector == kYellowSector && in.H >= kYellowGreenFrom)
        name = QString::fromUtf8(kVividYellowGreen);
    else
        name = QString::fromUtf8(sector.Vivid);

    if (in.L240 < 110)
        name.prepend(QString::fromUtf8(kShadePrefix));
    else if (in.L240 > 130)
        name.prepend(QString::fromUtf8(kTintPrefix));
    if (in.S240 < 110)
        name.prepend(QString::fromUtf8(kDesaturatedPrefix));

    // Each later rule overrides the earlier ones: near-greys by temperature, then the
    // extremes of lightness.
    if (Round(in.S * 100) < 10)
        name = t + QString::fromUtf8(kGraySuffix);
    if (in.L240 < 20)
        name = QString::fromUtf8(kBlack);
    if (in.L240 > 230)
        name = in.L240 <= 237 ? t + QString::fromUtf8(kWhiteSuffix) : QString::fromUtf8(kWhite);
    return name;
}
