#include <gtest/gtest.h>

#include "movie/SwfModel.h"
#include "movie/SwfStream.h"

using namespace swf;

// Bit-packed records must come back exactly, including negative values and zero widths.
TEST(SwfBits, RectMatrixCxformRoundTrip)
{
    const Rect rects[] = {{0, 0, 0, 0}, {0, 11000, 0, 8000}, {-400, 400, -1, 1}, {-(1 << 30), (1 << 30) - 1, 5, -5}};
    const Matrix matrices[] = {Matrix{}, Matrix::Make(2000, -40, 0.3, 0.3, 0), Matrix::Make(-1, 1, 1, 1, 35),
                               Matrix::Make(0, 0, -2, 0.5, 90)};
    ColorTransform tint = ColorTransform::Tint({255, 128, 0, 255});
    ColorTransform alphaOnly;
    alphaOnly.hasMult = true;
    alphaOnly.aMult = 128;
    const ColorTransform cxforms[] = {ColorTransform{}, tint, alphaOnly};

    detail::ByteWriter w;
    for (const Rect& r : rects)
        w.WriteRect(r);
    for (const Matrix& m : matrices)
        w.WriteMatrix(m);
    for (const ColorTransform& c : cxforms)
        w.WriteCxform(c, true);
    const QByteArray bytes = w.Data();

    detail::ByteReader r(bytes);
    for (const Rect& expected : rects)
        EXPECT_EQ(r.ReadRect(), expected);
    for (const Matrix& expected : matrices)
        EXPECT_EQ(r.ReadMatrix(), expected);
    for (const ColorTransform& expected : cxforms)
        EXPECT_EQ(r.ReadCxform(true), expected);
    EXPECT_TRUE(r.Ok());
    EXPECT_TRUE(r.AtEnd());
}
