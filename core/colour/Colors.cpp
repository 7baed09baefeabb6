#include "colour/Colors.h"

#include <algorithm>
#include <cctype>

bool HexShortHand = true;
bool HexLowerCase = true;

const char* const kVariationStyleNames[kVariationStyleCount] = {
    "Light to Dark", "Brighter", "Lighter", "Darker", "More Saturated",
    "Less Saturated", "More Saturated & Darker", "Less Saturated & Lighter", "Cooler", "Warmer"};
const int kVariationStyleKinds[kVariationStyleCount] = {
    akLightToDark, akBrighter, akLighter, akDarker, akMoreSaturated,
    akLessSaturated, akMoreSaturatedDarker, akLessSaturatedLighter, akCooler, akWarmer};

namespace {

// Channels outside 0..1 (an adjustment pushed past white, say) are held at the ends
// rather than wrapping into the neighbouring byte.
int ToByte(double fraction) { return std::clamp(Round(fraction * 255.0), 0, 255); }

TColor PackFractions(const TRGBf& c) { return RGB(ToByte(c.R), ToByte(c.G), ToByte(c.B)); }

double HslChannel(double m1, double m2, double x)
{
    if (x < 0)
        x += 1;
    else if (x > 1)
        x -= 1;
    if (6 * x < 1)
        return m1 + (m2 - m1) * 6 * x;
    if (2 * x < 1)
        return m2;
    if (3 * x < 2)
        return m1 + (m2 - m1) * (2.0 / 3.0 - x) * 6;
    return m1;
}

QString Hex2(int byte) { return QStringLiteral("%1").arg(byte & 0xFF, 2, 16, QLatin1Char('0')).toUpper(); }

} // namespace

THSB RGBToHSB(double r, double g, double b)
{
    const double mx = std::max({r, g, b});
    const double mn = std::min({r, g, b});
    const double delta = mx - mn;
    THSB out;
    out.B = mx;
    out.S = mx == 0 ? 0 : delta / mx;
    if (out.S == 0) {
        out.H = 0;
        return out;
    }
    if (r == mx)
        out.H = (g - b) * 60 / delta;
    else if (g == mx)
        out.H = (b - r) * 60 / delta + 120;
    else
        out.H = (r - g) * 60 / delta + 240;
    if (out.H < 0)
        out.H += 360;
    return out;
}

TRGBf HSBToRGB(double h, double s, double v)
{
    if (s == 0)
        return {v, v, v};
    const double hh = (h == 360 ? 0 : h) / 60;
    const int i = Trunc(hh);
    const double f = hh - i;
    const double p = v * (1 - s);
    const double q = v * (1 - s * f);
    const double t = v * (1 - s * (1 - f));
    switch (i) {
    case 0: return {v, t, p};
    case 1: return {q, v, p};
    case 2: return {p, v, t};
    case 3: return {p, q, v};
    case 4: return {t, p, v};
    default: return {v, p, q};
    }
}

TColor HSBToColor(double h, double s, double v)
{
    if (!std::isfinite(h))
        h = 0;
    if (h < 0)
        h += 360;
    else if (h >= 360)
        h -= 360;
    // A hue still outside one turn would index past the sextants; fold it fully.
    if (h < 0 || h >= 360) {
        h = std::fmod(h, 360.0);
        if (h < 0)
            h += 360;
    }
    return PackFractions(HSBToRGB(h, s, v));
}

THSB ColorToHSB(TColor color)
{
    return RGBToHSB(GetRValue(color) / 255.0, GetGValue(color) / 255.0, GetBValue(color) / 255.0);
}

THSL RGBToHSL(double r, double g, double b)
{
    const double mx = std::max({r, g, b});
    const double mn = std::min({r, g, b});
    THSL out;
    out.L = (mx + mn) / 2;
    if (mx == mn)
        return out;
    const double delta = mx - mn;
    out.S = out.L > 0.5 ? delta / (2 - mx - mn) : delta / (mx + mn);
    if (r == mx)
        out.H = (g - b) / delta;
    else if (g == mx)
        out.H = (b - r) / delta + 2;
    else
        out.H = (r - g) / delta + 4;
    out.H /= 6;
    if (out.H < 0)
        out.H += 1;
    return out;
}

TRGBf HSLToRGB(double h, double s, double l)
{
    if (s == 0)
        return {l, l, l};
    const double m2 = l <= 0.5 ? l * (1 + s) : l + s - l * s;
    const double m1 = 2 * l - m2;
    return {HslChannel(m1, m2, h + 1.0 / 3.0), HslChannel(m1, m2, h), HslChannel(m1, m2, h - 1.0 / 3.0)};
}

