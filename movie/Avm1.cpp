#include "movie/Avm1.h"

#include "movie/SwfRenderer.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QXmlStreamReader>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>

namespace avm1 {

// ---------------------------------------------------------------------------------------
// Property maps

TPropMap::TEntry* TPropMap::FindIndexed(std::int32_t key)
{
    // Negative keys are not indexed.
    for (TEntry& e : FEntries)
        if (e.key == key)
            return &e;
    return nullptr;
}

void TPropMap::Set(std::int32_t key, TValue value, std::uint8_t flags)
{
    if (TEntry* e = Find(key)) {
        if (!(e->flags & 4))
            e->value = value;
        return;
    }
    FEntries.push_back({key, value, flags});
    if (FEntries.size() == kLinear + 1)
        Reindex();
    else if (FEntries.size() > kLinear + 1)
        FIndex.Insert(key, static_cast<std::uint32_t>(FEntries.size() - 1));
}

bool TPropMap::Remove(std::int32_t key)
{
    for (std::size_t i = 0; i < FEntries.size(); ++i) {
        if (FEntries[i].key != key)
            continue;
        if (FEntries[i].flags & 2)
            return false;
        FEntries.erase(FEntries.begin() + static_cast<std::ptrdiff_t>(i));
        Reindex();
        return true;
    }
    return false;
}

void TPropMap::Reindex()
{
    FIndex.Clear();
    if (FEntries.size() <= kLinear)
        return;
    for (std::size_t i = 0; i < FEntries.size(); ++i)
        FIndex.Insert(FEntries[i].key, static_cast<std::uint32_t>(i));
}

// ---------------------------------------------------------------------------------------
// Decoding

namespace {

enum : std::uint8_t {
    opEnd = 0x00,
    opNextFrame = 0x04,
    opPrevFrame = 0x05,
    opPlay = 0x06,
    opStop = 0x07,
    opToggleQuality = 0x08,
    opStopSounds = 0x09,
    opAdd = 0x0A,
    opSubtract = 0x0B,
    opMultiply = 0x0C,
    opDivide = 0x0D,
    opEquals = 0x0E,
    opLess = 0x0F,
    opAnd = 0x10,
    opOr = 0x11,
    opNot = 0x12,
    opStringEquals = 0x13,
    opStringLength = 0x14,
    opStringExtract = 0x15,
    opPop = 0x17,
    opToInteger = 0x18,
    opGetVariable = 0x1C,
    opSetVariable = 0x1D,
    opSetTarget2 = 0x20,
    opStringAdd = 0x21,
    opGetProperty = 0x22,
    opSetProperty = 0x23,
    opCloneSprite = 0x24,
    opRemoveSprite = 0x25,
    opTrace = 0x26,
    opStartDrag = 0x27,
    opEndDrag = 0x28,
    opStringLess = 0x29,
    opThrow = 0x2A,
    opCastOp = 0x2B,
    opImplementsOp = 0x2C,
    opRandomNumber = 0x30,
    opMBStringLength = 0x31,
    opCharToAscii = 0x32,
    opAsciiToChar = 0x33,
    opGetTime = 0x34,
    opMBStringExtract = 0x35,
    opMBCharToAscii = 0x36,
    opMBAsciiToChar = 0x37,
    opDelete = 0x3A,
    opDelete2 = 0x3B,
    opDefineLocal = 0x3C,
    opCallFunction = 0x3D,
    opReturn = 0x3E,
    opModulo = 0x3F,
    opNewObject = 0x40,
    opDefineLocal2 = 0x41,
    opInitArray = 0x42,
    opInitObject = 0x43,
    opTypeOf = 0x44,
    opTargetPath = 0x45,
    opEnumerate = 0x46,
    opAdd2 = 0x47,
    opLess2 = 0x48,
    opEquals2 = 0x49,
    opToNumber = 0x4A,
    opToString = 0x4B,
    opPushDuplicate = 0x4C,
    opStackSwap = 0x4D,
    opGetMember = 0x4E,
    opSetMember = 0x4F,
    opIncrement = 0x50,
    opDecrement = 0x51,
    opCallMethod = 0x52,
    opNewMethod = 0x53,
    opInstanceOf = 0x54,
    opEnumerate2 = 0x55,
    opBitAnd = 0x60,
    opBitOr = 0x61,
    opBitXor = 0x62,
    opBitLShift = 0x63,
    opBitRShift = 0x64,
    opBitURShift = 0x65,
    opStrictEquals = 0x66,
    opGreater = 0x67,
    opStringGreater = 0x68,
    opExtends = 0x69,
    opGotoFrame = 0x81,
    opGetURL = 0x83,
    opStoreRegister = 0x87,
    opConstantPool = 0x88,
    opWaitForFrame = 0x8A,
    opSetTarget = 0x8B,
    opGotoLabel = 0x8C,
    opWaitForFrame2 = 0x8D,
    opDefineFunction2 = 0x8E,
    opTry = 0x8F,
    opWith = 0x94,
    opPush = 0x96,
    opJump = 0x99,
    opGetURL2 = 0x9A,
    opDefineFunction = 0x9B,
    opIf = 0x9D,
    opCall = 0x9E,
    opGotoFrame2 = 0x9F,
    // Fused sequences (no action uses these codes). The first operation of a sequence
    // takes the fused code; the others stay as they were, so a branch into the middle of
    // a sequence still finds its own operations.
    fuStoreRegisterPop = 0xE0,  // StoreRegister r; Pop
    fuNotIf = 0xE1,             // Not; If L
    fuPushEqualsIf = 0xE2,      // Push ..; Equals2; [Not;] If L
    fuPushThen = 0xE3,          // Push ..; and straight on with the next operation
    fuPushGetVariable = 0xE4,   // Push x; GetVariable: the name never touches the stack
    fuPushGetMember = 0xE5,     // Push x; GetMember
    fuPushTypeOf = 0xE6,        // Push x; TypeOf
    fuPushCallMethod = 0xE7,    // Push args.., n, object, name; CallMethod: the arguments go
                                // straight into place, in order
};

// Windows-1252 bytes 0x80..0x9F; the rest of the code page is Latin-1.
constexpr char16_t kCp1252High[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                      0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

bool IsValidUtf8(const char* s, std::size_t n)
{
    std::size_t i = 0;
    while (i < n) {
        const auto c = static_cast<unsigned char>(s[i]);
        int extra = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : -1;
        if (extra < 0 || i + static_cast<std::size_t>(extra) >= n + (extra == 0 ? 1 : 0))
            return false;
        for (int k = 1; k <= extra; ++k)
            if ((static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) >> 6) != 2)
                return false;
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

QString DecodeText(const char* s, std::size_t n, int version)
{
    if (version >= 6 || IsValidUtf8(s, n))
        return QString::fromUtf8(s, static_cast<qsizetype>(n));
    QString out;
    out.reserve(static_cast<qsizetype>(n));
    for (std::size_t i = 0; i < n; ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        out.append(c >= 0x80 && c < 0xA0 ? QChar(kCp1252High[c - 0x80]) : QChar(c));
    }
    return out;
}

class TCursor {
public:
    TCursor(const char* data, std::size_t size) : FData(data), FSize(size) {}
    bool Ok() const { return FOk; }
    std::size_t Pos() const { return FPos; }
    std::uint8_t U8()
    {
        if (FPos + 1 > FSize) {
            FOk = false;
            return 0;
        }
        return static_cast<std::uint8_t>(FData[FPos++]);
    }
    std::uint16_t U16()
    {
        const std::uint16_t lo = U8();
        return static_cast<std::uint16_t>(lo | (U8() << 8));
    }
    std::uint32_t U32()
    {
        const std::uint32_t lo = U16();
        return lo | (static_cast<std::uint32_t>(U16()) << 16);
    }
    QString Str(int version)
    {
        const std::size_t start = FPos;
        while (FPos < FSize && FData[FPos] != 0)
            ++FPos;
        if (FPos >= FSize) {
            FOk = false;
            return {};
        }
        QString s = DecodeText(FData + start, FPos - start, version);
        ++FPos;
        return s;
    }

private:
    const char* FData;
    std::size_t FSize;
    std::size_t FPos = 0;
    bool FOk = true;
};

}  // namespace

namespace {

// Whether a push item is the number n, as the count of a call's arguments.
bool IsArgumentCount(const TPushItem& item, std::int32_t n)
{
    return item.kind == TPushItem::Value && item.value.type == TType::Number && item.value.num == n;
}

}  // namespace

std::shared_ptr<const TCode> TAvm1::Decode(const QByteArray& actions)
{
    const void* key = actions.constData();
    if (auto it = FCodeCache.find(key); it != FCodeCache.end() && it->bytes.size() == actions.size())
        return it->code;

    auto code = std::make_shared<TCode>();
    code->version = FVersion;
    const std::size_t size = static_cast<std::size_t>(actions.size());
    // Byte offset of every action start -> operation index, for branch targets.
    std::vector<std::int32_t> opAt(size + 1, -1);
    struct TFixup {
        std::size_t op;
        std::size_t targetByte;
        int field;  // 0: b; 1, 2: the side entries after atoms[c]
    };
    std::vector<TFixup> fixups;

    std::size_t pos = 0;
    while (pos < size) {
        TCursor head(actions.constData() + pos, size - pos);
        const std::uint8_t actionCode = head.U8();
        std::size_t length = 0;
        if (actionCode >= 0x80)
            length = head.U16();
        const std::size_t payloadStart = pos + head.Pos();
        if (!head.Ok() || payloadStart + length > size)
            break;
        const std::size_t next = payloadStart + length;
        opAt[pos] = static_cast<std::int32_t>(code->ops.size());
        TCursor in(actions.constData() + payloadStart, length);
        TOp op;
        op.code = actionCode;
        const int v = FVersion;
        auto pinned = [this](const QString& s) {
            const std::int32_t a = Intern(s);
            FStrings[static_cast<std::size_t>(a)].pinned = true;
            return a;
        };
        switch (actionCode) {
        case opGotoFrame:
            op.a = in.U16();
            break;
        case opGetURL: {
            const QString url = in.Str(v);
            const QString target = in.Str(v);
            op.a = static_cast<std::uint32_t>(code->atoms.size());
            code->atoms.push_back(pinned(url));
            code->atoms.push_back(pinned(target));
            break;
        }
        case opStoreRegister:
            op.a = in.U8();
            break;
        case opConstantPool: {
            const std::uint16_t count = in.U16();
            std::vector<std::int32_t> pool;
            for (std::uint16_t i = 0; i < count && in.Ok(); ++i) {
                const QString s = in.Str(v);
                if (in.Ok())
                    pool.push_back(pinned(s));
            }
            op.a = static_cast<std::uint32_t>(code->pools.size());
            code->pools.push_back(std::move(pool));
            break;
        }
        case opWaitForFrame:
            op.a = in.U16();
            op.c = in.U8();  // actions to skip when the frame is not loaded (never here)
            break;
        case opSetTarget:
        case opGotoLabel:
            op.a = static_cast<std::uint32_t>(code->atoms.size());
            code->atoms.push_back(pinned(in.Str(v)));
            break;
        case opWaitForFrame2:
            op.c = in.U8();
            break;
        case opDefineFunction:
        case opDefineFunction2: {
            TFunctionDef def;
            def.v2 = actionCode == opDefineFunction2;
            const QString name = in.Str(v);
            def.name = name.isEmpty() ? -1 : pinned(name);
            const std::uint16_t params = in.U16();
            if (def.v2) {
                def.registerCount = in.U8();
                def.flags = in.U16();
                for (std::uint16_t i = 0; i < params && in.Ok(); ++i) {
                    const std::uint8_t reg = in.U8();
                    def.params.emplace_back(reg, pinned(in.Str(v)));
                }
            } else {
                for (std::uint16_t i = 0; i < params && in.Ok(); ++i)
                    def.params.emplace_back(0, pinned(in.Str(v)));
            }
            const std::size_t bodySize = in.U16();
            op.a = static_cast<std::uint32_t>(code->functions.size());
            code->functions.push_back(std::move(def));
            // The body follows this action; its end is a branch target of sorts.
            fixups.push_back({code->ops.size(), std::min(size, next + bodySize), 0});
            break;
        }
        case opTry: {
            const std::uint8_t flags = in.U8();
            const std::size_t trySize = in.U16();
            const std::size_t catchSize = in.U16();
            const std::size_t finallySize = in.U16();
            std::uint32_t reg = 0;
            std::int32_t catchName = -1;
            if (flags & 4)
                reg = in.U8();
            else
                catchName = pinned(in.Str(v));
            op.a = flags | (reg << 8);
            op.c = static_cast<std::int32_t>(code->atoms.size());
            code->atoms.push_back(catchName);
            const std::size_t tryEnd = std::min(size, next + trySize);
            const std::size_t catchEnd = std::min(size, tryEnd + catchSize);
            const std::size_t finallyEnd = std::min(size, catchEnd + finallySize);
            // b: try end; c indexes the catch name above, and the catch and finally ends
            // follow it in the side table as operation indices.
            fixups.push_back({code->ops.size(), tryEnd, 0});
            code->atoms.push_back(0);
            fixups.push_back({code->ops.size(), catchEnd, 1});
            code->atoms.push_back(0);
            fixups.push_back({code->ops.size(), finallyEnd, 2});
            break;
        }
        case opWith: {
            const std::size_t bodySize = in.U16();
            fixups.push_back({code->ops.size(), std::min(size, next + bodySize), 0});
            break;
        }
        case opPush: {
            op.a = static_cast<std::uint32_t>(code->pushes.size());
            std::uint32_t count = 0;
            while (in.Pos() < length && in.Ok()) {
                TPushItem item;
                const std::uint8_t type = in.U8();
                switch (type) {
                case 0:
                    item.value = TValue::Atom(pinned(in.Str(v)));
                    break;
                case 1: {
                    const std::uint32_t bits = in.U32();
                    float f;
                    std::memcpy(&f, &bits, 4);
                    item.value = TValue::Number(f);
                    break;
                }
                case 2:
                    item.value = TValue::Null();
                    break;
                case 3:
                    break;
                case 4:
                    item.kind = TPushItem::Register;
                    item.reg = in.U8();
                    break;
                case 5:
                    item.value = TValue::Bool(in.U8() != 0);
                    break;
                case 6: {
                    // The two 32-bit halves are stored high word first.
                    const std::uint64_t hi = in.U32();
                    const std::uint64_t lo = in.U32();
                    const std::uint64_t bits = (hi << 32) | lo;
                    double d;
                    std::memcpy(&d, &bits, 8);
                    item.value = TValue::Number(d);
                    break;
                }
                case 7:
                    item.value = TValue::Number(static_cast<std::int32_t>(in.U32()));
                    break;
                case 8:
                    item.kind = TPushItem::Constant;
                    item.constant = in.U8();
                    break;
                case 9:
                    item.kind = TPushItem::Constant;
                    item.constant = in.U16();
                    break;
                default:
                    in = TCursor(nullptr, 0);
                    (void)in.U8();
                    break;
                }
                if (!in.Ok())
                    break;
                code->pushes.push_back(item);
                ++count;
            }
            op.b = static_cast<std::int32_t>(count);
            const auto first = code->pushes.begin() + op.a;
            if (count == 1 && first->kind == TPushItem::Register)
                op.push = TOp::PushOneRegister;
            else if (std::all_of(first, code->pushes.end(), [](const TPushItem& i) { return i.kind == TPushItem::Value; }))
                op.push = TOp::PushValues;
            break;
        }
        case opJump:
        case opIf: {
            const auto offset = static_cast<std::int16_t>(in.U16());
            const std::int64_t target = static_cast<std::int64_t>(next) + offset;
            fixups.push_back({code->ops.size(), target < 0 ? size + 1 : static_cast<std::size_t>(target), 0});
            break;
        }
        case opGetURL2:
            op.a = in.U8();
            break;
        case opGotoFrame2: {
            const std::uint8_t flags = in.U8();
            op.a = flags;
            if (flags & 2)
                op.c = in.U16();
            break;
        }
        default:
            break;
        }
        code->ops.push_back(op);
        pos = next;
        if (actionCode == opEnd)
            break;
    }
    opAt[std::min(pos, size)] = static_cast<std::int32_t>(code->ops.size());
    const auto endIndex = static_cast<std::int32_t>(code->ops.size());
    for (const TFixup& f : fixups) {
        // A target inside an action or outside the block ends the block: that is where a
        // damaged branch leads a player that checks its input.
        std::int32_t target = endIndex;
        if (f.targetByte <= size && opAt[f.targetByte] >= 0)
            target = opAt[f.targetByte];
        TOp& op = code->ops[f.op];
        if (f.field == 0)
            op.b = target;
        else
            code->atoms[static_cast<std::size_t>(op.c) + static_cast<std::size_t>(f.field)] = target;
    }
    // Function bodies: from the operation after the definition to its end target.
    for (std::size_t i = 0; i < code->ops.size(); ++i) {
        const TOp& op = code->ops[i];
        if (op.code == opDefineFunction || op.code == opDefineFunction2) {
            TFunctionDef& def = code->functions[op.a];
            def.begin = static_cast<std::uint32_t>(i + 1);
            def.end = static_cast<std::uint32_t>(std::max<std::int32_t>(op.b, static_cast<std::int32_t>(i + 1)));
        }
    }
    // Fuse the sequences that loops over clips are made of; see the fused codes.
    std::vector<TOp>& o = code->ops;
    for (std::size_t i = 0; i < o.size(); ++i) {
        auto codeAt = [&](std::size_t k) { return k < o.size() ? o[k].code : std::uint8_t(0xFF); };
        if (o[i].code == opStoreRegister && codeAt(i + 1) == opPop) {
            o[i].code = fuStoreRegisterPop;
        } else if (o[i].code == opNot && codeAt(i + 1) == opIf) {
            o[i].code = fuNotIf;
            o[i].c = o[i + 1].b;
        } else if (o[i].code == opPush && o[i].b > 0 && codeAt(i + 1) == opEquals2) {
            if (codeAt(i + 2) == opIf) {
                o[i].code = fuPushEqualsIf;
                o[i].c = o[i + 2].b;
                o[i].negate = false;
            } else if (codeAt(i + 2) == opNot && codeAt(i + 3) == opIf) {
                o[i].code = fuPushEqualsIf;
                o[i].c = o[i + 3].b;
                o[i].negate = true;
            } else {
                o[i].code = fuPushThen;
            }
        } else if (o[i].code == opPush && o[i].b >= 3 && codeAt(i + 1) == opCallMethod &&
                   IsArgumentCount(code->pushes[o[i].a + static_cast<std::uint32_t>(o[i].b) - 3], o[i].b - 3)) {
            o[i].code = fuPushCallMethod;
        } else if (o[i].code == opPush && o[i].b == 1 &&
                   (codeAt(i + 1) == opGetVariable || codeAt(i + 1) == opGetMember || codeAt(i + 1) == opTypeOf)) {
            o[i].code = codeAt(i + 1) == opGetVariable ? fuPushGetVariable
                        : codeAt(i + 1) == opGetMember ? fuPushGetMember
                                                       : fuPushTypeOf;
            // A level named outright ("_level0") is found without its name.
            const TPushItem& item = code->pushes[o[i].a];
            if (o[i].code == fuPushGetVariable && item.kind == TPushItem::Value && item.value.type == TType::String) {
                TString& name = FStrings[static_cast<std::size_t>(item.value.str)];
                ClassifyName(name);
                if (name.kind == 2 && name.level < std::numeric_limits<std::int32_t>::max())
                    o[i].c = name.level + 1;
            }
            // And a fetched value that goes straight into a register skips the stack.
            if (codeAt(i + 2) == opStoreRegister && codeAt(i + 3) == opPop && o[i + 2].a < 255)
                o[i].storeRegister = static_cast<std::uint8_t>(o[i + 2].a + 1);
        } else if (o[i].code == opPush && o[i].b > 0 && i + 1 < o.size()) {
            o[i].code = fuPushThen;
        }
    }
    std::shared_ptr<const TCode> result = code;
    FCodeCache.insert(key, TCachedCode{actions, result});
    return result;
}

// ---------------------------------------------------------------------------------------
// The interpreter

namespace {

// Copies a value between the stack and the registers a field at a time. Values there
// are often written as two 8-byte halves a moment before they are read again; one
// 16-byte read of such a value waits for both stores to complete instead of taking
// their data on the way, and this loop does little else.
inline void CopyValue(TValue& to, const TValue& from)
{
    static_assert(sizeof(TValue) == 16 && offsetof(TValue, num) == 8);
    std::uint64_t head, payload;
    std::memcpy(&head, reinterpret_cast<const unsigned char*>(&from), 8);
    std::memcpy(&payload, &from.num, 8);
#if defined(__GNUC__)
    // Keeps the two halves in general registers: left alone, the compiler joins the two
    // copies into one 16-byte move, the very read this avoids.
    __asm__("" : "+r"(head), "+r"(payload));
#endif
    std::memcpy(reinterpret_cast<unsigned char*>(&to), &head, 8);
    std::memcpy(&to.num, &payload, 8);
}

// std::reverse, a field at a time (see CopyValue): the arguments were just pushed.
inline void ReverseValues(TValue* first, TValue* last)
{
    while (first < --last) {
        TValue t;
        CopyValue(t, *first);
        CopyValue(*first, *last);
        CopyValue(*last, t);
        ++first;
    }
}

inline void StoreValue(TValue& to, const TValue* from)
{
    if (from)
        CopyValue(to, *from);
    else
        to = TValue();
}

}  // namespace

#if defined(__GNUC__)
#define KV_THREADED 1
#else
#define KV_THREADED 0
#endif

namespace {

// The operations the loop reaches through its own table (see Execute), by code; 0 for the
// rest, which go through the switch. The order is that of the table.
constexpr std::uint8_t kHotCodes[] = {fuStoreRegisterPop, fuNotIf,       fuPushEqualsIf, fuPushGetVariable,
                                      fuPushThen,         opStoreRegister, opJump,        opIf,
                                      opPush,             opGetVariable,   opGetMember,   opEquals2,
                                      opNot,              opPop,           opAdd2,        opTypeOf,
                                      opCallMethod,       fuPushCallMethod};
constexpr std::size_t kHotCount = std::size(kHotCodes) + 1;
constexpr std::array<std::uint8_t, 256> kHotIndex = [] {
    std::array<std::uint8_t, 256> t{};
    for (std::size_t i = 0; i < std::size(kHotCodes); ++i)
        t[kHotCodes[i]] = static_cast<std::uint8_t>(i + 1);
    // The other fetching pushes share the handler of the first.
    t[fuPushGetMember] = t[fuPushGetVariable];
    t[fuPushTypeOf] = t[fuPushGetVariable];
    return t;
}();

}  // namespace

struct TAvm1::TFrame {
    std::vector<TObject*> scopes;  // outermost first; _global follows the outermost
    std::size_t targetScope = 0;   // the timeline clip's place in `scopes`
    TObject* activation = nullptr; // a function's locals; null on a timeline
    TValue thisValue;
    swf::TDisplayObject* baseClip = nullptr;
    swf::TDisplayObject* target = nullptr;
    TValue smallRegisters[4];
    std::vector<TValue> bigRegisters;
    TValue* registers = smallRegisters;
    std::size_t registerCount = 4;
    const std::vector<std::int32_t>* pool = nullptr;
    TObject* callee = nullptr;
    bool returned = false;
    std::uint32_t exitPc = 0;
};

TAvm1::TAvm1(TAvm1Host* host) : FHost(host) { Reset(); }

TAvm1::~TAvm1() = default;

std::int32_t TAvm1::PinnedAtom(const char* s)
{
    const std::int32_t a = Intern(QString::fromLatin1(s));
    FStrings[static_cast<std::size_t>(a)].pinned = true;
    return a;
}

void TAvm1::Reset()
{
    FClipObjects.clear();
    FObjects.clear();
    FCodeCache.clear();
    FCallbacks.clear();
    FStrings.clear();
    FStringIndex.clear();
    FFreeAtoms.clear();
    if (!FStackMem)
        FStackMem = std::make_unique<TValue[]>(kMaxStack);
    FSp = FStackMem.get();
    FStackEnd = FStackMem.get() + kMaxStack;
    FLog.clear();
    FDepth = 0;
    FOperations = 0;
    FAborted = false;
    FVersion = 8;
    N.empty = PinnedAtom("");
    N.undefined = PinnedAtom("undefined");
    N.null = PinnedAtom("null");
    N.trueS = PinnedAtom("true");
    N.falseS = PinnedAtom("false");
    N.number = PinnedAtom("number");
    N.string = PinnedAtom("string");
    N.boolean = PinnedAtom("boolean");
    N.object = PinnedAtom("object");
    N.function = PinnedAtom("function");
    N.movieclip = PinnedAtom("movieclip");
    N.thisN = PinnedAtom("this");
    N.root = PinnedAtom("_root");
    N.global = PinnedAtom("_global");
    N.parent = PinnedAtom("_parent");
    N.level0 = PinnedAtom("_level0");
    N.length = PinnedAtom("length");
    N.prototype = PinnedAtom("prototype");
    N.constructor = PinnedAtom("constructor");
    N.proto = PinnedAtom("__proto__");
    N.arguments = PinnedAtom("arguments");
    N.super = PinnedAtom("super");
    N.nan = PinnedAtom("NaN");
    N.xmouse = PinnedAtom("_xmouse");
    N.ymouse = PinnedAtom("_ymouse");
    N.flash = PinnedAtom("flash");
    N.callee = PinnedAtom("callee");
    N.constructorHidden = PinnedAtom("__constructor__");
    InstallBuiltins();
    FObjectsAtLastCollect = FObjects.size();
    FStringsAtLastCollect = FStrings.size();
}

std::int32_t TAvm1::Intern(const QString& s)
{
    if (auto it = FStringIndex.constFind(s); it != FStringIndex.constEnd())
        return it.value();
    std::int32_t atom;
    if (!FFreeAtoms.empty()) {
        atom = FFreeAtoms.back();
        FFreeAtoms.pop_back();
        FStrings[static_cast<std::size_t>(atom)] = TString{s};
    } else {
        atom = static_cast<std::int32_t>(FStrings.size());
        FStrings.push_back(TString{s});
    }
    FStringIndex.insert(s, atom);
    return atom;
}

std::int32_t TAvm1::FoldedKey(std::int32_t atom)
{
    TString& s = FStrings[static_cast<std::size_t>(atom)];
    if (s.folded < 0) {
        const QString lower = s.text.toLower();
        const bool pinned = s.pinned;
        const std::int32_t folded = lower == s.text ? atom : Intern(lower);
        TString& again = FStrings[static_cast<std::size_t>(atom)];  // Intern may have grown the table
        again.folded = folded;
        if (pinned)
            FStrings[static_cast<std::size_t>(folded)].pinned = true;
    }
    return FStrings[static_cast<std::size_t>(atom)].folded;
}

void TAvm1::Error(const QString& message)
{
    if (FLog.size() >= 1000)
        FLog.removeFirst();
    FLog.append(QStringLiteral("Error: ") + message);
}

TObject* TAvm1::NewObject(TObject* proto)
{
    auto obj = std::make_unique<TObject>();
    obj->proto = proto ? proto : FObjectProto;
    TObject* raw = obj.get();
    FObjects.push_back(std::move(obj));
    return raw;
}

TObject* TAvm1::NewArray(std::vector<TValue> elements)
{
    TObject* a = NewObject(FArrayProto);
    a->kind = TObjectKind::Array;
    a->elements = std::move(elements);
    return a;
}

TObject* TAvm1::NewNative(TNativeFn fn)
{
    TObject* f = NewObject(FFunctionProto);
    f->kind = TObjectKind::Function;
    f->native = fn;
    return f;
}

TObject* TAvm1::ClipObject(swf::TDisplayObject* clip)
{
    if (!clip)
        return nullptr;
    if (clip->scriptObject)
        return static_cast<TObject*>(clip->scriptObject);
    TObject* obj = NewObject(clip->IsClip() ? FClipProto : FObjectProto);
    obj->kind = TObjectKind::Clip;
    obj->clip = clip;
    obj->isMovieClip = clip->IsClip();
    clip->scriptObject = obj;
    FClipObjects[clip] = obj;
    return obj;
}

void TAvm1::ClipRemoved(swf::TDisplayObject* clip)
{
    auto it = FClipObjects.find(clip);
    if (it == FClipObjects.end())
        return;
    it->second->clip = nullptr;
    it->second->childIndex.Clear();
    it->second->childNames.clear();
    clip->scriptObject = nullptr;
    FClipObjects.erase(it);
}

void TAvm1::RebuildChildIndex(TObject* clipObj)
{
    const std::uint32_t caseBit = FVersion < 7 ? 1 : 0;
    if (clipObj->childIndexEpoch == FDisplayEpoch && (clipObj->childIndexVersion & 1) == caseBit)
        return;
    swf::TDisplayObject* clip = clipObj->clip;
    const std::uint32_t stamp = clip->childVersion * 2 + caseBit;
    clipObj->childIndexEpoch = FDisplayEpoch;
    if (clipObj->childIndexVersion == stamp)
        return;
    clipObj->childIndex.Clear();
    clipObj->childNames.clear();
    clipObj->childHint = 0;
    for (const auto& child : clip->children) {
        if (child->name.isEmpty())
            continue;
        const std::int32_t atom = Intern(child->name);
        FStrings[static_cast<std::size_t>(atom)].pinned = true;
        const std::int32_t key = Key(atom);
        clipObj->childIndex.Insert(key, static_cast<std::uint32_t>(clipObj->childNames.size()));  // the lowest depth wins
        clipObj->childNames.push_back({atom, key, ClipObject(child.get())});
    }
    for (TObject::TChildName& c : clipObj->childNames)
        c.found = clipObj->childNames[*clipObj->childIndex.Find(c.key)].found;
    clipObj->childIndexVersion = stamp;
}

// ---------------------------------------------------------------------------------------
// Conversions

QString TAvm1::NumberToString(double n)
{
    if (std::isnan(n))
        return QStringLiteral("NaN");
    if (std::isinf(n))
        return n > 0 ? QStringLiteral("Infinity") : QStringLiteral("-Infinity");
    if (n == 0)
        return QStringLiteral("0");
    if (std::abs(n) < 1e15 && n == std::trunc(n))
        return QString::number(static_cast<qint64>(n));
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.15g", n);
    // Exponents without leading zeros: 1e-7, not 1e-07.
    QString s = QString::fromLatin1(buf);
    const qsizetype e = s.indexOf(QLatin1Char('e'));
    if (e >= 0) {
        qsizetype digits = e + 2;
        while (digits < s.size() - 1 && s[digits] == QLatin1Char('0'))
            s.remove(digits, 1);
    }
    return s;
}

namespace {

double ParseNumber(const QString& text, int version)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return version >= 5 ? std::numeric_limits<double>::quiet_NaN() : 0.0;
    const QByteArray latin = t.toLatin1();
    const char* s = latin.constData();
    const char* digits = s;
    bool negative = false;
    if (*digits == '-' || *digits == '+') {
        negative = *digits == '-';
        ++digits;
    }
    if (digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X') && digits[2]) {
        char* end = nullptr;
        const unsigned long long v = std::strtoull(digits + 2, &end, 16);
        if (*end == 0)
            return negative ? -static_cast<double>(v) : static_cast<double>(v);
        return std::numeric_limits<double>::quiet_NaN();
    }
    if (t == QLatin1String("Infinity"))
        return std::numeric_limits<double>::infinity();
    if (t == QLatin1String("-Infinity"))
        return -std::numeric_limits<double>::infinity();
    // strtod would take "inf" and "nan" spellings the language does not.
    for (const char* p = digits; *p; ++p)
        if (!(std::isdigit(static_cast<unsigned char>(*p)) || *p == '.' || *p == 'e' || *p == 'E' || *p == '-' ||
              *p == '+'))
            return std::numeric_limits<double>::quiet_NaN();
    char* end = nullptr;
    const double v = std::strtod(s, &end);
    if (end == s || *end != 0)
        return std::numeric_limits<double>::quiet_NaN();
    return v;
}

}  // namespace

double TAvm1::ToNumber(TValue v)
{
    switch (v.type) {
    case TType::Undefined:
    case TType::Null:
        return FVersion >= 7 ? std::numeric_limits<double>::quiet_NaN() : 0.0;
    case TType::Boolean:
        return v.b ? 1.0 : 0.0;
    case TType::Number:
        return v.num;
    case TType::String:
        return ParseNumber(Str(v.str), FVersion);
    case TType::Object: {
        const TValue p = ToPrimitive(v);
        if (p.type == TType::Object)
            return std::numeric_limits<double>::quiet_NaN();
        return ToNumber(p);
    }
    }
    return 0;
}

std::int32_t TAvm1::ToInt32(TValue v)
{
    const double d = ToNumber(v);
    if (!std::isfinite(d))
        return 0;
    const double m = std::fmod(std::trunc(d), 4294967296.0);
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::int64_t>(m < 0 ? m + 4294967296.0 : m)));
}

