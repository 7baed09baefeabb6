// The shared background cache: device-pixel sizes and the three things that make it render again.
#include "pickers/CachedBackground.h"

#include <gtest/gtest.h>

TEST(CachedBackground, SizesInDevicePixelsRoundUp)
{
    struct Case {
        QSize logical;
        qreal dpr;
        QSize device;
    };
    for (const Case& c :
        {Case {{190, 190}, 1, {190, 190}}, Case {{190, 190}, 2, {380, 380}}, Case {{101, 33}, 1.5, {152, 50}},
            Case {{7, 3}, 1.25, {9, 4}}, Case {{0, 10}, 2, {}}, Case {{10, 10}, 0, {}}}) {
        EXPECT_EQ(CachedBackground::deviceSize(c.logical, c.dpr), c.device) << c.logical.width() << "@" << c.dpr;
    }
}

TEST(CachedBackground, RendersOnlyWhenSizeRatioOrPropertyChanged)
{
    CachedBackground cache;
    int calls = 0;
    QSize seen;
    qreal seenRatio = 0;
    const auto render = [&](QImage& image) {
        ++calls;
        seen = image.size();
        seenRatio = image.devicePixelRatio();
        EXPECT_EQ(image.pixel(0, 0), 0u) << "handed over cleared";
        image.fill(Qt::red);
    };
    cache.image({40, 30}, 1, render);
    cache.image({40, 30}, 1, render);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(seen, QSize(40, 30));

    cache.image({40, 30}, 2, render);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(seen, QSize(80, 60));
    EXPECT_EQ(seenRatio, 2);

    cache.image({41, 30}, 2, render);
    EXPECT_EQ(calls, 3);

    cache.invalidate();
    EXPECT_TRUE(cache.isDirty({41, 30}, 2));
    const QImage& image = cache.image({41, 30}, 2, render);
    EXPECT_EQ(calls, 4);
    EXPECT_EQ(cache.renderCount(), 4);
    EXPECT_EQ(image.size(), QSize(82, 60));
    EXPECT_EQ(image.deviceIndependentSize(), QSizeF(41, 30));

    EXPECT_TRUE(cache.image({0, 30}, 2, render).isNull());
    EXPECT_EQ(calls, 4) << "nothing to draw for an empty control";
}
