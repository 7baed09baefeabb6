#pragma once
// A small ActionScript 1/2 (AVM1) interpreter: enough of the virtual machine for the
// actions our own movies carry (FSCommands, timeline control, functions registered for the
// external interface, hit tests of the clips against the mouse) and for the plain scripts
// of older movies (variables, arithmetic, strings, objects, arrays, Math).
//
// Byte code is decoded once per action block into an array of operations with resolved
// branch targets; strings are interned, so comparing two strings or looking up a member
// compares integers. Objects live in an arena owned by the interpreter and are collected
// by a mark-and-sweep pass between top-level runs, never while a script is running.
//
// The interpreter knows display objects only through an opaque pointer and the host
// interface below; the player implements the host.

#include <QByteArray>
#include <QHash>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <span>
#include <unordered_map>
#include <vector>

namespace swf {
struct TDisplayObject;
}

namespace avm1 {

class TAvm1;
struct TObject;

enum class TType : std::uint8_t { Undefined, Null, Boolean, Number, String, Object };

// A script value. Strings are atoms of the interpreter's string table.
struct TValue {
    TType type = TType::Undefined;
    union {
        double num;
        bool b;
        std::int32_t str;
        TObject* obj;
    };
    TValue() : num(0) {}
    static TValue Undefined() { return TValue(); }
    static TValue Null()
    {
        TValue v;
        v.type = TType::Null;
        return v;
    }
    static TValue Bool(bool x)
    {
        TValue v;
        v.type = TType::Boolean;
        v.b = x;
        return v;
    }
    static TValue Number(double x)
    {
        TValue v;
        v.type = TType::Number;
        v.num = x;
        return v;
    }
    static TValue Atom(std::int32_t atom)
    {
        TValue v;
        v.type = TType::String;
        v.str = atom;
        return v;
    }
    static TValue Object(TObject* o)
    {
        TValue v;
        if (o) {
            v.type = TType::Object;
            v.obj = o;
        }
        return v;
    }
    bool IsUndefined() const { return type == TType::Undefined; }
    bool IsObject() const { return type == TType::Object; }
};

using TNativeFn = TValue (*)(TAvm1& vm, TValue thisValue, std::span<const TValue> args);

// Values by atom: open addressing over a power-of-two table, for the few maps a lookup
// of a name goes through on every member access. Negative keys are never stored.
template <typename V>
class TAtomIndex {
public:
    TAtomIndex() = default;
    TAtomIndex(const TAtomIndex&) = delete;
    TAtomIndex& operator=(const TAtomIndex&) = delete;
    bool Empty() const { return FCount == 0; }
    std::uint32_t Size() const { return FCount; }
    void Clear()
    {
        FSlots.reset();
        FMask = FCount = 0;
    }
    // The value stored for key, or null.
    const V* Find(std::int32_t key) const
    {
        if (FCount == 0 || key < 0)
            return nullptr;
        for (std::uint32_t i = Hash(key) & FMask;; i = (i + 1) & FMask) {
            const TSlot& s = FSlots[i];
            if (s.key == key)
                return &s.value;
            if (s.key < 0)
                return nullptr;
        }
    }
    // Stores value for key unless key is present already; false then.
    bool Insert(std::int32_t key, V value)
    {
        if (key < 0)
            return false;
        if ((FCount + 1) * 4 > (FMask + 1) * 3 || !FSlots)
            Grow();
        for (std::uint32_t i = Hash(key) & FMask;; i = (i + 1) & FMask) {
            TSlot& s = FSlots[i];
            if (s.key == key)
                return false;
            if (s.key < 0) {
                s.key = key;
                s.value = value;
                ++FCount;
                return true;
            }
        }
    }

private:
    struct TSlot {
        std::int32_t key = -1;
        V value{};
    };
    // Atoms are small consecutive numbers: a multiplicative hash spreads them.
    static std::uint32_t Hash(std::int32_t key) { return (static_cast<std::uint32_t>(key) * 0x9E3779B1u) >> 7; }
    void Grow()
    {
        const std::uint32_t capacity = FSlots ? (FMask + 1) * 2 : 16;
        std::unique_ptr<TSlot[]> old = std::move(FSlots);
        const std::uint32_t oldCapacity = old ? FMask + 1 : 0;
        FSlots = std::make_unique<TSlot[]>(capacity);
        FMask = capacity - 1;
        FCount = 0;
        for (std::uint32_t i = 0; i < oldCapacity; ++i)
            if (old[i].key >= 0)
                Insert(old[i].key, old[i].value);
    }
    std::unique_ptr<TSlot[]> FSlots;
    std::uint32_t FMask = 0;
    std::uint32_t FCount = 0;
};

// Properties in insertion order (the order for..in reports, reversed), with a hash index
// once an object grows beyond a handful of members.
class TPropMap {
public:
    struct TEntry {
        std::int32_t key;
        TValue value;
        std::uint8_t flags;  // 1 = don't enumerate, 2 = don't delete, 4 = read only
    };
    TEntry* Find(std::int32_t key)
    {
        if (FEntries.size() <= kLinear) {
            for (TEntry& e : FEntries)
                if (e.key == key)
                    return &e;
            return nullptr;
        }
        if (key < 0)
            return FindIndexed(key);
        const std::uint32_t* at = FIndex.Find(key);
        return at ? &FEntries[*at] : nullptr;
    }
    const TEntry* Find(std::int32_t key) const { return const_cast<TPropMap*>(this)->Find(key); }
    void Set(std::int32_t key, TValue value, std::uint8_t flags = 0);
    bool Remove(std::int32_t key);
    const std::vector<TEntry>& Entries() const { return FEntries; }
    std::vector<TEntry>& Entries() { return FEntries; }

private:
    static constexpr std::size_t kLinear = 8;
    TEntry* FindIndexed(std::int32_t key);
    void Reindex();
    std::vector<TEntry> FEntries;
    TAtomIndex<std::uint32_t> FIndex;  // positions in FEntries, once it holds more than kLinear
};

struct TFunctionDef;
struct TCode;

enum class TObjectKind : std::uint8_t { Plain, Function, Array, Clip, Activation };

// The members a name lookup reads come first, so that a lookup on a clip touches one
// cache line of its object in the common cases.
struct alignas(64) TObject {
    TObjectKind kind = TObjectKind::Plain;
    bool marked = false;
    bool isMovieClip = false;  // clips: a sprite or a level, not a button or a text
    std::uint32_t childIndexVersion = ~0u;
    TObject* proto = nullptr;
    // Clips: the display object, or null once it has left the stage. The child-name index
    // is rebuilt when the display object's child list changes.
    swf::TDisplayObject* clip = nullptr;
    std::uint64_t childIndexEpoch = 0;  // the interpreter's display epoch it was checked at
    TAtomIndex<std::uint32_t> childIndex;  // by name: the lowest-depth place in childNames
    TPropMap props;
    // The named children by ascending depth, each with the object its name finds (the
    // child itself, or one below it of the same name).
    struct TChildName {
        std::int32_t atom;  // the instance name
        std::int32_t key;   // the name as looked up
        TObject* found;
    };
    std::vector<TChildName> childNames;
    // Where the last lookup found its name in childNames: a script that walks the names
    // for..in gave it asks for its neighbour next, found without hashing.
    std::uint32_t childHint = 0;
    // Functions: native or script (code + definition), with the scope chain they close over.
    TNativeFn native = nullptr;
    std::shared_ptr<const TCode> code;
    const TFunctionDef* def = nullptr;
    const std::vector<std::int32_t>* pool = nullptr;  // constant pool in force at definition
    std::vector<TObject*> scopeChain;         // outermost first, as at definition
    swf::TDisplayObject* baseClip = nullptr;  // the timeline a function was defined on
    // Arrays.
    std::vector<TValue> elements;
};

// What the interpreter asks of the player. Coordinates are stage pixels unless said.
class TAvm1Host {
public:
    virtual ~TAvm1Host() = default;
    virtual int SwfVersion(swf::TDisplayObject* clip) = 0;
    virtual swf::TDisplayObject* Level(int level) = 0;
    // Frames are 1-based. A goto past the last frame goes to the last frame.
    virtual void GotoFrame(swf::TDisplayObject* clip, int frame, bool play) = 0;
    virtual bool GotoLabel(swf::TDisplayObject* clip, const QString& label, bool play) = 0;
    virtual void SetPlaying(swf::TDisplayObject* clip, bool playing) = 0;
    // GetURL and GetURL2; "FSCommand:" URLs are commands for the host program.
    virtual void GetUrl(swf::TDisplayObject* clip, const QString& url, const QString& target) = 0;
    virtual bool HitTestPoint(swf::TDisplayObject* clip, QPointF stagePoint, bool shapeFlag) = 0;
    // Bounds of the clip in the coordinate space of another clip (null: the stage), pixels.
    virtual QRectF Bounds(swf::TDisplayObject* clip, swf::TDisplayObject* space) = 0;
    virtual QPointF MouseStage() = 0;
    virtual void Trace(const QString& text) = 0;
    // The display list changed under the script (a property setter); repaint later.
    virtual void Invalidate() {}
};

// Decoded byte code of one action block; function bodies are ranges of it.
struct TPushItem {
    enum : std::uint8_t { Value, Constant, Register } kind = Value;
    std::uint8_t reg = 0;
    std::uint16_t constant = 0;
    TValue value;
};

struct TFunctionDef {
    std::int32_t name = -1;  // atom, -1 for an anonymous function
    bool v2 = false;
    std::uint8_t registerCount = 0;
    std::uint16_t flags = 0;  // DefineFunction2 preload and suppress flags
    std::vector<std::pair<std::uint8_t, std::int32_t>> params;  // register (0: none), name atom
    std::uint32_t begin = 0, end = 0;  // operation indices of the body
};

// 16 bytes, so that finding an operation by its index is a shift.
struct TOp {
    std::uint8_t code = 0;
    // Pushes: what their items are, so that the common kinds skip the general loop.
    enum : std::uint8_t { PushMixed, PushValues, PushOneRegister } push = PushMixed;
    bool negate = false;   // a fused comparison branches when the values differ
    std::uint8_t storeRegister = 0;  // a fused fetch: 1 + the register it stores into, or 0
    std::uint32_t a = 0;   // small operand, index into side tables, or count
    std::int32_t b = 0;    // branch target (operation index) or second operand
    std::int32_t c = 0;
};
static_assert(sizeof(TOp) == 16);

struct TCode {
    std::vector<TOp> ops;
    std::vector<TPushItem> pushes;
    std::vector<std::int32_t> atoms;              // string operands
    std::vector<std::vector<std::int32_t>> pools; // constant pools
    std::vector<TFunctionDef> functions;
    int version = 8;
};

class TAvm1 {
public:
    explicit TAvm1(TAvm1Host* host);
    ~TAvm1();
    TAvm1(const TAvm1&) = delete;
    TAvm1& operator=(const TAvm1&) = delete;

