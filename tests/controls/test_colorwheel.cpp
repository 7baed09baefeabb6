// TColorWheel: geometry of the hue disc, the mouse rules, the colour properties and exactly when
// OnColorChange fires.
#include "pickers/ColorWheel.h"

#include "colour/Colors.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <vector>

namespace {

constexpr double kPi = std::numbers::pi;

struct Report {
    double hue, sat, brt, hueTr, satTr, brtTr;
    TColor ref;
};

// A wheel of the default 200 × 200 (centre 100,100, rim radius 90) that records its events.
class WheelTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        wheel.OnColorChange
            = [this](TObject* sender, double h, double s, double b, double ht, double st, double bt, TColor ref) {
                  EXPECT_EQ(sender, static_cast<TObject*>(&wheel));
                  reports.push_back({h, s, b, ht, st, bt, ref});
              };
        wheel.OnMouseUp = [this](TObject*) { ++mouseUps; };
    }

    // Offsets from the centre, y downward as on screen.
    QPointF At(double dx, double dy) const { return QPointF(wheel.WheelCenter()) + QPointF(dx, dy); }

    void Mouse(QEvent::Type type, QPointF pos, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, pos, wheel.mapToGlobal(pos), button, held, mods);
        QApplication::sendEvent(&wheel, &event);
    }
    void Click(QPointF pos, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        Mouse(QEvent::MouseButtonPress, pos, mods);
        Mouse(QEvent::MouseButtonRelease, pos, mods);
    }

    TColorWheel wheel;
    std::vector<Report> reports;
    int mouseUps = 0;
};

// Degrees between two hues the short way round: compares colours that went through bytes.
double HueDistance(double a, double b)
{
    const double d = std::fabs(WrapAngle(+1, a) - WrapAngle(+1, b));
    return std::min(d, 360 - d);
}

TColor PixelColor(const QImage& image, int x, int y)
{
    const QRgb p = image.pixel(x, y);
    return RGB(qRed(p), qGreen(p), qBlue(p));
}

TEST_F(WheelTest, StartsWithTheDocumentedDefaults)
{
    EXPECT_EQ(wheel.size(), QSize(200, 200));
    EXPECT_EQ(wheel.BaseAngle(), 0);
    EXPECT_EQ(wheel.Border(), 10);
    EXPECT_EQ(wheel.Hue(), 0);
    EXPECT_EQ(wheel.Saturation(), 1);
    EXPECT_EQ(wheel.Brightness(), 1);
    EXPECT_EQ(wheel.SelectionColor(), clRed);
    EXPECT_EQ(wheel.ColorMode(), cmHueSatBrt);
    EXPECT_EQ(wheel.Direction(), dirClockwise);
    EXPECT_EQ(wheel.ColorVisionType(), cvtNorm);
    EXPECT_FALSE(wheel.TransferMode());
    EXPECT_FALSE(wheel.WebSafe());
    EXPECT_EQ(wheel.WheelCenter(), QPoint(100, 100));
    EXPECT_EQ(wheel.WheelRadius(), 90);
    EXPECT_TRUE(reports.empty());
}