bool TAvm1::ToBoolean(TValue v)
{
    switch (v.type) {
    case TType::Undefined:
    case TType::Null:
        return false;
    case TType::Boolean:
        return v.b;
    case TType::Number:
        return v.num != 0 && !std::isnan(v.num);
    case TType::String:
        if (FVersion >= 7)
            return v.str != N.empty;
        {
            const double d = ToNumber(v);
            return d != 0 && !std::isnan(d);
        }
    case TType::Object:
        return true;
    }
    return false;
}

QString TAvm1::TargetPath(swf::TDisplayObject* clip, bool slash)
{
    if (!clip)
        return {};
    QStringList parts;
    swf::TDisplayObject* c = clip;
    while (c && c->level < 0) {
        parts.prepend(c->name);
        c = c->parent;
    }
    const int level = c ? c->level : 0;
    if (slash) {
        const QString rootPath = level == 0 ? QString() : QStringLiteral("_level%1").arg(level);
        return parts.isEmpty() ? (level == 0 ? QStringLiteral("/") : rootPath) : rootPath + QLatin1Char('/') + parts.join(QLatin1Char('/'));
    }
    QString path = QStringLiteral("_level%1").arg(level);
    for (const QString& p : parts)
        path += QLatin1Char('.') + p;
    return path;
}

QString TAvm1::ToString(TValue v)
{
    switch (v.type) {
    case TType::Undefined:
        return FVersion >= 7 ? QStringLiteral("undefined") : QString();
    case TType::Null:
        return QStringLiteral("null");
    case TType::Boolean:
        return v.b ? QStringLiteral("true") : QStringLiteral("false");
    case TType::Number:
        return NumberToString(v.num);
    case TType::String:
        return Str(v.str);
    case TType::Object: {
        TObject* o = v.obj;
        if (o->kind == TObjectKind::Clip)
            return o->clip ? TargetPath(o->clip, false) : QString();
        if (o->kind == TObjectKind::Array) {
            QStringList parts;
            for (const TValue& e : o->elements)
                parts.append(e.type == TType::Undefined || e.type == TType::Null ? QString() : ToString(e));
            return parts.join(QLatin1Char(','));
        }
        if (o->kind == TObjectKind::Function)
            return QStringLiteral("[type Function]");
        return QStringLiteral("[object Object]");
    }
    }
    return {};
}

