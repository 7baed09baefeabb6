#include "movie/SwfActions.h"

#include "movie/SwfStream.h"

#include <cstring>

namespace swf {

namespace {

void PutU16(QByteArray& b, qsizetype pos, std::uint16_t v)
{
    b[pos] = static_cast<char>(v & 0xFF);
    b[pos + 1] = static_cast<char>(v >> 8);
}

enum FunctionFlag : std::uint16_t {
    ffSuppressThis = 0x0002,
    ffSuppressArguments = 0x0008,
    ffSuppressSuper = 0x0020,
};

}  // namespace

ActionBuilder::Label ActionBuilder::NewLabel()
{
    FLabels.push_back(-1);
    return static_cast<Label>(FLabels.size() - 1);
}

void ActionBuilder::Mark(Label label) { FLabels.at(static_cast<size_t>(label)) = FCode.size(); }

void ActionBuilder::Append(std::uint8_t code, const QByteArray& payload)
{
    FCode.append(static_cast<char>(code));
    if (code >= 0x80) {
        FCode.append(static_cast<char>(payload.size() & 0xFF));
        FCode.append(static_cast<char>((payload.size() >> 8) & 0xFF));
        FCode.append(payload);
    }
}

ActionBuilder& ActionBuilder::Op(ActionCode code)
{
    Append(code, {});
    return *this;
}

ActionBuilder& ActionBuilder::Push(std::initializer_list<PushValue> values)
{
    detail::ByteWriter w;
    for (const PushValue& v : values) {
        if (const auto* s = std::get_if<QString>(&v)) {
            w.U8(0);
            w.CString(detail::EncodeString(*s, FVersion));
        } else if (const auto* d = std::get_if<double>(&v)) {
            // Doubles are stored with their two 32-bit halves swapped.
            std::uint64_t bits = 0;
            std::memcpy(&bits, d, sizeof bits);
            w.U8(6);
            w.U32(static_cast<std::uint32_t>(bits >> 32));
            w.U32(static_cast<std::uint32_t>(bits));
        } else if (const auto* i = std::get_if<std::int32_t>(&v)) {
            w.U8(7);
            w.U32(static_cast<std::uint32_t>(*i));
        } else if (const auto* b = std::get_if<bool>(&v)) {
            w.U8(5);
            w.U8(*b ? 1 : 0);
        } else if (std::holds_alternative<PushNull>(v)) {
            w.U8(2);
        } else if (std::holds_alternative<PushUndefined>(v)) {
            w.U8(3);
        } else if (const auto* r = std::get_if<PushRegister>(&v)) {
            w.U8(4);
            w.U8(r->index);
        }
    }
    Append(acPush, w.Data());
    return *this;
}

ActionBuilder& ActionBuilder::StoreRegister(std::uint8_t index)
{
    Append(acStoreRegister, QByteArray(1, static_cast<char>(index)));
    return *this;
}

ActionBuilder& ActionBuilder::GetURL(const QString& url, const QString& target)
{
    detail::ByteWriter w;
    w.CString(detail::EncodeString(url, FVersion));
    w.CString(detail::EncodeString(target, FVersion));
    Append(acGetURL, w.Data());
    return *this;
}

ActionBuilder& ActionBuilder::GetURL2(std::uint8_t flags)
{
    Append(acGetURL2, QByteArray(1, static_cast<char>(flags)));
    return *this;
}

ActionBuilder& ActionBuilder::GotoFrame(std::uint16_t frame)
{
    detail::ByteWriter w;
    w.U16(frame);
    Append(acGotoFrame, w.Data());
    return *this;
}

ActionBuilder& ActionBuilder::GotoLabel(const QString& label)
{
    detail::ByteWriter w;
    w.CString(detail::EncodeString(label, FVersion));
    Append(acGotoLabel, w.Data());
    return *this;
}

ActionBuilder& ActionBuilder::GotoFrame2(bool play)
{
    Append(acGotoFrame2, QByteArray(1, static_cast<char>(play ? 1 : 0)));
    return *this;
}

ActionBuilder& ActionBuilder::SetTarget(const QString& target)
{
    detail::ByteWriter w;
    w.CString(detail::EncodeString(target, FVersion));
    Append(acSetTarget, w.Data());
    return *this;
}

ActionBuilder& ActionBuilder::Jump(Label label)
{
    Append(acJump, QByteArray(2, '\0'));
    FFixups.push_back({FCode.size() - 2, FCode.size(), label});
    return *this;
}

ActionBuilder& ActionBuilder::If(Label label)
{
    Append(acIf, QByteArray(2, '\0'));
    FFixups.push_back({FCode.size() - 2, FCode.size(), label});
    return *this;
}

ActionBuilder& ActionBuilder::DefineFunction2(const QString& name, const std::vector<QString>& params,
                                              std::uint8_t registerCount, const ActionBuilder& body)
{
    const QByteArray code = body.Code();
    detail::ByteWriter w;
    w.CString(detail::EncodeString(name, FVersion));
    w.U16(static_cast<std::uint32_t>(params.size()));
    w.U8(registerCount);
    w.U16(ffSuppressThis | ffSuppressArguments | ffSuppressSuper);
    std::uint8_t reg = 1;
    for (const QString& p : params) {
        w.U8(reg++);
        w.CString(detail::EncodeString(p, FVersion));
    }
    // The body follows the action; its size is the last field of the action.
    w.U16(static_cast<std::uint32_t>(code.size()));
    Append(acDefineFunction2, w.Data());
    FCode.append(code);
    return *this;
}

ActionBuilder& ActionBuilder::FSCommand(const QString& command, const QString& argument)
{
    return GetURL(QStringLiteral("FSCommand:") + command, argument);
}

QByteArray ActionBuilder::Code() const
{
    QByteArray out = FCode;
    for (const Fixup& f : FFixups) {
        const qsizetype target = FLabels.at(static_cast<size_t>(f.label));
        // An unmarked label is a programming error in a script of ours; branch to the end
        // rather than anywhere else.
        const qsizetype dest = target < 0 ? out.size() : target;
        PutU16(out, f.offsetPos, static_cast<std::uint16_t>(static_cast<std::int16_t>(dest - f.nextPos)));
    }
    return out;
}

QByteArray ActionBuilder::Bytes() const
{
    QByteArray out = Code();
    out.append('\0');
    return out;
}

// ---------------------------------------------------------------------------------------

QByteArray FSCommandActions(const QString& command, const QString& argument, int swfVersion)
{
    return ActionBuilder(swfVersion).FSCommand(command, argument).Bytes();
}

namespace {

// Pushes _level0 onto the stack.
void PushLevel0(ActionBuilder& a)
{
    a.Push(QStringLiteral("_level0")).Op(acGetVariable);
}

// Pushes Math.round(register).
void PushRounded(ActionBuilder& a, std::uint8_t reg)
{
    a.Push({PushRegister{reg}, std::int32_t(1), QStringLiteral("Math")}).Op(acGetVariable);
    a.Push(QStringLiteral("round")).Op(acCallMethod);
}

// Registers the function named name (already defined in this scope) as an
// ExternalInterface callback of the same name, with this timeline as its this.
void AddCallback(ActionBuilder& a, const QString& name)
{
    a.Push(name).Op(acGetVariable);
    a.Push(QStringLiteral("this")).Op(acGetVariable);
    a.Push({name, std::int32_t(3), QStringLiteral("flash")}).Op(acGetVariable);
    a.Push(QStringLiteral("external")).Op(acGetMember);
    a.Push(QStringLiteral("ExternalInterface")).Op(acGetMember);
    a.Push(QStringLiteral("addCallback")).Op(acCallMethod).Op(acPop);
}

}  // namespace

QByteArray GetClipNameActions(bool detailed, int swfVersion)
{
    // Registers: 1 enumerated name, 2 candidate clip, 3 best clip, 4 its depth,
    // 5 mouse x, 6 mouse y. The whole list is walked (no early return, which would leave
    // the rest of the enumeration on the stack) and the topmost hit wins, so the answer
    // does not depend on the order in which a player enumerates.
    enum : std::uint8_t { rName = 1, rClip, rBest, rBestDepth, rX, rY, rCount };
    ActionBuilder f(swfVersion);
    const auto loop = f.NewLabel();
    const auto take = f.NewLabel();
    const auto done = f.NewLabel();
    const auto found = f.NewLabel();

    PushLevel0(f);
    f.Push(QStringLiteral("_xmouse")).Op(acGetMember).StoreRegister(rX).Op(acPop);
    PushLevel0(f);
    f.Push(QStringLiteral("_ymouse")).Op(acGetMember).StoreRegister(rY).Op(acPop);
    f.Push(PushUndefined{}).StoreRegister(rBest).Op(acPop);
    PushLevel0(f);
    f.Op(acEnumerate2);

    f.Mark(loop);
    f.StoreRegister(rName).Push(PushNull{}).Op(acEquals2).If(done);
    PushLevel0(f);
    f.Push(PushRegister{rName}).Op(acGetMember).StoreRegister(rClip).Op(acPop);
    // Only movie clips can be hit-tested; functions, texts and buttons are skipped.
    f.Push(PushRegister{rClip}).Op(acTypeOf).Push(QStringLiteral("movieclip")).Op(acEquals2).Op(acNot).If(loop);
    f.Push({detailed, PushRegister{rY}, PushRegister{rX}, std::int32_t(3), PushRegister{rClip},
            QStringLiteral("hitTest")})
        .Op(acCallMethod)
        .Op(acNot)
        .If(loop);
    f.Push({PushRegister{rBest}, PushUndefined{}}).Op(acEquals2).If(take);
    // Keep the earlier hit unless this clip lies above it.
    f.Push(PushRegister{rBestDepth});
    f.Push({std::int32_t(0), PushRegister{rClip}, QStringLiteral("getDepth")}).Op(acCallMethod);
    f.Op(acLess2).Op(acNot).If(loop);
    f.Mark(take);
    f.Push(PushRegister{rClip}).StoreRegister(rBest).Op(acPop);
    f.Push({std::int32_t(0), PushRegister{rClip}, QStringLiteral("getDepth")}).Op(acCallMethod);
    f.StoreRegister(rBestDepth).Op(acPop);
    f.Jump(loop);

    f.Mark(done);
    f.Push({PushRegister{rBest}, PushUndefined{}}).Op(acEquals2).Op(acNot).If(found);
    f.Push(QStringLiteral("_")).Op(acReturn);
    f.Mark(found);
    f.Push({PushRegister{rBest}, QStringLiteral("_name")}).Op(acGetMember);
    if (detailed) {
        f.Push(QStringLiteral("_")).Op(acAdd2);
        PushRounded(f, rX);
        f.Op(acAdd2).Push(QStringLiteral("_")).Op(acAdd2);
        PushRounded(f, rY);
        f.Op(acAdd2);
    }
    f.Op(acReturn);

    ActionBuilder a(swfVersion);
    a.DefineFunction2(QStringLiteral("GetClipName"), {}, rCount, f);
    AddCallback(a, QStringLiteral("GetClipName"));
    return a.Bytes();
}

QByteArray SelectPageActions(int swfVersion)
{
    enum : std::uint8_t { rSection = 1, rPage, rCount };
    ActionBuilder f(swfVersion);
    const auto skip = f.NewLabel();
    // _level0.gotoAndStop(Section)
    f.Push({PushRegister{rSection}, std::int32_t(1)});
    PushLevel0(f);
    f.Push(QStringLiteral("gotoAndStop")).Op(acCallMethod).Op(acPop);
    // if (Page != undefined && Page != "") _level0.Content.gotoAndStop(Page)
    f.Push({PushRegister{rPage}, PushUndefined{}}).Op(acEquals2).If(skip);
    f.Push({PushRegister{rPage}, QString()}).Op(acEquals2).If(skip);
    f.Push({PushRegister{rPage}, std::int32_t(1)});
    PushLevel0(f);
    f.Push(QStringLiteral("Content")).Op(acGetMember);
    f.Push(QStringLiteral("gotoAndStop")).Op(acCallMethod).Op(acPop);
    f.Mark(skip);
    f.Push(QStringLiteral("Ok")).Op(acReturn);

    ActionBuilder a(swfVersion);
    a.DefineFunction2(QStringLiteral("SelectPage"), {QStringLiteral("Section"), QStringLiteral("Page")}, rCount, f);
    AddCallback(a, QStringLiteral("SelectPage"));
    return a.Bytes();
}

namespace {

// Runs body against the named clip (SetTarget), or against the current timeline.
template <class Body> QByteArray Targeted(const QString& target, int swfVersion, Body body)
{
    ActionBuilder a(swfVersion);
    if (!target.isEmpty())
        a.SetTarget(target);
    body(a);
    if (!target.isEmpty())
        a.SetTarget(QString());
    return a.Bytes();
}

}  // namespace

QByteArray StopActions(const QString& target, int swfVersion)
{
    return Targeted(target, swfVersion, [](ActionBuilder& a) { a.Stop(); });
}

QByteArray PlayActions(const QString& target, int swfVersion)
{
    return Targeted(target, swfVersion, [](ActionBuilder& a) { a.Play(); });
}

QByteArray GotoFrameActions(std::uint16_t frame, bool play, const QString& target, int swfVersion)
{
    return Targeted(target, swfVersion, [&](ActionBuilder& a) {
        a.GotoFrame(frame);
        if (play)
            a.Play();
        else
            a.Stop();
    });
}

QByteArray GotoLabelActions(const QString& label, bool play, const QString& target, int swfVersion)
{
    return Targeted(target, swfVersion, [&](ActionBuilder& a) {
        a.GotoLabel(label);
        if (play)
            a.Play();
        else
            a.Stop();
    });
}

}  // namespace swf