// Clicks placed by screen direction: where hue 0 and hue 90 sit for each angle and direction.
TEST_F(WheelTest, ClicksPickTheHueOfTheirAngleAndTheSaturationOfTheirDistance)
{
    struct Case {
        int baseAngle;
        TDirection direction;
        double dx, dy;
        double hue, sat;
    };
    const Case cases[] = {
        {0, dirClockwise, 0, 0, 0, 0}, // the exact centre: θ = 0, no saturation
        {90, dirClockwise, 0, 0, 270, 0}, // centre with a turned wheel: still θ = 0
        {90, dirCounterClockwise, 0, 0, 90, 0}, //
        {0, dirClockwise, 90, 0, 0, 1}, // red at 3 o'clock on the rim
        {0, dirClockwise, 0, -45, 90, 0.5}, // hue grows counter-clockwise: 90 at 12 o'clock
        {0, dirClockwise, -150, 0, 180, 1}, // outside the rim: saturation 1
        {0, dirClockwise, 300, 300, 315, 1}, // far outside the control
        {90, dirClockwise, 0, -60, 0, 60.0 / 90}, // red at 12 o'clock
        {90, dirClockwise, 60, 0, 270, 60.0 / 90}, //
        {0, dirCounterClockwise, 0, 90, 90, 1}, // hue 90 at 6 o'clock
        {0, dirCounterClockwise, 0, -30, 270, 30.0 / 90}, {270, dirCounterClockwise, 0, 90, 0, 1}, // red at 6 o'clock
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(
            testing::Message() << "base " << c.baseAngle << " dir " << c.direction << " at " << c.dx << "," << c.dy);
        wheel.SetBaseAngle(c.baseAngle);
        wheel.SetDirection(c.direction);
        wheel.SetHSB(123, 0.77, 1); // somewhere else, so each click is a change
        Click(At(c.dx, c.dy));
        EXPECT_NEAR(wheel.Hue(), c.hue, 1e-9);
        EXPECT_DOUBLE_EQ(wheel.Saturation(), c.sat);
    }
}

TEST_F(WheelTest, RedSitsWhereBaseAngleAndDirectionPutIt)
{
    wheel.SetBaseAngle(90);
    Click(At(0, -90));
    EXPECT_EQ(wheel.SelectionColor(), clRed);

    wheel.SetBaseAngle(0);
    wheel.SetDirection(dirCounterClockwise);
    Click(At(0, 80));
    EXPECT_NEAR(wheel.Hue(), 90, 1e-9);
    EXPECT_EQ(wheel.SelectionColor(), HSBToColor(90, 80.0 / 90, 1));
}

TEST_F(WheelTest, BaseAngleIsKeptInOneTurn)
{
    for (auto [given, kept] : std::vector<std::pair<int, int>> {{-30, 330}, {720, 0}, {359, 359}, {-721, 359}}) {
        wheel.SetBaseAngle(given);
        EXPECT_EQ(wheel.BaseAngle(), kept) << given;
    }
}

// The disc shows at each pixel the colour a click on that pixel picks, at ratio 1 and 2.
TEST_F(WheelTest, DiscPixelsHaveTheHueAndSaturationOfTheirPlace)
{
    struct Setup {
        int baseAngle;
        TDirection direction;
    };
    for (const Setup setup : {Setup {0, dirClockwise}, Setup {90, dirClockwise}, Setup {0, dirCounterClockwise},
             Setup {210, dirCounterClockwise}}) {
        wheel.SetBaseAngle(setup.baseAngle);
        wheel.SetDirection(setup.direction);
        for (const qreal dpr : {1.0, 2.0}) {
            const QImage disc = wheel.RenderDisc(dpr);
            ASSERT_EQ(disc.size(), QSize(200, 200) * dpr);
            const int r = wheel.WheelRadius();
            for (int degrees = 0; degrees < 360; degrees += 15) {
                for (const double fraction : {0.35, 0.7, 0.95}) {
                    SCOPED_TRACE(testing::Message() << "base " << setup.baseAngle << " dir " << setup.direction
                                                    << " dpr " << dpr << " angle " << degrees << " at " << fraction);
                    const int dx = Round(std::cos(degrees * kPi / 180) * fraction * r);
                    const int dy = -Round(std::sin(degrees * kPi / 180) * fraction * r);
                    const QPoint onWidget = wheel.WheelCenter() + QPoint(dx, dy);
                    double hue, sat;
                    wheel.HueSatAt(onWidget, hue, sat);
                    // Device pixel (x·dpr, y·dpr) has its top-left corner on logical (x, y).
                    const QRgb raw = disc.pixel(onWidget.x() * dpr, onWidget.y() * dpr);
                    ASSERT_EQ(qAlpha(raw), 255);
                    const THSB shown = ColorToHSB(PixelColor(disc, onWidget.x() * dpr, onWidget.y() * dpr));
                    // At ratio 2 the two device pixels of a logical one sample a quarter pixel either side.
                    EXPECT_LT(HueDistance(shown.H, hue), dpr == 1 ? 1.5 : 2.0);
                    EXPECT_NEAR(shown.S, std::hypot(dx, dy) / r, 0.01);
                    EXPECT_NEAR(shown.B, 1, 1e-9);
                }
            }
        }
    }
}