TValue TAvm1::ToPrimitive(TValue v)
{
    if (v.type != TType::Object)
        return v;
    return String(ToString(v));
}

TValue TAvm1::Typeof(TValue v)
{
    switch (v.type) {
    case TType::Undefined:
        return TValue::Atom(N.undefined);
    case TType::Null:
        return TValue::Atom(N.null);
    case TType::Boolean:
        return TValue::Atom(N.boolean);
    case TType::Number:
        return TValue::Atom(N.number);
    case TType::String:
        return TValue::Atom(N.string);
    case TType::Object:
        if (v.obj->kind == TObjectKind::Function)
            return TValue::Atom(N.function);
        if (v.obj->kind == TObjectKind::Clip && v.obj->isMovieClip && v.obj->clip)
            return TValue::Atom(N.movieclip);
        return TValue::Atom(N.object);
    }
    return TValue::Atom(N.undefined);
}

bool TAvm1::StrictEquals(TValue a, TValue b)
{
    if (a.type != b.type)
        return false;
    switch (a.type) {
    case TType::Undefined:
    case TType::Null:
        return true;
    case TType::Boolean:
        return a.b == b.b;
    case TType::Number:
        return a.num == b.num;
    case TType::String:
        return a.str == b.str;
    case TType::Object:
        return a.obj == b.obj;
    }
    return false;
}

bool TAvm1::Equals(TValue a, TValue b)
{
    if (a.type == b.type)
        return StrictEquals(a, b);
    const bool aNull = a.type == TType::Undefined || a.type == TType::Null;
    const bool bNull = b.type == TType::Undefined || b.type == TType::Null;
    if (aNull || bNull)
        return aNull && bNull;
    if (a.type == TType::Boolean)
        return Equals(TValue::Number(a.b ? 1 : 0), b);
    if (b.type == TType::Boolean)
        return Equals(a, TValue::Number(b.b ? 1 : 0));
    if (a.type == TType::Number && b.type == TType::String)
        return a.num == ToNumber(b);
    if (a.type == TType::String && b.type == TType::Number)
        return ToNumber(a) == b.num;
    if (a.type == TType::Object)
        return Equals(ToPrimitive(a), b);
    if (b.type == TType::Object)
        return Equals(a, ToPrimitive(b));
    return false;
}

TValue TAvm1::LessThan(TValue a, TValue b)
{
    const TValue pa = ToPrimitive(a);
    const TValue pb = ToPrimitive(b);
    if (pa.type == TType::String && pb.type == TType::String)
        return TValue::Bool(Str(pa.str) < Str(pb.str));
    const double x = ToNumber(pa);
    const double y = ToNumber(pb);
    if (std::isnan(x) || std::isnan(y))
        return TValue::Undefined();
    return TValue::Bool(x < y);
}

TValue TAvm1::Add(TValue a, TValue b)
{
    const TValue pa = ToPrimitive(a);
    const TValue pb = ToPrimitive(b);
    if (pa.type == TType::String || pb.type == TType::String)
        return String(ToString(pa) + ToString(pb));
    return TValue::Number(ToNumber(pa) + ToNumber(pb));
}

// ---------------------------------------------------------------------------------------
// Members and variables

namespace {

// Display properties by the numbers GetProperty and SetProperty use.
enum : int {
    ppX = 0,
    ppY,
    ppXScale,
    ppYScale,
    ppCurrentFrame,
    ppTotalFrames,
    ppAlpha,
    ppVisible,
    ppWidth,
    ppHeight,
    ppRotation,
    ppTarget,
    ppFramesLoaded,
    ppName,
    ppDropTarget,
    ppUrl,
    ppHighQuality,
    ppFocusRect,
    ppSoundBufTime,
    ppQuality,
    ppXMouse,
    ppYMouse,
    ppParent = 100,
};

const char* const kPropertyNames[] = {"_x",         "_y",         "_xscale",   "_yscale",      "_currentframe",
                                      "_totalframes", "_alpha",   "_visible",  "_width",       "_height",
                                      "_rotation",  "_target",    "_framesloaded", "_name",    "_droptarget",
                                      "_url",       "_highquality", "_focusrect", "_soundbuftime", "_quality",
                                      "_xmouse",    "_ymouse"};

double MatrixXScale(const QTransform& m) { return std::hypot(m.m11(), m.m12()); }
double MatrixYScale(const QTransform& m) { return std::hypot(m.m21(), m.m22()); }
double MatrixRotation(const QTransform& m) { return std::atan2(m.m12(), m.m11()) * 180.0 / std::numbers::pi; }

void Recompose(swf::TDisplayObject* clip)
{
    const double r = clip->rotation * std::numbers::pi / 180.0;
    const double sx = clip->xscale / 100.0;
    const double sy = clip->yscale / 100.0;
    const QTransform& m = clip->matrix;
    clip->matrix = QTransform(sx * std::cos(r), sx * std::sin(r), -sy * std::sin(r), sy * std::cos(r), m.dx(), m.dy());
}

void CaptureTransform(swf::TDisplayObject* clip)
{
    if (clip->hasScriptTransform)
        return;
    clip->xscale = MatrixXScale(clip->matrix) * 100.0;
    clip->yscale = MatrixYScale(clip->matrix) * 100.0;
    clip->rotation = MatrixRotation(clip->matrix);
    clip->hasScriptTransform = true;
}

}  // namespace

int TAvm1::FindClipProperty(std::int32_t key)
{
    TString& entry = FStrings[static_cast<std::size_t>(key)];
    entry.property = -1;
    // Display property names ignore case in every version.
    const QString name = entry.text;
    if (name.size() < 2 || name[0] != QLatin1Char('_'))
        return -1;
    static QHash<QString, int> table = [] {
        QHash<QString, int> t;
        for (int i = 0; i < static_cast<int>(std::size(kPropertyNames)); ++i)
            t.insert(QString::fromLatin1(kPropertyNames[i]), i);
        t.insert(QStringLiteral("_parent"), ppParent);
        return t;
    }();
    auto it = table.constFind(name);
    if (it == table.constEnd()) {
        it = table.constFind(name.toLower());
        if (it == table.constEnd())
            return -1;
    }
    FStrings[static_cast<std::size_t>(key)].property = static_cast<std::int8_t>(it.value());
    return it.value();
}

TValue TAvm1::GetClipProperty(swf::TDisplayObject* clip, int property)
{
    if (!clip)
        return TValue();
    switch (property) {
    case ppX:
        return TValue::Number(clip->matrix.dx() / 20.0);
    case ppY:
        return TValue::Number(clip->matrix.dy() / 20.0);
    case ppXScale:
        return TValue::Number(clip->hasScriptTransform ? clip->xscale : MatrixXScale(clip->matrix) * 100.0);
    case ppYScale:
        return TValue::Number(clip->hasScriptTransform ? clip->yscale : MatrixYScale(clip->matrix) * 100.0);
    case ppCurrentFrame:
        return TValue::Number(std::max(1, clip->currentFrame));
    case ppTotalFrames:
    case ppFramesLoaded:
        return TValue::Number(clip->timeline ? std::max(1, clip->timeline->FrameCount()) : 1);
    case ppAlpha:
        return TValue::Number(clip->cx.mul[3] * 100.0);
    case ppVisible:
        return TValue::Bool(clip->visible);
    case ppWidth:
        return TValue::Number(FHost->Bounds(clip, clip->parent).width());
    case ppHeight:
        return TValue::Number(FHost->Bounds(clip, clip->parent).height());
    case ppRotation:
        return TValue::Number(clip->hasScriptTransform ? clip->rotation : MatrixRotation(clip->matrix));
    case ppTarget:
        return String(TargetPath(clip, true));
    case ppName:
        return String(clip->name);
    case ppDropTarget:
    case ppUrl:
        return TValue::Atom(N.empty);
    case ppHighQuality:
        return TValue::Number(1);
    case ppFocusRect:
        return TValue::Bool(true);
    case ppSoundBufTime:
        return TValue::Number(5);
    case ppQuality:
        return String(QStringLiteral("HIGH"));
    case ppXMouse:
    case ppYMouse: {
        bool invertible = false;
        const QTransform inv = clip->ToStage().inverted(&invertible);
        const QPointF local = inv.map(FHost->MouseStage() * 20.0) / 20.0;
        return TValue::Number(property == ppXMouse ? local.x() : local.y());
    }
    case ppParent:
        return clip->parent ? TValue::Object(ClipObject(clip->parent)) : TValue();
    default:
        return TValue();
    }
}

bool TAvm1::SetClipProperty(swf::TDisplayObject* clip, int property, TValue value)
{
    if (!clip)
        return false;
    const double n = ToNumber(value);
    auto finite = [&] { return std::isfinite(n); };
    switch (property) {
    case ppX:
        if (finite())
            clip->matrix = QTransform(clip->matrix.m11(), clip->matrix.m12(), clip->matrix.m21(), clip->matrix.m22(),
                                      n * 20.0, clip->matrix.dy());
        break;
    case ppY:
        if (finite())
            clip->matrix = QTransform(clip->matrix.m11(), clip->matrix.m12(), clip->matrix.m21(), clip->matrix.m22(),
                                      clip->matrix.dx(), n * 20.0);
        break;
    case ppXScale:
    case ppYScale:
    case ppRotation:
        if (!finite())
            break;
        CaptureTransform(clip);
        if (property == ppXScale)
            clip->xscale = n;
        else if (property == ppYScale)
            clip->yscale = n;
        else {
            double r = std::fmod(n, 360.0);
            if (r > 180)
                r -= 360;
            else if (r < -180)
                r += 360;
            clip->rotation = r;
        }
        Recompose(clip);
        break;
    case ppAlpha:
        if (finite())
            clip->cx.mul[3] = static_cast<float>(n / 100.0);
        break;
    case ppVisible:
        clip->visible = ToBoolean(value);
        break;
    case ppWidth:
    case ppHeight: {
        if (!finite() || n < 0)
            break;
        const QRectF b = FHost->Bounds(clip, clip->parent);
        const double current = property == ppWidth ? b.width() : b.height();
        if (current <= 0)
            break;
        CaptureTransform(clip);
        if (property == ppWidth)
            clip->xscale *= n / current;
        else
            clip->yscale *= n / current;
        Recompose(clip);
        break;
    }
    case ppName:
        clip->name = ToString(value);
        if (clip->parent)
            ++clip->parent->childVersion;
        break;
    default:
        return false;
    }
    FHost->Invalidate();
    return true;
}

TObject* TAvm1::FindChild(TObject* clipObj, std::int32_t key)
{
    const auto& names = clipObj->childNames;
    const std::size_t n = names.size();
    if (n == 0)
        return nullptr;
    // The hint and its neighbours first, then the index.
    const std::size_t hint = clipObj->childHint;
    for (const std::size_t at : {hint - 1, hint, hint + 1})
        if (at < n && names[at].key == key) {
            clipObj->childHint = static_cast<std::uint32_t>(at);
            return names[at].found;
        }
    const std::uint32_t* at = clipObj->childIndex.Find(key);
    if (!at)
        return nullptr;
    clipObj->childHint = *at;
    return names[*at].found;
}

TValue TAvm1::GetClipMember(TObject* clipObj, std::int32_t key, bool& found)
{
    found = true;
    if (const TPropMap::TEntry* e = clipObj->props.Find(key))
        return e->value;
    swf::TDisplayObject* clip = clipObj->clip;
    if (clip) {
        RefreshChildIndex(clipObj);
        if (!clipObj->childNames.empty())
            if (TObject* child = FindChild(clipObj, key))
                return TValue::Object(child);
        const int property = ClipPropertyIndex(key);
        if (property >= 0)
            return GetClipProperty(clip, property);
        if (key == N.root || (FVersion < 7 && key == Key(N.root)))
            return TValue::Object(ClipObject(clip->Root()));
    }
    for (TObject* p = clipObj->proto; p; p = p->proto)
        if (const TPropMap::TEntry* e = p->props.Find(key))
            return e->value;
    found = false;
    return TValue();
}

TValue TAvm1::GetMember(TValue object, std::int32_t atom)
{
    const std::int32_t key = Key(atom);
    TObject* o = nullptr;
    switch (object.type) {
    case TType::Object:
        o = object.obj;
        break;
    case TType::String:
        if (key == N.length)
            return TValue::Number(Str(object.str).size());
        o = FStringProto;
        break;
    case TType::Number:
    case TType::Boolean:
        o = FObjectProto;
        break;
    default:
        return TValue();
    }
    if (key == N.proto)
        return TValue::Object(o->proto);
    if (o->kind == TObjectKind::Clip) {
        bool found = false;
        return GetClipMember(o, key, found);
    }
    if (o->kind == TObjectKind::Array) {
        if (key == N.length)
            return TValue::Number(static_cast<double>(o->elements.size()));
        bool isIndex = false;
        const uint index = Str(atom).toUInt(&isIndex);
        if (isIndex)
            return index < o->elements.size() ? o->elements[index] : TValue();
    }
    if (o == FGlobal && key == N.flash && FVersion < 8)
        return TValue();
    for (TObject* p = o; p; p = p->proto)
        if (const TPropMap::TEntry* e = p->props.Find(key))
            return e->value;
    return TValue();
}

void TAvm1::SetMember(TValue object, std::int32_t atom, TValue value)
{
    if (object.type != TType::Object)
        return;
    TObject* o = object.obj;
    const std::int32_t key = Key(atom);
    if (key == N.proto) {
        if (value.type == TType::Object || value.type == TType::Null)
            o->proto = value.type == TType::Object ? value.obj : nullptr;
        return;
    }
    if (o->kind == TObjectKind::Clip && o->clip && !o->props.Find(key)) {
        const int property = ClipPropertyIndex(key);
        if (property >= 0 && property != ppParent) {
            SetClipProperty(o->clip, property, value);
            return;
        }
    }
    if (o->kind == TObjectKind::Array) {
        if (key == N.length) {
            const double n = ToNumber(value);
            if (n >= 0 && n < (1 << 24))
                o->elements.resize(static_cast<std::size_t>(n));
            return;
        }
        bool isIndex = false;
        const uint index = Str(atom).toUInt(&isIndex);
        if (isIndex && index < (1u << 24)) {
            if (index >= o->elements.size())
                o->elements.resize(index + 1);
            o->elements[index] = value;
            return;
        }
    }
    o->props.Set(key, value);
}

bool TAvm1::LookupScope(TObject* scope, std::int32_t key, TValue& out)
{
    if (scope->kind == TObjectKind::Clip) {
        bool found = false;
        out = GetClipMember(scope, key, found);
        return found;
    }
    for (TObject* p = scope; p; p = p->proto)
        if (const TPropMap::TEntry* e = p->props.Find(key)) {
            out = e->value;
            return true;
        }
    return false;
}

void TAvm1::ClassifyName(TString& s)
{
    if (s.kind >= 0)
        return;
    const QString& t = s.text;
    int kind = 0;
    if (t.contains(QLatin1Char('.')) || t.contains(QLatin1Char('/')) || t.contains(QLatin1Char(':')))
        kind = 1;
    else if (t.startsWith(QLatin1String("_level"), Qt::CaseInsensitive) && t.size() > 6) {
        bool ok = false;
        const int level = t.mid(6).toInt(&ok);
        if (ok && level >= 0) {
            kind = 2;
            s.level = level;
        }
    }
    s.kind = static_cast<std::int8_t>(kind);
}

TValue TAvm1::GetVariable(TFrame& f, std::int32_t name)
{
    TString& s = FStrings[static_cast<std::size_t>(name)];
    ClassifyName(s);
    if (s.kind == 1)
        return ResolvePath(f, Str(name));
    if (s.kind == 2) {
        swf::TDisplayObject* level = FHost->Level(s.level);
        return level ? TValue::Object(ClipObject(level)) : TValue();
    }
    const std::int32_t key = Key(name);
    if (key == N.thisN || (FVersion < 7 && key == Key(N.thisN)))
        return f.thisValue;
    if (key == Key(N.root)) {
        swf::TDisplayObject* root = f.target ? f.target->Root() : FHost->Level(0);
        return root ? TValue::Object(ClipObject(root)) : TValue();
    }
    if (key == Key(N.global))
        return TValue::Object(FGlobal);
    TValue out;
    for (std::size_t i = f.scopes.size(); i-- > 0;)
        if (LookupScope(f.scopes[i], key, out))
            return out;
    if (key == N.flash && FVersion < 8)
        return TValue();
    if (LookupScope(FGlobal, key, out))
        return out;
    return TValue();
}

void TAvm1::SetVariable(TFrame& f, std::int32_t name, TValue value)
{
    const QString& text = Str(name);
    if (text.contains(QLatin1Char(':')) || text.contains(QLatin1Char('.')) || text.contains(QLatin1Char('/'))) {
        // "path:variable", "/path:variable" or "a.b.c": set the last name on what the rest
        // names.
        qsizetype split = text.lastIndexOf(QLatin1Char(':'));
        if (split < 0)
            split = text.lastIndexOf(QLatin1Char('.'));
        if (split < 0) {
            return;
        }
        const QString path = text.left(split);
        const QString member = text.mid(split + 1);
        TValue holder;
        if (path.isEmpty())
            holder = TValue::Object(ClipObject(f.target ? f.target->Root() : FHost->Level(0)));
        else
            holder = ResolvePath(f, path);
        SetMember(holder, Intern(member), value);
        return;
    }
    const std::int32_t key = Key(name);
    for (std::size_t i = f.scopes.size(); i-- > 0;) {
        TObject* scope = f.scopes[i];
        bool has = scope->props.Find(key) != nullptr;
        if (!has && scope->kind == TObjectKind::Clip && scope->clip)
            has = ClipPropertyIndex(key) >= 0;
        if (has) {
            SetMember(TValue::Object(scope), name, value);
            return;
        }
    }
    if (f.targetScope < f.scopes.size())
        SetMember(TValue::Object(f.scopes[f.targetScope]), name, value);
}

