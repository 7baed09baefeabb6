// The Harmonies page: its controls and what they report, the scene as the player shows it
// (asked through GetClipName and read back as pixels, so angles, radii and colours are
// checked where the user sees them), the movie file it writes, drops and Alt-clicks on the
// scene, the player's menu, page codes, the gamut check and the settings.
#include "workarea/PptStandard.h"

#include "SceneTestUtil.h"
#include "colour/Colors.h"
#include "harmony/ColorTransfer.h"
#include "movie/MoviePlayer.h"
#include "palette/RichColor.h"
#include "pickers/ColorDragObj.h"
#include "workarea/ClipNames.h"
#include "workarea/Scene.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QSlider>
#include <QTemporaryDir>
#include <QToolButton>

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

namespace {

// The page's stage: 1000 x 1000, outer radius 444, inner 222, centre (500, 500).
constexpr int kStage = 1000;
constexpr double kRo = 444, kRi = 222;
const QPointF kCentre(500, 500);
const TColor kBase = RGB(0xE0, 0x40, 0x20);

// Drops read Shift from the keyboard; the tests say which keys are held.
class TTestPage : public TfrmPptStandard {
public:
    using TfrmPptStandard::TfrmPptStandard;
    Qt::KeyboardModifiers Keys = Qt::NoModifier;

protected:
    Qt::KeyboardModifiers KeyboardState() const override { return Keys; }
};

QPoint At(double angle, double radius)
{
    const double a = angle * std::numbers::pi / 180;
    return QPoint(static_cast<int>(std::lround(kCentre.x() + radius * std::cos(a))),
        static_cast<int>(std::lround(kCentre.y() + radius * std::sin(a))));
}
double AngleOf(int position)
{
    return -90 + 30 * position;
}

class HarmoniesPage : public ::testing::Test {
protected:
    void SetUp() override
    {
        panel.resize(650, 104);
        page = new TTestPage(&panel);
        page->OnChange = [this](TObject* sender) {
            EXPECT_EQ(sender, static_cast<TObject*>(page));
            ++changes;
        };
        page->SetBaseHSB(ColorToHSB(kBase));
        page->SetMatching(&matching);
        player.resize(kStage, kStage);
    }

    bool Build()
    {
        const bool shown = page->BuildScene(&player, QSize(kStage, kStage), QString(), &transfer, &matching);
        image = player.FrameImage();
        return shown;
    }
    // The movie written to a file, read back.
    swf::Movie BuildFile()
    {
        const QString file = dir.filePath(QStringLiteral("harmonies.swf"));
        EXPECT_FALSE(page->BuildScene(&player, QSize(kStage, kStage), file, &transfer, &matching));
        QFile in(file);
        EXPECT_TRUE(in.open(QIODevice::ReadOnly));
        return scenetest::ReadBack(in.readAll());
    }

    // The clip the scene names at a stage point, as a page asks for it.
    TClipName ClipAt(QPoint p)
    {
        const QString name = GetClipNameAt(player, p);
        if (IsNoClip(name))
            return {};
        return ParseClipName(name);
    }
    int SwatchAt(QPoint p)
    {
        const TClipName clip = ClipAt(p);
        return clip.Kind == ckSwatch ? clip.Number : -1;
    }
    TColor PixelAt(QPoint p) const
    {
        const QColor c = image.pixelColor(p);
        return RGB(c.red(), c.green(), c.blue());
    }

    // Some pixel on the ray at Angle between the two radii is close to black (an outline,
    // antialiased, may fall between pixels).
    bool DarkBetween(double Angle, double From, double To) const
    {
        for (double r = From; r <= To; r += 0.5) {
            const TColor c = PixelAt(At(Angle, r));
            if (GetRValue(c) + GetGValue(c) + GetBValue(c) < 3 * 64)
                return true;
        }
        return false;
    }

    void Select(const char* combo, int index)
    {
        page->findChild<QComboBox*>(QLatin1String(combo))->setCurrentIndex(index);
    }
    QCheckBox* Check(const char* name) { return page->findChild<QCheckBox*>(QLatin1String(name)); }

    QWidget panel;
    TTestPage* page = nullptr;
    TMoviePlayer player;
    TColorTransfer transfer;
    TRichPalette matching;
    QImage image;
    QTemporaryDir dir;
    int changes = 0;
};

// Colours drawn with antialiasing are read away from edges; still allow a unit.
bool Near(TColor a, TColor b)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= 1 && std::abs(GetGValue(a) - GetGValue(b)) <= 1
        && std::abs(GetBValue(a) - GetBValue(b)) <= 1;
}
#define EXPECT_COLOR_NEAR(a, b) EXPECT_TRUE(Near((a), (b))) << std::hex << "0x" << (a) << " vs 0x" << (b)