// Every fully covered pixel is exactly HSBToColor of its place: the cached tables that make the
// disc fast must not shift a single byte.
TEST_F(WheelTest, DiscPixelsAreExactlyTheColoursOfTheirPlace)
{
    wheel.resize(190, 190);
    wheel.SetBaseAngle(30);
    for (const double brightness : {1.0, 0.37, 0.0}) {
        wheel.SetBrightness(brightness);
        const QImage disc = wheel.RenderDisc(1);
        const QPoint c = wheel.WheelCenter();
        const int r = wheel.WheelRadius();
        int checked = 0;
        for (int y = 0; y < disc.height(); ++y)
            for (int x = 0; x < disc.width(); ++x) {
                if (qAlpha(disc.pixel(x, y)) != 255)
                    continue;
                double hue, clickSat;
                wheel.HueSatAt(QPoint(x, y), hue, clickSat);
                const double sat = std::min(1.0, std::hypot(x - c.x(), y - c.y()) / r);
                ASSERT_EQ(PixelColor(disc, x, y), HSBToColor(hue, sat, brightness)) << x << "," << y;
                ++checked;
            }
        EXPECT_GT(checked, 3.1 * r * r);
    }
}

TEST_F(WheelTest, DiscHasASoftRimAndNothingOutsideIt)
{
    for (const qreal dpr : {1.0, 2.0}) {
        const QImage disc = wheel.RenderDisc(dpr);
        // Device pixels are measured from their middles, the disc from the middle of its centre pixel.
        const double centre = (wheel.WheelCenter().x() + 0.5) * dpr;
        const double r = wheel.WheelRadius() * dpr;
        int partial = 0;
        double covered = 0;
        for (int y = 0; y < disc.height(); ++y)
            for (int x = 0; x < disc.width(); ++x) {
                const int alpha = qAlpha(disc.pixel(x, y));
                const double dist = std::hypot(x + 0.5 - centre, y + 0.5 - centre);
                if (dist >= r + 1) {
                    ASSERT_EQ(alpha, 0) << x << "," << y;
                }
                if (dist <= r - 1) {
                    ASSERT_EQ(alpha, 255) << x << "," << y;
                }
                partial += alpha > 0 && alpha < 255;
                covered += alpha / 255.0;
            }
        EXPECT_GT(partial, 3 * r) << "a hard edge would have none";
        EXPECT_NEAR(covered, kPi * r * r, 0.002 * kPi * r * r);
    }
}