TValue TAvm1::ResolvePath(TFrame& f, const QString& path)
{
    if (path.isEmpty())
        return TValue();
    const qsizetype colon = path.lastIndexOf(QLatin1Char(':'));
    if (colon >= 0) {
        const QString target = path.left(colon);
        swf::TDisplayObject* clip = target.isEmpty() ? f.target : ResolveTarget(f, target);
        if (!clip)
            return TValue();
        return GetMember(TValue::Object(ClipObject(clip)), Intern(path.mid(colon + 1)));
    }
    if (path.contains(QLatin1Char('/'))) {
        swf::TDisplayObject* clip = ResolveTarget(f, path);
        return clip ? TValue::Object(ClipObject(clip)) : TValue();
    }
    const QStringList parts = path.split(QLatin1Char('.'));
    TValue v = GetVariable(f, Intern(parts.first()));
    for (qsizetype i = 1; i < parts.size(); ++i) {
        if (v.type != TType::Object)
            return TValue();
        v = GetMember(v, Intern(parts[i]));
    }
    return v;
}

swf::TDisplayObject* TAvm1::ResolveTarget(TFrame& f, const QString& path)
{
    swf::TDisplayObject* clip = f.target ? f.target : FHost->Level(0);
    if (path.isEmpty() || !clip)
        return f.baseClip;
    QString p = path;
    QStringList parts;
    if (p.startsWith(QLatin1Char('/'))) {
        clip = clip->Root();
        parts = p.mid(1).split(QLatin1Char('/'), Qt::SkipEmptyParts);
    } else if (p.contains(QLatin1Char('/'))) {
        parts = p.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    } else {
        parts = p.split(QLatin1Char('.'), Qt::SkipEmptyParts);
        if (!parts.isEmpty()) {
            // The first name may also be a variable holding a clip.
            const TValue first = GetVariable(f, Intern(parts.first()));
            if (first.type == TType::Object && first.obj->kind == TObjectKind::Clip && first.obj->clip) {
                clip = first.obj->clip;
                parts.removeFirst();
            }
        }
    }
    for (const QString& part : parts) {
        if (!clip)
            return nullptr;
        if (part == QLatin1String(".."))
            clip = clip->parent;
        else if (part == QLatin1String("_parent"))
            clip = clip->parent;
        else if (part == QLatin1String("_root"))
            clip = clip->Root();
        else if (part == QLatin1String("this"))
            continue;
        else if (part.startsWith(QLatin1String("_level"))) {
            bool ok = false;
            const int level = part.mid(6).toInt(&ok);
            clip = ok ? FHost->Level(level) : nullptr;
        } else {
            TObject* obj = ClipObject(clip);
            bool found = false;
            const TValue child = GetClipMember(obj, Key(Intern(part)), found);
            (void)found;
            clip = child.type == TType::Object && child.obj->kind == TObjectKind::Clip ? child.obj->clip : nullptr;
        }
    }
    return clip;
}

TValue* TAvm1::Enumerate(TValue object, TValue* sp)
{
    auto push = [&](TValue v) {
        if (sp < FStackEnd)
            *sp++ = v;
        else
            FAborted = true;
    };
    push(TValue::Null());
    if (object.type != TType::Object)
        return sp;
    TObject* o = object.obj;
    if (o->kind == TObjectKind::Clip && o->clip) {
        RefreshChildIndex(o);
        for (const TObject::TChildName& c : o->childNames)
            push(TValue::Atom(c.atom));
    }
    if (o->kind == TObjectKind::Array)
        for (std::size_t i = 0; i < o->elements.size(); ++i)
            push(String(QString::number(i)));
    for (TObject* p = o; p; p = p->proto)
        for (const TPropMap::TEntry& e : p->props.Entries())
            if (!(e.flags & 1))
                push(TValue::Atom(e.key));
    return sp;
}

// ---------------------------------------------------------------------------------------
// Calls

TValue TAvm1::Call(TValue function, TValue thisValue, std::span<const TValue> args)
{
    if (function.type != TType::Object || function.obj->kind != TObjectKind::Function)
        return TValue();
    TObject* fn = function.obj;
    if (fn->native)
        return fn->native(*this, thisValue, args);
    return CallScript(fn, thisValue, args);
}

TValue TAvm1::CallScript(TObject* fn, TValue thisValue, std::span<const TValue> args)
{
    if (FAborted)
        return TValue();
    if (FDepth >= kMaxCallDepth) {
        Error(QStringLiteral("256 levels of recursion were exceeded in one action list"));
        FAborted = true;
        return TValue();
    }
    const TFunctionDef& def = *fn->def;
    TFrame f;
    f.scopes = fn->scopeChain;
    f.targetScope = f.scopes.size();
    for (std::size_t i = 0; i < f.scopes.size(); ++i)
        if (f.scopes[i]->kind == TObjectKind::Clip)
            f.targetScope = i;
    TObject* activation = NewObject(nullptr);
    activation->kind = TObjectKind::Activation;
    activation->proto = nullptr;
    f.scopes.push_back(activation);
    f.activation = activation;
    f.thisValue = thisValue;
    f.baseClip = f.target = fn->baseClip;
    f.pool = fn->pool;
    f.callee = fn;
    if (def.v2) {
        f.bigRegisters.resize(std::max<std::size_t>(def.registerCount, 1));
        f.registers = f.bigRegisters.data();
        f.registerCount = f.bigRegisters.size();
    }
    // The arguments object only when the function can see it.
    const bool wantsArguments = !def.v2 || (def.flags & 0x04) || !(def.flags & 0x08);
    TObject* argumentsObj = nullptr;
    if (wantsArguments) {
        argumentsObj = NewArray(std::vector<TValue>(args.begin(), args.end()));
        argumentsObj->props.Set(Key(N.callee), TValue::Object(fn), 1);
    }
    auto setRegister = [&](std::size_t& next, TValue v) {
        if (next < f.registerCount)
            f.registers[next++] = v;
    };
    if (def.v2) {
        // Preloads take registers from 1 upward in this order.
        std::size_t next = 1;
        const std::uint16_t flags = def.flags;
        if (flags & 0x01)
            setRegister(next, thisValue);
        if (!(flags & 0x02))
            activation->props.Set(Key(N.thisN), thisValue);
        if (flags & 0x04)
            setRegister(next, TValue::Object(argumentsObj));
        if (!(flags & 0x08))
            activation->props.Set(Key(N.arguments), TValue::Object(argumentsObj));
        if (flags & 0x10) {
            TValue super;
            if (thisValue.type == TType::Object && thisValue.obj->proto && thisValue.obj->proto->proto)
                super = GetMember(TValue::Object(thisValue.obj->proto->proto), N.constructor);
            setRegister(next, super);
        }
        swf::TDisplayObject* base = fn->baseClip;
        if (flags & 0x40)
            setRegister(next, base ? TValue::Object(ClipObject(base->Root())) : TValue());
        if (flags & 0x80)
            setRegister(next, base && base->parent ? TValue::Object(ClipObject(base->parent)) : TValue());
        if (flags & 0x100)
            setRegister(next, TValue::Object(FGlobal));
    } else {
        activation->props.Set(Key(N.arguments), TValue::Object(argumentsObj));
    }
    for (std::size_t i = 0; i < def.params.size(); ++i) {
        const TValue arg = i < args.size() ? args[i] : TValue();
        const auto [reg, name] = def.params[i];
        if (def.v2 && reg != 0) {
            if (reg < f.registerCount)
                f.registers[reg] = arg;
        } else {
            activation->props.Set(Key(name), arg);
        }
    }
    ++FDepth;
    const TValue result = Execute(fn->code, def.begin, def.end, f);
    --FDepth;
    return f.returned ? result : TValue();
}

TObject* TAvm1::Construct(TValue ctor, std::span<const TValue> args)
{
    if (ctor.type != TType::Object || ctor.obj->kind != TObjectKind::Function)
        return NewObject();
    TObject* fn = ctor.obj;
    const TValue protoValue = GetMember(ctor, N.prototype);
    TObject* obj = NewObject(protoValue.type == TType::Object ? protoValue.obj : FObjectProto);
    obj->props.Set(Key(N.constructorHidden), ctor, 1);
    const TValue result = Call(ctor, TValue::Object(obj), args);
    if (fn->native && result.type == TType::Object)
        return result.obj;
    return obj;
}

void TAvm1::RunActions(const QByteArray& actions, swf::TDisplayObject* thisClip)
{
    if (actions.isEmpty() || !thisClip)
        return;
    const bool topLevel = FDepth == 0;
    if (topLevel) {
        Collect();
        FOperations = 0;
        FAborted = false;
    }
    FVersion = FHost->SwfVersion(thisClip);
    const std::shared_ptr<const TCode> code = Decode(actions);
    TFrame f;
    TObject* clipObj = ClipObject(thisClip);
    f.scopes.push_back(clipObj);
    f.targetScope = 0;
    f.thisValue = TValue::Object(clipObj);
    f.baseClip = f.target = thisClip;
    ++FDepth;
    Execute(code, 0, static_cast<std::uint32_t>(code->ops.size()), f);
    --FDepth;
    if (topLevel)
        AfterTopLevel();
}

bool TAvm1::HasExternal(const QString& name) const { return FCallbacks.contains(name); }

bool TAvm1::HasClipHandler(swf::TDisplayObject* clip, const QString& name)
{
    if (!clip || !clip->scriptObject)
        return false;
    FVersion = FHost->SwfVersion(clip);
    const TValue fn = GetMember(TValue::Object(static_cast<TObject*>(clip->scriptObject)), Intern(name));
    return fn.type == TType::Object && fn.obj->kind == TObjectKind::Function;
}

bool TAvm1::CallClipHandler(swf::TDisplayObject* clip, const QString& name)
{
    if (!HasClipHandler(clip, name))
        return false;
    const bool topLevel = FDepth == 0;
    if (topLevel) {
        Collect();
        FOperations = 0;
        FAborted = false;
    }
    TObject* obj = ClipObject(clip);
    const TValue fn = GetMember(TValue::Object(obj), Intern(name));
    ++FDepth;
    Call(fn, TValue::Object(obj), {});
    --FDepth;
    if (topLevel)
        AfterTopLevel();
    return true;
}

bool TAvm1::CallExternal(const QString& name, const std::vector<TValue>& args, TValue& result)
{
    auto it = FCallbacks.constFind(name);
    if (it == FCallbacks.constEnd())
        return false;
    const TCallback cb = it.value();
    const bool topLevel = FDepth == 0;
    if (topLevel) {
        // A host may call many times between two frames or events (a page asks for the
        // clip under the pointer on every move): each call's garbage goes here.
        Collect(args);
        FOperations = 0;
        FAborted = false;
    }
    if (cb.function.type == TType::Object && cb.function.obj->kind == TObjectKind::Function && cb.function.obj->def) {
        if (swf::TDisplayObject* base = cb.function.obj->baseClip)
            FVersion = FHost->SwfVersion(base);
    }
    ++FDepth;
    result = Call(cb.function, cb.thisValue, args);
    --FDepth;
    if (topLevel)
        AfterTopLevel();
    return true;
}

void TAvm1::AfterTopLevel()
{
    FSp = FStackMem.get();
    FAborted = false;
}

// ---------------------------------------------------------------------------------------
// The loop

