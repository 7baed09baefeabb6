#include "workarea/ClipNames.h"

#include <gtest/gtest.h>

namespace {

struct ParseCase {
    const char* name;
    int kind;
    int number;
    TColor color;
    const char* text;
};

TEST(ParseClipName, ReadsEveryKind)
{
    const ParseCase cases[] = {
        {"#SW_0012_#00FF80", ckSwatch, 12, RGB(0x00, 0xFF, 0x80), ""},
        {"#FM_0012_#336699", ckFormula, 12, RGB(0x33, 0x66, 0x99), ""},
        {"#C2_0007_#FF8000", ckSwatch2, 7, RGB(0xFF, 0x80, 0x00), ""},
        {"#C1_0005", ckCommand, 5, kNoClipColor, ""},
        {"#C3_0010_TH000", ckLesson, 10, kNoClipColor, "TH000"},
        {"#C3_0010_A_B", ckLesson, 10, kNoClipColor, "A_B"},
        {"#C4", ckBack, 0, kNoClipColor, ""},
        {"#C4_0099_whatever", ckBack, 0, kNoClipColor, ""},
        // The detailed GetClipName answer carries the mouse position after the colour.
        {"#SW_0003_#FF8000_120_45", ckSwatch, 3, RGB(0xFF, 0x80, 0x00), ""},
        // Not a number, not hex: -1 and silver.
        {"#SW_abcd_#GGHHII", ckSwatch, -1, clSilver, ""},
        {"#C1_x", ckCommand, -1, kNoClipColor, ""},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.name);
        const TClipName r = ParseClipName(QString::fromLatin1(c.name));
        EXPECT_EQ(r.Kind, c.kind);
        EXPECT_EQ(r.Number, c.number);
        EXPECT_EQ(r.Color, c.color);
        EXPECT_EQ(r.Text, QString::fromLatin1(c.text));
    }
}

TEST(ParseClipName, UnknownPrefixesCarryNothing)
{
    for (const char* name : {"xyz", "", "_", "#sw_0001_#FF0000", "#SWX_0001_#FF0000", "SW_0001"}) {
        SCOPED_TRACE(name);
        const TClipName r = ParseClipName(QString::fromLatin1(name));
        EXPECT_EQ(r.Kind, ckUnknown);
        EXPECT_EQ(r.Color, kNoClipColor);
        EXPECT_TRUE(r.Text.isEmpty());
    }
}

TEST(ClipName, FormatsAndReadsBack)
{
    EXPECT_EQ(ClipName(ckSwatch, 3, RGB(0xFF, 0x80, 0x00)), QStringLiteral("#SW_0003_#FF8000"));
    EXPECT_EQ(ClipName(ckFormula, 12, RGB(0x33, 0x66, 0x99)), QStringLiteral("#FM_0012_#336699"));
    EXPECT_EQ(ClipName(ckCommand, 5), QStringLiteral("#C1_0005"));
    EXPECT_EQ(ClipName(ckSwatch, 12345, RGB(1, 2, 0xAB)), QStringLiteral("#SW_12345_#0102AB"));
    EXPECT_EQ(LessonClipName(10, QStringLiteral("TH000")), QStringLiteral("#C3_0010_TH000"));

    for (int n : {0, 7, 863, 10000})
        for (TColor c : {RGB(0, 0, 0), RGB(255, 255, 255), RGB(0x12, 0xAB, 0xEF)}) {
            const TClipName r = ParseClipName(ClipName(ckSwatch, n, c));
            EXPECT_EQ(r.Kind, ckSwatch);
            EXPECT_EQ(r.Number, n);
            EXPECT_EQ(r.Color, c);
        }
}

TEST(ParsePageRequest, SplitsAtTheFirstUnderscore)
{
    struct Case {
        const char* arg;
        int number;
        const char* text;
    };
    const Case cases[] = {
        {"3_TRI", 3, "TRI"}, {"3_A_B", 3, "A_B"}, {"x_TRI", -1, "TRI"}, {"_TRI", -1, "TRI"},
        {"7", 7, ""},        {"", -1, ""},        {"12_", 12, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arg);
        const TPageRequest r = ParsePageRequest(QString::fromLatin1(c.arg));
        EXPECT_EQ(r.Number, c.number);
        EXPECT_EQ(r.Text, QString::fromLatin1(c.text));
    }
}

TEST(ClipNameFromAnswer, DropsTheStringTagsOnly)
{
    EXPECT_EQ(ClipNameFromAnswer(QStringLiteral("<string>#SW_0001_#FF0000</string>")),
              QStringLiteral("#SW_0001_#FF0000"));
    EXPECT_EQ(ClipNameFromAnswer(QStringLiteral("<string>_</string>")), QStringLiteral("_"));
    EXPECT_EQ(ClipNameFromAnswer(QString()), QString());
    // Tags without "string" stay.
    EXPECT_EQ(ClipNameFromAnswer(QStringLiteral("<null/>")), QStringLiteral("<null/>"));
    EXPECT_TRUE(IsNoClip(QString()));
    EXPECT_TRUE(IsNoClip(QStringLiteral("_")));
    EXPECT_FALSE(IsNoClip(QStringLiteral("#C4")));
}

}  // namespace
