// Colour formulas: reading ".cff" files, evaluating elements, and the shipped formulas.

#include "colour/Colors.h"
#include "harmony/ColorFormula.h"
#include "harmony/ColorTransfer.h"
#include "palette/XmlDoc.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSet>

namespace {

const QString kDataDir = QStringLiteral(KORVEL_TEST_DATA_DIR);
const QString kShippedFormulas = QStringLiteral(KORVEL_CONFIG_SOURCE_DIR "/Formulae.cff");

QString Fixture(const char* name) { return kDataDir + QLatin1Char('/') + QLatin1String(name); }

std::vector<TColor> ColorsOf(const TColorFormula& formula)
{
    std::vector<TColor> out;
    for (int i = 0; i < formula.Count(); ++i)
        out.push_back(formula.Elements(i)->Color);
    return out;
}

// An element with all three components relative to the same base and the value 0.
TColorFormulaElmt* AddRelative(TColorFormula& formula, TFormulaBase base, int hueVal)
{
    TColorFormulaElmt* e = formula.AddElement();
    e->HueBase = e->SatBase = e->BrtBase = base;
    e->HueVal = hueVal;
    e->SatVal = 0;
    e->BrtVal = 0;
    return e;
}

} // namespace

TEST(ColorFormulaRead, SampleFileFollowsEveryReadingRule)
{
    TColorFormulaList list;
    ASSERT_TRUE(list.LoadFromFile(Fixture("formula_sample.cff"), false)) << list.LastError().toStdString();
    EXPECT_TRUE(list.LastError().isEmpty());
    ASSERT_EQ(list.Count(), 3);

    const TColorFormula* first = list.Items(0);
    EXPECT_EQ(first->Title(), QStringLiteral("Complément doux"));
    EXPECT_EQ(first->Description(), QStringLiteral("Base et complément, adoucis."));
    EXPECT_EQ(first->Pattern, 3);
    EXPECT_EQ(first->Ctls, 0b010101); // "0" at characters 0, 2 and 4
    ASSERT_EQ(first->Count(), 3);     // the unknown child is skipped

    const TColorFormulaElmt* base = first->Elements(0);
    EXPECT_EQ(base->Title(), QStringLiteral("Base"));
    EXPECT_EQ(base->Description(), QStringLiteral("the base itself"));
    EXPECT_EQ(base->Id(), QStringLiteral("b1"));
    EXPECT_EQ(base->Link(), QString());
    EXPECT_TRUE(base->CopiesBaseColor()); // missing numbers: values 0, full clamps

    const TColorFormulaElmt* opposite = first->Elements(1);
    EXPECT_EQ(opposite->Link(), QStringLiteral("b1"));
    EXPECT_EQ(opposite->HueBase, fbBaseColor);
    EXPECT_EQ(opposite->SatBase, fbNone);
    EXPECT_EQ(opposite->HueVal, 180);
    EXPECT_EQ(opposite->HueMax, 90);
    EXPECT_EQ(opposite->SatVal, 255);

    const TColorFormulaElmt* clamped = first->Elements(2);
    EXPECT_FALSE(clamped->SatInv); // only "Yes" is true
    EXPECT_TRUE(clamped->BrtInv);

    const TColorFormula* defaults = list.Items(1);
    EXPECT_EQ(defaults->Pattern, 1);
    EXPECT_EQ(defaults->Ctls, 0b11);
    ASSERT_EQ(defaults->Count(), 1);
    const TColorFormulaElmt* e = defaults->Elements(0);
    EXPECT_EQ(e->SatBase, fbPreviousColor);
    struct Field {
        const char* name;
        int value, expected;
    };
    for (const Field f : {Field{"HueVal", e->HueVal, 0}, Field{"SatVal", e->SatVal, 0},
                          Field{"BrtVal", e->BrtVal, 40}, Field{"HueMin", e->HueMin, -5},
                          Field{"HueMax", e->HueMax, 360}, Field{"SatMin", e->SatMin, 7},
                          Field{"SatMax", e->SatMax, 255}, Field{"BrtMin", e->BrtMin, 3},
                          Field{"BrtMax", e->BrtMax, 250}})
        EXPECT_EQ(f.value, f.expected) << f.name;

    const TColorFormula* untitled = list.Items(2);
    EXPECT_EQ(untitled->Title(), QString());
    EXPECT_EQ(untitled->Count(), 0);
}