TValue TAvm1::Execute(const std::shared_ptr<const TCode>& codeRef, std::uint32_t begin, std::uint32_t end, TFrame& f)
{
    const TCode& code = *codeRef;
    const TOp* ops = code.ops.data();
    const TPushItem* const pushes = code.pushes.data();
    // This frame's values live from `base` up; `sp` is the top. Before anything that may
    // run other scripts the top goes back to FSp, and comes from it afterwards.
    TValue* const base = FSp;
    TValue* sp = base;
    std::uint32_t pc = begin;
    TValue result;
    const bool legacy = FVersion < 5;

#define KV_POP() (sp > base ? *--sp : TValue())
#define KV_PUSH(v)                                                                                                     \
    do {                                                                                                               \
        const TValue kvPushed = (v);                                                                                   \
        if (sp < FStackEnd)                                                                                            \
            *sp++ = kvPushed;                                                                                          \
        else                                                                                                           \
            FAborted = true;                                                                                           \
    } while (0)
    // A push checks the room for all its values at once; a stack that would overflow
    // stops the script.
#define KV_DO_PUSH(pushOp)                                                                                             \
    do {                                                                                                               \
        const TOp& kvOp = (pushOp);                                                                                    \
        const TPushItem* item = pushes + kvOp.a;                                                                       \
        const std::int32_t kvCount = kvOp.b;                                                                           \
        if (FStackEnd - sp < kvCount) {                                                                                \
            FAborted = true;                                                                                           \
            break;                                                                                                     \
        }                                                                                                              \
        if (kvOp.push == TOp::PushOneRegister) {                                                                       \
            if (item->reg < f.registerCount)                                                                           \
                CopyValue(*sp++, f.registers[item->reg]);                                                              \
            else                                                                                                       \
                *sp++ = TValue();                                                                                      \
            break;                                                                                                     \
        }                                                                                                              \
        if (kvOp.push == TOp::PushValues) {                                                                            \
            for (std::int32_t i = 0; i < kvCount; ++i)                                                                 \
                *sp++ = item[i].value;                                                                                 \
            break;                                                                                                     \
        }                                                                                                              \
        for (std::int32_t i = 0; i < kvCount; ++i, ++item) {                                                           \
            switch (item->kind) {                                                                                      \
            case TPushItem::Value:                                                                                     \
                *sp++ = item->value;                                                                                   \
                break;                                                                                                 \
            case TPushItem::Register:                                                                                  \
                if (item->reg < f.registerCount)                                                                       \
                    CopyValue(*sp++, f.registers[item->reg]);                                                          \
                else                                                                                                   \
                    *sp++ = TValue();                                                                                  \
                break;                                                                                                 \
            case TPushItem::Constant:                                                                                  \
                *sp++ = f.pool && item->constant < f.pool->size() ? TValue::Atom((*f.pool)[item->constant]) : TValue(); \
                break;                                                                                                 \
            }                                                                                                          \
        }                                                                                                              \
    } while (0)
    // The operation count lives in a local while the loop runs (sp and it stay in
    // registers); it goes back to the member before anything that may run other scripts.
    std::uint64_t operations = FOperations;
#define KV_SYNC_OUT() (FSp = sp, FOperations = operations)
#define KV_SYNC_IN() (sp = FSp, operations = FOperations)
#define KV_PUSH_BOOL(v) KV_PUSH(legacy ? TValue::Number((v) ? 1 : 0) : TValue::Bool(v))
    // Pops an argument count and leaves that many values on the stack, first argument
    // lowest, in `count`.
#define KV_TAKE_ARGS(count)                                                                                            \
    std::size_t count = 0;                                                                                             \
    {                                                                                                                  \
        const TValue countValue = KV_POP();                                                                            \
        const double kvN = countValue.type == TType::Number ? countValue.num : ToNumber(countValue);                   \
        count = kvN > 0 && std::isfinite(kvN) ? static_cast<std::size_t>(kvN) : 0;                                     \
        count = std::min(count, static_cast<std::size_t>(sp - base));                                                  \
        ReverseValues(sp - count, sp);                                                                                 \
    }
    auto targetClip = [&]() { return f.target ? f.target : f.baseClip; };
    auto setTarget = [&](swf::TDisplayObject* clip) {
        f.target = clip ? clip : f.baseClip;
        if (f.targetScope < f.scopes.size() && f.target)
            f.scopes[f.targetScope] = ClipObject(f.target);
    };
    auto clipOf = [&](TValue v) -> swf::TDisplayObject* {
        if (v.type == TType::Object && v.obj->kind == TObjectKind::Clip)
            return v.obj->clip;
        if (v.type == TType::String)
            return ResolveTarget(f, Str(v.str));
        return nullptr;
    };
    auto atomOf = [&](TValue v) { return v.type == TType::String ? v.str : Intern(ToString(v)); };
    // The value a push item stands for, for the fused sequences that take it straight.
#define KV_ITEM_VALUE(into, itemRef)                                                                                   \
    do {                                                                                                               \
        const TPushItem& kvItem = (itemRef);                                                                           \
        if (kvItem.kind == TPushItem::Value)                                                                           \
            into = kvItem.value;                                                                                       \
        else if (kvItem.kind == TPushItem::Register && kvItem.reg < f.registerCount)                                   \
            CopyValue(into, f.registers[kvItem.reg]);                                                                  \
        else if (kvItem.kind == TPushItem::Constant && f.pool && kvItem.constant < f.pool->size())                     \
            into = TValue::Atom((*f.pool)[kvItem.constant]);                                                           \
        else                                                                                                           \
            into = TValue();                                                                                           \
    } while (0)

    // One unsigned comparison keeps pc within [begin, end). A return leaves the loop
    // straight away, so only an abort needs checking between operations.
    const std::uint32_t span = end > begin ? end - begin : 0;
#if KV_THREADED
    // The operations of loops over clips and arrays jump from one to the next through a
    // table, each from its own end: one shared jump predicts worse.
    static void* const kvLabels[] = {&&kv_switch,           &&kv_fuStoreRegisterPop, &&kv_fuNotIf,
                                     &&kv_fuPushEqualsIf,   &&kv_fuPushFetch,        &&kv_fuPushThen,
                                     &&kv_opStoreRegister,  &&kv_opJump,             &&kv_opIf,
                                     &&kv_opPush,           &&kv_opGetVariable,      &&kv_opGetMember,
                                     &&kv_opEquals2,        &&kv_opNot,              &&kv_opPop,
                                     &&kv_opAdd2,           &&kv_opTypeOf,           &&kv_opCallMethod,
                                     &&kv_fuPushCallMethod};
    static_assert(std::size(kvLabels) == kHotCount);
#define KV_DISPATCH() goto* kvLabels[kHotIndex[opp->code]]
    // Straight on to the next operation when nothing stops the script here.
#define KV_FAST_NEXT()                                                                                                 \
    if (pc - begin < span && !FAborted && ++operations <= kMaxOperationsPerRun) {                                     \
        opp = &ops[pc++];                                                                                              \
        KV_DISPATCH();                                                                                                 \
    } else                                                                                                             \
        break
#define KV_LABEL(name) kv_##name:
#else
#define KV_FAST_NEXT() break
#define KV_LABEL(name)
#endif
    // The operation at hand.
#define op (*opp)
    const TOp* opp = nullptr;
    for (;;) {
        if (pc - begin >= span || FAborted)
            break;
        if (++operations > kMaxOperationsPerRun) {
            Error(QStringLiteral("A script in this movie is causing the player to run slowly; it was stopped"));
            FAborted = true;
            break;
        }
        opp = &ops[pc++];
    dispatch:
#if KV_THREADED
        KV_DISPATCH();
    kv_switch:
#endif
        switch (op.code) {
        case fuStoreRegisterPop:
            KV_LABEL(fuStoreRegisterPop)
            if (op.a < f.registerCount)
                StoreValue(f.registers[op.a], sp > base ? sp - 1 : nullptr);
            if (sp > base)
                --sp;
            pc += 1;
            KV_FAST_NEXT();
        case fuNotIf: {
            KV_LABEL(fuNotIf)
            const TValue v = KV_POP();
            pc = Truthy(v) ? pc + 1 : static_cast<std::uint32_t>(op.c);
            KV_FAST_NEXT();
        }
        case fuPushEqualsIf: {
            KV_LABEL(fuPushEqualsIf)
            TValue b;
            if (op.b == 1 && sp < FStackEnd) {
                KV_ITEM_VALUE(b, pushes[op.a]);
            } else {
                KV_DO_PUSH(op);
                b = KV_POP();
            }
            const TValue a = KV_POP();
            bool equal;
            if (a.type == b.type && a.type == TType::String)
                equal = a.str == b.str;
            else if (a.type <= TType::Null || b.type <= TType::Null)
                equal = a.type <= TType::Null && b.type <= TType::Null;
            else
                equal = Equals(a, b);
            const bool jump = op.negate ? !equal : equal;
            pc = jump ? static_cast<std::uint32_t>(op.c) : pc + (op.negate ? 3 : 2);
            KV_FAST_NEXT();
        }
        case fuPushGetVariable:
        case fuPushGetMember:
        case fuPushTypeOf: {
            KV_LABEL(fuPushFetch)
            if (sp >= FStackEnd) {
                FAborted = true;  // the push would overflow the stack
                break;
            }
            TValue x;
            KV_ITEM_VALUE(x, pushes[op.a]);
            ++operations;
            pc += 1;
            TValue fetched;
            if (op.code == fuPushGetVariable) {
                if (op.c > 0) {
                    swf::TDisplayObject* level = FHost->Level(op.c - 1);
                    if (level)
                        fetched = TValue::Object(level->scriptObject ? static_cast<TObject*>(level->scriptObject)
                                                                     : ClipObject(level));
                } else {
                    fetched = GetVariable(f, atomOf(x));
                }
            } else if (op.code == fuPushGetMember) {
                const TValue obj = KV_POP();
                fetched = GetMember(obj, atomOf(x));
            } else {
                fetched = Typeof(x);
            }
            if (op.storeRegister) {
                // StoreRegister r; Pop follow: the value goes to the register alone.
                if (op.storeRegister - 1u < f.registerCount)
                    f.registers[op.storeRegister - 1u] = fetched;
                operations += 2;
                pc += 2;
            } else {
                KV_PUSH(fetched);
            }
            KV_FAST_NEXT();
        }
        case fuPushCallMethod: {
            KV_LABEL(fuPushCallMethod)
            if (FStackEnd - sp < op.b) {
                FAborted = true;  // the push would overflow the stack
                break;
            }
            const TPushItem* items = pushes + op.a;
            const std::size_t n = static_cast<std::size_t>(op.b) - 3;
            TValue name, obj;
            KV_ITEM_VALUE(name, items[n + 2]);
            KV_ITEM_VALUE(obj, items[n + 1]);
            // The first argument is the item pushed last before the count.
            for (std::size_t k = 0; k < n; ++k)
                KV_ITEM_VALUE(sp[k], items[n - 1 - k]);
            ++operations;
            pc += 1;
            const std::span<const TValue> callArgs(sp, n);
            sp += n;  // the arguments stay on the stack, under whatever the call pushes
            const bool unnamed = name.type == TType::Undefined || (name.type == TType::String && name.str == N.empty);
            const TValue fn = unnamed ? obj : GetMember(obj, atomOf(name));
            TValue r;
            if (fn.type == TType::Object && fn.obj->kind == TObjectKind::Function) {
                KV_SYNC_OUT();
                const TValue self = unnamed ? TValue() : obj;
                r = fn.obj->native ? fn.obj->native(*this, self, callArgs) : CallScript(fn.obj, self, callArgs);
                KV_SYNC_IN();
            }
            sp -= n;
            KV_PUSH(r);
            KV_FAST_NEXT();
        }
        case fuPushThen:
            KV_LABEL(fuPushThen)
            KV_DO_PUSH(op);
            if (pc >= end)
                break;
            opp = &ops[pc++];
            ++operations;
            goto dispatch;
        case opEnd:
            pc = end;
            break;
        case opNextFrame:
            if (swf::TDisplayObject* c = targetClip())
                FHost->GotoFrame(c, c->currentFrame + 1, false);
            break;
        case opPrevFrame:
            if (swf::TDisplayObject* c = targetClip())
                FHost->GotoFrame(c, std::max(1, c->currentFrame - 1), false);
            break;
        case opPlay:
            if (swf::TDisplayObject* c = targetClip())
                FHost->SetPlaying(c, true);
            break;
        case opStop:
            if (swf::TDisplayObject* c = targetClip())
                FHost->SetPlaying(c, false);
            break;
        case opToggleQuality:
        case opStopSounds:
            break;
        case opAdd:
        case opSubtract:
        case opMultiply:
        case opDivide:
        case opModulo: {
            const double b = ToNumber(KV_POP());
            const double a = ToNumber(KV_POP());
            double r = 0;
            if (op.code == opAdd)
                r = a + b;
            else if (op.code == opSubtract)
                r = a - b;
            else if (op.code == opMultiply)
                r = a * b;
            else if (op.code == opDivide) {
                if (b == 0 && FVersion < 5) {
                    KV_PUSH(String(QStringLiteral("#ERROR#")));
                    break;
                }
                r = a / b;
            } else
                r = std::fmod(a, b);
            KV_PUSH(TValue::Number(r));
            break;
        }
        case opEquals: {
            const double b = ToNumber(KV_POP());
            const double a = ToNumber(KV_POP());
            KV_PUSH_BOOL(a == b);
            break;
        }
        case opLess: {
            const double b = ToNumber(KV_POP());
            const double a = ToNumber(KV_POP());
            KV_PUSH_BOOL(a < b);
            break;
        }
        case opAnd: {
            const bool b = ToBoolean(KV_POP());
            const bool a = ToBoolean(KV_POP());
            KV_PUSH_BOOL(a && b);
            break;
        }
        case opOr: {
            const bool b = ToBoolean(KV_POP());
            const bool a = ToBoolean(KV_POP());
            KV_PUSH_BOOL(a || b);
            break;
        }
        case opNot:
            KV_LABEL(opNot)
            KV_PUSH_BOOL(!ToBoolean(KV_POP()));
            KV_FAST_NEXT();
        case opStringEquals: {
            const QString b = ToString(KV_POP());
            const QString a = ToString(KV_POP());
            KV_PUSH_BOOL(a == b);
            break;
        }
        case opStringLess:
        case opStringGreater: {
            const QString b = ToString(KV_POP());
            const QString a = ToString(KV_POP());
            KV_PUSH_BOOL(op.code == opStringLess ? a < b : a > b);
            break;
        }
        case opStringLength:
        case opMBStringLength:
            KV_PUSH(TValue::Number(ToString(KV_POP()).size()));
            break;
        case opStringExtract:
        case opMBStringExtract: {
            const std::int32_t count = ToInt32(KV_POP());
            const std::int32_t index = ToInt32(KV_POP());
            const QString s = ToString(KV_POP());
            const qsizetype from = std::max<qsizetype>(0, index - 1);
            KV_PUSH(String(count < 0 ? s.mid(from) : s.mid(from, count)));
            break;
        }
        case opStringAdd: {
            const QString b = ToString(KV_POP());
            const QString a = ToString(KV_POP());
            KV_PUSH(String(a + b));
            break;
        }
        case opPop:
            KV_LABEL(opPop)
            KV_POP();
            KV_FAST_NEXT();
        case opToInteger: {
            const double d = ToNumber(KV_POP());
            KV_PUSH(TValue::Number(std::isfinite(d) ? std::trunc(d) : (std::isnan(d) ? 0 : d)));
            break;
        }
        case opGetVariable: {
            KV_LABEL(opGetVariable)
            const TValue name = KV_POP();
            KV_PUSH(GetVariable(f, name.type == TType::String ? name.str : Intern(ToString(name))));
            KV_FAST_NEXT();
        }
        case opSetVariable: {
            const TValue value = KV_POP();
            const TValue name = KV_POP();
            SetVariable(f, name.type == TType::String ? name.str : Intern(ToString(name)), value);
            break;
        }
        case opSetTarget:
            setTarget(ResolveTarget(f, Str(code.atoms[op.a])));
            break;
        case opSetTarget2:
            setTarget(clipOf(KV_POP()));
            break;
        case opGetProperty: {
            const int index = ToInt32(KV_POP());
            const TValue t = KV_POP();
            swf::TDisplayObject* clip = t.type == TType::String && t.str == N.empty ? targetClip() : clipOf(t);
            KV_PUSH(GetClipProperty(clip, index));
            break;
        }
        case opSetProperty: {
            const TValue value = KV_POP();
            const int index = ToInt32(KV_POP());
            const TValue t = KV_POP();
            swf::TDisplayObject* clip = t.type == TType::String && t.str == N.empty ? targetClip() : clipOf(t);
            SetClipProperty(clip, index, value);
            break;
        }
        case opCloneSprite:
            KV_POP();
            KV_POP();
            KV_POP();
            Error(QStringLiteral("duplicateMovieClip is not supported"));
            break;
        case opRemoveSprite:
            KV_POP();
            break;
        case opTrace: {
            const QString text = ToString(KV_POP());
            if (FLog.size() >= 1000)
                FLog.removeFirst();
            FLog.append(text);
            FHost->Trace(text);
            break;
        }
        case opStartDrag: {
            KV_POP();
            KV_POP();
            if (ToBoolean(KV_POP())) {
                KV_POP();
                KV_POP();
                KV_POP();
                KV_POP();
            }
            break;
        }
        case opEndDrag:
            break;
        case opThrow:
            Error(QStringLiteral("uncaught exception: ") + ToString(KV_POP()));
            FAborted = true;
            break;
        case opCastOp: {
            const TValue obj = KV_POP();
            const TValue ctor = KV_POP();
            bool is = false;
            if (obj.type == TType::Object) {
                const TValue proto = GetMember(ctor, N.prototype);
                for (TObject* p = obj.obj->proto; p && !is; p = p->proto)
                    is = proto.type == TType::Object && p == proto.obj;
            }
            KV_PUSH(is ? obj : TValue::Null());
            break;
        }
        case opImplementsOp: {
            KV_POP();
            KV_TAKE_ARGS(n);
            sp -= n;
            break;
        }
        case opRandomNumber: {
            const std::int32_t max = ToInt32(KV_POP());
            KV_PUSH(TValue::Number(max > 0 ? QRandomGenerator::global()->bounded(max) : 0));
            break;
        }
        case opCharToAscii:
        case opMBCharToAscii: {
            const QString s = ToString(KV_POP());
            KV_PUSH(TValue::Number(s.isEmpty() ? 0 : s.at(0).unicode()));
            break;
        }
        case opAsciiToChar:
        case opMBAsciiToChar: {
            const std::int32_t c = ToInt32(KV_POP());
            KV_PUSH(String(c > 0 ? QString(QChar(static_cast<char16_t>(c))) : QString()));
            break;
        }
        case opGetTime: {
            static QElapsedTimer clock = [] {
                QElapsedTimer t;
                t.start();
                return t;
            }();
            KV_PUSH(TValue::Number(static_cast<double>(clock.elapsed())));
            break;
        }
        case opDelete: {
            const TValue name = KV_POP();
            const TValue obj = KV_POP();
            bool removed = false;
            if (obj.type == TType::Object)
                removed = obj.obj->props.Remove(Key(name.type == TType::String ? name.str : Intern(ToString(name))));
            KV_PUSH(TValue::Bool(removed));
            break;
        }
        case opDelete2: {
            const TValue name = KV_POP();
            const std::int32_t key = Key(name.type == TType::String ? name.str : Intern(ToString(name)));
            bool removed = false;
            for (std::size_t i = f.scopes.size(); i-- > 0 && !removed;)
                removed = f.scopes[i]->props.Remove(key);
            KV_PUSH(TValue::Bool(removed));
            break;
        }
        case opDefineLocal:
        case opDefineLocal2: {
            const TValue value = op.code == opDefineLocal ? KV_POP() : TValue();
            const TValue name = KV_POP();
            const std::int32_t atom = name.type == TType::String ? name.str : Intern(ToString(name));
            TObject* holder = f.activation ? f.activation
                                           : (f.targetScope < f.scopes.size() ? f.scopes[f.targetScope] : FGlobal);
            if (op.code == opDefineLocal)
                holder->props.Set(Key(atom), value);
            else if (!holder->props.Find(Key(atom)))
                holder->props.Set(Key(atom), TValue());
            break;
        }
        case opCallFunction: {
            const TValue name = KV_POP();
            KV_TAKE_ARGS(n);
            const TValue fn = GetVariable(f, atomOf(name));
            swf::TDisplayObject* clip = targetClip();
            const TValue self = clip ? TValue::Object(ClipObject(clip)) : TValue();
            // The arguments stay on the stack, under whatever the call pushes.
            KV_SYNC_OUT();
            const TValue r = Call(fn, self, std::span<const TValue>(sp - n, n));
            KV_SYNC_IN();
            sp -= n;
            KV_PUSH(r);
            break;
        }
        case opReturn:
            result = KV_POP();
            f.returned = true;
            goto finished;
        case opNewObject: {
            const TValue name = KV_POP();
            KV_TAKE_ARGS(n);
            const TValue ctor = GetVariable(f, atomOf(name));
            KV_SYNC_OUT();
            TObject* made = Construct(ctor, std::span<const TValue>(sp - n, n));
            KV_SYNC_IN();
            sp -= n;
            KV_PUSH(TValue::Object(made));
            break;
        }
        case opInitArray: {
            KV_TAKE_ARGS(n);
            TObject* array = NewArray(std::vector<TValue>(sp - n, sp));
            sp -= n;
            KV_PUSH(TValue::Object(array));
            break;
        }
        case opInitObject: {
            const double n = ToNumber(KV_POP());
            std::size_t count = n > 0 && std::isfinite(n) ? static_cast<std::size_t>(n) : 0;
            count = std::min(count, static_cast<std::size_t>(sp - base) / 2);
            TObject* obj = NewObject();
            for (std::size_t i = 0; i < count; ++i) {
                const TValue value = KV_POP();
                const TValue name = KV_POP();
                obj->props.Set(Key(name.type == TType::String ? name.str : Intern(ToString(name))), value);
            }
            KV_PUSH(TValue::Object(obj));
            break;
        }
        case opTypeOf:
            KV_LABEL(opTypeOf)
            KV_PUSH(Typeof(KV_POP()));
            KV_FAST_NEXT();
        case opTargetPath: {
            const TValue v = KV_POP();
            if (v.type == TType::Object && v.obj->kind == TObjectKind::Clip && v.obj->clip)
                KV_PUSH(String(TargetPath(v.obj->clip, false)));
            else
                KV_PUSH(TValue());
            break;
        }
        case opEnumerate: {
            const TValue name = KV_POP();
            const TValue obj = GetVariable(f, atomOf(name));
            sp = Enumerate(obj, sp);
            break;
        }
        case opEnumerate2: {
            const TValue obj = KV_POP();
            sp = Enumerate(obj, sp);
            break;
        }
        case opAdd2: {
            KV_LABEL(opAdd2)
            const TValue b = KV_POP();
            const TValue a = KV_POP();
            if (a.type == TType::Number && b.type == TType::Number)
                KV_PUSH(TValue::Number(a.num + b.num));
            else
                KV_PUSH(Add(a, b));
            KV_FAST_NEXT();
        }
        case opLess2: {
            const TValue b = KV_POP();
            const TValue a = KV_POP();
            KV_PUSH(LessThan(a, b));
            break;
        }
        case opGreater: {
            const TValue b = KV_POP();
            const TValue a = KV_POP();
            const TValue r = LessThan(b, a);
            KV_PUSH(r.type == TType::Undefined ? TValue::Bool(false) : r);
            break;
        }
        case opEquals2: {
            KV_LABEL(opEquals2)
            const TValue b = KV_POP();
            const TValue a = KV_POP();
            KV_PUSH(TValue::Bool(Equals(a, b)));
            KV_FAST_NEXT();
        }
        case opStrictEquals: {
            const TValue b = KV_POP();
            const TValue a = KV_POP();
            KV_PUSH(TValue::Bool(StrictEquals(a, b)));
            break;
        }
        case opToNumber:
            KV_PUSH(TValue::Number(ToNumber(KV_POP())));
            break;
        case opToString:
            KV_PUSH(String(ToString(KV_POP())));
            break;
        case opPushDuplicate: {
            const TValue v = sp > base ? sp[-1] : TValue();
            KV_PUSH(v);
            break;
        }
        case opStackSwap: {
            const TValue a = KV_POP();
            const TValue b = KV_POP();
            KV_PUSH(a);
            KV_PUSH(b);
            break;
        }
        case opGetMember: {
            KV_LABEL(opGetMember)
            const TValue name = KV_POP();
            const TValue obj = KV_POP();
            KV_PUSH(GetMember(obj, name.type == TType::String ? name.str : Intern(ToString(name))));
            KV_FAST_NEXT();
        }
        case opSetMember: {
            const TValue value = KV_POP();
            const TValue name = KV_POP();
            const TValue obj = KV_POP();
            SetMember(obj, name.type == TType::String ? name.str : Intern(ToString(name)), value);
            break;
        }
        case opIncrement:
            KV_PUSH(TValue::Number(ToNumber(KV_POP()) + 1));
            break;
        case opDecrement:
            KV_PUSH(TValue::Number(ToNumber(KV_POP()) - 1));
            break;
        case opCallMethod:
        case opNewMethod: {
            KV_LABEL(opCallMethod)
            const TValue name = KV_POP();
            const TValue obj = KV_POP();
            KV_TAKE_ARGS(n);
            const std::span<const TValue> callArgs(sp - n, n);
            const bool unnamed = name.type == TType::Undefined || (name.type == TType::String && name.str == N.empty);
            const TValue fn = unnamed ? obj : GetMember(obj, atomOf(name));
            TValue r;
            KV_SYNC_OUT();
            if (op.code == opNewMethod)
                r = TValue::Object(Construct(fn, callArgs));
            else if (fn.type == TType::Object && fn.obj->kind == TObjectKind::Function)
                r = Call(fn, unnamed ? TValue() : obj, callArgs);
            KV_SYNC_IN();
            sp -= n;
            KV_PUSH(r);
            KV_FAST_NEXT();
        }
        case opInstanceOf: {
            const TValue ctor = KV_POP();
            const TValue obj = KV_POP();
            bool is = false;
            if (obj.type == TType::Object) {
                const TValue proto = GetMember(ctor, N.prototype);
                for (TObject* p = obj.obj->proto; p && !is; p = p->proto)
                    is = proto.type == TType::Object && p == proto.obj;
            }
            KV_PUSH(TValue::Bool(is));
            break;
        }
        case opBitAnd:
        case opBitOr:
        case opBitXor:
        case opBitLShift:
        case opBitRShift:
        case opBitURShift: {
            const std::int32_t b = ToInt32(KV_POP());
            const std::int32_t a = ToInt32(KV_POP());
            double r = 0;
            switch (op.code) {
            case opBitAnd:
                r = a & b;
                break;
            case opBitOr:
                r = a | b;
                break;
            case opBitXor:
                r = a ^ b;
                break;
            case opBitLShift:
                r = static_cast<std::int32_t>(static_cast<std::uint32_t>(a) << (b & 31));
                break;
            case opBitRShift:
                r = a >> (b & 31);
                break;
            default:
                r = static_cast<std::uint32_t>(a) >> (b & 31);
                break;
            }
            KV_PUSH(TValue::Number(r));
            break;
        }
        case opExtends: {
            const TValue superClass = KV_POP();
            const TValue subClass = KV_POP();
            if (subClass.type == TType::Object && superClass.type == TType::Object) {
                const TValue superProto = GetMember(superClass, N.prototype);
                TObject* proto = NewObject(superProto.type == TType::Object ? superProto.obj : FObjectProto);
                proto->props.Set(Key(N.constructor), superClass, 1);
                subClass.obj->props.Set(Key(N.prototype), TValue::Object(proto));
            }
            break;
        }
        case opGotoFrame:
            if (swf::TDisplayObject* c = targetClip())
                FHost->GotoFrame(c, static_cast<int>(op.a) + 1, false);
            break;
        case opGetURL:
            FHost->GetUrl(targetClip(), Str(code.atoms[op.a]), Str(code.atoms[op.a + 1]));
            break;
        case opStoreRegister:
            KV_LABEL(opStoreRegister)
            if (op.a < f.registerCount)
                StoreValue(f.registers[op.a], sp > base ? sp - 1 : nullptr);
            KV_FAST_NEXT();
        case opConstantPool:
            f.pool = &code.pools[op.a];
            break;
        case opWaitForFrame:
        case opWaitForFrame2:
            if (op.code == opWaitForFrame2)
                KV_POP();
            break;  // every frame is loaded: nothing to skip
        case opGotoLabel:
            if (swf::TDisplayObject* c = targetClip())
                FHost->GotoLabel(c, Str(code.atoms[op.a]), false);
            break;
        case opDefineFunction:
        case opDefineFunction2: {
            const TFunctionDef& def = code.functions[op.a];
            TObject* fn = NewObject(FFunctionProto);
            fn->kind = TObjectKind::Function;
            fn->code = codeRef;
            fn->def = &def;
            fn->pool = f.pool;
            fn->scopeChain = f.scopes;
            fn->baseClip = f.baseClip;
            TObject* proto = NewObject();
            proto->props.Set(Key(N.constructor), TValue::Object(fn), 1);
            fn->props.Set(Key(N.prototype), TValue::Object(proto), 1);
            if (def.name >= 0) {
                TObject* holder = f.activation ? f.activation
                                               : (f.targetScope < f.scopes.size() ? f.scopes[f.targetScope] : FGlobal);
                holder->props.Set(Key(def.name), TValue::Object(fn));
            } else {
                KV_PUSH(TValue::Object(fn));
            }
            pc = static_cast<std::uint32_t>(op.b);
            break;
        }
        case opTry: {
            // The try block runs; a throw inside it stops the script (exceptions are not
            // caught here), and the finally block runs after a normal end.
            const auto tryEnd = static_cast<std::uint32_t>(op.b);
            const auto catchEnd = static_cast<std::uint32_t>(code.atoms[static_cast<std::size_t>(op.c) + 1]);
            const auto finallyEnd = static_cast<std::uint32_t>(code.atoms[static_cast<std::size_t>(op.c) + 2]);
            KV_SYNC_OUT();
            const TValue r = Execute(codeRef, pc, tryEnd, f);
            if (f.returned || FAborted) {
                result = r;
                goto finished;
            }
            if (op.a & 2) {
                const TValue fr = Execute(codeRef, catchEnd, finallyEnd, f);
                if (f.returned) {
                    result = fr;
                    goto finished;
                }
            }
            KV_SYNC_IN();
            pc = finallyEnd;
            break;
        }
        case opWith: {
            const TValue obj = KV_POP();
            const auto bodyEnd = static_cast<std::uint32_t>(op.b);
            if (obj.type != TType::Object) {
                pc = bodyEnd;
                break;
            }
            f.scopes.push_back(obj.obj);
            KV_SYNC_OUT();
            const TValue r = Execute(codeRef, pc, bodyEnd, f);
            KV_SYNC_IN();
            f.scopes.pop_back();
            if (f.returned) {
                result = r;
                goto finished;
            }
            pc = f.exitPc;
            break;
        }
        case opPush:
            KV_LABEL(opPush)
            KV_DO_PUSH(op);
            KV_FAST_NEXT();
        case opJump:
            KV_LABEL(opJump)
            pc = static_cast<std::uint32_t>(op.b);
            KV_FAST_NEXT();
        case opIf:
            KV_LABEL(opIf)
            if (Truthy(KV_POP()))
                pc = static_cast<std::uint32_t>(op.b);
            KV_FAST_NEXT();
        case opGetURL2: {
            const TValue target = KV_POP();
            const TValue url = KV_POP();
            QString targetText;
            if (target.type == TType::Object && target.obj->kind == TObjectKind::Clip && target.obj->clip)
                targetText = TargetPath(target.obj->clip, false);
            else
                targetText = ToString(target);
            FHost->GetUrl(targetClip(), ToString(url), targetText);
            break;
        }
        case opCall:
            KV_POP();
            Error(QStringLiteral("call() of frame actions is not supported"));
            break;
        case opGotoFrame2: {
            const TValue frame = KV_POP();
            const bool play = op.a & 1;
            swf::TDisplayObject* clip = targetClip();
            if (frame.type == TType::String) {
                QString text = Str(frame.str);
                const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
                if (colon >= 0) {
                    clip = ResolveTarget(f, text.left(colon));
                    text = text.mid(colon + 1);
                }
                if (!clip)
                    break;
                bool isNumber = false;
                const int n = text.toInt(&isNumber);
                if (isNumber)
                    FHost->GotoFrame(clip, n + op.c, play);
                else
                    FHost->GotoLabel(clip, text, play);
            } else if (clip) {
                const double n = ToNumber(frame);
                if (std::isfinite(n))
                    FHost->GotoFrame(clip, std::max(1, static_cast<int>(n) + op.c), play);
            }
            break;
        }
        default:
            break;  // unknown actions are skipped, as players do
        }
    }
finished:
    f.exitPc = pc;
    FSp = base;
    FOperations = operations;
#undef KV_PUSH_BOOL
#undef KV_FAST_NEXT
#undef KV_LABEL
#undef op
#if KV_THREADED
#undef KV_DISPATCH
#endif
#undef KV_ITEM_VALUE
#undef KV_DO_PUSH
#undef KV_TAKE_ARGS
#undef KV_POP
#undef KV_PUSH
#undef KV_SYNC_OUT
#undef KV_SYNC_IN
    return result;
}

