#pragma once
// Colour formulas: small recipes that derive a fixed set of colours from the base
// colour, read from ".cff" XML files. One file holds many formulas; each formula is an
// ordered list of elements, and each element yields one colour by setting hue,
// saturation and brightness absolutely or as offsets from the base colour or from the
// element before it.
//
// Units: hue values and clamps in degrees, saturation and brightness values and clamps
// on 0..255 (a file's integers as written).

#include "colour/ColorTypes.h"
#include "colour/Colors.h"
#include "colour/Events.h"
#include "harmony/ColorTransfer.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <vector>

class TXmlDocument;
class TXmlElement;

// Malformed attributes of a formula element. The file readers catch it and end the
// load; it never leaves LoadFromFile.
class EFormulaReadError : public std::runtime_error {
public:
    EFormulaReadError();
};

// What a component is relative to. In a file: "None", "BaseColor", "PreviousColor".
enum TFormulaBase { fbNone = 0, fbBaseColor = 1, fbPreviousColor = 2 };

using TFormulaChangeEvent = TNotifyEvent;

class TColorFormulaElmt : public TObject {
public:
    // Caption; blanks trimmed at both ends.
    const QString& Title() const { return FTitle; }
    void SetTitle(const QString& Value);
    const QString& Description() const { return FDescription; }
    void SetDescription(const QString& Value) { FDescription = Value; }
    // Identifiers, with every blank removed.
    const QString& Id() const { return FId; }
    void SetId(const QString& Value);
    const QString& Link() const { return FLink; }
    void SetLink(const QString& Value);

    TFormulaBase HueBase = fbNone;
    TFormulaBase SatBase = fbNone;
    TFormulaBase BrtBase = fbNone;
    // Value or offset: hue in degrees, saturation and brightness on 0..255.
    int HueVal = 0;
    int SatVal = 255;
    int BrtVal = 255;
    // Clamps, same units.
    int HueMin = 0;
    int HueMax = 360;
    int SatMin = 0;
    int SatMax = 255;
    int BrtMin = 0;
    int BrtMax = 255;
    // Invert the component (x becomes 1 - x) before clamping.
    bool SatInv = false;
    bool BrtInv = false;
    // The colour computed by the last TColorFormula::Recalculate.
    TColor Color = clBlack;

    // Copies every field, the computed colour included.
    void Assign(const TColorFormulaElmt& Source);
    // Reads the attributes of a "Color" element. The three base words come first and
    // must each be exactly "None", "BaseColor" or "PreviousColor"; anything else,
    // absence included, throws EFormulaReadError and leaves this element untouched.
    // Numbers that are missing or malformed take their defaults.
    void LoadFromXml(const TXmlElement& node);

    // True for the element that reproduces the base colour unchanged (every base the
    // base colour, every value 0, every clamp at its full range).
    bool CopiesBaseColor() const;

private:
    QString FTitle;
    QString FDescription;
    QString FId;
    QString FLink;
};

class TColorFormula : public TObject {
public:
    TColorFormula();
    ~TColorFormula() override;
    TColorFormula(const TColorFormula&) = delete;
    TColorFormula& operator=(const TColorFormula&) = delete;

    const QString& Title() const { return FTitle; }
    void SetTitle(const QString& Value) { FTitle = Value; }
    const QString& Description() const { return FDescription; }
    void SetDescription(const QString& Value) { FDescription = Value; }
    // Most elements AddElement will create (16 unless changed).
    int MaxElements() const { return FMaxElements; }
    void SetMaxElements(int Value) { FMaxElements = Value; }
    // True: the formula works in the artistic space of the painter's wheel, and the base
    // triple given to SetBaseHSB is artistic. False: plain HSB throughout.
    bool TransferMode() const { return FTransferMode; }
    void SetTransferMode(bool Value) { FTransferMode = Value; }

    // As read from the file: the preferred shape style (1 when not given) and six
    // flags, bit k set when character k of "Ctls" is "0".
    int Pattern = 1;
    std::uint8_t Ctls = 0;

    int Count() const { return static_cast<int>(FElements.size()); }
    // nullptr outside 0..Count-1.
    TColorFormulaElmt* Elements(int Index) const;
    // A new element at the end, or nullptr once MaxElements elements exist.
    TColorFormulaElmt* AddElement();
    void Clear();

    // Copies texts, settings, every element and the base colour, then recalculates.
    void Assign(const TColorFormula& Source);

    // Stores the base colour (hue in degrees, saturation 0..1, brightness 0..1 in plain
    // HSB, possibly above 1 in artistic space) and recalculates.
    void SetBaseHSB(double hue, double saturation, double brightness);
    // The base colour as red, green and blue fractions; an artistic brightness above 1
    // shows as fractions above 1, which is how it survives until Recalculate.
    TRGBf BaseColor() const { return FBase; }

    // Computes every element's Color in order, then fires OnFormulaChange.
    void Recalculate();

    const TColorTransfer& Transfer() const { return FTransfer; }

    TFormulaChangeEvent OnFormulaChange;

private:
    QString FTitle;
    QString FDescription;
    int FMaxElements = 16;
    bool FTransferMode = true;
    TRGBf FBase{1.0, 0.8, 0.0};
    TColorTransfer FTransfer;
    std::vector<std::unique_ptr<TColorFormulaElmt>> FElements;
};

class TColorFormulaList : public TObject {
public:
    TColorFormulaList();
    ~TColorFormulaList() override;
    TColorFormulaList(const TColorFormulaList&) = delete;
    TColorFormulaList& operator=(const TColorFormulaList&) = delete;

    const QString& Title() const { return FTitle; }
    void SetTitle(const QString& Value) { FTitle = Value; }
    const QString& Description() const { return FDescription; }
    void SetDescription(const QString& Value) { FDescription = Value; }
    // Most formulas AddFormula will create (255 unless changed).
    int MaxElements() const { return FMaxElements; }
    void SetMaxElements(int Value) { FMaxElements = Value; }

    int Count() const { return static_cast<int>(FItems.size()); }
    // nullptr outside 0..Count-1.
    TColorFormula* Items(int Index) const;
    // A new empty formula at the end, or nullptr once MaxElements formulas exist.
    TColorFormula* AddFormula();
    void Clear();
    // Position of the first formula with exactly this title, -1 if none.
    int IndexOfTitle(const QString& title) const;

    // Copies title, description and every formula.
    void Assign(const TColorFormulaList& Source);

    // Reads a formula file; unless append the list is emptied first. Any error (missing
    // or malformed file, a malformed element, too many elements or formulas) ends the
    // load and answers false; whatever was read before the error stays in the list.
    // A document whose root is not "ColorFormulas" reads as no formulas at all.
    bool LoadFromFile(const QString& fileName, bool append);
    bool LoadFromBytes(const QByteArray& data, bool append);
    // What ended the last load early, with where; empty after a clean load.
    const QString& LastError() const { return FLastError; }

private:
    bool LoadFromDocument(bool loaded, const TXmlDocument& document, bool append);

    QString FTitle;
    QString FDescription;
    int FMaxElements = 255;
    QString FLastError;
    std::vector<std::unique_ptr<TColorFormula>> FItems;
};