TEST(ColorFormulaRead, ColoursAreComputedFromTheDefaultBaseOnLoad)
{
    TColorFormulaList list;
    ASSERT_TRUE(list.LoadFromFile(Fixture("formula_sample.cff"), false));
    // Default base (1, 0.8, 0) has saturation 1; the previous-colour saturation inverted
    // is 0, clamped up to 7/255; brightness 40/255. At artistic hue 0 the scales are 1,
    // so the colour is plain HSB (0, 7/255, 40/255).
    EXPECT_EQ(list.Items(1)->Elements(0)->Color, RGB(40, 39, 39));
}

TEST(ColorFormulaRead, MissingBaseWordStopsTheLoadAndKeepsWhatWasRead)
{
    TColorFormulaList list;
    EXPECT_FALSE(list.LoadFromFile(Fixture("formula_missing_base.cff"), false));
    EXPECT_TRUE(list.LastError().startsWith(QStringLiteral("Error in formula")))
        << list.LastError().toStdString();
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.Items(0)->Count(), 2);
    EXPECT_EQ(list.Items(1)->Title(), QStringLiteral("Broken"));
    EXPECT_EQ(list.Items(1)->Count(), 1);
}

TEST(ColorFormulaRead, BaseWordsMustMatchExactly)
{
    for (const char* word : {"basecolor", "Base", " None", "2", ""}) {
        TXmlDocument doc(QStringLiteral("Color"));
        doc.Root()->SetAttribute(QStringLiteral("HueBase"), QStringLiteral("None"));
        doc.Root()->SetAttribute(QStringLiteral("SatBase"), QString::fromLatin1(word));
        doc.Root()->SetAttribute(QStringLiteral("BrtBase"), QStringLiteral("None"));
        TColorFormulaElmt element;
        element.HueVal = 77;
        EXPECT_THROW(element.LoadFromXml(*doc.Root()), EFormulaReadError) << word;
        EXPECT_EQ(element.HueVal, 77) << "a rejected element keeps its values";
    }
    try {
        throw EFormulaReadError();
    } catch (const EFormulaReadError& error) {
        EXPECT_STREQ(error.what(), "Error in formula");
    }
}

TEST(ColorFormulaRead, SeventeenthColourEndsTheLoad)
{
    TColorFormulaList list;
    EXPECT_FALSE(list.LoadFromFile(Fixture("formula_seventeen.cff"), false));
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Items(0)->Count(), 16);
    EXPECT_EQ(list.Items(0)->Elements(15)->Title(), QStringLiteral("Step 16"));
}

TEST(ColorFormulaRead, FormulaLimitEndsTheLoad)
{
    TColorFormulaList list;
    list.SetMaxElements(2);
    EXPECT_FALSE(list.LoadFromFile(Fixture("formula_sample.cff"), false));
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.AddFormula(), nullptr);
}

TEST(ColorFormulaRead, AppendKeepsTheFormulasAlreadyRead)
{
    TColorFormulaList list;
    ASSERT_TRUE(list.LoadFromFile(Fixture("formula_sample.cff"), false));
    EXPECT_FALSE(list.LoadFromFile(Fixture("formula_missing_base.cff"), true));
    EXPECT_EQ(list.Count(), 5);
    ASSERT_TRUE(list.LoadFromFile(Fixture("formula_sample.cff"), false));
    EXPECT_EQ(list.Count(), 3);
}

TEST(ColorFormulaRead, UnreadableInputFailsWithoutFormulas)
{
    const QByteArray cases[] = {
        QByteArray(),
        QByteArray("   \n"),
        QByteArray("not xml at all"),
        QByteArray("<ColorFormulas><Formula Title=\"x\"><Color HueBase=\"None\""),
        QByteArray("<?xml version=\"1.0\"?>"),
        QByteArray("\x00\x01\xff\xfe<ColorFormulas/>", 20),
        QByteArray("<ColorFormulas><Formula></ColorFormulas>"),
    };
    for (const QByteArray& bytes : cases) {
        TColorFormulaList list;
        ASSERT_TRUE(list.LoadFromFile(Fixture("formula_sample.cff"), false));
        EXPECT_FALSE(list.LoadFromBytes(bytes, false)) << bytes.toStdString();
        EXPECT_EQ(list.Count(), 0);
        EXPECT_FALSE(list.LastError().isEmpty());
    }
    TColorFormulaList list;
    EXPECT_FALSE(list.LoadFromFile(Fixture("no_such_formula_file.cff"), false));
}

