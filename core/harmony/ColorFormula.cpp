#include "harmony/ColorFormula.h"

#include "palette/XmlDoc.h"

#include <algorithm>
#include <cmath>

namespace {

const char* const kFormulaErrorText = "Error in formula";

QString WithoutBlanks(const QString& value)
{
    QString out;
    out.reserve(value.size());
    for (QChar c : value)
        if (!c.isSpace())
            out.append(c);
    return out;
}

TFormulaBase ReadBase(const TXmlElement& node, const QString& name)
{
    const QString word = node.Attribute(name);
    if (word == QLatin1String("None"))
        return fbNone;
    if (word == QLatin1String("BaseColor"))
        return fbBaseColor;
    if (word == QLatin1String("PreviousColor"))
        return fbPreviousColor;
    throw EFormulaReadError();
}

// Formula files are hand-edited; a number that does not parse takes the default rather
// than failing the whole file.
int ReadInt(const TXmlElement& node, const QString& name, int defaultValue)
{
    bool ok = false;
    const int value = node.Attribute(name).trimmed().toInt(&ok, 10);
    return ok ? value : defaultValue;
}

bool ReadYes(const TXmlElement& node, const QString& name)
{
    return node.Attribute(name) == QLatin1String("Yes");
}

// Brings a hue into [0, 360) for the conversions, which expect at most one turn. Only
// a file with clamps beyond the circle can produce such hues.
double NormalizeHue(double h)
{
    if (!std::isfinite(h))
        return 0;
    if (h < 0 || h >= 360) {
        h = std::fmod(h, 360.0);
        if (h < 0)
            h += 360;
        if (h >= 360)
            h = 0;
    }
    return h;
}

double Clamp01(double x)
{
    if (!(x >= 0))
        return 0;
    return x > 1 ? 1 : x;
}

double BaseOffset(TFormulaBase base, double fromBase, double fromPrevious)
{
    switch (base) {
    case fbBaseColor: return fromBase;
    case fbPreviousColor: return fromPrevious;
    case fbNone: break;
    }
    return 0;
}

// Above the maximum becomes the maximum, then below the minimum becomes the minimum.
double ClampTo(double x, double lo, double hi)
{
    if (x > hi)
        x = hi;
    if (x < lo)
        x = lo;
    return x;
}

} // namespace

EFormulaReadError::EFormulaReadError() : std::runtime_error(kFormulaErrorText) {}

// ---------------------------------------------------------------------------------------

void TColorFormulaElmt::SetTitle(const QString& Value) { FTitle = Value.trimmed(); }
void TColorFormulaElmt::SetId(const QString& Value) { FId = WithoutBlanks(Value); }
void TColorFormulaElmt::SetLink(const QString& Value) { FLink = WithoutBlanks(Value); }

void TColorFormulaElmt::Assign(const TColorFormulaElmt& Source)
{
    if (&Source == this)
        return;
    FTitle = Source.FTitle;
    FDescription = Source.FDescription;
    FId = Source.FId;
    FLink = Source.FLink;
    HueBase = Source.HueBase;
    SatBase = Source.SatBase;
    BrtBase = Source.BrtBase;
    HueVal = Source.HueVal;
    SatVal = Source.SatVal;
    BrtVal = Source.BrtVal;
    HueMin = Source.HueMin;
    HueMax = Source.HueMax;
    SatMin = Source.SatMin;
    SatMax = Source.SatMax;
    BrtMin = Source.BrtMin;
    BrtMax = Source.BrtMax;
    SatInv = Source.SatInv;
    BrtInv = Source.BrtInv;
    Color = Source.Color;
}