TEST_F(WheelTest, ModesWebSafeAndVisionShapeTheDisc)
{
    const QImage normal = wheel.RenderDisc(1);
    const QPoint c = wheel.WheelCenter();
    const std::vector<QPoint> inside
        = {c + QPoint(20, -10), c + QPoint(-47, 33), c + QPoint(5, 70), c + QPoint(-80, 0), c + QPoint(61, 61)};

    wheel.SetColorVisionType(cvtProt);
    const QImage simulated = wheel.RenderDisc(1);
    for (QPoint p : inside)
        EXPECT_EQ(PixelColor(simulated, p.x(), p.y()), SimulateColorVision(PixelColor(normal, p.x(), p.y()), cvtProt));
    wheel.SetColorVisionType(cvtNorm);

    wheel.SetWebSafe(true);
    const QImage webSafe = wheel.RenderDisc(1);
    for (QPoint p : inside)
        EXPECT_EQ(PixelColor(webSafe, p.x(), p.y()), WebSafeColor(PixelColor(normal, p.x(), p.y())));
    wheel.SetWebSafe(false);

    wheel.SetBrightness(0.4);
    const QImage dark = wheel.RenderDisc(1);
    for (QPoint p : inside) {
        double hue, sat;
        wheel.HueSatAt(p, hue, sat);
        EXPECT_EQ(PixelColor(dark, p.x(), p.y()), HSBToColor(hue, std::hypot(p.x() - c.x(), p.y() - c.y()) / 90, 0.4));
    }

    // The ring modes leave a hole and draw the hue at full saturation.
    wheel.SetColorMode(cmHueBrt);
    const QImage ring = wheel.RenderDisc(1);
    EXPECT_EQ(qAlpha(ring.pixel(c.x(), c.y())), 0);
    EXPECT_EQ(qAlpha(ring.pixel(c.x() + 60, c.y())), 0);
    EXPECT_EQ(PixelColor(ring, c.x() + 85, c.y()), HSBToColor(0, 1, 0.4));
    EXPECT_EQ(PixelColor(ring, c.x(), c.y() - 85), HSBToColor(90, 1, 0.4));

    // In the artistic space yellow sits at 120°.
    wheel.SetColorMode(cmHueSatBrt);
    wheel.SetBrightness(1);
    wheel.SetTransferMode(true);
    const QImage artistic = wheel.RenderDisc(1);
    const QPoint yellowPlace = c + QPoint(Round(std::cos(2 * kPi / 3) * 89), -Round(std::sin(2 * kPi / 3) * 89));
    EXPECT_LT(HueDistance(ColorToHSB(PixelColor(artistic, yellowPlace.x(), yellowPlace.y())).H, 60), 2);
}

TEST_F(WheelTest, CtrlKeepsTheHueAndShiftKeepsTheSaturation)
{
    Mouse(QEvent::MouseButtonPress, At(45, 0));
    EXPECT_DOUBLE_EQ(wheel.Hue(), 0);
    EXPECT_DOUBLE_EQ(wheel.Saturation(), 0.5);

    Mouse(QEvent::MouseMove, At(0, -200), Qt::ControlModifier);
    EXPECT_DOUBLE_EQ(wheel.Hue(), 0);
    EXPECT_DOUBLE_EQ(wheel.Saturation(), 1);

    Mouse(QEvent::MouseMove, At(-18, 0), Qt::ShiftModifier);
    EXPECT_DOUBLE_EQ(wheel.Hue(), 180);
    EXPECT_DOUBLE_EQ(wheel.Saturation(), 1);

    const size_t before = reports.size();
    Mouse(QEvent::MouseMove, At(0, 30), Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_DOUBLE_EQ(wheel.Hue(), 180);
    EXPECT_DOUBLE_EQ(wheel.Saturation(), 1);
    EXPECT_EQ(reports.size(), before) << "nothing moved, nothing reported";

    Mouse(QEvent::MouseButtonRelease, At(0, 30));
    // After the release, moving (a hover) changes nothing.
    Mouse(QEvent::MouseMove, At(30, 30));
    EXPECT_DOUBLE_EQ(wheel.Hue(), 180);
    EXPECT_EQ(mouseUps, 1);
}

TEST_F(WheelTest, DraggingReportsEachMoveThatChangesTheColour)
{
    Mouse(QEvent::MouseButtonPress, At(30, 0));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].sat, 30.0 / 90);
    Mouse(QEvent::MouseMove, At(30, 0));
    EXPECT_EQ(reports.size(), 1u);
    Mouse(QEvent::MouseMove, At(0, -30));
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_DOUBLE_EQ(reports[1].hue, 90);
    EXPECT_EQ(reports[1].ref, HSBToColor(90, 30.0 / 90, 1));
    EXPECT_EQ(mouseUps, 0);
    Mouse(QEvent::MouseButtonRelease, At(0, -30));
    EXPECT_EQ(reports.size(), 2u);
    EXPECT_EQ(mouseUps, 1);

    // Inside a batch a drag reports once, at the end.
    wheel.BeginUpdate();
    Mouse(QEvent::MouseButtonPress, At(10, 10));
    Mouse(QEvent::MouseMove, At(20, 10));
    Mouse(QEvent::MouseButtonRelease, At(20, 10));
    EXPECT_EQ(reports.size(), 2u);
    wheel.EndUpdate();
    EXPECT_EQ(reports.size(), 3u);
}