TEST(ColorFormulaRead, EveryTruncationOfARealFileIsSurvived)
{
    QFile file(Fixture("formula_sample.cff"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray whole = file.readAll();
    ASSERT_GT(whole.size(), 500);
    const qsizetype lastBracket = whole.lastIndexOf('>');
    for (qsizetype n = 0; n <= lastBracket; ++n) {
        TColorFormulaList list;
        // Cut anywhere, the document is incomplete and must be refused as a whole.
        EXPECT_FALSE(list.LoadFromBytes(whole.left(n), false)) << n;
        EXPECT_EQ(list.Count(), 0) << n;
    }
}

TEST(ColorFormulaRead, OtherRootReadsAsNoFormulas)
{
    TColorFormulaList list;
    EXPECT_TRUE(list.LoadFromBytes(
        "<ColorFormula><Formula Title=\"x\"><Color HueBase=\"None\" SatBase=\"None\" "
        "BrtBase=\"None\"/></Formula></ColorFormula>",
        false));
    EXPECT_EQ(list.Count(), 0);
}

TEST(ColorFormulaRead, LongAndOddNumbersTakeTheirDefaults)
{
    TColorFormulaList list;
    ASSERT_TRUE(list.LoadFromBytes(
        "<ColorFormulas><Formula Pattern=\"99999999999999999999\" Ctls=\"0000000000\">"
        "<Color HueBase=\"None\" SatBase=\"None\" BrtBase=\"None\" HueVal=\"1e3\" "
        "SatVal=\"0x10\" BrtVal=\"-2147483649\" HueMax=\"36O\"/></Formula></ColorFormulas>",
        false));
    const TColorFormula* f = list.Items(0);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->Pattern, 1);
    EXPECT_EQ(f->Ctls, 0b111111);
    const TColorFormulaElmt* e = f->Elements(0);
    EXPECT_EQ(e->HueVal, 0);
    EXPECT_EQ(e->SatVal, 0);
    EXPECT_EQ(e->BrtVal, 0);
    EXPECT_EQ(e->HueMax, 360);
}

// ---------------------------------------------------------------------------------------

TEST(ColorFormulaEval, ComplementWrapsThenClamps)
{
    TColorFormulaList list;
    ASSERT_TRUE(list.LoadFromFile(Fixture("formula_sample.cff"), false));
    TColorFormula& formula = *list.Items(0);
    formula.SetTransferMode(false);
    formula.SetBaseHSB(200, 1, 1);
    // 200 + 180 = 380 wraps to 20; HueMax 90 keeps it; HueMin 30 lifts it to 30. The
    // third element's brightness 0 is inverted to 1.
    EXPECT_EQ(ColorsOf(formula),
              (std::vector<TColor>{RGB(0, 170, 255), RGB(255, 85, 0), RGB(255, 128, 0)}));
}

TEST(ColorFormulaEval, InvertedZeroSaturationIsFull)
{
    TColorFormula formula;
    formula.SetTransferMode(false);
    TColorFormulaElmt* e = formula.AddElement();
    e->SatVal = 0;
    e->SatInv = true;
    formula.SetBaseHSB(120, 0.2, 0.3);
    EXPECT_EQ(e->Color, clRed); // hue 0, saturation 1 - 0, brightness 255/255
    e->SatInv = false;
    formula.Recalculate();
    EXPECT_EQ(e->Color, clWhite);
}

TEST(ColorFormulaEval, PreviousColourStartsAtTheBaseAndChains)
{
    TColorFormula formula;
    formula.SetTransferMode(false);
    AddRelative(formula, fbPreviousColor, 0);
    AddRelative(formula, fbPreviousColor, 30);
    AddRelative(formula, fbPreviousColor, 30);
    AddRelative(formula, fbBaseColor, 30);
    formula.SetBaseHSB(0, 1, 1);
    EXPECT_EQ(ColorsOf(formula), (std::vector<TColor>{clRed, RGB(255, 128, 0),
                                                      RGB(255, 255, 0), RGB(255, 128, 0)}));
}

TEST(ColorFormulaEval, BaseCopyKeepsABaseLighterThanTheArtisticWheel)
{
    const TColorTransfer transfer;
    // Light blue lies outside the artistic wheel: its artistic brightness is above 1.
    double a = 230, s = 0.3, v = 1;
    transfer.HSBToArtistic(a, s, v, true);
    ASSERT_GT(v, 1);

    TColorFormula formula;
    ASSERT_TRUE(formula.TransferMode());
    TColorFormulaElmt* copy = AddRelative(formula, fbBaseColor, 0);
    TColorFormulaElmt* nearCopy = AddRelative(formula, fbBaseColor, 0);
    nearCopy->HueMin = 1; // no longer the exact copy: the clamped brightness is used
    formula.SetBaseHSB(a, s, v);
    EXPECT_EQ(copy->Color, HSBToColor(230, 0.3, 1));
    EXPECT_NE(nearCopy->Color, copy->Color);
    EXPECT_LT(GetBValue(nearCopy->Color), GetBValue(copy->Color));
}

TEST(ColorFormulaEval, ClampsBeyondTheCircleStayOnTheCircle)
{
    // A file may set clamps outside 0..360 and 0..255; the colour must still be the one
    // the clamped values name, never bytes spilling into a neighbouring channel.
    TColorFormula formula;
    formula.SetTransferMode(false);
    TColorFormulaElmt* e = formula.AddElement();
    e->HueVal = 1000;
    e->HueMax = 1000; // 1000 - 360 = 640 stays: 280 on the circle
    e->SatVal = 600;
    e->SatMax = 600;
    e->BrtVal = 400;
    e->BrtMax = 400;
    TColorFormulaElmt* next = AddRelative(formula, fbPreviousColor, 0);
    formula.SetBaseHSB(0, 1, 1);
    EXPECT_EQ(e->Color, HSBToColor(280, 1, 1));
    EXPECT_EQ(next->Color, e->Color);
}

TEST(ColorFormulaEval, RecalculationFiresTheChangeEventOnce)
{
    TColorFormula formula;
    int changes = 0;
    formula.OnFormulaChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &formula);
        ++changes;
    };
    AddRelative(formula, fbBaseColor, 90);
    formula.SetBaseHSB(10, 0.5, 0.5);
    EXPECT_EQ(changes, 1);
    formula.Recalculate();
    EXPECT_EQ(changes, 2);

    TColorFormula empty;
    empty.OnFormulaChange = [&](TObject*) { ++changes; };
    empty.SetBaseHSB(10, 0.5, 0.5); // no elements, no colours, still one notification
    EXPECT_EQ(changes, 3);
}

