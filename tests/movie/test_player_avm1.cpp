// The script interpreter: the language rules that differ by movie version, numbers as
// text, functions with registers, objects and strings, and the limits that keep a bad
// script from hanging the program.

#include <gtest/gtest.h>

#include "test_player_support.h"

using namespace playertest;
using namespace swf;

namespace {

constexpr auto acStringAdd = static_cast<ActionCode>(0x21);
constexpr auto acInitObject = static_cast<ActionCode>(0x43);
constexpr auto acToString = static_cast<ActionCode>(0x4B);

// Runs one frame script in a movie of the given version; returns what it traced and the
// errors the interpreter logged.
QStringList RunScript(int version, const std::function<void(ActionBuilder&)>& script)
{
    ActionBuilder a(version);
    script(a);
    MovieBuilder b;
    b.CreateMovie(100, 100, 12, version);
    b.AddActions(a.Bytes());
    TMovieStage stage;
    EXPECT_TRUE(stage.Load(b.FinishToBytes()));
    return stage.Vm().Log();
}

void Trace(ActionBuilder& a) { a.Op(acTrace); }

struct TCase {
    const char* name;
    int version;
    std::function<void(ActionBuilder&)> script;
    QStringList expected;
};

TEST(Avm1, LanguageRules)
{
    const std::vector<TCase> cases = {
        {"Add2 joins when either side is a string", 8,
         [](ActionBuilder& a) {
             a.Push({QStringLiteral("1"), std::int32_t(2)}).Op(acAdd2);
             Trace(a);
             a.Push({std::int32_t(1), std::int32_t(2)}).Op(acAdd2);
             Trace(a);
             a.Push({QStringLiteral("3"), QStringLiteral("4")}).Op(acMultiply);
             Trace(a);
         },
         {"12", "3", "12"}},
        {"undefined is empty text before version 7", 6,
         [](ActionBuilder& a) {
             a.Push({QStringLiteral("a"), PushUndefined{}}).Op(acAdd2);
             Trace(a);
         },
         {"a"}},
        {"undefined is 'undefined' from version 7", 7,
         [](ActionBuilder& a) {
             a.Push({QStringLiteral("a"), PushUndefined{}}).Op(acAdd2);
             Trace(a);
         },
         {"aundefined"}},
        {"names ignore case before version 7", 6,
         [](ActionBuilder& a) {
             a.Push({QStringLiteral("Foo"), std::int32_t(1)}).Op(acSetVariable);
             a.Push({QStringLiteral("x"), QStringLiteral("foo")}).Op(acGetVariable).Op(acAdd2);
             Trace(a);
         },
         {"x1"}},
        {"names keep case from version 7", 7,
         [](ActionBuilder& a) {
             a.Push({QStringLiteral("Foo"), std::int32_t(1)}).Op(acSetVariable);
             a.Push({QStringLiteral("x"), QStringLiteral("foo")}).Op(acGetVariable).Op(acAdd2);
             Trace(a);
         },
         {"xundefined"}},
        {"numbers as text", 8,
         [](ActionBuilder& a) {
             const std::vector<std::pair<double, double>> divisions = {{1, 3}, {1, 0}, {0, 0}, {-1, 1e7}, {1e21, 1}};
             a.Push({0.1, 0.2}).Op(acAdd2);
             Trace(a);
             for (const auto& [x, y] : divisions) {
                 a.Push({x, y}).Op(acDivide);
                 Trace(a);
             }
             a.Push(2.5).Push({std::int32_t(1), QStringLiteral("Math")}).Op(acGetVariable);
             a.Push(QStringLiteral("round")).Op(acCallMethod);
             Trace(a);
             a.Push(-2.5).Push({std::int32_t(1), QStringLiteral("Math")}).Op(acGetVariable);
             a.Push(QStringLiteral("round")).Op(acCallMethod);
             Trace(a);
         },
         {"0.3", "0.333333333333333", "Infinity", "NaN", "-1e-7", "1e+21", "3", "-2"}},
        {"equality", 8,
         [](ActionBuilder& a) {
             a.Push({PushNull{}, PushUndefined{}}).Op(acEquals2).Op(acToString);
             Trace(a);
             a.Push({QStringLiteral("1"), std::int32_t(1)}).Op(acEquals2).Op(acToString);
             Trace(a);
             a.Push({QStringLiteral("1"), std::int32_t(1)}).Op(acStrictEquals).Op(acToString);
             Trace(a);
             a.Push({std::int32_t(2), QStringLiteral("10")}).Op(acLess2).Op(acToString);  // 2 < "10" numerically
             Trace(a);
             a.Push({QStringLiteral("2"), QStringLiteral("10")}).Op(acLess2).Op(acToString);  // as text
             Trace(a);
         },
         {"true", "true", "false", "true", "false"}},
        {"a function with its parameters in registers", 8,
         [](ActionBuilder& a) {
             ActionBuilder body(8);
             body.Push({PushRegister{1}, PushRegister{2}}).Op(acMultiply).Op(acReturn);
             a.DefineFunction2(QStringLiteral("times"), {QStringLiteral("x"), QStringLiteral("y")}, 3, body);
             a.Push({std::int32_t(7), std::int32_t(6), std::int32_t(2), QStringLiteral("times")}).Op(acCallFunction);
             Trace(a);
         },
         {"42"}},
        {"objects, members and for..in", 8,
         [](ActionBuilder& a) {
             a.Push({QStringLiteral("o"), QStringLiteral("a"), std::int32_t(1), QStringLiteral("b"), std::int32_t(2),
                     std::int32_t(2)})
                 .Op(acInitObject)
                 .Op(acSetVariable);
             a.Push({QStringLiteral("o")}).Op(acGetVariable).Push(QStringLiteral("b")).Op(acGetMember);
             Trace(a);
             // Count the members.
             const auto loop = a.NewLabel();
             const auto done = a.NewLabel();
             a.Push({QStringLiteral("n"), std::int32_t(0)}).Op(acSetVariable);
             a.Push(QStringLiteral("o")).Op(acGetVariable).Op(acEnumerate2);
             a.Mark(loop);
             a.StoreRegister(0).Push(PushNull{}).Op(acEquals2).If(done);
             a.Push({QStringLiteral("n"), QStringLiteral("n")}).Op(acGetVariable).Push(std::int32_t(1)).Op(acAdd2);
             a.Op(acSetVariable).Jump(loop);
             a.Mark(done);
             a.Push(QStringLiteral("n")).Op(acGetVariable);
             Trace(a);
         },
         {"2", "2"}},
        {"string methods", 8,
         [](ActionBuilder& a) {
             a.Push({std::int32_t(3), std::int32_t(1), std::int32_t(2), QStringLiteral("Korvel")});
             a.Push(QStringLiteral("substr")).Op(acCallMethod);
             Trace(a);
             a.Push({std::int32_t(0), QStringLiteral("Korvel"), QStringLiteral("toUpperCase")}).Op(acCallMethod);
             Trace(a);
             a.Push({QStringLiteral("Korvel"), QStringLiteral("length")}).Op(acGetMember);
             Trace(a);
             a.Push({QStringLiteral("#"), QStringLiteral("FF")}).Op(acStringAdd);
             Trace(a);
         },
         {"orv", "KORVEL", "6", "#FF"}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RunScript(c.version, c.script), c.expected);
    }
}

TEST(Avm1, RunawayScriptsAreStopped)
{
    // An endless loop ends with a logged error instead of a hung program.
    const QStringList loop = RunScript(8, [](ActionBuilder& a) {
        const auto top = a.NewLabel();
        a.Mark(top);
        a.Jump(top);
    });
    ASSERT_EQ(loop.size(), 1);
    EXPECT_TRUE(loop.first().startsWith(QLatin1String("Error:")));
    // Endless recursion stops at the call depth limit.
    const QStringList recursion = RunScript(8, [](ActionBuilder& a) {
        ActionBuilder body(8);
        body.Push({std::int32_t(0), QStringLiteral("f")}).Op(acCallFunction).Op(acReturn);
        a.DefineFunction2(QStringLiteral("f"), {}, 1, body);
        a.Push({std::int32_t(0), QStringLiteral("f")}).Op(acCallFunction).Op(acPop);
        a.Push(QStringLiteral("after"));
        Trace(a);
    });
    ASSERT_GE(recursion.size(), 1);
    EXPECT_TRUE(recursion.first().contains(QLatin1String("recursion")));
}

TEST(Avm1, DamagedBytecodeIsHarmless)
{
    // Truncated actions, a branch into the middle of an action and far outside the block,
    // a push with an unknown type, a bogus constant index: none may crash or loop.
    const std::vector<QByteArray> scripts = {
        QByteArray("\x96\x05\x00\x00\x61", 5),                  // push cut short
        QByteArray("\x99\x02\x00\xFD\xFF\x00", 6),              // jump back into itself
        QByteArray("\x99\x02\x00\x10\x00\x26\x00", 7),          // jump past the end
        QByteArray("\x96\x02\x00\x0E\x01\x26\x00", 7),          // unknown push type
        QByteArray("\x96\x02\x00\x08\x09\x26\x00", 7),          // constant without a pool
        QByteArray("\x9B\xFF\x00\x00", 4),                      // function header cut short
        QByteArray("\x52\x52\x52\x3D\x3D\x4E\x4F\x00", 8),      // calls on an empty stack
    };
    for (const QByteArray& code : scripts) {
        MovieBuilder b;
        b.CreateMovie(100, 100, 12, 8);
        b.AddActions(code);
        TMovieStage stage;
        EXPECT_TRUE(stage.Load(b.FinishToBytes()));
        stage.Advance();
    }
}

}  // namespace