TEST_F(HarmoniesPage, StartsOnTriadWheelTwoArtisticWithTheGrayTonesOff)
{
    auto* chord = page->findChild<QComboBox*>(QStringLiteral("cbColorChord"));
    auto* style = page->findChild<QComboBox*>(QStringLiteral("cbStyle"));
    auto* wheel = page->findChild<QComboBox*>(QStringLiteral("cbColorWheel"));
    auto* slider = page->findChild<QSlider*>(QStringLiteral("ptbGrayBrightness"));
    auto* label = page->findChild<QLabel*>(QStringLiteral("lblGrayBrightness"));
    ASSERT_TRUE(chord && style && wheel && slider && label);
    ASSERT_EQ(chord->count(), 10);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(chord->itemText(i), QLatin1String(kHarmonyCaptions[i]));
    EXPECT_EQ(chord->currentText(), "Triad");
    const QStringList styles {"Color Circles 1", "Color Circles 2", "Color Wheel 1", "Color Wheel 2", "Color Wheel 3"};
    ASSERT_EQ(style->count(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(style->itemText(i), styles[i]);
    EXPECT_EQ(style->currentText(), "Color Wheel 2");
    EXPECT_EQ(wheel->itemText(0), "Scientific");
    EXPECT_EQ(wheel->currentText(), "Artistic");
    EXPECT_TRUE(page->GetArtisticWheel());
    EXPECT_EQ(Check("ckBaseColorMarker")->text(), "Base Color Marker");
    EXPECT_EQ(Check("ckShowContrast")->text(), "Matching Gray Tones");
    EXPECT_FALSE(Check("ckBaseColorMarker")->isChecked());
    EXPECT_FALSE(Check("ckShowContrast")->isChecked());
    EXPECT_EQ(slider->minimum(), 0);
    EXPECT_EQ(slider->maximum(), 20);
    EXPECT_EQ(slider->value(), 5);
    EXPECT_FALSE(slider->isEnabled());
    EXPECT_EQ(label->text(), "Brightness: 5");
    EXPECT_EQ(page->findChild<QToolButton*>(QStringLiteral("btnHelp"))->toolTip(), "Color Harmonies Help");
    EXPECT_EQ(page->SegmentCount, 12);
    EXPECT_EQ(page->BaseMarkerExtra, 0);
    EXPECT_EQ(page->OutlineWidth, 1);
    EXPECT_FALSE(page->NeedsViewSize());
    EXPECT_EQ(changes, 0);

    // Every control asks for one rebuild; the gray tones switch the slider.
    Select("cbColorChord", 1);
    Select("cbStyle", 0);
    Select("cbColorWheel", 0);
    EXPECT_FALSE(page->GetArtisticWheel());
    Check("ckBaseColorMarker")->click();
    Check("ckShowContrast")->click();
    EXPECT_TRUE(slider->isEnabled());
    slider->setValue(12);
    EXPECT_EQ(label->text(), "Brightness: 12");
    EXPECT_EQ(changes, 6);
    Check("ckShowContrast")->click();
    EXPECT_FALSE(slider->isEnabled());

    int rows = 0, cols = 0;
    page->GetColorGrid(rows, cols);
    EXPECT_EQ(rows, 1);
    EXPECT_EQ(cols, 12);
    TColorDragCtrlObject drag;
    page->PrepareDragObject(drag, QStringLiteral("#SW_0003_#FF0000"));
    EXPECT_EQ(drag.DragKind, 2);
    EXPECT_EQ(drag.GridRows, 1);
    EXPECT_EQ(drag.GridCols, 12);
}

// Every style with the full circle: twelve enabled swatches, each centred at its 30° step
// and spanning its own 30° (wedges) or standing apart on the orbit (dots), each shown and
// named in the colour of its place in Matching.
TEST_F(HarmoniesPage, FullColorCircleDrawsTwelveEqualSwatchesInEveryStyle)
{
    Select("cbColorChord", 0);
    for (int style = 0; style < kHarmonyStyleCount; ++style) {
        SCOPED_TRACE(kHarmonyStyleNames[style]);
        Select("cbStyle", style);
        ASSERT_TRUE(Build());
        ASSERT_EQ(matching.Count(), 12);
        EXPECT_EQ(matching.Colors(0)->Color(), kBase);
        const bool wheel = style >= hsColorWheel1;
        // Wedges from 222 to 444; dots of radius 78 on the orbit 333.
        const double middle = wheel ? 360 : 333;
        for (int i = 0; i < 12; ++i) {
            SCOPED_TRACE(i);
            const TRichColor* swatch = matching.Colors(i);
            EXPECT_TRUE(swatch->Enabled());
            EXPECT_TRUE(swatch->Visible());
            EXPECT_EQ(swatch->Tag, 0);
            const TClipName clip = ClipAt(At(AngleOf(i), middle));
            EXPECT_EQ(clip.Kind, ckSwatch);
            EXPECT_EQ(clip.Number, i);
            EXPECT_EQ(clip.Color, swatch->Color());
            EXPECT_COLOR_NEAR(PixelAt(At(AngleOf(i), middle)), swatch->Color());
            if (wheel) {
                EXPECT_EQ(SwatchAt(At(AngleOf(i) - 13, middle)), i);
                EXPECT_EQ(SwatchAt(At(AngleOf(i) + 13, middle)), i);
                EXPECT_EQ(SwatchAt(At(AngleOf(i) + 17, middle)), (i + 1) % 12);
                EXPECT_EQ(SwatchAt(At(AngleOf(i), kRi + 3)), i);
                EXPECT_EQ(SwatchAt(At(AngleOf(i), kRo - 3)), i);
                EXPECT_EQ(SwatchAt(At(AngleOf(i), kRi - 5)), -1);
            } else {
                EXPECT_EQ(SwatchAt(At(AngleOf(i), middle + 75)), i);
                EXPECT_EQ(SwatchAt(At(AngleOf(i), middle - 75)), i);
                EXPECT_EQ(SwatchAt(At(AngleOf(i), middle + 82)), -1);
                // Dots stand apart: nothing halfway to the next one.
                EXPECT_EQ(SwatchAt(At(AngleOf(i) + 15, middle)), -1);
            }
        }
    }
}

// The colour ring behind the dots of "Color Circles 2" must read as one band: no hairline of
// the background between its 180 wedges.
TEST_F(HarmoniesPage, ColourRingOfCirclesTwoIsSeamless)
{
    Select("cbStyle", hsColorCircles2);
    ASSERT_TRUE(Build());
    auto lightness = [this](double angle) {
        const TColor c = PixelAt(At(angle, 333));
        return GetRValue(c) + GetGValue(c) + GetBValue(c);
    };
    // The triad leaves the ring bare from 12 o'clock to 4 o'clock but for the dots' ends;
    // the wedges (2° each, centred on even angles) meet at odd angles.
    int seams = 0;
    for (int a = -75; a < 15; a += 2) {
        const int between = lightness(a);
        const int sides = std::max(lightness(a - 0.8), lightness(a + 0.8));
        seams += between > sides + 6 ? 1 : 0;
    }
    EXPECT_EQ(seams, 0);
}

TEST_F(HarmoniesPage, ComplementInColorWheelOneKeepsTwoFullWedgesAndShortensTheRestInTheBackground)
{
    const TColor background = RGB(0x33, 0x66, 0x99);
    page->SetBackgroundColor(background);
    Select("cbColorChord", 1);
    Select("cbStyle", hsColorWheel1);
    ASSERT_TRUE(Build());
    ASSERT_EQ(matching.Count(), 12);
    for (int i = 0; i < 12; ++i) {
        SCOPED_TRACE(i);
        const TRichColor* swatch = matching.Colors(i);
        const bool chosen = i == 0 || i == 6;
        EXPECT_EQ(swatch->Enabled(), chosen);
        EXPECT_TRUE(swatch->Visible());
        EXPECT_EQ(swatch->Tag, chosen ? 0 : -44);
        if (chosen) {
            EXPECT_NE(swatch->Color(), background);
            EXPECT_EQ(SwatchAt(At(AngleOf(i), kRo - 10)), i);
            EXPECT_COLOR_NEAR(PixelAt(At(AngleOf(i), kRo - 10)), swatch->Color());
        } else {
            EXPECT_EQ(swatch->Color(), background);
            // Shortened: beyond 400 lies the background, inside it the wedge in the
            // background colour, never a clip.
            EXPECT_EQ(SwatchAt(At(AngleOf(i), kRo - 10)), -1);
            EXPECT_EQ(SwatchAt(At(AngleOf(i), kRi + 40)), -1);
            EXPECT_COLOR_NEAR(PixelAt(At(AngleOf(i), kRo - 10)), background);
            EXPECT_COLOR_NEAR(PixelAt(At(AngleOf(i), kRi + 40)), background);
            // Its black outline ends at the shortened radius.
            EXPECT_TRUE(DarkBetween(AngleOf(i), kRo - 47, kRo - 41));
            EXPECT_FALSE(DarkBetween(AngleOf(i), kRo - 38, kRo + 8));
        }
    }
    // 12 and 6 o'clock on screen.
    EXPECT_EQ(SwatchAt(QPoint(500, 500 - 400)), 0);
    EXPECT_EQ(SwatchAt(QPoint(500, 500 + 400)), 6);
}

// What happens to a position outside the harmony ("Triad": position 1), by style.
TEST_F(HarmoniesPage, PositionsOutsideTheHarmonyFollowTheStyle)
{
    struct Case {
        THarmonyStyle style;
        bool visible;
        std::intptr_t tag;
        bool lighter;
    };
    const Case cases[] = {
        {hsColorCircles1, false, 0, false},
        {hsColorCircles2, false, 0, false},
        {hsColorWheel2, true, -44, true},
        {hsColorWheel3, true, -111, false},
    };
    TRichPalette circle;
    const THSB hsb = ColorToHSB(kBase);
    circle.AddHueCircle(12, true, cvtNorm, true, &transfer, hsb.H, hsb.S, hsb.B);
    for (const Case& c : cases) {
        SCOPED_TRACE(kHarmonyStyleNames[c.style]);
        Select("cbStyle", c.style);
        ASSERT_TRUE(Build());
        const TRichColor* swatch = matching.Colors(1);
        EXPECT_FALSE(swatch->Enabled());
        EXPECT_EQ(swatch->Visible(), c.visible);
        EXPECT_EQ(swatch->Tag, c.tag);
        const TColor expected
            = c.lighter ? AdjustColor(circle.Colors(1)->Color(), akLighter, 0.6) : circle.Colors(1)->Color();
        EXPECT_EQ(swatch->Color(), expected);
        const double middle = c.visible ? kRi + 30 : 333;
        EXPECT_EQ(SwatchAt(At(AngleOf(1), middle)), -1);
        if (c.visible) {
            EXPECT_COLOR_NEAR(PixelAt(At(AngleOf(1), kRi + 30)), expected);
            EXPECT_COLOR_NEAR(PixelAt(At(AngleOf(1), kRo + c.tag + 5)), clWhite);
        }
        // The harmony's own positions are there in full.
        for (int i : {0, 4, 8})
            EXPECT_EQ(SwatchAt(At(AngleOf(i), c.visible ? kRo - 3 : 333)), i);
    }
}

TEST_F(HarmoniesPage, GrayTonesPairEveryColourWithAGrayPartner)
{
    Check("ckShowContrast")->click();
    page->findChild<QSlider*>(QStringLiteral("ptbGrayBrightness"))->setValue(10);
    for (const THarmonyStyle style : {hsColorCircles1, hsColorWheel2}) {
        SCOPED_TRACE(kHarmonyStyleNames[style]);
        Select("cbStyle", style);
        ASSERT_TRUE(Build());
        ASSERT_EQ(matching.Count(), 24);
        TRichPalette grays;
        const THSB hsb = ColorToHSB(kBase);
        grays.AddHueCircle(12, true, cvtNorm, true, &transfer, hsb.H, 0.05, 0.9 * 0.93);
        for (int i = 0; i < 12; ++i) {
            SCOPED_TRACE(i);
            const TRichColor* partner = matching.Colors(i + 12);
            const bool chosen = i % 4 == 0;
            EXPECT_EQ(partner->Enabled(), chosen);
            EXPECT_EQ(partner->Visible(), chosen);
            if (chosen) {
                EXPECT_EQ(partner->Color(), grays.Colors(i)->Color());
                EXPECT_EQ(partner->Tag, 0);
            } else {
                EXPECT_EQ(partner->Color(), AdjustColor(matching.Colors(i)->Color(), akLighter, 0.5));
                EXPECT_EQ(partner->Tag, -44);
            }
            // Wedges between 167 and 211; dots of radius 31 on the orbit 200.
            const double radius = style == hsColorWheel2 ? 189 : 200;
            EXPECT_EQ(SwatchAt(At(AngleOf(i), radius)), chosen ? i + 12 : -1);
            if (chosen) {
                EXPECT_COLOR_NEAR(PixelAt(At(AngleOf(i), radius)), partner->Color());
            }
        }
    }
    EXPECT_EQ(SwatchAt(At(AngleOf(0), 160)), -1);
    EXPECT_EQ(SwatchAt(At(AngleOf(0), 216)), -1);
}

TEST_F(HarmoniesPage, OutlineNoneDrawsNeitherOutlinesNorBands)
{
    Select("cbColorChord", 0);
    for (const THarmonyStyle style : {hsColorCircles2, hsColorWheel1, hsColorWheel2}) {
        SCOPED_TRACE(kHarmonyStyleNames[style]);
        Select("cbStyle", style);
        for (const TColor outline : {clBlack, kNoOutline}) {
            page->SetOutlineColor(outline);
            const swf::Movie movie = BuildFile();
            int lined = 0, shapes = 0;
            for (const swf::Tag& tag : movie.tags)
                if (const auto* shape = tag.As<swf::ShapeDef>()) {
                    ++shapes;
                    lined += shape->lineStyles.empty() ? 0 : 1;
                }
            if (outline == kNoOutline) {
                EXPECT_EQ(lined, 0);
            } else {
                EXPECT_EQ(lined, 12);
            }
            // The circles' colour ring is 180 wedges; the wheels add a band per wedge.
            const int swatches = style == hsColorCircles2 ? 180 + 12 : outline == kNoOutline ? 12 : 24;
            EXPECT_EQ(shapes, swatches);

            ASSERT_TRUE(Build());
            if (style != hsColorCircles2) {
                EXPECT_COLOR_NEAR(PixelAt(At(-90, kRo + 2)), outline == kNoOutline ? clWhite : clBlack);
            }
        }
    }
}

TEST_F(HarmoniesPage, SceneForAFileIsPlainAndForThePlayerInteractive)
{
    const swf::Movie file = BuildFile();
    EXPECT_EQ(file.header.version, 5);
    EXPECT_EQ(file.header.frameRect.Width(), kStage * 20);
    EXPECT_EQ(file.header.frameRect.Height(), kStage * 20);
    EXPECT_DOUBLE_EQ(file.header.FrameRate(), 12.0);
    for (const scenetest::Placed& placed : scenetest::PlacedShapes(file)) {
        EXPECT_FALSE(placed.place->name.has_value());
        EXPECT_EQ(placed.sprite, nullptr);
    }
    for (const swf::Tag& tag : file.tags)
        EXPECT_EQ(tag.As<swf::DoAction>(), nullptr);

    page->SetBackgroundColor(RGB(0x20, 0x30, 0x40));
    ASSERT_TRUE(Build());
    EXPECT_EQ(player.BackgroundColor(), 0x203040);
    EXPECT_EQ(player.ScaleMode(), 0);
    const swf::TMovieData* movie = player.Stage().Movie0();
    ASSERT_NE(movie, nullptr);
    EXPECT_EQ(player.Stage().StageSize(), QSizeF(kStage, kStage));
    // Three named clips for the triad, nothing else interactive.
    QStringList names;
    bool ok = false;
    for (int i = 0; i < 12; ++i) {
        player.SendMouseMove(At(AngleOf(i), 360));
        const QString answer = ClipNameFromAnswer(player.Stage().CallFunction(kGetClipNameRequest, &ok));
        EXPECT_TRUE(ok);
        if (!IsNoClip(answer))
            names << answer.section(u'_', 0, 2);
    }
    EXPECT_EQ(names,
        QStringList({ClipName(ckSwatch, 0, matching.Colors(0)->Color()),
            ClipName(ckSwatch, 4, matching.Colors(4)->Color()), ClipName(ckSwatch, 8, matching.Colors(8)->Color())}));
}

TEST_F(HarmoniesPage, BaseColorMarkerSitsOnTheBaseColour)
{
    // Circles: a black dot with a white ring at the top of the orbit.
    Select("cbStyle", hsColorCircles1);
    ASSERT_TRUE(Build());
    const TColor base = matching.Colors(0)->Color();
    EXPECT_COLOR_NEAR(PixelAt(QPoint(500, 500 - 333)), base);
    Check("ckBaseColorMarker")->click();
    ASSERT_TRUE(Build());
    EXPECT_COLOR_NEAR(PixelAt(QPoint(500, 500 - 333)), clBlack);
    EXPECT_COLOR_NEAR(PixelAt(QPoint(500, 500 - 333 - 8)), clWhite);
    EXPECT_COLOR_NEAR(PixelAt(QPoint(500, 500 - 333 - 14)), base);

    // Wheels: a white triangle on the rim, pointing down into the base wedge.
    Select("cbStyle", hsColorWheel2);
    ASSERT_TRUE(Build());
    EXPECT_COLOR_NEAR(PixelAt(QPoint(500, 500 - kRo + 4)), clWhite);
    EXPECT_COLOR_NEAR(PixelAt(QPoint(500, 500 - kRo + 26)), base);
    EXPECT_COLOR_NEAR(PixelAt(QPoint(520, 500 - kRo + 4)), base);
    Check("ckBaseColorMarker")->click();
    ASSERT_TRUE(Build());
    EXPECT_COLOR_NEAR(PixelAt(QPoint(500, 500 - kRo + 4)), base);
}

// The circle is made of simulated colours; drawing them must not simulate them again.
TEST_F(HarmoniesPage, ColourVisionIsSimulatedOnce)
{
    Select("cbColorChord", 0);
    page->SetColorVisionType(cvtTrit);
    ASSERT_TRUE(Build());
    for (int i = 0; i < 12; ++i) {
        SCOPED_TRACE(i);
        const TColor shown = matching.Colors(i)->Color();
        EXPECT_EQ(ClipAt(At(AngleOf(i), 360)).Color, shown);
        EXPECT_COLOR_NEAR(PixelAt(At(AngleOf(i), 360)), shown);
    }
    EXPECT_EQ(matching.Colors(0)->Color(), SimulateColorVision(kBase, cvtTrit));
}

TEST_F(HarmoniesPage, ColoursDropOnlyOnTheBaseSwatchOrWithShiftAnywhere)
{
    std::vector<std::pair<TColor, bool>> baseColors;
    page->OnSetBaseColor = [&](TObject*, TColor color, bool history) { baseColors.emplace_back(color, history); };
    ASSERT_TRUE(Build());
    TColorDragCtrlObject drag;
    drag.Color = RGB(0x12, 0x34, 0x56);
    const QPoint base = At(-90, 360), triad = At(AngleOf(4), 360), other = At(AngleOf(1), 300), empty(20, 20);

    struct Case {
        QPoint at;
        Qt::KeyboardModifiers keys;
        bool accept;
    };
    const Case cases[] = {
        {base, Qt::NoModifier, true},
        {triad, Qt::NoModifier, false},
        {other, Qt::NoModifier, false},
        {empty, Qt::NoModifier, false},
        {triad, Qt::ShiftModifier, true},
        {empty, Qt::ShiftModifier, true},
    };
    for (const Case& c : cases) {
        page->Keys = c.keys;
        bool accept = !c.accept;
        page->PlayerDragOver(&player, &drag, c.at.x(), c.at.y(), 1, accept);
        EXPECT_EQ(accept, c.accept) << c.at.x() << "," << c.at.y() << " shift " << (c.keys != Qt::NoModifier);
    }
    // Whatever is dragged, if it is no colour it is refused.
    page->Keys = Qt::ShiftModifier;
    bool accept = true;
    page->PlayerDragOver(&player, nullptr, base.x(), base.y(), 1, accept);
    EXPECT_FALSE(accept);

    // Dropped on another swatch: nothing but the rebuild.
    page->Keys = Qt::NoModifier;
    changes = 0;
    page->PlayerDragDrop(&player, &drag, triad.x(), triad.y());
    EXPECT_TRUE(baseColors.empty());
    EXPECT_EQ(page->GetBackgroundColor(), clWhite);
    // On the base swatch: the new base colour, into the history.
    page->PlayerDragDrop(&player, &drag, base.x(), base.y());
    ASSERT_EQ(baseColors.size(), 1u);
    EXPECT_EQ(baseColors[0], std::make_pair(drag.Color, true));
    // With Shift, anywhere: the background, as one change.
    page->Keys = Qt::ShiftModifier;
    changes = 0;
    page->PlayerDragDrop(&player, &drag, empty.x(), empty.y());
    EXPECT_EQ(page->GetBackgroundColor(), drag.Color);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(baseColors.size(), 1u);
}

TEST_F(HarmoniesPage, AltClickOnASwatchMakesItTheBaseColour)
{
    std::vector<std::pair<TColor, bool>> baseColors;
    page->OnSetBaseColor = [&](TObject*, TColor color, bool history) { baseColors.emplace_back(color, history); };
    ASSERT_TRUE(Build());
    const QPoint swatch = At(AngleOf(4), 360);
    page->PlayerMouseDown(&player, Qt::LeftButton, Qt::NoModifier, swatch.x(), swatch.y());
    page->PlayerMouseDown(&player, Qt::LeftButton, Qt::AltModifier, 20, 20);
    EXPECT_TRUE(baseColors.empty());
    page->PlayerMouseDown(&player, Qt::LeftButton, Qt::AltModifier, swatch.x(), swatch.y());
    ASSERT_EQ(baseColors.size(), 1u);
    EXPECT_EQ(baseColors[0], std::make_pair(matching.Colors(4)->Color(), true));
}

TEST_F(HarmoniesPage, PlayerMenuPutsThePageItemsFirst)
{
    QMenu menu;
    menu.addAction(QStringLiteral("Copy as Bitmap"));
    menu.addAction(QStringLiteral("Save Image to File"));
    const QString clip = QStringLiteral("#SW_0004_#FF8000");
    QStringList events;
    page->OnAddToPalette = [&](TObject*, const QString& name, TRichPalette* source, int mode) {
        events << QStringLiteral("add %1 %2 %3").arg(name).arg(source == nullptr).arg(mode);
    };
    page->OnCopySwatch = [&](TObject*, TColor color) { events << QStringLiteral("swatch %1").arg(color, 6, 16); };
    page->OnFillColorValueMenu
        = [&](TObject*, QMenu* sub, TColor color) { sub->addAction(QStringLiteral("#%1").arg(color, 6, 16)); };
    page->PopulatePlayerMenu(&menu, clip, &player);
    EXPECT_EQ(page->ClipName(), clip);
    QStringList texts;
    for (QAction* a : menu.actions())
        texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
    EXPECT_EQ(texts,
        QStringList({"Add Color to Palette", "Add All Colors to Palette", "-", "Copy Color Value", "Copy Swatch", "-",
            "Copy as Bitmap", "Save Image to File"}));
    const QList<QAction*> actions = menu.actions();
    actions[0]->trigger();
    actions[1]->trigger();
    actions[4]->trigger();
    const TColor orange = RGB(0xFF, 0x80, 0x00);
    EXPECT_EQ(events,
        QStringList(
            {"add #SW_0004_#FF8000 1 0", "add #SW_0004_#FF8000 1 3", QStringLiteral("swatch %1").arg(orange, 6, 16)}));
    ASSERT_NE(actions[3]->menu(), nullptr);
    ASSERT_EQ(actions[3]->menu()->actions().size(), 1);
    EXPECT_EQ(actions[3]->menu()->actions()[0]->text(), QStringLiteral("#%1").arg(orange, 6, 16));

    // Opened again over no swatch: the colour items have nothing to work on.
    menu.clear();
    page->PopulatePlayerMenu(&menu, QString(), &player);
    EXPECT_FALSE(menu.actions()[0]->isEnabled());
    EXPECT_TRUE(menu.actions()[1]->isEnabled());
    EXPECT_FALSE(menu.actions()[3]->isEnabled());
    EXPECT_FALSE(menu.actions()[4]->isEnabled());
}

TEST_F(HarmoniesPage, PageCodesSelectTheirHarmonyAndNothingElseChangesAnything)
{
    for (int i = 0; i < kHarmonyCount; ++i) {
        page->ExecuteCommand(QLatin1String(kHarmonyCodes[i]));
        EXPECT_EQ(page->ColorChord(), i) << kHarmonyCodes[i];
    }
    page->ExecuteCommand(QStringLiteral("TRI"));
    Select("cbStyle", hsColorWheel3);
    changes = 0;
    QStringList before;
    page->SaveSettings(before);
    for (const char* code : {"", "XYZ", "tri", "TRI ", "3", "ALLX"}) {
        page->ExecuteCommand(QLatin1String(code));
        QStringList after;
        page->SaveSettings(after);
        EXPECT_EQ(after, before) << code;
    }
    EXPECT_EQ(changes, 0);
}

TEST_F(HarmoniesPage, GamutIsCheckedOnlyOnTheArtisticWheel)
{
    const THSB lightBlue {230, 0.3, 1};
    THSB corrected;
    EXPECT_TRUE(page->CheckGamut(lightBlue, &transfer, corrected));
    double h = lightBlue.H, s = lightBlue.S, b = lightBlue.B;
    transfer.HSBToArtistic(h, s, b, false);
    transfer.ArtisticToHSB(h, s, b, 0, -1);
    EXPECT_DOUBLE_EQ(corrected.H, h);
    EXPECT_DOUBLE_EQ(corrected.S, s);
    EXPECT_DOUBLE_EQ(corrected.B, b);
    EXPECT_LT(corrected.S, lightBlue.S);
    THSB again;
    EXPECT_FALSE(page->CheckGamut(corrected, &transfer, again));
    EXPECT_FALSE(page->CheckGamut(THSB {20, 0.8, 0.8}, &transfer, again));

    page->SetArtisticWheel(false);
    EXPECT_EQ(page->findChild<QComboBox*>(QStringLiteral("cbColorWheel"))->currentText(), "Scientific");
    EXPECT_FALSE(page->CheckGamut(lightBlue, &transfer, corrected));
    EXPECT_EQ(changes, 0);
}

TEST_F(HarmoniesPage, HelpPlaysTheLessonAtTheHarmonysTopic)
{
    const char* const topics[] = {"Home", "Complement", "SplitComplement", "Triad", "Square", "Rectangle", "Rectangle",
        "Analogous", "Analogous", "Home"};
    QStringList played;
    page->OnPlayMovie = [&](TObject*, const QString& name, const QString& a1, const QString& a2) {
        played << name + u' ' + a1 + u' ' + a2;
    };
    auto* help = page->findChild<QToolButton*>(QStringLiteral("btnHelp"));
    for (int i = 0; i < kHarmonyCount; ++i) {
        Select("cbColorChord", i);
        help->click();
        ASSERT_EQ(played.size(), i + 1);
        EXPECT_EQ(played.last(), QStringLiteral("TH000 ColorHarmonies ") + QLatin1String(topics[i]));
    }
}

TEST_F(HarmoniesPage, SettingsMakeTheRoundTrip)
{
    page->SetBackgroundColor(RGB(0x10, 0x20, 0x30));
    page->SetOutlineColor(RGB(0x40, 0x50, 0x60));
    Check("ckBaseColorMarker")->click();
    Check("ckShowContrast")->click();
    page->findChild<QSlider*>(QStringLiteral("ptbGrayBrightness"))->setValue(17);
    Select("cbStyle", hsColorCircles2);
    Select("cbColorChord", 8);
    Select("cbColorWheel", 0);
    page->SetColorVisionType(cvtDeut);
    page->OnGetBaseColor = [](TObject*, TColor& color) { color = RGB(0xAB, 0xCD, 0xEF); };
    QStringList settings {QStringLiteral("Variations_Other=7")};
    page->SaveSettings(settings);
    EXPECT_TRUE(settings.contains("Variations_Other=7"));
    for (const char* entry : {"ShowMarker=1", "ArtisticWheel=0", "ColorVisionType=2", "Harmonies_ColorWheelStyle=1",
             "Harmonies_ColorChord=8", "Harmonies_ShowContrastingColors=1", "Harmonies_MatchingGrayBrightness=17",
             "ShowOutline=1"})
        EXPECT_TRUE(settings.contains(QLatin1String(entry))) << entry << "\n" << settings.join(u'\n').toStdString();
    QString text;
    ASSERT_TRUE(TfrmPptBase::ReadSetting(settings, QStringLiteral("BaseColor"), text));
    EXPECT_EQ(HexToColor(text, 0), RGB(0xAB, 0xCD, 0xEF));

    QWidget panel2;
    TTestPage fresh(&panel2);
    int freshChanges = 0;
    fresh.OnChange = [&](TObject*) { ++freshChanges; };
    std::vector<std::pair<TColor, bool>> baseColors;
    fresh.OnSetBaseColor = [&](TObject*, TColor color, bool history) { baseColors.emplace_back(color, history); };
    fresh.LoadSettings(settings);
    EXPECT_EQ(freshChanges, 0);
    ASSERT_EQ(baseColors.size(), 1u);
    EXPECT_EQ(baseColors[0], std::make_pair(RGB(0xAB, 0xCD, 0xEF), false));
    EXPECT_EQ(fresh.GetBackgroundColor(), RGB(0x10, 0x20, 0x30));
    EXPECT_EQ(fresh.GetOutlineColor(), RGB(0x40, 0x50, 0x60));
    EXPECT_TRUE(fresh.BaseColorMarker());
    EXPECT_FALSE(fresh.GetArtisticWheel());
    EXPECT_EQ(fresh.ColorVisionType(), cvtDeut);
    EXPECT_EQ(fresh.Style(), hsColorCircles2);
    EXPECT_EQ(fresh.ColorChord(), 8);
    EXPECT_TRUE(fresh.ShowContrast());
    EXPECT_TRUE(fresh.findChild<QSlider*>(QStringLiteral("ptbGrayBrightness"))->isEnabled());
    EXPECT_EQ(fresh.GrayBrightness(), 17);
    EXPECT_EQ(fresh.findChild<QLabel*>(QStringLiteral("lblGrayBrightness"))->text(), "Brightness: 17");
}

// A host opening the page cannot copy the loaded base colour into it yet: the page asks for
// the colour the host took, so its first scene starts from it.
TEST_F(HarmoniesPage, LoadedBaseColourIsTheFirstScenesBase)
{
    TColor hostBase = RGB(0xFF, 0xCC, 0x00);
    page->SetBaseHSB(ColorToHSB(hostBase));
    page->OnSetBaseColor = [&](TObject*, TColor color, bool) { hostBase = color; };
    page->OnGetBaseColor = [&](TObject*, TColor& color) { color = hostBase; };
    page->LoadSettings({QStringLiteral("BaseColor=#FF9900")});
    ASSERT_TRUE(Build());
    EXPECT_EQ(matching.Colors(0)->Color(), RGB(0xFF, 0x99, 0x00));
    EXPECT_EQ(SwatchAt(At(-90, 360)), 0);
    EXPECT_COLOR_NEAR(PixelAt(At(-90, 360)), RGB(0xFF, 0x99, 0x00));
}

TEST_F(HarmoniesPage, SettingsKeepWhatIsMissingOrMalformed)
{
    std::vector<std::pair<TColor, bool>> baseColors;
    page->OnSetBaseColor = [&](TObject*, TColor color, bool history) { baseColors.emplace_back(color, history); };

    // No outline wins over a stored outline colour.
    page->LoadSettings({QStringLiteral("OutlineColor=#FF0000"), QStringLiteral("ShowOutline=0")});
    EXPECT_EQ(page->GetOutlineColor(), kNoOutline);
    EXPECT_TRUE(baseColors.empty());
    // ShowOutline missing counts as shown.
    page->LoadSettings({QStringLiteral("OutlineColor=#00FF00")});
    EXPECT_EQ(page->GetOutlineColor(), RGB(0, 0xFF, 0));

    // Nothing missing, malformed or out of range moves a control; a malformed base colour
    // is silver.
    page->LoadSettings({QStringLiteral("BaseColor=#GGHHII"), QStringLiteral("BackgroundColor=nonsense"),
        QStringLiteral("ShowMarker=yes"), QStringLiteral("ArtisticWheel="), QStringLiteral("ColorVisionType=9"),
        QStringLiteral("Harmonies_ColorWheelStyle=5"), QStringLiteral("Harmonies_ColorChord=-1"),
        QStringLiteral("Harmonies_ShowContrastingColors=x")});
    ASSERT_EQ(baseColors.size(), 1u);
    EXPECT_EQ(baseColors[0], std::make_pair(clSilver, false));
    EXPECT_EQ(page->GetBackgroundColor(), clWhite);
    EXPECT_FALSE(page->BaseColorMarker());
    EXPECT_TRUE(page->GetArtisticWheel());
    EXPECT_EQ(page->ColorVisionType(), cvtNorm);
    EXPECT_EQ(page->Style(), hsColorWheel2);
    EXPECT_EQ(page->ColorChord(), 3);
    EXPECT_FALSE(page->ShowContrast());
    EXPECT_EQ(page->GrayBrightness(), 5);
    // A slider position beyond its range stops at the end.
    page->LoadSettings({QStringLiteral("Harmonies_MatchingGrayBrightness=99")});
    EXPECT_EQ(page->GrayBrightness(), 20);
    EXPECT_EQ(changes, 0);
}

} // namespace
