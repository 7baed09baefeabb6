#include "palette/PaletteOps.h"

#include "colour/Colors.h"

#include <cmath>
#include <vector>

namespace {

template <typename Snap> void SnapColors(TRichPalette& Palette, Snap snap)
{
    Palette.BeginUpdate();
    for (int i = 0; i < Palette.Count(); ++i) {
        TRichColor* swatch = Palette.Colors(i);
        swatch->SetColor(snap(swatch->Color()));
    }
    Palette.EndUpdate();
}

void AppendCopy(const TRichPalette& Source, TRichPalette& Dest, int Position)
{
    if (Position < 0 || Position >= Source.Count())
        return;
    // Read before adding: Source and Dest may be the same palette.
    const TRichColor* from = Source.Colors(Position);
    TRichColor* to = Dest.Add();
    to->Assign(*from);
}

} // namespace

bool IsSimilarColor(TColor Color1, TColor Color2, const TSimilarityLimits& Limits)
{
    const THSB a = ColorToHSB(Color1);
    const THSB b = ColorToHSB(Color2);
    return Round(std::fabs(a.H - b.H)) <= Limits.Hue && Round(std::fabs(a.S - b.S) * 100) <= Limits.Sat
        && Round(std::fabs(a.B - b.B) * 100) <= Limits.Brt;
}

void RemoveSimilarColors(const TRichPalette& Source, TRichPalette& Dest, int Hue, int Sat, int Brt)
{
    const TSimilarityLimits limits {Hue, Sat, Brt};
    TRichPalette filtered;
    filtered.SetTitle(Source.Title());
    filtered.SetDescription(Source.Description());
    filtered.SetAuthor(Source.Author());
    filtered.SetKeywords(Source.Keywords());
    filtered.SetURL(Source.URL());
    filtered.SetAutoCaption(Source.AutoCaption());
    filtered.SetDisplayMode(Source.DisplayMode());

    std::vector<TColor> kept;
    for (int i = 0; i < Source.Count(); ++i) {
        const TRichColor* swatch = Source.Colors(i);
        const TColor color = swatch->Color();
        bool similar = false;
        for (TColor k : kept) {
            if (IsSimilarColor(k, color, limits)) {
                similar = true;
                break;
            }
        }
        if (similar)
            continue;
        kept.push_back(color);
        filtered.Add()->Assign(*swatch);
    }
    Dest.Assign(filtered);
}

void SnapToWebSafe(TRichPalette& Palette)
{
    SnapColors(Palette, WebSafeColor);
}

void SnapToWebSmart(TRichPalette& Palette)
{
    SnapColors(Palette, WebSmartColor);
}

void ClearFromIndex(TRichPalette& Palette, int Index)
{
    if (Index < 0 || Index >= Palette.Count())
        return;
    Palette.BeginUpdate();
    while (Index < Palette.Count())
        Palette.Delete(Index);
    Palette.EndUpdate();
}

void AppendColorRow(const TRichPalette& Source, TRichPalette& Dest, int Number, int Columns)
{
    if (Columns <= 0 || Number < 0)
        return;
    const int k = Number % Columns;
    const int r = Number / Columns;
    // Positions are those of the source as it was, should Source and Dest be one palette.
    const int count = Source.Count();
    Dest.BeginUpdate();
    for (int i = 0; i < Columns; ++i) {
        const int p = (i + k) % Columns + Columns * r;
        if (p < count)
            AppendCopy(Source, Dest, p);
    }
    Dest.EndUpdate();
}

void AppendColorColumn(const TRichPalette& Source, TRichPalette& Dest, int Number, int Rows, int Columns)
{
    if (Columns <= 0 || Number < 0)
        return;
    const int k = Number % Columns;
    const int count = Source.Count();
    Dest.BeginUpdate();
    for (int row = Rows - 1; row >= 0; --row) {
        const int p = Columns * row + k;
        if (p < count)
            AppendCopy(Source, Dest, p);
    }
    Dest.EndUpdate();
}

void AppendEnabledColors(const TRichPalette& Source, TRichPalette& Dest)
{
    const int count = Source.Count();
    Dest.BeginUpdate();
    for (int i = 0; i < count; ++i)
        if (Source.Colors(i)->Enabled())
            AppendCopy(Source, Dest, i);
    Dest.EndUpdate();
}

QString NewPaletteTitle(int PaletteCount)
{
    return QStringLiteral("Palette %1").arg(PaletteCount + 1);
}

QString DuplicatePaletteTitle(const QString& Title)
{
    if (Title.isEmpty())
        return QStringLiteral("Copy of palette");
    return QStringLiteral("Copy of %1").arg(Title);
}