// ---------------------------------------------------------------------------------------
// Collection

void TAvm1::Collect(std::span<const TValue> roots)
{
    const bool due = FObjects.size() > FObjectsAtLastCollect * 2 + 4096 ||
                     FStrings.size() - FFreeAtoms.size() > FStringsAtLastCollect * 2 + 8192;
    if (!due || FDepth != 0)
        return;
    for (auto& o : FObjects)
        o->marked = false;
    for (TString& s : FStrings)
        s.marked = false;
    std::vector<TObject*> work;
    auto markAtom = [&](std::int32_t a) {
        if (a < 0 || static_cast<std::size_t>(a) >= FStrings.size())
            return;
        FStrings[static_cast<std::size_t>(a)].marked = true;
        const std::int32_t folded = FStrings[static_cast<std::size_t>(a)].folded;
        if (folded >= 0)
            FStrings[static_cast<std::size_t>(folded)].marked = true;
    };
    auto markValue = [&](const TValue& v) {
        if (v.type == TType::String)
            markAtom(v.str);
        else if (v.type == TType::Object && !v.obj->marked) {
            v.obj->marked = true;
            work.push_back(v.obj);
        }
    };
    auto markObject = [&](TObject* o) {
        if (o)
            markValue(TValue::Object(o));
    };
    markObject(FGlobal);
    markObject(FObjectProto);
    markObject(FFunctionProto);
    markObject(FArrayProto);
    markObject(FClipProto);
    markObject(FStringProto);
    for (auto& [clip, obj] : FClipObjects)
        markObject(obj);
    for (const TCallback& cb : FCallbacks) {
        markValue(cb.thisValue);
        markValue(cb.function);
    }
    for (const TValue* v = FStackMem.get(); v < FSp; ++v)
        markValue(*v);
    for (const TValue& v : roots)
        markValue(v);
    while (!work.empty()) {
        TObject* o = work.back();
        work.pop_back();
        markObject(o->proto);
        for (const TPropMap::TEntry& e : o->props.Entries()) {
            markAtom(e.key);
            markValue(e.value);
        }
        for (const TValue& v : o->elements)
            markValue(v);
        for (TObject* s : o->scopeChain)
            markObject(s);
        for (const TObject::TChildName& c : o->childNames)
            markAtom(c.atom);
    }
    std::erase_if(FObjects, [](const std::unique_ptr<TObject>& o) { return !o->marked; });
    for (std::size_t i = 0; i < FStrings.size(); ++i) {
        TString& s = FStrings[i];
        if (s.pinned || s.marked || (s.text.isNull() && s.folded == -2))
            continue;
        FStringIndex.remove(s.text);
        s = TString{};
        s.folded = -2;  // free
        FFreeAtoms.push_back(static_cast<std::int32_t>(i));
    }
    // A folded atom may have been freed: forget every cached folding of the survivors.
    for (TString& s : FStrings)
        if (s.folded >= 0 && FStrings[static_cast<std::size_t>(s.folded)].folded == -2)
            s.folded = -1;
    FObjectsAtLastCollect = FObjects.size();
    FStringsAtLastCollect = FStrings.size() - FFreeAtoms.size();
}

// ---------------------------------------------------------------------------------------
// Built-in objects

struct TBuiltins {
    static TValue Arg(std::span<const TValue> args, std::size_t i) { return i < args.size() ? args[i] : TValue(); }
    static double Num(TAvm1& vm, std::span<const TValue> args, std::size_t i) { return vm.ToNumber(Arg(args, i)); }

    static swf::TDisplayObject* ThisClip(TValue thisValue)
    {
        if (thisValue.type == TType::Object && thisValue.obj->kind == TObjectKind::Clip)
            return thisValue.obj->clip;
        return nullptr;
    }

    // Math
    static TValue MathAbs(TAvm1& vm, TValue, std::span<const TValue> a) { return TValue::Number(std::abs(Num(vm, a, 0))); }
    static TValue MathRound(TAvm1& vm, TValue, std::span<const TValue> a)
    {
        return TValue::Number(std::floor(Num(vm, a, 0) + 0.5));
    }
    static TValue MathFloor(TAvm1& vm, TValue, std::span<const TValue> a) { return TValue::Number(std::floor(Num(vm, a, 0))); }
    static TValue MathCeil(TAvm1& vm, TValue, std::span<const TValue> a) { return TValue::Number(std::ceil(Num(vm, a, 0))); }
    static TValue MathSqrt(TAvm1& vm, TValue, std::span<const TValue> a) { return TValue::Number(std::sqrt(Num(vm, a, 0))); }
    static TValue MathSin(TAvm1& vm, TValue, std::span<const TValue> a) { return TValue::Number(std::sin(Num(vm, a, 0))); }
    static TValue MathCos(TAvm1& vm, TValue, std::span<const TValue> a) { return TValue::Number(std::cos(Num(vm, a, 0))); }
    static TValue MathTan(TAvm1& vm, TValue, std::span<const TValue> a) { return TValue::Number(std::tan(Num(vm, a, 0))); }
    static TValue MathAtan(TAvm1& vm, TValue, std::span<const TValue> a) { return TValue::Number(std::atan(Num(vm, a, 0))); }
    static TValue MathAsin(TAvm1& vm, TValue, std::span<const TValue> a) { return TValue::Number(std::asin(Num(vm, a, 0))); }
    static TValue MathAcos(TAvm1& vm, TValue, std::span<const TValue> a) { return TValue::Number(std::acos(Num(vm, a, 0))); }
    static TValue MathExp(TAvm1& vm, TValue, std::span<const TValue> a) { return TValue::Number(std::exp(Num(vm, a, 0))); }
    static TValue MathLog(TAvm1& vm, TValue, std::span<const TValue> a) { return TValue::Number(std::log(Num(vm, a, 0))); }
    static TValue MathAtan2(TAvm1& vm, TValue, std::span<const TValue> a)
    {
        return TValue::Number(std::atan2(Num(vm, a, 0), Num(vm, a, 1)));
    }
    static TValue MathPow(TAvm1& vm, TValue, std::span<const TValue> a)
    {
        return TValue::Number(std::pow(Num(vm, a, 0), Num(vm, a, 1)));
    }
    static TValue MathMin(TAvm1& vm, TValue, std::span<const TValue> a)
    {
        if (a.empty())
            return TValue::Number(std::numeric_limits<double>::infinity());
        const double x = Num(vm, a, 0), y = a.size() > 1 ? Num(vm, a, 1) : x;
        return TValue::Number(std::isnan(x) || std::isnan(y) ? std::nan("") : std::min(x, y));
    }
    static TValue MathMax(TAvm1& vm, TValue, std::span<const TValue> a)
    {
        if (a.empty())
            return TValue::Number(-std::numeric_limits<double>::infinity());
        const double x = Num(vm, a, 0), y = a.size() > 1 ? Num(vm, a, 1) : x;
        return TValue::Number(std::isnan(x) || std::isnan(y) ? std::nan("") : std::max(x, y));
    }
    static TValue MathRandom(TAvm1&, TValue, std::span<const TValue>)
    {
        return TValue::Number(QRandomGenerator::global()->generateDouble());
    }

