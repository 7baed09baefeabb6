#include "ShellTestUtil.h"

#include "shell/base/RecentFiles.h"

#include <gtest/gtest.h>

namespace {

QStringList Names(std::initializer_list<const char*> names)
{
    QStringList list;
    for (const char* name : names)
        list << QString::fromLatin1(name);
    return list;
}

TEST(RecentFiles, NewNamesGoOnTopAndTheOldestFallOffAtSix)
{
    TRecentFiles recent;
    int changes = 0;
    recent.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &recent);
        ++changes;
    };
    EXPECT_EQ(recent.MaxItems(), 6);
    EXPECT_TRUE(recent.IfExistsPlaceFirst());
    for (const char* name : {"a", "b", "c", "d", "e", "f", "g"})
        recent.Add(QString::fromLatin1(name));
    EXPECT_EQ(recent.Files(), Names({"g", "f", "e", "d", "c", "b"}));
    EXPECT_EQ(changes, 7);
}

TEST(RecentFiles, AListedNameMovesToTheTopAndStillNotifies)
{
    TRecentFiles recent;
    int changes = 0;
    recent.OnChange = [&](TObject*) { ++changes; };
    for (const char* name : {"a", "b", "c"})
        recent.Add(QString::fromLatin1(name));
    recent.Add(QStringLiteral("a"));
    EXPECT_EQ(recent.Files(), Names({"a", "c", "b"}));
    recent.Add(QStringLiteral("a")); // already on top: nothing moves, the event still fires
    EXPECT_EQ(recent.Files(), Names({"a", "c", "b"}));
    EXPECT_EQ(changes, 5);
    // Paths differing in case are different files here.
    recent.Add(QStringLiteral("A"));
    EXPECT_EQ(recent.Files(), Names({"A", "a", "c", "b"}));

    recent.SetIfExistsPlaceFirst(false);
    recent.Add(QStringLiteral("b"));
    EXPECT_EQ(recent.Files(), Names({"A", "a", "c", "b"}));
    EXPECT_EQ(changes, 7);
}

TEST(RecentFiles, AnEmptyNameIsIgnored)
{
    TRecentFiles recent;
    int changes = 0;
    recent.OnChange = [&](TObject*) { ++changes; };
    recent.Add(QString());
    EXPECT_EQ(recent.Count(), 0);
    EXPECT_EQ(changes, 0);
}

TEST(RecentFiles, ReadingOutsideTheListRaisesIndexOutOfBounds)
{
    TRecentFiles recent;
    recent.Add(QStringLiteral("/p/a.kvfc"));
    EXPECT_EQ(recent.Items(0), QStringLiteral("/p/a.kvfc"));
    for (const int index : {1, -1, 6}) {
        try {
            recent.Items(index);
            ADD_FAILURE() << "no exception for " << index;
        } catch (const ERecentFilesError& error) {
            EXPECT_EQ(std::string(error.what()), "Index out of bounds (" + std::to_string(index) + ")");
        }
    }
}

TEST(RecentFiles, LoweringMaxItemsDropsTheOldest)
{
    TRecentFiles recent;
    for (const char* name : {"a", "b", "c", "d"})
        recent.Add(QString::fromLatin1(name));
    recent.SetMaxItems(2);
    EXPECT_EQ(recent.Files(), Names({"d", "c"}));
    recent.Add(QStringLiteral("e"));
    EXPECT_EQ(recent.Files(), Names({"e", "d"}));
}

} // namespace
