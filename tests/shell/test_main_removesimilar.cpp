// The Remove Similar Colors dialog on a document palette: preview on every change, OK and
// Cancel, the changed flag.
#include "shell/RemoveSimilar.h"

#include "colour/Colors.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTimer>
#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<TColor> ColorsOf(const TRichPalette& p)
{
    std::vector<TColor> out;
    for (int i = 0; i < p.Count(); ++i)
        out.push_back(p.Colors(i)->Color());
    return out;
}

// Two reds 10 degrees and 3 percent apart, a blue and a blue one degree off.
struct Document {
    const TColor red1 = HSBToColor(0, 1, 1);
    const TColor red2 = HSBToColor(10, 0.97, 0.97);
    const TColor blue1 = HSBToColor(240, 1, 1);
    const TColor blue2 = HSBToColor(241, 1, 1);
    TRichPalette palette;
    bool modified = false;
    int repaints = 0;

    Document()
    {
        palette.SetTitle(QStringLiteral("Mohn und See"));
        palette.SetAuthor(QStringLiteral("Jörg"));
        for (TColor c : {red1, red2, blue1, blue2})
            palette.Add()->SetColor(c);
        palette.Colors(1)->SetCaption(QStringLiteral("second red"));
        // The grid flags every change of the palette as it would for an edit.
        palette.OnChange = [this](TObject*) { modified = true; };
    }
    std::function<void()> Repaint()
    {
        return [this] { ++repaints; };
    }
};

TEST(RemoveSimilarDialog, OpensWithItsLimitsAndPreviewsAtOnce)
{
    Document doc;
    TfrmSimilarColors dlg(doc.palette, doc.modified, doc.Repaint());
    EXPECT_EQ(dlg.windowTitle(), QStringLiteral("Remove Similar Colors"));
    EXPECT_EQ(dlg.trkHue->maximum(), 30);
    EXPECT_EQ(dlg.trkHue->tickInterval(), 5);
    EXPECT_EQ(dlg.trkSat->maximum(), 10);
    EXPECT_EQ(dlg.trkBrt->maximum(), 10);
    EXPECT_EQ(dlg.HueLimit(), 15);
    EXPECT_EQ(dlg.SatLimit(), 5);
    EXPECT_EQ(dlg.BrtLimit(), 5);
    EXPECT_TRUE(dlg.ckPreview->isChecked());
    EXPECT_EQ(dlg.lblHueValue->text(), QStringLiteral("15 °"));
    EXPECT_EQ(dlg.lblSatValue->text(), QStringLiteral("5 %"));
    EXPECT_EQ(dlg.lblBrtValue->text(), QStringLiteral("5 %"));
    for (const char* caption : {"&Hue", "&Saturation", "&Brightness"}) {
        bool found = false;
        for (const QLabel* l : dlg.findChildren<QLabel*>())
            found = found || l->text() == QLatin1String(caption);
        EXPECT_TRUE(found) << caption;
    }
    // The first red and the first blue stay; the title stays with the palette.
    EXPECT_EQ(ColorsOf(doc.palette), std::vector<TColor>({doc.red1, doc.blue1}));
    EXPECT_EQ(doc.palette.Title(), QStringLiteral("Mohn und See"));
    EXPECT_EQ(doc.repaints, 1);
    EXPECT_EQ(dlg.Original().Count(), 4);
}

TEST(RemoveSimilarDialog, EveryChangeRewritesThePaletteFromTheCopy)
{
    Document doc;
    TfrmSimilarColors dlg(doc.palette, doc.modified, doc.Repaint());
    struct Step {
        const char* what;
        QSlider* slider;
        int value;
        bool preview;
        std::vector<TColor> expected;
        QLabel* label;
        const char* labelText;
    };
    const Step steps[] = {
        {"hue exact", dlg.trkHue, 0, true, {doc.red1, doc.red2, doc.blue1, doc.blue2}, dlg.lblHueValue, "Exact"},
        {"hue one degree", dlg.trkHue, 1, true, {doc.red1, doc.red2, doc.blue1}, dlg.lblHueValue, "1 °"},
        {"saturation exact", dlg.trkSat, 0, true, {doc.red1, doc.red2, doc.blue1}, dlg.lblSatValue, "Exact"},
        {"hue 30, saturation 3", dlg.trkHue, 30, true, {doc.red1, doc.red2, doc.blue1}, dlg.lblHueValue, "30 °"},
        {"saturation 3", dlg.trkSat, 3, true, {doc.red1, doc.blue1}, dlg.lblSatValue, "3 %"},
        {"preview off shows all", nullptr, 0, false, {doc.red1, doc.red2, doc.blue1, doc.blue2}, nullptr, nullptr},
        {"brightness 10 without preview", dlg.trkBrt, 10, false, {doc.red1, doc.red2, doc.blue1, doc.blue2},
            dlg.lblBrtValue, "10 %"},
        {"preview on again", nullptr, 0, true, {doc.red1, doc.blue1}, nullptr, nullptr},
    };
    for (const Step& s : steps) {
        const int before = doc.repaints;
        if (s.slider)
            s.slider->setValue(s.value);
        else
            dlg.ckPreview->setChecked(s.preview);
        EXPECT_EQ(ColorsOf(doc.palette), s.expected) << s.what;
        EXPECT_EQ(doc.repaints, before + 1) << s.what;
        if (s.label) {
            EXPECT_EQ(s.label->text(), QString::fromUtf8(s.labelText)) << s.what;
        }
    }
}

TEST(RemoveSimilarDialog, CancelRestoresThePaletteAndTheChangedFlag)
{
    for (bool flagBefore : {false, true}) {
        Document doc;
        doc.modified = flagBefore;
        TfrmSimilarColors dlg(doc.palette, doc.modified, doc.Repaint());
        dlg.trkHue->setValue(30);
        dlg.trkBrt->setValue(10);
        // The grid marked the previews as edits.
        ASSERT_TRUE(doc.modified);
        dlg.btnCancel->click();
        EXPECT_EQ(dlg.result(), QDialog::Rejected);
        EXPECT_EQ(doc.modified, flagBefore);
        EXPECT_EQ(ColorsOf(doc.palette), std::vector<TColor>({doc.red1, doc.red2, doc.blue1, doc.blue2}));
        EXPECT_EQ(doc.palette.Colors(1)->Caption(), QStringLiteral("second red"));
        EXPECT_EQ(doc.palette.Author(), QStringLiteral("Jörg"));
    }
}

TEST(RemoveSimilarDialog, OkKeepsTheFilteredPaletteAlsoWithPreviewOff)
{
    Document doc;
    TfrmSimilarColors dlg(doc.palette, doc.modified, doc.Repaint());
    dlg.ckPreview->setChecked(false);
    ASSERT_EQ(doc.palette.Count(), 4);
    dlg.btnOK->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(ColorsOf(doc.palette), std::vector<TColor>({doc.red1, doc.blue1}));
}

TEST(RemoveSimilarDialog, RunReportsTheChoice)
{
    for (bool ok : {true, false}) {
        Document doc;
        QTimer::singleShot(0, [ok] {
            auto* dlg = qobject_cast<TfrmSimilarColors*>(QApplication::activeModalWidget());
            ASSERT_NE(dlg, nullptr);
            dlg->trkHue->setValue(1);
            (ok ? dlg->btnOK : dlg->btnCancel)->click();
        });
        EXPECT_EQ(TfrmSimilarColors::Run(nullptr, doc.palette, doc.modified, doc.Repaint()), ok);
        EXPECT_EQ(doc.palette.Count(), ok ? 3 : 4) << ok;
    }
}

} // namespace