    // Forgets every object, callback and cached code (a new movie in level 0). Display
    // objects must be gone already, or have been reported through ClipRemoved.
    void Reset();

    // Runs an action block on a timeline (frame actions, clip events, button actions).
    // `thisClip` is the clip whose timeline the code runs on.
    void RunActions(const QByteArray& actions, swf::TDisplayObject* thisClip);

    // Calls a function registered with ExternalInterface.addCallback. False when no
    // function of that name is registered.
    bool CallExternal(const QString& name, const std::vector<TValue>& args, TValue& result);
    bool HasExternal(const QString& name) const;

    // Calls the function a script stored in a member of the clip's object (onRollOver and
    // the like), as a top-level run. False when there is no such function.
    bool CallClipHandler(swf::TDisplayObject* clip, const QString& name);
    bool HasClipHandler(swf::TDisplayObject* clip, const QString& name);

    // Some child list or instance name may have changed: name lookups check the display
    // objects again (until then they trust their indexes without touching them).
    void DisplayListChanged() { ++FDisplayEpoch; }

    // A display object leaves the stage: script references to it go dead.
    void ClipRemoved(swf::TDisplayObject* clip);
    // The script object of a clip (created on first use).
    TObject* ClipObject(swf::TDisplayObject* clip);

    // Strings.
    std::int32_t Intern(const QString& s);
    const QString& Str(std::int32_t atom) const { return FStrings[static_cast<std::size_t>(atom)].text; }
    TValue String(const QString& s) { return TValue::Atom(Intern(s)); }