TEST(ColorFormulaEval, AssignCopiesEverythingAndRecalculates)
{
    TColorFormulaList list;
    ASSERT_TRUE(list.LoadFromFile(Fixture("formula_sample.cff"), false));
    TColorFormula& source = *list.Items(0);
    source.SetTransferMode(false);
    source.SetBaseHSB(200, 1, 1);

    TColorFormula copy;
    int changes = 0;
    copy.OnFormulaChange = [&](TObject*) { ++changes; };
    copy.Assign(source);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(copy.Title(), source.Title());
    EXPECT_EQ(copy.Description(), source.Description());
    EXPECT_EQ(copy.Pattern, 3);
    EXPECT_EQ(copy.Ctls, source.Ctls);
    EXPECT_FALSE(copy.TransferMode());
    EXPECT_EQ(copy.BaseColor().B, source.BaseColor().B);
    EXPECT_EQ(ColorsOf(copy), ColorsOf(source));
    EXPECT_EQ(copy.Elements(1)->Link(), QStringLiteral("b1"));

    TColorFormulaList other;
    other.SetTitle(QStringLiteral("old"));
    list.SetTitle(QStringLiteral("Sample"));
    other.Assign(list);
    EXPECT_EQ(other.Title(), QStringLiteral("Sample"));
    ASSERT_EQ(other.Count(), list.Count());
    EXPECT_EQ(other.Items(0)->Count(), 3);
    EXPECT_NE(other.Items(0), list.Items(0));
}