TColor HSLToColor(double h, double s, double l)
{
    if (s == 0) {
        const int grey = ToByte(l);
        return RGB(grey, grey, grey);
    }
    return PackFractions(HSLToRGB(h, s, l));
}

THSL ColorToHSL(TColor color)
{
    return RGBToHSL(GetRValue(color) / 255.0, GetGValue(color) / 255.0, GetBValue(color) / 255.0);
}

THSL240 ColorToHSL240(TColor color)
{
    const THSL hsl = ColorToHSL(color);
    return {Round(hsl.H * 240), Round(hsl.S * 240), Round(hsl.L * 240)};
}

TCMYK ColorToCMYK(TColor color)
{
    TCMYK out;
    out.C = Round(100 - GetRValue(color) * 100 / 255.0);
    out.M = Round(100 - GetGValue(color) * 100 / 255.0);
    out.Y = Round(100 - GetBValue(color) * 100 / 255.0);
    out.K = std::min({out.C, out.M, out.Y});
    if (out.K > 0) {
        out.C -= out.K;
        out.M -= out.K;
        out.Y -= out.K;
    }
    return out;
}

TColor SwapRedBlue(TColor color)
{
    return (color & 0xFF00FF00u) | ((color & 0xFF) << 16) | ((color >> 16) & 0xFF);
}

double WrapAngle(int sign, double angle)
{
    double x = sign * angle;
    // Loops as written would spin for ever on a huge or non-finite angle.
    if (!std::isfinite(x))
        return 0;
    if (x < -360 || x >= 720)
        x = std::fmod(x, 360.0);
    while (x < 0)
        x += 360;
    while (x >= 360)
        x -= 360;
    return x;
}

TColor WebSafeColor(TColor color)
{
    auto snap = [](int c) { return Round(c / 51.0) * 51; };
    return RGB(snap(GetRValue(color)), snap(GetGValue(color)), snap(GetBValue(color)));
}

TColor WebSmartColor(TColor color)
{
    auto snap = [](int c) { return Round(c / 17.0) * 17; };
    return RGB(snap(GetRValue(color)), snap(GetGValue(color)), snap(GetBValue(color)));
}

TColor AdjustColor(TColor color, int kind, double amount)
{
    color = ColorToRGB(color);
    const THSB b = ColorToHSB(color);
    const THSL l = ColorToHSL(color);
    switch (kind) {
    case akLightToDark:
        return HSLToColor(l.H, l.S, 1 - amount);
    case akBrighter:
        return HSBToColor(b.H, b.S, b.B + (1 - b.B) * amount);
    case akLighter:
        return HSBToColor(b.H, b.S - b.S * amount, b.B + (1 - b.B) * amount);
    case akLighterHSL:
        return HSLToColor(l.H, l.S, l.L + (1 - l.L) * amount);
    case akDarker:
        return HSBToColor(b.H, b.S, b.B - b.B * amount);
    case akMoreSaturated:
        if (b.S > 0)
            return HSBToColor(b.H, b.S + (1 - b.S) * amount, b.B);
        return color;
    case akLessSaturated:
        return HSBToColor(b.H, b.S - b.S * amount, b.B - b.B * amount / 2);
    case akMoreSaturatedDarker:
        if (b.S > 0)
            return HSBToColor(b.H, b.S + (1 - b.S) * amount, b.B - b.B * amount);
        return HSBToColor(b.H, b.S, b.B - b.B * amount);
    case akLessSaturatedLighter:
        return HSLToColor(l.H, l.S - l.S * amount, l.L + (1 - l.L) * amount * 0.95);
    case akCooler:
        return HSBToColor(b.H + (240 - b.H) * amount, b.S, b.B);
    case akWarmer:
        if (b.H < 240)
            return HSBToColor(b.H - b.H * amount, b.S, b.B);
        return HSBToColor(b.H + (360 - b.H) * amount, b.S, b.B);
    default:
        return color;
    }
}

QString ColorToHex(int r, int g, int b, bool withHash)
{
    QString text = Hex2(r) + Hex2(g) + Hex2(b);
    if (HexShortHand && text[0] == text[1] && text[2] == text[3] && text[4] == text[5])
        text = QString(text[0]) + text[2] + text[4];
    if (HexLowerCase)
        text = text.toLower();
    if (withHash)
        text.prepend(QLatin1Char('#'));
    return text;
}

