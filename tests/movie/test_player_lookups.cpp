// The interpreter's short cuts must not change what a script means: sequences it runs as
// one step (a push and what takes the pushed value, a method call with its arguments, a
// value fetched into a register), names found by their place in a for..in walk, objects
// with many members, and the caches of clip geometry and mouse listeners, which must
// follow the stage when clips move, come and go.

#include <gtest/gtest.h>

#include "test_player_support.h"

using namespace playertest;
using namespace swf;

namespace {

constexpr auto acDelete = static_cast<ActionCode>(0x3A);
constexpr auto acInitObject = static_cast<ActionCode>(0x43);
constexpr auto acTargetPath = static_cast<ActionCode>(0x45);
constexpr auto acToString = static_cast<ActionCode>(0x4B);

// Runs one frame script (actions with their End) in an empty movie; returns the log.
QStringList RunBytes(const QByteArray& actions, int version = 8)
{
    MovieBuilder b;
    b.CreateMovie(100, 100, 12, version);
    b.AddActions(actions);
    TMovieStage stage;
    EXPECT_TRUE(stage.Load(b.FinishToBytes()));
    return stage.Vm().Log();
}

QStringList RunScript(const std::function<void(ActionBuilder&)>& script, int version = 8)
{
    ActionBuilder a(version);
    script(a);
    return RunBytes(a.Bytes(), version);
}

// Raw actions for what the builder does not write: constant pools and try blocks.
QByteArray Action(std::uint8_t code, const QByteArray& payload = {})
{
    QByteArray out(1, static_cast<char>(code));
    if (code >= 0x80) {
        out.append(static_cast<char>(payload.size() & 0xFF));
        out.append(static_cast<char>(payload.size() >> 8));
        out.append(payload);
    }
    return out;
}

QByteArray Zstr(const char* s) { return QByteArray(s) + '\0'; }

QByteArray ConstantPool(const std::vector<const char*>& strings)
{
    QByteArray p;
    p.append(static_cast<char>(strings.size()));
    p.append('\0');
    for (const char* s : strings)
        p += Zstr(s);
    return Action(0x88, p);
}

QByteArray PushConstant(std::uint8_t index) { return Action(0x96, QByteArray("\x08", 1) + static_cast<char>(index)); }

QByteArray PushString(const char* s) { return Action(0x96, QByteArray(1, '\0') + Zstr(s)); }

// Registers an ExternalInterface callback of the same name as a function defined before.
void AddCallback(ActionBuilder& a, const QString& name)
{
    a.Push(name).Op(acGetVariable);
    a.Push(QStringLiteral("this")).Op(acGetVariable);
    a.Push({name, std::int32_t(3), QStringLiteral("flash")}).Op(acGetVariable);
    a.Push(QStringLiteral("external")).Op(acGetMember);
    a.Push(QStringLiteral("ExternalInterface")).Op(acGetMember);
    a.Push(QStringLiteral("addCallback")).Op(acCallMethod).Op(acPop);
}

struct TCase {
    const char* name;
    std::function<void(ActionBuilder&)> script;
    QStringList expected;
};

TEST(Avm1, ShortCutsKeepTheMeaningOfTheirSequences)
{
    const std::vector<TCase> cases = {
        {"a method call with all its arguments in one push",
         [](ActionBuilder& a) {
             a.Push({std::int32_t(3), std::int32_t(1), std::int32_t(2), QStringLiteral("Korvel"), QStringLiteral("substr")})
                 .Op(acCallMethod)
                 .Op(acTrace);
             // No arguments, and a name that is not a function: undefined, stack intact.
             a.Push(QStringLiteral("below"));
             a.Push({std::int32_t(0), QStringLiteral("Korvel"), QStringLiteral("toUpperCase")}).Op(acCallMethod).Op(acTrace);
             a.Push({std::int32_t(0), QStringLiteral("Korvel"), QStringLiteral("nothing")})
                 .Op(acCallMethod)
                 .Op(acToString)
                 .Op(acTrace);
             a.Op(acTrace);
         },
         {"orv", "KORVEL", "undefined", "below"}},
        {"arguments from registers, in order",
         [](ActionBuilder& a) {
             ActionBuilder body(8);
             body.Push({PushRegister{2}, PushRegister{1}, std::int32_t(2), QStringLiteral("Korvel"), QStringLiteral("substr")})
                 .Op(acCallMethod)
                 .Op(acReturn);
             a.DefineFunction2(QStringLiteral("part"), {QStringLiteral("from"), QStringLiteral("count")}, 3, body);
             a.Push({std::int32_t(4), std::int32_t(2), std::int32_t(2), QStringLiteral("part")}).Op(acCallFunction).Op(acTrace);
         },
         {"rvel"}},
        {"a value fetched straight into a register",
         [](ActionBuilder& a) {
             a.Push({QStringLiteral("x"), QStringLiteral("fetched")}).Op(acSetVariable);
             ActionBuilder body(8);
             body.Push(QStringLiteral("kept"));
             body.Push(QStringLiteral("x")).Op(acGetVariable).StoreRegister(1).Op(acPop);
             body.Push(PushRegister{1}).Op(acTrace);
             body.Push(PushRegister{1}).Op(acTypeOf).Op(acTrace);
             body.Op(acTrace);  // what was pushed first is still there, alone
             body.Push(QStringLiteral("empty")).Op(acTrace);
             a.DefineFunction2(QStringLiteral("f"), {}, 2, body);
             a.Push({std::int32_t(0), QStringLiteral("f")}).Op(acCallFunction).Op(acPop);
         },
         {"fetched", "string", "kept", "empty"}},
        {"a branch into the middle of a push and a fetch",
         [](ActionBuilder& a) {
             a.Push({QStringLiteral("x"), QStringLiteral("ex")}).Op(acSetVariable);
             a.Push({QStringLiteral("y"), QStringLiteral("why")}).Op(acSetVariable);
             const auto in = a.NewLabel();
             a.Push(QStringLiteral("x")).Jump(in);
             a.Push(QStringLiteral("y"));
             a.Mark(in);
             a.Op(acGetVariable).Op(acTrace);
         },
         {"ex"}},
        {"levels named outright",
         [](ActionBuilder& a) {
             a.Push(QStringLiteral("_level0")).Op(acGetVariable).Op(acTargetPath).Op(acTrace);
             a.Push(QStringLiteral("_LEVEL0")).Op(acGetVariable).Op(acTargetPath).Op(acTrace);
             a.Push(QStringLiteral("_level7")).Op(acGetVariable).Op(acTypeOf).Op(acTrace);
             a.Push(QStringLiteral("_levels")).Op(acGetVariable).Op(acTypeOf).Op(acTrace);
         },
         {"_level0", "_level0", "undefined", "undefined"}},
        {"an object with more members than a short list holds",
         [](ActionBuilder& a) {
             a.Push(QStringLiteral("o"));
             for (int i = 0; i < 12; ++i)
                 a.Push({QStringLiteral("m%1").arg(i), std::int32_t(i * 10)});
             a.Push(std::int32_t(12)).Op(acInitObject).Op(acSetVariable);
             auto read = [&](const QString& member) {
                 a.Push(QStringLiteral("o")).Op(acGetVariable).Push(member).Op(acGetMember).Op(acToString).Op(acTrace);
             };
             read(QStringLiteral("m0"));
             read(QStringLiteral("m11"));
             a.Push({QStringLiteral("o")}).Op(acGetVariable).Push(QStringLiteral("m3")).Op(acDelete).Op(acPop);
             read(QStringLiteral("m3"));
             read(QStringLiteral("m4"));
             read(QStringLiteral("m11"));
             a.Push(QStringLiteral("o")).Op(acGetVariable).Push({QStringLiteral("m3"), std::int32_t(33)}).Op(acSetMember);
             read(QStringLiteral("m3"));
             read(QStringLiteral("m12"));
         },
         {"0", "110", "undefined", "40", "110", "33", "undefined"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RunScript(c.script), c.expected);
    }
}

TEST(Avm1, ConstantPoolItemsInShortCuts)
{
    // The pool's strings reach a fetch, a typeof, a member read and a comparison through
    // the fused sequences as they would through the stack.
    QByteArray code = ConstantPool({"x", "hello", "length", "string"});
    code += PushConstant(0) + PushConstant(1) + Action(0x1D);                          // x = "hello"
    code += PushConstant(0) + Action(0x1C) + Action(0x26);                             // trace(x)
    code += PushConstant(0) + Action(0x1C) + PushConstant(2) + Action(0x4E) + Action(0x26);  // x.length
    code += PushConstant(1) + Action(0x44) + Action(0x26);                             // typeof "hello"
    code += PushConstant(1) + Action(0x44) + PushConstant(3) + Action(0x49) + Action(0x4B) + Action(0x26);
    code += PushConstant(9) + Action(0x1C) + Action(0x44) + Action(0x26);  // past the pool: undefined name
    code += Action(0x00);
    EXPECT_EQ(RunBytes(code), (QStringList{"hello", "5", "string", "true", "undefined"}));
}

TEST(Avm1, TryRunsItsFinallyBlock)
{
    const QByteArray tryBlock = PushString("try") + Action(0x26);
    const QByteArray finallyBlock = PushString("finally") + Action(0x26);
    QByteArray header;
    header.append('\x02');  // a finally block, no catch block
    for (const qsizetype size : {tryBlock.size(), qsizetype(0), finallyBlock.size()}) {
        header.append(static_cast<char>(size & 0xFF));
        header.append(static_cast<char>(size >> 8));
    }
    header.append('\0');  // catch variable name
    const QByteArray code = Action(0x8F, header) + tryBlock + finallyBlock + PushString("after") + Action(0x26) + Action(0x00);
    EXPECT_EQ(RunBytes(code), (QStringList{"try", "finally", "after"}));
}

// Named one-frame sprites of 10 x 10 pixels at the given x positions, in depth order.
QByteArray ClipsMovie(const std::vector<std::pair<QString, double>>& clips, const QByteArray& script)
{
    MovieBuilder b;
    b.CreateMovie(400, 100, 12, 8);
    const std::uint16_t square = b.WrapInSprite(b.AddRectangle(QRectF(0, 0, 10, 10), ShapeStyle::Filled({0, 0, 0, 255})));
    for (const auto& [name, x] : clips) {
        Placement p;
        p.name = name;
        p.x = x;
        b.Place(square, p);
    }
    b.AddActions(script);
    return b.FinishToBytes();
}

TEST(MoviePlayer, ChildNamesAreFoundInAnyOrder)
{
    // A for..in walk over _level0 reads each clip by the name it was given, the usual
    // pattern of scripts; a name used twice finds the lower clip both times. Then the
    // same names read out of order, and one that is no clip.
    ActionBuilder a(8);
    const auto loop = a.NewLabel();
    const auto done = a.NewLabel();
    a.Push(QStringLiteral("_level0")).Op(acGetVariable).Op(acEnumerate2);
    a.Mark(loop);
    a.StoreRegister(0).Push(PushNull{}).Op(acEquals2).If(done);
    a.Push(PushRegister{0}).Push(QStringLiteral("=")).Op(acAdd2);
    a.Push(QStringLiteral("_level0")).Op(acGetVariable).Push(PushRegister{0}).Op(acGetMember);
    a.Push(QStringLiteral("_x")).Op(acGetMember).Op(acAdd2).Op(acTrace);
    a.Jump(loop);
    a.Mark(done);
    for (const char* name : {"b", "d", "a", "c", "nothing"}) {
        a.Push(QStringLiteral("_level0")).Op(acGetVariable).Push(QString::fromLatin1(name)).Op(acGetMember);
        a.Op(acTargetPath).Op(acToString).Op(acTrace);
    }
    const QByteArray movie = ClipsMovie({{"a", 10}, {"b", 20}, {"a", 30}, {"c", 40}, {"d", 50}}, a.Bytes());
    TMovieStage stage;
    ASSERT_TRUE(stage.Load(movie));
    EXPECT_EQ(stage.Vm().Log(), (QStringList{"d=50", "c=40", "a=10", "b=20", "a=10", "_level0.b", "_level0.d",
                                             "_level0.a", "_level0.c", "undefined"}));
}

// Two squares and GetClipName, with a callback that moves the first (to x 200) and one
// that doubles the second's size.
QByteArray MovingClipsMovie(bool detailed)
{
    MovieBuilder b;
    b.CreateMovie(400, 100, 12, 8);
    const std::uint16_t square = b.WrapInSprite(b.AddRectangle(QRectF(0, 0, 20, 20), ShapeStyle::Filled({0, 0, 0, 255})));
    for (const auto& [name, x] : std::vector<std::pair<QString, double>>{{"A", 10}, {"B", 100}}) {
        Placement p;
        p.name = name;
        p.x = x;
        p.y = 10;
        p.clipActions.push_back(FSCommandClipAction(ceRollOver, QStringLiteral("CM_01"), name));
        b.Place(square, p);
    }
    ActionBuilder a(8);
    ActionBuilder move(8);
    move.Push(QStringLiteral("_level0")).Op(acGetVariable).Push(QStringLiteral("A")).Op(acGetMember);
    move.Push({QStringLiteral("_x"), std::int32_t(200)}).Op(acSetMember);
    a.DefineFunction2(QStringLiteral("MoveA"), {}, 1, move);
    AddCallback(a, QStringLiteral("MoveA"));
    ActionBuilder grow(8);
    grow.Push(QStringLiteral("_level0")).Op(acGetVariable).Push(QStringLiteral("B")).Op(acGetMember);
    grow.Push({QStringLiteral("_xscale"), std::int32_t(200)}).Op(acSetMember);
    a.DefineFunction2(QStringLiteral("GrowB"), {}, 1, grow);
    AddCallback(a, QStringLiteral("GrowB"));
    b.AddActions(a.Bytes());
    b.AddActions(GetClipNameActions(detailed));
    return b.FinishToBytes();
}

QString ClipAt(TMovieStage& stage, QPointF at)
{
    stage.MouseMove(at);
    QString answer = stage.CallFunction(Invoke(QStringLiteral("GetClipName")));
    return answer.remove(QLatin1String("<string>")).remove(QLatin1String("</string>"));
}

TEST(MoviePlayer, HitTestsFollowClipsThatMoveOrGrow)
{
    for (const bool detailed : {true, false}) {
        SCOPED_TRACE(detailed ? "shapes" : "bounding boxes");
        TMovieStage stage;
        ASSERT_TRUE(stage.Load(MovingClipsMovie(detailed)));
        const QString suffix = detailed ? QStringLiteral("_%1_%2") : QString();
        auto name = [&](const char* clip, int x, int y) {
            return QString::fromLatin1(clip) + (detailed ? suffix.arg(x).arg(y) : QString());
        };
        // Asked once before anything moves, so that every clip's box is cached.
        EXPECT_EQ(ClipAt(stage, {15, 15}), name("A", 15, 15));
        EXPECT_EQ(ClipAt(stage, {205, 15}), "_");
        EXPECT_EQ(ClipAt(stage, {130, 15}), "_");
        ASSERT_EQ(stage.CallFunction(Invoke(QStringLiteral("MoveA"))), "<undefined/>");
        EXPECT_EQ(ClipAt(stage, {15, 15}), "_");
        EXPECT_EQ(ClipAt(stage, {205, 15}), name("A", 205, 15));
        ASSERT_EQ(stage.CallFunction(Invoke(QStringLiteral("GrowB"))), "<undefined/>");
        EXPECT_EQ(ClipAt(stage, {130, 15}), name("B", 130, 15));
        EXPECT_EQ(ClipAt(stage, {145, 15}), "_");
    }
}

TEST(MoviePlayer, MouseClipEventsReachTheClipsOnStageNow)
{
    // Frame 1 holds A, frame 2 adds B, frame 3 takes A away; each has a mouse-move clip
    // event. Every move goes to the clips on the stage at that moment, in depth order.
    MovieBuilder b;
    b.CreateMovie(100, 100, 12, 8);
    const std::uint16_t square = b.WrapInSprite(b.AddRectangle(QRectF(0, 0, 10, 10), ShapeStyle::Filled({0, 0, 0, 255})));
    auto place = [&](const QString& name) {
        Placement p;
        p.name = name;
        p.clipActions.push_back(FSCommandClipAction(ceMouseMove, QStringLiteral("MOVE"), name));
        return b.Place(square, p);
    };
    const std::uint16_t depthA = place(QStringLiteral("A"));
    b.AddActions(ActionBuilder(8).Stop().Bytes());
    b.ShowFrame();
    place(QStringLiteral("B"));
    b.ShowFrame();
    b.Remove(depthA);
    b.ShowFrame();
    TMovieStage stage;
    ASSERT_TRUE(stage.Load(b.FinishToBytes()));
    QStringList sent;
    stage.onFSCommand = [&](const QString& c, const QString& arg) { sent << c + QLatin1Char(' ') + arg; };
    stage.MouseMove({50, 50});
    EXPECT_EQ(sent, QStringList{"MOVE A"});
    sent.clear();
    stage.GotoFrame(2, false);
    stage.MouseMove({60, 50});
    EXPECT_EQ(sent, (QStringList{"MOVE A", "MOVE B"}));
    sent.clear();
    stage.GotoFrame(3, false);
    stage.MouseMove({70, 50});
    EXPECT_EQ(sent, QStringList{"MOVE B"});
}

TEST(MoviePlayer, ExternalCallsDoNotHoardGarbage)
{
    // A page asks for the clip under the pointer on every move; each call leaves a few
    // objects behind, which must not pile up between frames.
    TMovieStage stage;
    ASSERT_TRUE(stage.Load(MovingClipsMovie(true)));
    stage.MouseMove({15, 15});
    const QString first = stage.CallFunction(Invoke(QStringLiteral("GetClipName")));
    for (int i = 0; i < 20000; ++i)
        ASSERT_EQ(stage.CallFunction(Invoke(QStringLiteral("GetClipName"))), first);
    EXPECT_LT(stage.Vm().ObjectCount(), 10000u);
}

}  // namespace