void TColorFormulaElmt::LoadFromXml(const TXmlElement& node)
{
    // Parse the words before touching anything, so a bad element leaves no trace.
    const TFormulaBase hueBase = ReadBase(node, QStringLiteral("HueBase"));
    const TFormulaBase satBase = ReadBase(node, QStringLiteral("SatBase"));
    const TFormulaBase brtBase = ReadBase(node, QStringLiteral("BrtBase"));

    SetTitle(node.Attribute(QStringLiteral("Title")));
    SetDescription(node.Attribute(QStringLiteral("Description")));
    SetId(node.Attribute(QStringLiteral("Id")));
    SetLink(node.Attribute(QStringLiteral("Link")));
    HueBase = hueBase;
    SatBase = satBase;
    BrtBase = brtBase;
    HueVal = ReadInt(node, QStringLiteral("HueVal"), 0);
    SatVal = ReadInt(node, QStringLiteral("SatVal"), 0);
    BrtVal = ReadInt(node, QStringLiteral("BrtVal"), 0);
    HueMin = ReadInt(node, QStringLiteral("HueMin"), 0);
    SatMin = ReadInt(node, QStringLiteral("SatMin"), 0);
    BrtMin = ReadInt(node, QStringLiteral("BrtMin"), 0);
    HueMax = ReadInt(node, QStringLiteral("HueMax"), 360);
    SatMax = ReadInt(node, QStringLiteral("SatMax"), 255);
    BrtMax = ReadInt(node, QStringLiteral("BrtMax"), 255);
    SatInv = ReadYes(node, QStringLiteral("SatInv"));
    BrtInv = ReadYes(node, QStringLiteral("BrtInv"));
}

bool TColorFormulaElmt::CopiesBaseColor() const
{
    return HueBase == fbBaseColor && SatBase == fbBaseColor && BrtBase == fbBaseColor &&
           HueVal == 0 && SatVal == 0 && BrtVal == 0 && HueMin == 0 && HueMax == 360 &&
           SatMin == 0 && BrtMin == 0 && SatMax == 255 && BrtMax == 255;
}

// ---------------------------------------------------------------------------------------

TColorFormula::TColorFormula() = default;
TColorFormula::~TColorFormula() = default;

TColorFormulaElmt* TColorFormula::Elements(int Index) const
{
    if (Index < 0 || Index >= Count())
        return nullptr;
    return FElements[static_cast<size_t>(Index)].get();
}

TColorFormulaElmt* TColorFormula::AddElement()
{
    if (Count() >= FMaxElements)
        return nullptr;
    FElements.push_back(std::make_unique<TColorFormulaElmt>());
    return FElements.back().get();
}

void TColorFormula::Clear() { FElements.clear(); }

void TColorFormula::Assign(const TColorFormula& Source)
{
    if (&Source == this)
        return;
    FTitle = Source.FTitle;
    FDescription = Source.FDescription;
    FMaxElements = Source.FMaxElements;
    FTransferMode = Source.FTransferMode;
    Pattern = Source.Pattern;
    Ctls = Source.Ctls;
    FBase = Source.FBase;
    FElements.clear();
    for (const auto& e : Source.FElements) {
        auto copy = std::make_unique<TColorFormulaElmt>();
        copy->Assign(*e);
        FElements.push_back(std::move(copy));
    }
    Recalculate();
}

void TColorFormula::SetBaseHSB(double hue, double saturation, double brightness)
{
    FBase = HSBToRGB(NormalizeHue(hue), saturation, brightness);
    Recalculate();
}

void TColorFormula::Recalculate()
{
    const THSB base = RGBToHSB(FBase.R, FBase.G, FBase.B);
    TRGBf previous = FBase;
    for (const auto& e : FElements) {
        const THSB prev = RGBToHSB(previous.R, previous.G, previous.B);

        double H = e->HueVal + BaseOffset(e->HueBase, base.H, prev.H);
        double S = e->SatVal / 255.0 + BaseOffset(e->SatBase, base.S, prev.S);
        double V = e->BrtVal / 255.0 + BaseOffset(e->BrtBase, base.B, prev.B);

        if (H >= 360)
            H -= 360;
        else if (H < 0)
            H += 360;
        if (e->SatInv)
            S = 1 - S;
        if (e->BrtInv)
            V = 1 - V;

        H = ClampTo(H, e->HueMin, e->HueMax);
        S = ClampTo(S, e->SatMin / 255.0, e->SatMax / 255.0);
        V = ClampTo(V, e->BrtMin / 255.0, e->BrtMax / 255.0);

        // The file's clamps are trusted for shaping the colour but not for staying on the
        // circle and in 0..1: beyond those the conversions would produce a colour from a
        // different part of the wheel or bytes that spill into the next channel.
        H = NormalizeHue(H);
        S = Clamp01(S);
        V = Clamp01(V);

        if (!FTransferMode)
            e->Color = HSBToColor(H, S, V);
        else if (e->CopiesBaseColor())
            // From the unclamped base, so a base lighter than the artistic wheel keeps
            // its brightness.
            e->Color = FTransfer.ArtisticToColor(base.H, base.S, base.B, -1, -1, -1);
        else
            e->Color = FTransfer.ArtisticToColor(H, S, V, -1, -1, -1);

        previous = HSBToRGB(H, S, V);
    }
    if (OnFormulaChange)
        OnFormulaChange(this);
}

