#pragma once
// AVM1 bytecode: a small assembler and the scripts our scenes carry (FSCommands from clip
// events and buttons, the "GetClipName" and "SelectPage" callbacks, timeline control).
//
// The assembler appends actions in order; branches go to labels that may be placed later.
// Bytes() resolves the branches and ends the list with ActionEnd.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <variant>
#include <vector>

namespace swf {

enum ActionCode : std::uint8_t {
    acEnd = 0x00,
    acNextFrame = 0x04,
    acPrevFrame = 0x05,
    acPlay = 0x06,
    acStop = 0x07,
    acAdd = 0x0A,
    acSubtract = 0x0B,
    acMultiply = 0x0C,
    acDivide = 0x0D,
    acNot = 0x12,
    acPop = 0x17,
    acGetVariable = 0x1C,
    acSetVariable = 0x1D,
    acTrace = 0x26,
    acDefineLocal = 0x3C,
    acCallFunction = 0x3D,
    acReturn = 0x3E,
    acNewObject = 0x40,
    acTypeOf = 0x44,
    acAdd2 = 0x47,
    acLess2 = 0x48,
    acEquals2 = 0x49,
    acGetMember = 0x4E,
    acSetMember = 0x4F,
    acCallMethod = 0x52,
    acEnumerate2 = 0x55,
    acStrictEquals = 0x66,
    acGreater = 0x67,
    // Actions with a length field:
    acGotoFrame = 0x81,
    acGetURL = 0x83,
    acStoreRegister = 0x87,
    acConstantPool = 0x88,
    acSetTarget = 0x8B,
    acGotoLabel = 0x8C,
    acDefineFunction2 = 0x8E,
    acPush = 0x96,
    acJump = 0x99,
    acGetURL2 = 0x9A,
    acDefineFunction = 0x9B,
    acIf = 0x9D,
    acGotoFrame2 = 0x9F,
};

// A value for ActionPush.
struct PushNull {};
struct PushUndefined {};
struct PushRegister {
    std::uint8_t index = 0;
};
using PushValue = std::variant<QString, double, std::int32_t, bool, PushNull, PushUndefined, PushRegister>;

class ActionBuilder {
public:
    // Strings are encoded as the movie's version stores them.
    explicit ActionBuilder(int swfVersion = 8) : FVersion(swfVersion) {}

    using Label = int;
    Label NewLabel();
    // Places the label at the current position.
    void Mark(Label label);

    // Any action without operands.
    ActionBuilder& Op(ActionCode code);
    ActionBuilder& Push(std::initializer_list<PushValue> values);
    ActionBuilder& Push(const PushValue& value) { return Push({value}); }
    ActionBuilder& StoreRegister(std::uint8_t index);
    ActionBuilder& GetURL(const QString& url, const QString& target);
    ActionBuilder& GetURL2(std::uint8_t flags = 0);
    ActionBuilder& GotoFrame(std::uint16_t frame);  // 0-based
    ActionBuilder& GotoLabel(const QString& label);
    ActionBuilder& GotoFrame2(bool play);
    ActionBuilder& SetTarget(const QString& target);
    ActionBuilder& Jump(Label label);
    ActionBuilder& If(Label label);  // pops a value; branches when it is true

    // Defines a function (DefineFunction2) whose parameters live in registers 1..n and
    // whose locals may use the registers up to registerCount - 1. An empty name makes an
    // anonymous function value on the stack; a name defines it in the current scope.
    ActionBuilder& DefineFunction2(const QString& name, const std::vector<QString>& params,
                                   std::uint8_t registerCount, const ActionBuilder& body);

    // Convenience sequences.
    ActionBuilder& FSCommand(const QString& command, const QString& argument);
    ActionBuilder& Stop() { return Op(acStop); }
    ActionBuilder& Play() { return Op(acPlay); }

    // The actions without a final ActionEnd (for function bodies).
    QByteArray Code() const;
    // The actions followed by ActionEnd (for DoAction, clip and button actions).
    QByteArray Bytes() const;

    int Version() const { return FVersion; }

private:
    void Append(std::uint8_t code, const QByteArray& payload);
    int FVersion;
    QByteArray FCode;
    struct Fixup {
        qsizetype offsetPos;  // where the 16-bit branch offset is stored
        qsizetype nextPos;    // the position branches are relative to
        Label label;
    };
    std::vector<Fixup> FFixups;
    std::vector<qsizetype> FLabels;  // position of each label, -1 until marked
};

// ---------------------------------------------------------------------------------------
// The scripts of our scenes.

// An FSCommand: GetURL with "FSCommand:" + command and the argument as the target.
QByteArray FSCommandActions(const QString& command, const QString& argument, int swfVersion = 8);

// First-frame script defining "GetClipName" and registering it with
// ExternalInterface.addCallback("GetClipName", this, GetClipName). It tests the movie clips
// of _level0 against the mouse position with hitTest (bounding boxes when detailed is
// false, shapes when true) and answers the instance name of the hit clip with the highest
// depth (detailed: name + "_" + Math.round(_xmouse) + "_" + Math.round(_ymouse)), or "_"
// when none is hit. ExternalInterface exists for movies of version 8 and later only.
QByteArray GetClipNameActions(bool detailed, int swfVersion = 8);

// First-frame script of the lesson movie: "SelectPage"(Section, Page) goes to and stops
// at the frame labelled Section; when Page is not empty the clip "Content" goes to and
// stops at the frame labelled Page; answers "Ok".
QByteArray SelectPageActions(int swfVersion = 8);

// Timeline control, of the current timeline or, with a target, of the named clip
// (a path such as "Content" or "/Content"): stop, play, go to a frame (0-based) or a label
// and stop or play there.
QByteArray StopActions(const QString& target = QString(), int swfVersion = 8);
QByteArray PlayActions(const QString& target = QString(), int swfVersion = 8);
QByteArray GotoFrameActions(std::uint16_t frame, bool play, const QString& target = QString(), int swfVersion = 8);
QByteArray GotoLabelActions(const QString& label, bool play, const QString& target = QString(), int swfVersion = 8);

}  // namespace swf