    // Conversions under the rules of the movie's version.
    QString ToString(TValue v);
    double ToNumber(TValue v);
    double Num(TValue v) { return v.type == TType::Number ? v.num : ToNumber(v); }
    bool ToBoolean(TValue v);
    bool Truthy(TValue v) { return v.type == TType::Boolean ? v.b : ToBoolean(v); }
    std::int32_t ToInt32(TValue v);
    static QString NumberToString(double n);

    // Members.
    TValue GetMember(TValue object, std::int32_t key);
    void SetMember(TValue object, std::int32_t key, TValue value);
    TValue Call(TValue function, TValue thisValue, std::span<const TValue> args);

    // Objects.
    TObject* NewObject(TObject* proto = nullptr);
    TObject* NewArray(std::vector<TValue> elements = {});
    TObject* NewNative(TNativeFn fn);
    TObject* Global() const { return FGlobal; }
    TObject* ArrayPrototype() const { return FArrayProto; }

    TAvm1Host* Host() const { return FHost; }
    int Version() const { return FVersion; }
    // Script output of trace() and errors, newest last, for diagnostics and tests.
    const QStringList& Log() const { return FLog; }
    std::size_t ObjectCount() const { return FObjects.size(); }
    // Mark-and-sweep of objects and strings, when enough were made since the last one;
    // only between top-level runs. `roots`: values held outside the interpreter that
    // must survive (the arguments of a call about to be made).
    void Collect(std::span<const TValue> roots = {});