TEST_F(WheelTest, SettersReportRealChangesOnly)
{
    wheel.SetHSB(200, 0.4, 0.6);
    ASSERT_EQ(reports.size(), 1u) << "SetHSB reports once";
    EXPECT_DOUBLE_EQ(reports[0].hue, 200);
    EXPECT_DOUBLE_EQ(reports[0].sat, 0.4);
    EXPECT_DOUBLE_EQ(reports[0].brt, 0.6);

    wheel.SetHSB(200, 0.4, 0.6);
    wheel.SetHue(200);
    wheel.SetHue(560); // the same hue a turn later
    wheel.SetSaturation(0.4);
    wheel.SetBrightness(0.6);
    wheel.SetRed(wheel.Red());
    wheel.SetGreen(wheel.Green());
    wheel.SetBlue(wheel.Blue());
    wheel.SetColorMode(cmHueSatBrt);
    wheel.SetTransferMode(false);
    // Settings that move the disc but not the colour report nothing.
    wheel.SetBaseAngle(30);
    wheel.SetDirection(dirCounterClockwise);
    wheel.SetBorder(4);
    wheel.SetWebSafe(true);
    wheel.SetColorVisionType(cvtDeut);
    wheel.BeginUpdate();
    wheel.EndUpdate();
    EXPECT_EQ(reports.size(), 1u);

    wheel.SetHue(10);
    wheel.SetSaturation(0.9);
    wheel.SetBrightness(0.2);
    wheel.SetRed(0);
    wheel.SetColorMode(cmHueSat);
    EXPECT_EQ(reports.size(), 6u);

    // Nested batches report once, when the outermost closes.
    wheel.BeginUpdate();
    wheel.SetHue(20);
    wheel.BeginUpdate();
    wheel.SetSaturation(0.3);
    wheel.EndUpdate();
    EXPECT_EQ(reports.size(), 6u);
    wheel.SetBrightness(0.9);
    wheel.EndUpdate();
    ASSERT_EQ(reports.size(), 7u);
    EXPECT_DOUBLE_EQ(reports.back().hue, 20);
    EXPECT_DOUBLE_EQ(reports.back().sat, 0.3);
    EXPECT_DOUBLE_EQ(reports.back().brt, 1) << "cmHueSat reports brightness 1";
    wheel.EndUpdate(); // unbalanced: ignored
    EXPECT_FALSE(wheel.IsUpdating());
}

TEST_F(WheelTest, ChangeEventValuesFollowTheMode)
{
    wheel.SetHSB(40, 0.5, 0.25);
    struct Case {
        TColorMode mode;
        double sat, brt;
    };
    for (const Case c :
        {Case {cmHueSat, 0.5, 1}, Case {cmHueBrt, 1, 0.25}, Case {cmHue, 1, 1}, Case {cmHueSatBrt, 0.5, 0.25}}) {
        reports.clear();
        wheel.SetColorMode(c.mode);
        ASSERT_EQ(reports.size(), 1u) << c.mode;
        const Report& r = reports[0];
        EXPECT_EQ(r.hue, 40);
        EXPECT_EQ(r.sat, c.sat) << c.mode;
        EXPECT_EQ(r.brt, c.brt) << c.mode;
        EXPECT_EQ(r.hueTr, r.hue);
        EXPECT_EQ(r.satTr, r.sat);
        EXPECT_EQ(r.brtTr, r.brt);
        EXPECT_EQ(r.ref, HSBToColor(40, c.sat, c.brt));
    }

    // In the artistic space the Tr values are the scientific triple of the same colour.
    reports.clear();
    wheel.SetTransferMode(true);
    ASSERT_EQ(reports.size(), 1u);
    const Report& r = reports[0];
    TColorTransfer transfer;
    double h = r.hue, s = r.sat, b = r.brt;
    transfer.ArtisticToHSB(h, s, b, 0, -1);
    EXPECT_DOUBLE_EQ(r.hueTr, h);
    EXPECT_DOUBLE_EQ(r.satTr, s);
    EXPECT_DOUBLE_EQ(r.brtTr, b);
    EXPECT_NEAR(r.hueTr, 40, 1e-6) << "the colour stays put when the space changes";
    EXPECT_NEAR(r.satTr, 0.5, 1e-6);
    EXPECT_NEAR(r.brtTr, 0.25, 1e-6);
    EXPECT_EQ(r.ref, HSBToColor(h, s, b));
}