TEST(ColorFormulaEval, ElementLimitAndIndexBounds)
{
    TColorFormula formula;
    for (int i = 0; i < 16; ++i)
        ASSERT_NE(formula.AddElement(), nullptr);
    EXPECT_EQ(formula.AddElement(), nullptr);
    EXPECT_EQ(formula.Elements(-1), nullptr);
    EXPECT_EQ(formula.Elements(16), nullptr);
    TColorFormulaList list;
    EXPECT_EQ(list.Items(0), nullptr);
    EXPECT_EQ(list.IndexOfTitle(QStringLiteral("x")), -1);
}

// ---------------------------------------------------------------------------------------

TEST(ShippedFormulas, ReadCleanlyAndOfferTheDefault)
{
    TColorFormulaList list;
    ASSERT_TRUE(list.LoadFromFile(kShippedFormulas, false)) << list.LastError().toStdString();
    EXPECT_GE(list.Count(), 20);
    EXPECT_GE(list.IndexOfTitle(QStringLiteral("Monochrome w/contrasts & grays")), 0);

    QSet<QString> titles;
    for (int i = 0; i < list.Count(); ++i) {
        const TColorFormula* f = list.Items(i);
        EXPECT_FALSE(f->Title().isEmpty()) << i;
        EXPECT_FALSE(titles.contains(f->Title())) << f->Title().toStdString();
        titles.insert(f->Title());
        EXPECT_GE(f->Description().size(), 40) << f->Title().toStdString();
        for (int k = 0; k < f->Count(); ++k)
            EXPECT_FALSE(f->Elements(k)->Title().isEmpty()) << f->Title().toStdString();
    }
}

TEST(ShippedFormulas, EachFormulaYieldsItsDeclaredColours)
{
    // The file's own "Color" elements, counted without the formula reader.
    TXmlDocument doc;
    ASSERT_TRUE(doc.LoadFromFile(kShippedFormulas));
    const QList<TXmlElement*> declared = doc.Root()->ChildrenNamed(QStringLiteral("Formula"));

    TColorFormulaList list;
    ASSERT_TRUE(list.LoadFromFile(kShippedFormulas, false));
    ASSERT_EQ(list.Count(), declared.size());

    struct Base {
        double h, s, v;
    };
    for (int i = 0; i < list.Count(); ++i) {
        TColorFormula& f = *list.Items(i);
        const int colours = static_cast<int>(declared[i]->ChildrenNamed(QStringLiteral("Color")).size());
        ASSERT_GT(colours, 1) << f.Title().toStdString();
        EXPECT_EQ(f.Count(), colours) << f.Title().toStdString();
        for (bool artistic : {false, true})
            for (const Base b : {Base{30, 0.9, 0.95}, Base{210, 0.6, 0.5}}) {
                f.SetTransferMode(artistic);
                f.SetBaseHSB(b.h, b.s, b.v);
                const std::vector<TColor> colors = ColorsOf(f);
                EXPECT_EQ(static_cast<int>(colors.size()), colours);
                const QSet<TColor> distinct(colors.begin(), colors.end());
                // Every formula offers a real choice, not one colour repeated.
                EXPECT_GE(distinct.size(), 3) << f.Title().toStdString();
            }
    }
}

TEST(ShippedFormulas, DefaultFormulaStartsWithTheBaseColour)
{
    const TColorTransfer transfer;
    TColorFormulaList list;
    ASSERT_TRUE(list.LoadFromFile(kShippedFormulas, false));
    TColorFormula& f =
        *list.Items(list.IndexOfTitle(QStringLiteral("Monochrome w/contrasts & grays")));
    struct Base {
        double h, s, v;
    };
    // As the formula page does it: the artistic wheel gets the artistic triple.
    for (const Base b : {Base{30, 0.9, 0.95}, Base{230, 0.3, 1}, Base{0, 0, 0.5}}) {
        double a = b.h, s = b.s, v = b.v;
        transfer.HSBToArtistic(a, s, v, true);
        f.SetTransferMode(true);
        f.SetBaseHSB(a, s, v);
        EXPECT_EQ(f.Elements(0)->Color, HSBToColor(b.h, b.s, b.v)) << b.h;
        f.SetTransferMode(false);
        f.SetBaseHSB(b.h, b.s, b.v);
        EXPECT_EQ(f.Elements(0)->Color, HSBToColor(b.h, b.s, b.v)) << b.h;
    }
}