    // Bounds on what a script may do before it is stopped, as a player stops a script
    // that makes it unresponsive.
    static constexpr std::uint64_t kMaxOperationsPerRun = 20'000'000;
    static constexpr int kMaxCallDepth = 256;
    static constexpr int kMaxStack = 1 << 16;  // values on the operand stack, all frames together

private:
    struct TString {
        QString text;
        std::int32_t folded = -1;  // lower-case atom, for movies before version 7
        bool pinned = false;       // named by code or by the runtime: never collected
        bool marked = false;
        std::int8_t kind = -1;     // -1 not yet known, 0 a plain name, 1 a path, 2 _levelN
        std::int8_t property = -2; // display property number, -1 none, -2 not yet known
        int level = -1;
    };
    struct TFrame;
    friend struct TBuiltins;

    std::shared_ptr<const TCode> Decode(const QByteArray& actions);
    TValue Execute(const std::shared_ptr<const TCode>& code, std::uint32_t begin, std::uint32_t end, TFrame& frame);
    TValue CallScript(TObject* fn, TValue thisValue, std::span<const TValue> args);
    void AfterTopLevel();

    // The property key of a name: the name itself, or its lower-case form before version 7.
    std::int32_t Key(std::int32_t atom) { return FVersion >= 7 || atom < 0 ? atom : FoldedKey(atom); }
    std::int32_t FoldedKey(std::int32_t atom);
    std::int32_t PinnedAtom(const char* s);
    TValue GetVariable(TFrame& frame, std::int32_t name);
    struct TString;
    // Whether a name is a path, a level ("_level2") or a plain name; kept with the string.
    void ClassifyName(TString& s);
    void SetVariable(TFrame& frame, std::int32_t name, TValue value);
    TValue ResolvePath(TFrame& frame, const QString& path);
    swf::TDisplayObject* ResolveTarget(TFrame& frame, const QString& path);
    bool LookupScope(TObject* scope, std::int32_t key, TValue& out);
    TValue GetClipMember(TObject* clipObj, std::int32_t key, bool& found);
    bool SetClipProperty(swf::TDisplayObject* clip, int property, TValue value);
    TValue GetClipProperty(swf::TDisplayObject* clip, int property);
    int ClipPropertyIndex(std::int32_t key)
    {
        const int known = FStrings[static_cast<std::size_t>(key)].property;
        return known != -2 ? known : FindClipProperty(key);
    }
    int FindClipProperty(std::int32_t key);
    // Brings the clip object's child-name index up to date when the display list may have
    // changed since it was last checked.
    void RefreshChildIndex(TObject* clipObj)
    {
        if (clipObj->childIndexEpoch != FDisplayEpoch || (clipObj->childIndexVersion & 1) != (FVersion < 7 ? 1u : 0u))
            RebuildChildIndex(clipObj);
    }
    void RebuildChildIndex(TObject* clipObj);
    TObject* FindChild(TObject* clipObj, std::int32_t key);
    TValue Typeof(TValue v);
    bool Equals(TValue a, TValue b);
    bool StrictEquals(TValue a, TValue b);
    TValue LessThan(TValue a, TValue b);
    TValue ToPrimitive(TValue v);
    TValue Add(TValue a, TValue b);
    QString TargetPath(swf::TDisplayObject* clip, bool slash);
    TObject* Construct(TValue ctor, std::span<const TValue> args);
    // Pushes null and then the names for..in visits; returns the new stack top.
    TValue* Enumerate(TValue object, TValue* sp);
    void Error(const QString& message);
    void InstallBuiltins();