TEST_F(WheelTest, SelectionColorComesBackAndIsReportedExactly)
{
    for (const bool transfer : {false, true}) {
        wheel.SetTransferMode(transfer);
        for (int r = 0; r < 256; r += 17)
            for (int g = 0; g < 256; g += 51)
                for (int b = 3; b < 256; b += 36) {
                    const TColor color = RGB(r, g, b);
                    reports.clear();
                    wheel.SetSelectionColor(color);
                    ASSERT_LE(reports.size(), 1u);
                    EXPECT_TRUE(wheel.HasExplicitColor());
                    if (transfer) {
                        // Through the artistic space "up to rounding", for colours the artistic
                        // wheel can show; lighter ones are pulled inside it.
                        TColorTransfer t;
                        THSB a = ColorToHSB(color);
                        t.HSBToArtistic(a.H, a.S, a.B, true);
                        if (a.B > 1 || a.S > 1)
                            continue;
                        const TColor back = wheel.SelectionColor();
                        EXPECT_LE(std::abs(GetRValue(back) - r), 1) << std::hex << color;
                        EXPECT_LE(std::abs(GetGValue(back) - g), 1) << std::hex << color;
                        EXPECT_LE(std::abs(GetBValue(back) - b), 1) << std::hex << color;
                    } else {
                        EXPECT_EQ(wheel.SelectionColor(), color);
                        EXPECT_EQ(RGB(wheel.Red(), wheel.Green(), wheel.Blue()), color);
                    }
                    if (!reports.empty()) {
                        EXPECT_EQ(reports[0].ref, color);
                    }
                }
    }
    // A colour can be reported as set even when rounding would read it a unit off.
    wheel.SetTransferMode(true);
    reports.clear();
    wheel.SetSelectionColor(RGB(200, 120, 33));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].ref, RGB(200, 120, 33));
}

TEST_F(WheelTest, SelectionColorResolvesSystemColorsAndRepeatsSilently)
{
    wheel.SetSelectionColor(clBtnFace);
    EXPECT_EQ(wheel.SelectionColor(), ColorToRGB(clBtnFace));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].ref, ColorToRGB(clBtnFace));
    wheel.SetSelectionColor(clBtnFace);
    EXPECT_EQ(reports.size(), 1u);

    // Moving the colour forgets the explicit one; setting it again reports it again.
    wheel.SetHue(wheel.Hue() + 1);
    EXPECT_FALSE(wheel.HasExplicitColor());
    wheel.SetSelectionColor(RGB(10, 20, 30));
    Click(At(10, 0));
    EXPECT_FALSE(wheel.HasExplicitColor());
    EXPECT_EQ(reports.back().ref, wheel.SelectionColor());
}