// ---------------------------------------------------------------------------------------

TColorFormulaList::TColorFormulaList() = default;
TColorFormulaList::~TColorFormulaList() = default;

TColorFormula* TColorFormulaList::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        return nullptr;
    return FItems[static_cast<size_t>(Index)].get();
}

TColorFormula* TColorFormulaList::AddFormula()
{
    if (Count() >= FMaxElements)
        return nullptr;
    FItems.push_back(std::make_unique<TColorFormula>());
    return FItems.back().get();
}

void TColorFormulaList::Clear() { FItems.clear(); }

int TColorFormulaList::IndexOfTitle(const QString& title) const
{
    for (int i = 0; i < Count(); ++i)
        if (FItems[static_cast<size_t>(i)]->Title() == title)
            return i;
    return -1;
}

void TColorFormulaList::Assign(const TColorFormulaList& Source)
{
    if (&Source == this)
        return;
    FTitle = Source.FTitle;
    FDescription = Source.FDescription;
    Clear();
    for (const auto& f : Source.FItems) {
        TColorFormula* copy = AddFormula();
        if (!copy)
            break;
        copy->Assign(*f);
    }
}

bool TColorFormulaList::LoadFromFile(const QString& fileName, bool append)
{
    TXmlDocument document;
    const bool loaded = document.LoadFromFile(fileName);
    return LoadFromDocument(loaded, document, append);
}

bool TColorFormulaList::LoadFromBytes(const QByteArray& data, bool append)
{
    TXmlDocument document;
    const bool loaded = document.LoadFromBytes(data);
    return LoadFromDocument(loaded, document, append);
}

bool TColorFormulaList::LoadFromDocument(bool loaded, const TXmlDocument& document, bool append)
{
    FLastError.clear();
    if (!append)
        Clear();
    if (!loaded || !document.Root()) {
        FLastError = document.ErrorString();
        if (FLastError.isEmpty())
            FLastError = QStringLiteral("The formula file could not be read");
        return false;
    }
    const TXmlElement* root = document.Root();
    if (root->Name() != QLatin1String("ColorFormulas"))
        return true;

    int formulaNumber = 0;
    for (const TXmlElement* node : root->Children()) {
        if (node->Name() != QLatin1String("Formula"))
            continue;
        ++formulaNumber;
        TColorFormula* formula = AddFormula();
        if (!formula) {
            FLastError = QStringLiteral("More than %1 formulas in the file").arg(FMaxElements);
            return false;
        }
        formula->SetTitle(node->Attribute(QStringLiteral("Title")));
        bool ok = false;
        const int pattern = node->Attribute(QStringLiteral("Pattern")).trimmed().toInt(&ok, 10);
        formula->Pattern = ok ? pattern : 1;
        const QString ctls = node->Attribute(QStringLiteral("Ctls"));
        std::uint8_t flags = 0;
        for (int k = 0; k < 6 && k < ctls.size(); ++k)
            if (ctls.at(k) == QLatin1Char('0'))
                flags |= static_cast<std::uint8_t>(1u << k);
        formula->Ctls = flags;

        int elementNumber = 0;
        for (const TXmlElement* child : node->Children()) {
            if (child->Name() == QLatin1String("Description")) {
                formula->SetDescription(child->Text());
            } else if (child->Name() == QLatin1String("Color")) {
                ++elementNumber;
                const auto where = [&] {
                    return QStringLiteral(" (formula %1 \"%2\", color %3)")
                        .arg(formulaNumber)
                        .arg(formula->Title())
                        .arg(elementNumber);
                };
                TColorFormulaElmt element;
                try {
                    element.LoadFromXml(*child);
                } catch (const EFormulaReadError& error) {
                    FLastError = QString::fromLatin1(error.what()) + where();
                    formula->Recalculate();
                    return false;
                }
                TColorFormulaElmt* added = formula->AddElement();
                if (!added) {
                    FLastError = QStringLiteral("More than %1 colors in a formula")
                                     .arg(formula->MaxElements()) +
                                 where();
                    formula->Recalculate();
                    return false;
                }
                added->Assign(element);
            }
        }
        // Colours are meaningful from the start, computed from the default base colour.
        formula->Recalculate();
    }
    return true;
}