    TAvm1Host* FHost;
    int FVersion = 8;
    std::vector<TString> FStrings;
    QHash<QString, std::int32_t> FStringIndex;
    std::vector<std::int32_t> FFreeAtoms;
    std::vector<std::unique_ptr<TObject>> FObjects;
    std::size_t FObjectsAtLastCollect = 0;
    std::size_t FStringsAtLastCollect = 0;
    // Decoded code by the address of its bytes; the entry keeps the bytes alive so that
    // the address cannot be reused by other bytes while it is cached.
    struct TCachedCode {
        QByteArray bytes;
        std::shared_ptr<const TCode> code;
    };
    QHash<const void*, TCachedCode> FCodeCache;
    std::unordered_map<swf::TDisplayObject*, TObject*> FClipObjects;
    struct TCallback {
        TValue thisValue;
        TValue function;
    };
    QHash<QString, TCallback> FCallbacks;
    TObject* FGlobal = nullptr;
    TObject* FObjectProto = nullptr;
    TObject* FFunctionProto = nullptr;
    TObject* FArrayProto = nullptr;
    TObject* FClipProto = nullptr;
    TObject* FStringProto = nullptr;
    // The operand stack of every frame, one block for the interpreter's life: frames use
    // it from their base upwards, callees above their callers' values.
    std::unique_ptr<TValue[]> FStackMem;
    TValue* FSp = nullptr;
    TValue* FStackEnd = nullptr;
    std::vector<TValue*> FExtraRoots;
    int FDepth = 0;
    std::uint64_t FDisplayEpoch = 1;
    std::uint64_t FOperations = 0;
    bool FAborted = false;
    QStringList FLog;

public:
    // Atoms the interpreter compares against on hot paths.
    struct TNames {
        std::int32_t empty, undefined, null, trueS, falseS, number, string, boolean, object, function, movieclip;
        std::int32_t thisN, root, global, parent, level0, length, prototype, constructor, proto, arguments,
            super, nan;
        std::int32_t xmouse, ymouse, flash, callee, constructorHidden;
    } N{};
};

// The value as an XML fragment of the external-interface protocol: <string>..</string>,
// <number>..</number>, <true/>, <false/>, <null/>, <undefined/>, <array>, <object>.
QString ValueToXml(TAvm1& vm, TValue value);
// Parses <invoke name=".." returntype="xml"><arguments>...</arguments></invoke>.
bool ParseInvoke(TAvm1& vm, const QString& xml, QString& name, std::vector<TValue>& args);

}  // namespace avm1