TEST_F(WheelTest, WritingAChannelKeepsTheOtherTwoExactly)
{
    wheel.SetHSB(200, 0.37, 0.81);
    double h, s, b;
    wheel.GetHSB(h, s, b);
    const TRGBf before = HSBToRGB(h, s, b);
    reports.clear();
    wheel.SetRed(10);
    ASSERT_EQ(reports.size(), 1u);
    wheel.GetHSB(h, s, b);
    const TRGBf after = HSBToRGB(h, s, b);
    EXPECT_NEAR(after.R, 10 / 255.0, 1e-12);
    EXPECT_NEAR(after.G, before.G, 1e-12);
    EXPECT_NEAR(after.B, before.B, 1e-12);
    EXPECT_EQ(wheel.Red(), 10);

    wheel.SetSelectionColor(RGB(1, 2, 3));
    wheel.SetBlue(250);
    EXPECT_FALSE(wheel.HasExplicitColor());
    EXPECT_EQ(wheel.SelectionColor(), RGB(1, 2, 250));
    wheel.SetGreen(999); // a byte at most
    EXPECT_EQ(wheel.Green(), 255);
}

TEST_F(WheelTest, OnlyBrightnessAndLookRenderTheDiscAgain)
{
    wheel.grab();
    const int first = wheel.DiscRenderCount();
    EXPECT_EQ(first, 1);
    wheel.SetHue(77);
    wheel.SetSaturation(0.3);
    wheel.SetSelectionColor(RGB(0, 255, 128)); // brightness stays 1
    Click(At(5, 5));
    wheel.grab();
    EXPECT_EQ(wheel.DiscRenderCount(), first) << "the marker moves over the cached disc";

    int expected = first;
    const std::vector<std::function<void()>> changes = {
        [&] { wheel.SetBrightness(0.5); },
        [&] { wheel.SetBaseAngle(45); },
        [&] { wheel.SetDirection(dirCounterClockwise); },
        [&] { wheel.SetBorder(3); },
        [&] { wheel.SetColorMode(cmHue); },
        [&] { wheel.SetColorVisionType(cvtTrit); },
        [&] { wheel.SetWebSafe(true); },
        [&] { wheel.SetTransferMode(true); },
        [&] { wheel.resize(150, 170); },
        [&] { wheel.SetSelectionColor(RGB(0, 0, 40)); },
    };
    for (size_t i = 0; i < changes.size(); ++i) {
        changes[i]();
        wheel.grab();
        EXPECT_EQ(wheel.DiscRenderCount(), ++expected) << "change " << i;
        wheel.grab();
        EXPECT_EQ(wheel.DiscRenderCount(), expected) << "change " << i << " painted twice";
    }
}

// What a person sees: the cached disc placed under the overlay, the marker filled with the
// (simulated) colour, and nothing to pick from when disabled.
TEST_F(WheelTest, PaintedWheelShowsDiscMarkerAndSimulation)
{
    wheel.resize(230, 190); // wider than high: the disc is centred
    EXPECT_EQ(wheel.WheelCenter(), QPoint(115, 95));
    wheel.SetHSB(150, 0.6, 0.9);
    wheel.SetColorVisionType(cvtDeut);
    for (const qreal dpr : {1.0, 2.0}) {
        QImage shot(wheel.size() * dpr, QImage::Format_ARGB32_Premultiplied);
        shot.setDevicePixelRatio(dpr);
        wheel.render(&shot);
        const QImage disc = wheel.RenderDisc(dpr);
        // Disc pixels away from the overlay come through the widget unchanged, each device pixel
        // its own (a disc rendered at ratio 1 and scaled up would repeat pairs).
        for (int dx = -30; dx < -10; ++dx) {
            const QPoint plain = QPoint(dx, 60) + wheel.WheelCenter();
            for (int sub = 0; sub < dpr; ++sub) {
                const QPoint device = plain * dpr + QPoint(sub, sub);
                const QPoint inDisc = device - QPoint(20 * dpr, 0);
                EXPECT_EQ(PixelColor(shot, device.x(), device.y()), PixelColor(disc, inDisc.x(), inDisc.y()))
                    << "dpr " << dpr << " at " << dx;
            }
        }
        // The marker centre: Round(cos φ · 0.6 · 85), −Round(sin φ · 0.6 · 85) from the centre.
        const double phi = 150 * kPi / 180;
        const QPoint marker = wheel.WheelCenter() + QPoint(Round(std::cos(phi) * 51), -Round(std::sin(phi) * 51));
        EXPECT_EQ(PixelColor(shot, marker.x() * dpr, marker.y() * dpr),
            SimulateColorVision(HSBToColor(150, 0.6, 0.9), cvtDeut))
            << dpr;
    }

    wheel.setEnabled(false);
    const QImage disabled = wheel.grab().toImage();
    const QColor window = wheel.palette().color(QPalette::Window);
    const QPoint inside = wheel.WheelCenter() + QPoint(-20, 60);
    EXPECT_EQ(PixelColor(disabled, inside.x(), inside.y()), RGB(window.red(), window.green(), window.blue()));
}