    // Global functions
    static TValue ToStringFn(TAvm1& vm, TValue, std::span<const TValue> a) { return vm.String(vm.ToString(Arg(a, 0))); }
    static TValue ToNumberFn(TAvm1& vm, TValue, std::span<const TValue> a) { return TValue::Number(vm.ToNumber(Arg(a, 0))); }
    static TValue ToBooleanFn(TAvm1& vm, TValue, std::span<const TValue> a) { return TValue::Bool(vm.ToBoolean(Arg(a, 0))); }
    static TValue IsNaN(TAvm1& vm, TValue, std::span<const TValue> a) { return TValue::Bool(std::isnan(Num(vm, a, 0))); }
    static TValue IsFinite(TAvm1& vm, TValue, std::span<const TValue> a) { return TValue::Bool(std::isfinite(Num(vm, a, 0))); }
    static TValue ParseInt(TAvm1& vm, TValue, std::span<const TValue> a)
    {
        QString s = vm.ToString(Arg(a, 0)).trimmed();
        int radix = a.size() > 1 ? vm.ToInt32(a[1]) : 10;
        bool negative = false;
        if (s.startsWith(QLatin1Char('-')) || s.startsWith(QLatin1Char('+'))) {
            negative = s[0] == QLatin1Char('-');
            s.remove(0, 1);
        }
        if ((a.size() < 2 || radix == 16) && (s.startsWith(QLatin1String("0x")) || s.startsWith(QLatin1String("0X")))) {
            s.remove(0, 2);
            radix = 16;
        }
        if (radix < 2 || radix > 36)
            return TValue::Number(std::nan(""));
        double v = 0;
        int digits = 0;
        for (QChar c : s) {
            int d = c.isDigit() ? c.digitValue() : (c.toLower().unicode() >= 'a' && c.toLower().unicode() <= 'z' ? c.toLower().unicode() - 'a' + 10 : 99);
            if (d >= radix)
                break;
            v = v * radix + d;
            ++digits;
        }
        if (digits == 0)
            return TValue::Number(std::nan(""));
        return TValue::Number(negative ? -v : v);
    }
    static TValue ParseFloat(TAvm1& vm, TValue, std::span<const TValue> a)
    {
        const QByteArray s = vm.ToString(Arg(a, 0)).trimmed().toLatin1();
        char* end = nullptr;
        const double v = std::strtod(s.constData(), &end);
        return TValue::Number(end == s.constData() ? std::nan("") : v);
    }
    static TValue GetTimer(TAvm1&, TValue, std::span<const TValue>)
    {
        static QElapsedTimer clock = [] {
            QElapsedTimer t;
            t.start();
            return t;
        }();
        return TValue::Number(static_cast<double>(clock.elapsed()));
    }
    static TValue Nothing(TAvm1&, TValue, std::span<const TValue>) { return TValue(); }

    // Object and Array
    static TValue ObjectCtor(TAvm1& vm, TValue thisValue, std::span<const TValue> a)
    {
        if (!a.empty() && a[0].type == TType::Object)
            return a[0];
        if (thisValue.type == TType::Object)
            return thisValue;
        return TValue::Object(vm.NewObject());
    }
    static TValue ObjectToString(TAvm1& vm, TValue thisValue, std::span<const TValue>)
    {
        return vm.String(vm.ToString(thisValue));
    }
    static TValue ObjectValueOf(TAvm1&, TValue thisValue, std::span<const TValue>) { return thisValue; }
    static TValue HasOwnProperty(TAvm1& vm, TValue thisValue, std::span<const TValue> a)
    {
        if (thisValue.type != TType::Object)
            return TValue::Bool(false);
        return TValue::Bool(thisValue.obj->props.Find(vm.Key(vm.Intern(vm.ToString(Arg(a, 0))))) != nullptr);
    }
    static TValue ArrayCtor(TAvm1& vm, TValue, std::span<const TValue> a)
    {
        if (a.size() == 1 && a[0].type == TType::Number) {
            const double n = a[0].num;
            return TValue::Object(vm.NewArray(std::vector<TValue>(n >= 0 && n < (1 << 24) ? static_cast<std::size_t>(n) : 0)));
        }
        return TValue::Object(vm.NewArray(std::vector<TValue>(a.begin(), a.end())));
    }
    static TObject* ThisArray(TValue thisValue)
    {
        return thisValue.type == TType::Object && thisValue.obj->kind == TObjectKind::Array ? thisValue.obj : nullptr;
    }
    static TValue ArrayPush(TAvm1&, TValue thisValue, std::span<const TValue> a)
    {
        TObject* arr = ThisArray(thisValue);
        if (!arr)
            return TValue();
        arr->elements.insert(arr->elements.end(), a.begin(), a.end());
        return TValue::Number(static_cast<double>(arr->elements.size()));
    }
    static TValue ArrayPop(TAvm1&, TValue thisValue, std::span<const TValue>)
    {
        TObject* arr = ThisArray(thisValue);
        if (!arr || arr->elements.empty())
            return TValue();
        const TValue v = arr->elements.back();
        arr->elements.pop_back();
        return v;
    }
    static TValue ArrayShift(TAvm1&, TValue thisValue, std::span<const TValue>)
    {
        TObject* arr = ThisArray(thisValue);
        if (!arr || arr->elements.empty())
            return TValue();
        const TValue v = arr->elements.front();
        arr->elements.erase(arr->elements.begin());
        return v;
    }
    static TValue ArrayUnshift(TAvm1&, TValue thisValue, std::span<const TValue> a)
    {
        TObject* arr = ThisArray(thisValue);
        if (!arr)
            return TValue();
        arr->elements.insert(arr->elements.begin(), a.begin(), a.end());
        return TValue::Number(static_cast<double>(arr->elements.size()));
    }
    static TValue ArrayJoin(TAvm1& vm, TValue thisValue, std::span<const TValue> a)
    {
        TObject* arr = ThisArray(thisValue);
        if (!arr)
            return TValue();
        const QString sep = a.empty() || a[0].IsUndefined() ? QStringLiteral(",") : vm.ToString(a[0]);
        QStringList parts;
        for (const TValue& e : arr->elements)
            parts.append(e.type == TType::Undefined || e.type == TType::Null ? QString() : vm.ToString(e));
        return vm.String(parts.join(sep));
    }
    static TValue ArrayReverse(TAvm1&, TValue thisValue, std::span<const TValue>)
    {
        if (TObject* arr = ThisArray(thisValue))
            std::reverse(arr->elements.begin(), arr->elements.end());
        return thisValue;
    }
    static TValue ArraySlice(TAvm1& vm, TValue thisValue, std::span<const TValue> a)
    {
        TObject* arr = ThisArray(thisValue);
        if (!arr)
            return TValue();
        const auto n = static_cast<std::int64_t>(arr->elements.size());
        auto clampIndex = [n](double i) {
            if (std::isnan(i))
                return std::int64_t{0};
            const auto k = static_cast<std::int64_t>(std::clamp(i < 0 ? n + i : i, 0.0, static_cast<double>(n)));
            return k;
        };
        const std::int64_t from = clampIndex(a.empty() ? 0 : vm.ToNumber(a[0]));
        const std::int64_t to = clampIndex(a.size() < 2 ? static_cast<double>(n) : vm.ToNumber(a[1]));
        std::vector<TValue> out;
        for (std::int64_t i = from; i < to; ++i)
            out.push_back(arr->elements[static_cast<std::size_t>(i)]);
        return TValue::Object(vm.NewArray(std::move(out)));
    }
    static TValue ArrayConcat(TAvm1& vm, TValue thisValue, std::span<const TValue> a)
    {
        TObject* arr = ThisArray(thisValue);
        std::vector<TValue> out = arr ? arr->elements : std::vector<TValue>{};
        for (const TValue& v : a) {
            if (TObject* other = ThisArray(v))
                out.insert(out.end(), other->elements.begin(), other->elements.end());
            else
                out.push_back(v);
        }
        return TValue::Object(vm.NewArray(std::move(out)));
    }

    // Functions
    static TValue FunctionCall(TAvm1& vm, TValue thisValue, std::span<const TValue> a)
    {
        return vm.Call(thisValue, Arg(a, 0), a.empty() ? a : a.subspan(1));
    }
    static TValue FunctionApply(TAvm1& vm, TValue thisValue, std::span<const TValue> a)
    {
        std::vector<TValue> args;
        if (TObject* arr = ThisArray(Arg(a, 1)))
            args = arr->elements;
        return vm.Call(thisValue, Arg(a, 0), args);
    }

    // Strings
    static QString ThisString(TAvm1& vm, TValue thisValue) { return vm.ToString(thisValue); }
    static TValue StrCharAt(TAvm1& vm, TValue t, std::span<const TValue> a)
    {
        const QString s = ThisString(vm, t);
        const std::int32_t i = vm.ToInt32(Arg(a, 0));
        return vm.String(i >= 0 && i < s.size() ? QString(s.at(i)) : QString());
    }
    static TValue StrCharCodeAt(TAvm1& vm, TValue t, std::span<const TValue> a)
    {
        const QString s = ThisString(vm, t);
        const std::int32_t i = vm.ToInt32(Arg(a, 0));
        return TValue::Number(i >= 0 && i < s.size() ? s.at(i).unicode() : std::nan(""));
    }
    static TValue StrIndexOf(TAvm1& vm, TValue t, std::span<const TValue> a)
    {
        const QString s = ThisString(vm, t);
        const std::int32_t from = a.size() > 1 ? std::max(0, vm.ToInt32(a[1])) : 0;
        return TValue::Number(static_cast<double>(s.indexOf(vm.ToString(Arg(a, 0)), from)));
    }
    static TValue StrLastIndexOf(TAvm1& vm, TValue t, std::span<const TValue> a)
    {
        const QString s = ThisString(vm, t);
        return TValue::Number(static_cast<double>(s.lastIndexOf(vm.ToString(Arg(a, 0)))));
    }
    static TValue StrSubstr(TAvm1& vm, TValue t, std::span<const TValue> a)
    {
        const QString s = ThisString(vm, t);
        std::int32_t from = vm.ToInt32(Arg(a, 0));
        if (from < 0)
            from = std::max<std::int32_t>(0, static_cast<std::int32_t>(s.size()) + from);
        const std::int32_t count = a.size() > 1 && !a[1].IsUndefined() ? vm.ToInt32(a[1]) : static_cast<std::int32_t>(s.size());
        return vm.String(count <= 0 ? QString() : s.mid(from, count));
    }
    static TValue StrSubstring(TAvm1& vm, TValue t, std::span<const TValue> a)
    {
        const QString s = ThisString(vm, t);
        const auto n = static_cast<std::int32_t>(s.size());
        std::int32_t from = std::clamp(vm.ToInt32(Arg(a, 0)), 0, n);
        std::int32_t to = a.size() > 1 && !a[1].IsUndefined() ? std::clamp(vm.ToInt32(a[1]), 0, n) : n;
        if (from > to)
            std::swap(from, to);
        return vm.String(s.mid(from, to - from));
    }
    static TValue StrSlice(TAvm1& vm, TValue t, std::span<const TValue> a)
    {
        const QString s = ThisString(vm, t);
        const auto n = static_cast<std::int32_t>(s.size());
        auto norm = [n](std::int32_t i) { return std::clamp(i < 0 ? n + i : i, 0, n); };
        const std::int32_t from = norm(vm.ToInt32(Arg(a, 0)));
        const std::int32_t to = a.size() > 1 && !a[1].IsUndefined() ? norm(vm.ToInt32(a[1])) : n;
        return vm.String(to > from ? s.mid(from, to - from) : QString());
    }
    static TValue StrToUpper(TAvm1& vm, TValue t, std::span<const TValue>) { return vm.String(ThisString(vm, t).toUpper()); }
    static TValue StrToLower(TAvm1& vm, TValue t, std::span<const TValue>) { return vm.String(ThisString(vm, t).toLower()); }
    static TValue StrSplit(TAvm1& vm, TValue t, std::span<const TValue> a)
    {
        const QString s = ThisString(vm, t);
        std::vector<TValue> out;
        if (a.empty() || a[0].IsUndefined()) {
            out.push_back(vm.String(s));
        } else {
            const QString sep = vm.ToString(a[0]);
            const QStringList parts = sep.isEmpty() ? QStringList() : s.split(sep);
            if (sep.isEmpty())
                for (QChar c : s)
                    out.push_back(vm.String(QString(c)));
            for (const QString& p : parts)
                out.push_back(vm.String(p));
        }
        return TValue::Object(vm.NewArray(std::move(out)));
    }
    static TValue StrConcat(TAvm1& vm, TValue t, std::span<const TValue> a)
    {
        QString s = ThisString(vm, t);
        for (const TValue& v : a)
            s += vm.ToString(v);
        return vm.String(s);
    }

    // Movie clips
    static TValue ClipPlay(TAvm1& vm, TValue t, std::span<const TValue>)
    {
        if (swf::TDisplayObject* c = ThisClip(t))
            vm.Host()->SetPlaying(c, true);
        return TValue();
    }
    static TValue ClipStop(TAvm1& vm, TValue t, std::span<const TValue>)
    {
        if (swf::TDisplayObject* c = ThisClip(t))
            vm.Host()->SetPlaying(c, false);
        return TValue();
    }
    static void Goto(TAvm1& vm, TValue t, std::span<const TValue> a, bool play)
    {
        swf::TDisplayObject* c = ThisClip(t);
        if (!c || a.empty())
            return;
        if (a[0].type == TType::String) {
            const QString label = vm.Str(a[0].str);
            bool isNumber = false;
            const int n = label.toInt(&isNumber);
            if (isNumber)
                vm.Host()->GotoFrame(c, n, play);
            else
                vm.Host()->GotoLabel(c, label, play);
            return;
        }
        const double n = vm.ToNumber(a[0]);
        if (std::isfinite(n))
            vm.Host()->GotoFrame(c, std::max(1, static_cast<int>(n)), play);
    }
    static TValue ClipGotoAndPlay(TAvm1& vm, TValue t, std::span<const TValue> a)
    {
        Goto(vm, t, a, true);
        return TValue();
    }
    static TValue ClipGotoAndStop(TAvm1& vm, TValue t, std::span<const TValue> a)
    {
        Goto(vm, t, a, false);
        return TValue();
    }
    static TValue ClipNextFrame(TAvm1& vm, TValue t, std::span<const TValue>)
    {
        if (swf::TDisplayObject* c = ThisClip(t))
            vm.Host()->GotoFrame(c, c->currentFrame + 1, false);
        return TValue();
    }
    static TValue ClipPrevFrame(TAvm1& vm, TValue t, std::span<const TValue>)
    {
        if (swf::TDisplayObject* c = ThisClip(t))
            vm.Host()->GotoFrame(c, std::max(1, c->currentFrame - 1), false);
        return TValue();
    }
    static TValue ClipHitTest(TAvm1& vm, TValue t, std::span<const TValue> a)
    {
        swf::TDisplayObject* c = ThisClip(t);
        if (!c)
            return TValue::Bool(false);
        if (a.size() >= 2) {
            const double x = vm.Num(a[0]);
            const double y = vm.Num(a[1]);
            if (std::isnan(x) || std::isnan(y))
                return TValue::Bool(false);
            const bool shape = a.size() > 2 && vm.Truthy(a[2]);
            return TValue::Bool(vm.Host()->HitTestPoint(c, QPointF(x, y), shape));
        }
        if (a.size() == 1) {
            swf::TDisplayObject* other = ThisClip(a[0]);
            if (!other)
                return TValue::Bool(false);
            const QRectF r1 = vm.Host()->Bounds(c, nullptr);
            const QRectF r2 = vm.Host()->Bounds(other, nullptr);
            return TValue::Bool(!r1.isEmpty() && !r2.isEmpty() && r1.intersects(r2));
        }
        return TValue::Bool(false);
    }
    static TValue ClipGetBounds(TAvm1& vm, TValue t, std::span<const TValue> a)
    {
        swf::TDisplayObject* c = ThisClip(t);
        if (!c)
            return TValue();
        swf::TDisplayObject* space = a.empty() ? c : ThisClip(a[0]);
        const QRectF r = vm.Host()->Bounds(c, space);
        TObject* o = vm.NewObject();
        auto set = [&](const char* name, double v) { o->props.Set(vm.Key(vm.Intern(QString::fromLatin1(name))), TValue::Number(v)); };
        if (r.isNull()) {
            set("xMin", 6710886.35);
            set("xMax", 6710886.35);
            set("yMin", 6710886.35);
            set("yMax", 6710886.35);
        } else {
            set("xMin", r.left());
            set("xMax", r.right());
            set("yMin", r.top());
            set("yMax", r.bottom());
        }
        return TValue::Object(o);
    }
    static void MapPoint(TAvm1& vm, TValue t, std::span<const TValue> a, bool toGlobal)
    {
        swf::TDisplayObject* c = ThisClip(t);
        const TValue pt = Arg(a, 0);
        if (!c || pt.type != TType::Object)
            return;
        const std::int32_t xKey = vm.Intern(QStringLiteral("x"));
        const std::int32_t yKey = vm.Intern(QStringLiteral("y"));
        const QPointF p(vm.ToNumber(vm.GetMember(pt, xKey)) * 20.0, vm.ToNumber(vm.GetMember(pt, yKey)) * 20.0);
        const QTransform toStage = c->ToStage();
        const QPointF out = toGlobal ? toStage.map(p) : toStage.inverted().map(p);
        vm.SetMember(pt, xKey, TValue::Number(out.x() / 20.0));
        vm.SetMember(pt, yKey, TValue::Number(out.y() / 20.0));
    }
    static TValue ClipLocalToGlobal(TAvm1& vm, TValue t, std::span<const TValue> a)
    {
        MapPoint(vm, t, a, true);
        return TValue();
    }
    static TValue ClipGlobalToLocal(TAvm1& vm, TValue t, std::span<const TValue> a)
    {
        MapPoint(vm, t, a, false);
        return TValue();
    }
    static TValue ClipGetDepth(TAvm1&, TValue t, std::span<const TValue>)
    {
        swf::TDisplayObject* c = ThisClip(t);
        return c ? TValue::Number(c->depth - 16384) : TValue();
    }
    static TValue ClipLoadMovie(TAvm1& vm, TValue t, std::span<const TValue> a)
    {
        if (swf::TDisplayObject* c = ThisClip(t))
            vm.Host()->GetUrl(c, vm.ToString(Arg(a, 0)), vm.TargetPath(c, false));
        return TValue();
    }
    static TValue ClipBytes(TAvm1&, TValue, std::span<const TValue>) { return TValue::Number(1); }