QString ColorToFullHex(TColor color, bool withHash)
{
    const QString text = Hex2(GetRValue(color)) + Hex2(GetGValue(color)) + Hex2(GetBValue(color));
    return withHash ? QLatin1Char('#') + text : text;
}

QString ColorToText(TColorValueFmt format, int style, TColor color)
{
    const int r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
    switch (format) {
    case cfHex:
        if (style == 0)
            return ColorToHex(r, g, b, false);
        if (style == 1)
            return ColorToHex(r, g, b, true);
        return QString();
    case cfRGB:
        if (style == 0)
            return QStringLiteral("%1.%2.%3").arg(r).arg(g).arg(b);
        if (style == 1)
            return QStringLiteral("RGB:%1.%2.%3").arg(r).arg(g).arg(b);
        return QStringLiteral("R:%1 G:%2 B:%3").arg(r).arg(g).arg(b);
    case cfHSB: {
        const THSB hsb = ColorToHSB(color);
        const int h = Round(hsb.H), s = Round(hsb.S * 100), v = Round(hsb.B * 100);
        if (style == 0)
            return QStringLiteral("%1-%2-%3").arg(h).arg(s).arg(v);
        if (style == 1)
            return QStringLiteral("HSB:%1.%2.%3").arg(h).arg(s).arg(v);
        return QStringLiteral("H:%1 S:%2 B:%3").arg(h).arg(s).arg(v);
    }
    case cfHSL: {
        const THSL240 hsl = ColorToHSL240(color);
        if (style == 0)
            return QStringLiteral("%1-%2-%3").arg(hsl.H).arg(hsl.S).arg(hsl.L);
        if (style == 1)
            return QStringLiteral("HSL:%1.%2.%3").arg(hsl.H).arg(hsl.S).arg(hsl.L);
        return QStringLiteral("H:%1 S:%2 L:%3").arg(hsl.H).arg(hsl.S).arg(hsl.L);
    }
    case cfCMYK:
        return QStringLiteral("--");
    case cfVisualBasic:
        return QStringLiteral("&H") + Hex2(b) + Hex2(g) + Hex2(r);
    case cfDelphi:
        return QStringLiteral("$00") + Hex2(b) + Hex2(g) + Hex2(r);
    case cfVisualStudio:
        return QStringLiteral("%1;%2;%3").arg(r).arg(g).arg(b);
    }
    return QString();
}

TColor HexToColor(const QString& text, TColor defaultColor)
{
    QString s = text;
    if (s.startsWith(QLatin1Char('#')))
        s.remove(0, 1);
    if (s.isEmpty())
        return clBlack;
    if (s.size() == 3) {
        s = QString(s[0]) + s[0] + s[1] + s[1] + s[2] + s[2];
    } else if (s.size() < 6) {
        s = s.rightJustified(6, QLatin1Char('0'));
    }
    const QString bgr = s.mid(4, 2) + s.mid(2, 2) + s.mid(0, 2);
    for (const QChar ch : bgr) {
        if (!std::isxdigit(static_cast<unsigned char>(ch.toLatin1())) || ch.unicode() > 0x7F)
            return defaultColor;
    }
    bool ok = false;
    const uint value = bgr.toUInt(&ok, 16);
    return ok ? static_cast<TColor>(value) : defaultColor;
}

QString ColorToStatusRGB(TColor color)
{
    return QStringLiteral(" R:%1  G:%2  B:%3").arg(GetRValue(color)).arg(GetGValue(color)).arg(GetBValue(color));
}

QString ColorToStatusHSB(TColor color)
{
    const THSB hsb = ColorToHSB(color);
    return QStringLiteral(" H:%1  S:%2  B:%3").arg(Round(hsb.H)).arg(Round(hsb.S * 100)).arg(Round(hsb.B * 100));
}

QString ColorToStatusHSL(TColor color)
{
    const THSL240 hsl = ColorToHSL240(color);
    return QStringLiteral(" H:%1  S:%2  L:%3").arg(hsl.H).arg(hsl.S).arg(hsl.L);
}

QString ColorToStatusCMYK(TColor color)
{
    const TCMYK c = ColorToCMYK(color);
    return QStringLiteral(" C:%1  M:%2  Y:%3  K:%4").arg(c.C).arg(c.M).arg(c.Y).arg(c.K);
}

QString SwatchImageName(TColor color)
{
    return QStringLiteral("sw") + Hex2(GetRValue(color)) + Hex2(GetGValue(color)) + Hex2(GetBValue(color)) +
           QStringLiteral(".gif");
}