TEST_F(WheelTest, ArrowKeysNudgeTheColour)
{
    wheel.SetHSB(359.5, 0.5, 1);
    reports.clear();
    QTest::keyClick(&wheel, Qt::Key_Right);
    EXPECT_DOUBLE_EQ(wheel.Hue(), 0.5);
    QTest::keyClick(&wheel, Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_DOUBLE_EQ(wheel.Hue(), 350.5);
    QTest::keyClick(&wheel, Qt::Key_Up);
    EXPECT_DOUBLE_EQ(wheel.Saturation(), 0.51);
    QTest::keyClick(&wheel, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_DOUBLE_EQ(wheel.Saturation(), 0.41);
    EXPECT_EQ(reports.size(), 4u);
}

} // namespace

namespace {

// The mouse measures from the centre the disc is painted around; on a wheel one pixel taller
// than wide, half the width would be a pixel off it.
TEST_F(WheelTest, UnevenWheelIsClickedAroundItsPaintedCentre)
{
    wheel.resize(200, 199);
    EXPECT_EQ(wheel.WheelCenter(), QPoint(99, 99));
    Click(QPointF(99, 99));
    EXPECT_EQ(wheel.Saturation(), 0);
    Click(QPointF(99 + 89, 99));
    EXPECT_DOUBLE_EQ(wheel.Hue(), 0);
    EXPECT_DOUBLE_EQ(wheel.Saturation(), 1) << "the rim is 89 pixels out";
}

// In the ring modes the saturation is neither drawn nor reported, so a click in the hole still
// leaves the hue pointer on the rim.
TEST_F(WheelTest, RingModesKeepThePointerWhateverTheSaturation)
{
    wheel.SetColorMode(cmHue);
    Click(At(0, 0));
    ASSERT_EQ(wheel.Saturation(), 0);
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back().sat, 1);
    const QImage shot = wheel.grab().toImage();
    // Hue 0 points to 3 o'clock; the triangle lies 1..9 pixels beyond the rim there.
    const QPoint tip = wheel.WheelCenter() + QPoint(wheel.WheelRadius() + 5, 0);
    EXPECT_EQ(PixelColor(shot, tip.x(), tip.y()), clBlack);
}

TEST_F(WheelTest, ChannelsReadTheShownColourInTheArtisticSpace)
{
    wheel.SetTransferMode(true);
    wheel.SetHSB(100, 0.8, 0.9);
    EXPECT_EQ(RGB(wheel.Red(), wheel.Green(), wheel.Blue()), wheel.SelectionColor());
    const int target = wheel.Green() - 40;
    reports.clear();
    wheel.SetGreen(target);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NEAR(wheel.Green(), target, 1) << "up to the rounding of the artistic round trip";
    EXPECT_EQ(RGB(wheel.Red(), wheel.Green(), wheel.Blue()), wheel.SelectionColor());
}

TEST_F(WheelTest, BorderWiderThanTheWheelLeavesNothingToDrawOrDivideBy)
{
    wheel.resize(60, 60);
    wheel.SetBorder(255);
    EXPECT_LE(wheel.WheelRadius(), 0);
    const QImage shot = wheel.grab().toImage();
    EXPECT_FALSE(shot.isNull());
    Click(At(3, 4));
    EXPECT_EQ(wheel.Saturation(), 1);
    EXPECT_TRUE(std::isfinite(wheel.Hue()));
}

} // namespace