    // ExternalInterface
    static TValue AddCallback(TAvm1& vm, TValue, std::span<const TValue> a)
    {
        const QString name = vm.ToString(Arg(a, 0));
        const TValue fn = Arg(a, 2);
        if (name.isEmpty() || fn.type != TType::Object || fn.obj->kind != TObjectKind::Function)
            return TValue::Bool(false);
        vm.FCallbacks.insert(name, TAvm1::TCallback{Arg(a, 1), fn});
        return TValue::Bool(true);
    }
};

void TAvm1::InstallBuiltins()
{
    FObjects.clear();
    FObjectProto = nullptr;
    FObjectProto = NewObject(nullptr);
    FObjectProto->proto = nullptr;
    FFunctionProto = NewObject(FObjectProto);
    FArrayProto = NewObject(FObjectProto);
    FClipProto = NewObject(FObjectProto);
    FStringProto = NewObject(FObjectProto);
    FGlobal = NewObject(FObjectProto);

    auto key = [this](const char* name) { return Key(PinnedAtom(name)); };
    auto method = [&](TObject* holder, const char* name, TNativeFn fn) {
        holder->props.Set(key(name), TValue::Object(NewNative(fn)), 1);
    };
    auto constructor = [&](const char* name, TNativeFn fn, TObject* proto) {
        TObject* ctor = NewNative(fn);
        ctor->props.Set(key("prototype"), TValue::Object(proto), 1);
        proto->props.Set(key("constructor"), TValue::Object(ctor), 1);
        FGlobal->props.Set(key(name), TValue::Object(ctor), 1);
        return ctor;
    };

    method(FObjectProto, "toString", &TBuiltins::ObjectToString);
    method(FObjectProto, "valueOf", &TBuiltins::ObjectValueOf);
    method(FObjectProto, "hasOwnProperty", &TBuiltins::HasOwnProperty);
    method(FFunctionProto, "call", &TBuiltins::FunctionCall);
    method(FFunctionProto, "apply", &TBuiltins::FunctionApply);
    constructor("Object", &TBuiltins::ObjectCtor, FObjectProto);
    constructor("Array", &TBuiltins::ArrayCtor, FArrayProto);
    method(FArrayProto, "push", &TBuiltins::ArrayPush);
    method(FArrayProto, "pop", &TBuiltins::ArrayPop);
    method(FArrayProto, "shift", &TBuiltins::ArrayShift);
    method(FArrayProto, "unshift", &TBuiltins::ArrayUnshift);
    method(FArrayProto, "join", &TBuiltins::ArrayJoin);
    method(FArrayProto, "toString", &TBuiltins::ArrayJoin);
    method(FArrayProto, "reverse", &TBuiltins::ArrayReverse);
    method(FArrayProto, "slice", &TBuiltins::ArraySlice);
    method(FArrayProto, "concat", &TBuiltins::ArrayConcat);
    constructor("String", &TBuiltins::ToStringFn, FStringProto);
    method(FStringProto, "charAt", &TBuiltins::StrCharAt);
    method(FStringProto, "charCodeAt", &TBuiltins::StrCharCodeAt);
    method(FStringProto, "indexOf", &TBuiltins::StrIndexOf);
    method(FStringProto, "lastIndexOf", &TBuiltins::StrLastIndexOf);
    method(FStringProto, "substr", &TBuiltins::StrSubstr);
    method(FStringProto, "substring", &TBuiltins::StrSubstring);
    method(FStringProto, "slice", &TBuiltins::StrSlice);
    method(FStringProto, "toUpperCase", &TBuiltins::StrToUpper);
    method(FStringProto, "toLowerCase", &TBuiltins::StrToLower);
    method(FStringProto, "split", &TBuiltins::StrSplit);
    method(FStringProto, "concat", &TBuiltins::StrConcat);
    method(FStringProto, "toString", &TBuiltins::ToStringFn);
    constructor("Number", &TBuiltins::ToNumberFn, NewObject(FObjectProto));
    constructor("Boolean", &TBuiltins::ToBooleanFn, NewObject(FObjectProto));
    constructor("MovieClip", &TBuiltins::ObjectCtor, FClipProto);
    method(FClipProto, "play", &TBuiltins::ClipPlay);
    method(FClipProto, "stop", &TBuiltins::ClipStop);
    method(FClipProto, "gotoAndPlay", &TBuiltins::ClipGotoAndPlay);
    method(FClipProto, "gotoAndStop", &TBuiltins::ClipGotoAndStop);
    method(FClipProto, "nextFrame", &TBuiltins::ClipNextFrame);
    method(FClipProto, "prevFrame", &TBuiltins::ClipPrevFrame);
    method(FClipProto, "hitTest", &TBuiltins::ClipHitTest);
    method(FClipProto, "getBounds", &TBuiltins::ClipGetBounds);
    method(FClipProto, "localToGlobal", &TBuiltins::ClipLocalToGlobal);
    method(FClipProto, "globalToLocal", &TBuiltins::ClipGlobalToLocal);
    method(FClipProto, "getDepth", &TBuiltins::ClipGetDepth);
    method(FClipProto, "loadMovie", &TBuiltins::ClipLoadMovie);
    method(FClipProto, "getBytesLoaded", &TBuiltins::ClipBytes);
    method(FClipProto, "getBytesTotal", &TBuiltins::ClipBytes);

    method(FGlobal, "isNaN", &TBuiltins::IsNaN);
    method(FGlobal, "isFinite", &TBuiltins::IsFinite);
    method(FGlobal, "parseInt", &TBuiltins::ParseInt);
    method(FGlobal, "parseFloat", &TBuiltins::ParseFloat);
    method(FGlobal, "getTimer", &TBuiltins::GetTimer);
    method(FGlobal, "ASSetPropFlags", &TBuiltins::Nothing);
    method(FGlobal, "setInterval", &TBuiltins::Nothing);
    method(FGlobal, "clearInterval", &TBuiltins::Nothing);
    FGlobal->props.Set(key("NaN"), TValue::Number(std::nan("")), 1);
    FGlobal->props.Set(key("Infinity"), TValue::Number(std::numeric_limits<double>::infinity()), 1);

    TObject* math = NewObject(FObjectProto);
    FGlobal->props.Set(key("Math"), TValue::Object(math), 1);
    method(math, "abs", &TBuiltins::MathAbs);
    method(math, "round", &TBuiltins::MathRound);
    method(math, "floor", &TBuiltins::MathFloor);
    method(math, "ceil", &TBuiltins::MathCeil);
    method(math, "sqrt", &TBuiltins::MathSqrt);
    method(math, "sin", &TBuiltins::MathSin);
    method(math, "cos", &TBuiltins::MathCos);
    method(math, "tan", &TBuiltins::MathTan);
    method(math, "atan", &TBuiltins::MathAtan);
    method(math, "asin", &TBuiltins::MathAsin);
    method(math, "acos", &TBuiltins::MathAcos);
    method(math, "atan2", &TBuiltins::MathAtan2);
    method(math, "exp", &TBuiltins::MathExp);
    method(math, "log", &TBuiltins::MathLog);
    method(math, "pow", &TBuiltins::MathPow);
    method(math, "min", &TBuiltins::MathMin);
    method(math, "max", &TBuiltins::MathMax);
    method(math, "random", &TBuiltins::MathRandom);
    math->props.Set(key("PI"), TValue::Number(std::numbers::pi), 1);
    math->props.Set(key("E"), TValue::Number(std::numbers::e), 1);
    math->props.Set(key("SQRT2"), TValue::Number(std::numbers::sqrt2), 1);
    math->props.Set(key("SQRT1_2"), TValue::Number(std::numbers::sqrt2 / 2), 1);
    math->props.Set(key("LN2"), TValue::Number(std::numbers::ln2), 1);
    math->props.Set(key("LN10"), TValue::Number(std::numbers::ln10), 1);
    math->props.Set(key("LOG2E"), TValue::Number(std::numbers::log2e), 1);
    math->props.Set(key("LOG10E"), TValue::Number(std::numbers::log10e), 1);

    // flash.external.ExternalInterface; hidden from movies before version 8, as players do.
    TObject* flash = NewObject(FObjectProto);
    TObject* external = NewObject(FObjectProto);
    TObject* ei = NewObject(FObjectProto);
    FGlobal->props.Set(key("flash"), TValue::Object(flash), 1);
    flash->props.Set(key("external"), TValue::Object(external), 1);
    external->props.Set(key("ExternalInterface"), TValue::Object(ei), 1);
    method(ei, "addCallback", &TBuiltins::AddCallback);
    method(ei, "call", &TBuiltins::Nothing);
    ei->props.Set(key("available"), TValue::Bool(true), 1);
}

// ---------------------------------------------------------------------------------------
// The external-interface XML protocol

namespace {

QString XmlEscape(const QString& s)
{
    QString out;
    out.reserve(s.size());
    for (QChar c : s) {
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '"':
            out += QLatin1String("&quot;");
            break;
        case '\'':
            out += QLatin1String("&apos;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

void ValueToXmlInto(TAvm1& vm, TValue v, QString& out, int depth)
{
    switch (v.type) {
    case TType::Undefined:
        out += QLatin1String("<undefined/>");
        return;
    case TType::Null:
        out += QLatin1String("<null/>");
        return;
    case TType::Boolean:
        out += v.b ? QLatin1String("<true/>") : QLatin1String("<false/>");
        return;
    case TType::Number:
        out += QLatin1String("<number>") + TAvm1::NumberToString(v.num) + QLatin1String("</number>");
        return;
    case TType::String:
        out += QLatin1String("<string>") + XmlEscape(vm.Str(v.str)) + QLatin1String("</string>");
        return;
    case TType::Object:
        break;
    }
    if (depth > 16 || v.obj->kind == TObjectKind::Function || v.obj->kind == TObjectKind::Clip) {
        out += QLatin1String("<null/>");
        return;
    }
    if (v.obj->kind == TObjectKind::Array) {
        out += QLatin1String("<array>");
        for (std::size_t i = 0; i < v.obj->elements.size(); ++i) {
            out += QStringLiteral("<property id=\"%1\">").arg(i);
            ValueToXmlInto(vm, v.obj->elements[i], out, depth + 1);
            out += QLatin1String("</property>");
        }
        out += QLatin1String("</array>");
        return;
    }
    out += QLatin1String("<object>");
    for (const TPropMap::TEntry& e : v.obj->props.Entries()) {
        if (e.flags & 1)
            continue;
        out += QLatin1String("<property id=\"") + XmlEscape(vm.Str(e.key)) + QLatin1String("\">");
        ValueToXmlInto(vm, e.value, out, depth + 1);
        out += QLatin1String("</property>");
    }
    out += QLatin1String("</object>");
}

TValue ReadXmlValue(TAvm1& vm, QXmlStreamReader& xml, int depth);

// Reads the children <property id=".."> of <array> or <object>; the reader is on the
// container's start element.
TValue ReadContainer(TAvm1& vm, QXmlStreamReader& xml, bool array, int depth)
{
    TObject* obj = array ? vm.NewArray() : vm.NewObject();
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("property")) {
            xml.skipCurrentElement();
            continue;
        }
        const QString id = xml.attributes().value(QLatin1String("id")).toString();
        TValue value;
        if (xml.readNextStartElement()) {
            value = ReadXmlValue(vm, xml, depth + 1);
            while (xml.readNextStartElement())
                xml.skipCurrentElement();
        }
        vm.SetMember(TValue::Object(obj), vm.Intern(id), value);
    }
    return TValue::Object(obj);
}

// The reader is on a value's start element; leaves it on that element's end.
TValue ReadXmlValue(TAvm1& vm, QXmlStreamReader& xml, int depth)
{
    const auto name = xml.name();
    if (name == QLatin1String("string"))
        return vm.String(xml.readElementText());
    if (name == QLatin1String("number")) {
        bool ok = false;
        const double d = xml.readElementText().trimmed().toDouble(&ok);
        return TValue::Number(ok ? d : std::nan(""));
    }
    if (name == QLatin1String("true") || name == QLatin1String("false")) {
        const bool b = name == QLatin1String("true");
        xml.skipCurrentElement();
        return TValue::Bool(b);
    }
    if (name == QLatin1String("null")) {
        xml.skipCurrentElement();
        return TValue::Null();
    }
    if ((name == QLatin1String("array") || name == QLatin1String("object")) && depth < 16)
        return ReadContainer(vm, xml, name == QLatin1String("array"), depth);
    xml.skipCurrentElement();
    return TValue();
}

}  // namespace

QString ValueToXml(TAvm1& vm, TValue value)
{
    QString out;
    ValueToXmlInto(vm, value, out, 0);
    return out;
}

namespace {

// The requests pages send are short and plain: <invoke name=".." returntype="xml"/> or
// with an <arguments> list of strings, numbers, booleans, null and undefined. Reading
// them by hand spares an XML reader per call; anything else goes to the reader.
bool ParseInvokeFast(TAvm1& vm, QStringView xml, QString& name, std::vector<TValue>& args)
{
    auto skipSpace = [&] {
        while (!xml.isEmpty() && xml.front().isSpace())
            xml = xml.mid(1);
    };
    auto eat = [&](QLatin1StringView token) {
        skipSpace();
        if (!xml.startsWith(token))
            return false;
        xml = xml.mid(token.size());
        return true;
    };
    // Text up to the next '<' with the five predefined entities; false on any other '&'.
    auto text = [&](QString& out) {
        const qsizetype end = xml.indexOf(QLatin1Char('<'));
        if (end < 0)
            return false;
        QStringView raw = xml.left(end);
        xml = xml.mid(end);
        out.clear();
        out.reserve(raw.size());
        while (!raw.isEmpty()) {
            const qsizetype amp = raw.indexOf(QLatin1Char('&'));
            if (amp < 0) {
                out += raw;
                break;
            }
            out += raw.left(amp);
            raw = raw.mid(amp);
            static const std::pair<QLatin1StringView, QChar> entities[] = {
                {QLatin1StringView("&lt;"), QLatin1Char('<')},    {QLatin1StringView("&gt;"), QLatin1Char('>')},
                {QLatin1StringView("&amp;"), QLatin1Char('&')},   {QLatin1StringView("&quot;"), QLatin1Char('"')},
                {QLatin1StringView("&apos;"), QLatin1Char('\'')}};
            bool known = false;
            for (const auto& [entity, c] : entities)
                if (raw.startsWith(entity)) {
                    out += c;
                    raw = raw.mid(entity.size());
                    known = true;
                    break;
                }
            if (!known)
                return false;
        }
        return true;
    };
    if (!eat(QLatin1StringView("<invoke")) || !eat(QLatin1StringView("name=\"")))
        return false;
    const qsizetype quote = xml.indexOf(QLatin1Char('"'));
    if (quote <= 0)
        return false;
    const QStringView nameView = xml.left(quote);
    if (nameView.contains(QLatin1Char('&')) || nameView.contains(QLatin1Char('<')))
        return false;
    xml = xml.mid(quote + 1);
    const qsizetype close = xml.indexOf(QLatin1Char('>'));
    if (close < 0 || xml.left(close).contains(QLatin1Char('<')))
        return false;
    const bool empty = close > 0 && xml[close - 1] == QLatin1Char('/');
    xml = xml.mid(close + 1);
    name = nameView.toString();
    if (empty) {
        skipSpace();
        return xml.isEmpty();
    }
    if (!eat(QLatin1StringView("<arguments>"))) {
        return eat(QLatin1StringView("</invoke>")) && (skipSpace(), xml.isEmpty());
    }
    QString value;
    for (;;) {
        if (eat(QLatin1StringView("</arguments>")))
            break;
        if (eat(QLatin1StringView("<string>"))) {
            if (!text(value) || !eat(QLatin1StringView("</string>")))
                return false;
            args.push_back(vm.String(value));
        } else if (eat(QLatin1StringView("<string/>"))) {
            args.push_back(vm.String(QString()));
        } else if (eat(QLatin1StringView("<number>"))) {
            if (!text(value) || !eat(QLatin1StringView("</number>")))
                return false;
            bool ok = false;
            const double d = value.trimmed().toDouble(&ok);
            args.push_back(TValue::Number(ok ? d : std::nan("")));
        } else if (eat(QLatin1StringView("<true/>"))) {
            args.push_back(TValue::Bool(true));
        } else if (eat(QLatin1StringView("<false/>"))) {
            args.push_back(TValue::Bool(false));
        } else if (eat(QLatin1StringView("<null/>"))) {
            args.push_back(TValue::Null());
        } else if (eat(QLatin1StringView("<undefined/>"))) {
            args.push_back(TValue());
        } else {
            return false;
        }
    }
    if (!eat(QLatin1StringView("</invoke>")))
        return false;
    skipSpace();
    return xml.isEmpty();
}

}  // namespace

bool ParseInvoke(TAvm1& vm, const QString& text, QString& name, std::vector<TValue>& args)
{
    if (ParseInvokeFast(vm, text, name, args))
        return true;
    name.clear();
    args.clear();
    QXmlStreamReader xml(text);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("invoke"))
        return false;
    name = xml.attributes().value(QLatin1String("name")).toString();
    if (name.isEmpty())
        return false;
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("arguments")) {
            xml.skipCurrentElement();
            continue;
        }
        while (xml.readNextStartElement())
            args.push_back(ReadXmlValue(vm, xml, 0));
    }
    return !xml.hasError();
}

}  // namespace avm1
