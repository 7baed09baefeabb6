#include "movie/SwfStream.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <cstring>

namespace swf::detail {

ByteReader::ByteReader(const QByteArray& data, qint64 baseOffset)
    : FData(data.constData()), FSize(data.size()), FBase(baseOffset)
{
}

ByteReader::ByteReader(const char* data, qsizetype size, qint64 baseOffset)
    : FData(data), FSize(size), FBase(baseOffset)
{
}

void ByteReader::Fail(const QString& message)
{
    if (FFailed)
        return;
    FFailed = true;
    FError = message;
    FErrorOffset = FBase + FPos;
}

bool ByteReader::Need(qsizetype n)
{
    if (FFailed)
        return false;
    if (n < 0 || FSize - FPos < n) {
        Fail(QStringLiteral("unexpected end of data"));
        return false;
    }
    return true;
}

std::uint8_t ByteReader::U8()
{
    Align();
    if (!Need(1))
        return 0;
    return static_cast<std::uint8_t>(FData[FPos++]);
}

std::uint16_t ByteReader::U16()
{
    Align();
    if (!Need(2))
        return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(FData + FPos);
    FPos += 2;
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t ByteReader::U32()
{
    Align();
    if (!Need(4))
        return 0;
    const auto* p = reinterpret_cast<const unsigned char*>(FData + FPos);
    FPos += 4;
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

QByteArray ByteReader::Bytes(qsizetype n)
{
    Align();
    if (!Need(n))
        return {};
    QByteArray out(FData + FPos, n);
    FPos += n;
    return out;
}

QByteArray ByteReader::Rest()
{
    Align();
    if (FFailed)
        return {};
    return Bytes(FSize - FPos);
}

QByteArray ByteReader::CString()
{
    Align();
    if (FFailed)
        return {};
    const void* nul = std::memchr(FData + FPos, 0, static_cast<size_t>(FSize - FPos));
    if (!nul) {
        Fail(QStringLiteral("string without terminator"));
        return {};
    }
    const qsizetype len = static_cast<const char*>(nul) - (FData + FPos);
    QByteArray out(FData + FPos, len);
    FPos += len + 1;
    return out;
}

void ByteReader::Skip(qsizetype n)
{
    Align();
    if (Need(n))
        FPos += n;
}

bool ByteReader::CheckCount(qint64 count, qint64 minBytesEach, const char* what)
{
    if (FFailed)
        return false;
    if (count < 0 || (minBytesEach > 0 && count > (FSize - FPos) / minBytesEach)) {
        Fail(QStringLiteral("%1 count %2 exceeds the data").arg(QLatin1String(what)).arg(count));
        return false;
    }
    return true;
}

std::uint32_t ByteReader::UB(int bits)
{
    std::uint32_t v = 0;
    for (int i = 0; i < bits; ++i) {
        if (FBitCount == 0) {
            if (!Need(1))
                return 0;
            FBitBuf = static_cast<std::uint8_t>(FData[FPos++]);
            FBitCount = 8;
        }
        --FBitCount;
        v = (v << 1) | ((FBitBuf >> FBitCount) & 1u);
    }
    return FFailed ? 0 : v;
}

std::int32_t ByteReader::SB(int bits)
{
    if (bits <= 0)
        return 0;
    std::uint32_t v = UB(bits);
    if (bits < 32 && (v & (1u << (bits - 1))))
        v |= ~0u << bits;
    return static_cast<std::int32_t>(v);
}

Rgba ByteReader::RGB()
{
    Rgba c;
    c.r = U8();
    c.g = U8();
    c.b = U8();
    c.a = 255;
    return c;
}

Rgba ByteReader::RGBA()
{
    Rgba c;
    c.r = U8();
    c.g = U8();
    c.b = U8();
    c.a = U8();
    return c;
}

Rect ByteReader::ReadRect()
{
    Align();
    Rect r;
    const int n = static_cast<int>(UB(5));
    r.xMin = SB(n);
    r.xMax = SB(n);
    r.yMin = SB(n);
    r.yMax = SB(n);
    Align();
    return r;
}

Matrix ByteReader::ReadMatrix()
{
    Align();
    Matrix m;
    m.hasScale = UB(1) != 0;
    if (m.hasScale) {
        const int n = static_cast<int>(UB(5));
        m.scaleX = SB(n);
        m.scaleY = SB(n);
    }
    m.hasRotate = UB(1) != 0;
    if (m.hasRotate) {
        const int n = static_cast<int>(UB(5));
        m.rotateSkew0 = SB(n);
        m.rotateSkew1 = SB(n);
    }
    const int n = static_cast<int>(UB(5));
    m.translateX = SB(n);
    m.translateY = SB(n);
    Align();
    return m;
}

ColorTransform ByteReader::ReadCxform(bool withAlpha)
{
    Align();
    ColorTransform cx;
    cx.hasAdd = UB(1) != 0;
    cx.hasMult = UB(1) != 0;
    const int n = static_cast<int>(UB(4));
    if (cx.hasMult) {
        cx.rMult = static_cast<std::int16_t>(SB(n));
        cx.gMult = static_cast<std::int16_t>(SB(n));
        cx.bMult = static_cast<std::int16_t>(SB(n));
        if (withAlpha)
            cx.aMult = static_cast<std::int16_t>(SB(n));
    }
    if (cx.hasAdd) {
        cx.rAdd = static_cast<std::int16_t>(SB(n));
        cx.gAdd = static_cast<std::int16_t>(SB(n));
        cx.bAdd = static_cast<std::int16_t>(SB(n));
        if (withAlpha)
            cx.aAdd = static_cast<std::int16_t>(SB(n));
    }
    Align();
    return cx;
}

// ---------------------------------------------------------------------------------------

void ByteWriter::U8(std::uint32_t v)
{
    Align();
    FData.append(static_cast<char>(v & 0xFF));
}

void ByteWriter::U16(std::uint32_t v)
{
    U8(v);
    U8(v >> 8);
}

void ByteWriter::U32(std::uint32_t v)
{
    U16(v);
    U16(v >> 16);
}

void ByteWriter::Bytes(const QByteArray& b)
{
    Align();
    FData.append(b);
}

void ByteWriter::CString(const QByteArray& b)
{
    Align();
    // A string cannot hold its own terminator; cut at the first one.
    const qsizetype nul = b.indexOf('\0');
    FData.append(nul < 0 ? b : b.left(nul));
    FData.append('\0');
}

void ByteWriter::UB(int bits, std::uint32_t v)
{
    for (int i = bits - 1; i >= 0; --i) {
        FBitBuf = (FBitBuf << 1) | ((v >> i) & 1u);
        if (++FBitCount == 8) {
            FData.append(static_cast<char>(FBitBuf & 0xFF));
            FBitBuf = 0;
            FBitCount = 0;
        }
    }
}

void ByteWriter::SB(int bits, std::int32_t v) { UB(bits, static_cast<std::uint32_t>(v)); }

void ByteWriter::Align()
{
    if (FBitCount > 0)
        UB(8 - FBitCount, 0);
}

void ByteWriter::RGB(Rgba c)
{
    U8(c.r);
    U8(c.g);
    U8(c.b);
}

void ByteWriter::RGBA(Rgba c)
{
    RGB(c);
    U8(c.a);
}

int ByteWriter::BitsSigned(std::int32_t v)
{
    // Smallest n with -2^(n-1) <= v < 2^(n-1); zero needs no bits.
    if (v == 0)
        return 0;
    const std::uint32_t u = v < 0 ? ~static_cast<std::uint32_t>(v) : static_cast<std::uint32_t>(v);
    return BitsUnsigned(u) + 1;
}

int ByteWriter::BitsUnsigned(std::uint32_t v)
{
    int n = 0;
    while (v) {
        ++n;
        v >>= 1;
    }
    return n;
}

namespace {
// Bit-packed fields carry their width in 5 bits, so a value must fit in 31 bits.
std::int32_t Clamp31(std::int32_t v) { return std::clamp<std::int32_t>(v, -(1 << 30), (1 << 30) - 1); }
}  // namespace

void ByteWriter::WriteRect(const Rect& in)
{
    Align();
    const Rect r{Clamp31(in.xMin), Clamp31(in.xMax), Clamp31(in.yMin), Clamp31(in.yMax)};
    const int n = std::max({BitsSigned(r.xMin), BitsSigned(r.xMax), BitsSigned(r.yMin), BitsSigned(r.yMax)});
    UB(5, static_cast<std::uint32_t>(n));
    SB(n, r.xMin);
    SB(n, r.xMax);
    SB(n, r.yMin);
    SB(n, r.yMax);
    Align();
}

void ByteWriter::WriteMatrix(const Matrix& in)
{
    Align();
    Matrix m = in;
    for (std::int32_t* v : {&m.scaleX, &m.scaleY, &m.rotateSkew0, &m.rotateSkew1, &m.translateX, &m.translateY})
        *v = Clamp31(*v);
    UB(1, m.hasScale ? 1 : 0);
    if (m.hasScale) {
        const int n = std::max(BitsSigned(m.scaleX), BitsSigned(m.scaleY));
        UB(5, static_cast<std::uint32_t>(n));
        SB(n, m.scaleX);
        SB(n, m.scaleY);
    }
    UB(1, m.hasRotate ? 1 : 0);
    if (m.hasRotate) {
        const int n = std::max(BitsSigned(m.rotateSkew0), BitsSigned(m.rotateSkew1));
        UB(5, static_cast<std::uint32_t>(n));
        SB(n, m.rotateSkew0);
        SB(n, m.rotateSkew1);
    }
    const int n = std::max(BitsSigned(m.translateX), BitsSigned(m.translateY));
    UB(5, static_cast<std::uint32_t>(n));
    SB(n, m.translateX);
    SB(n, m.translateY);
    Align();
}

void ByteWriter::WriteCxform(const ColorTransform& in, bool withAlpha)
{
    Align();
    // The bit count field holds at most 15, so terms are limited to 15-bit values.
    auto clamp15 = [](std::int16_t v) { return static_cast<std::int16_t>(std::clamp<int>(v, -16384, 16383)); };
    ColorTransform cx = in;
    for (std::int16_t* t : {&cx.rMult, &cx.gMult, &cx.bMult, &cx.aMult, &cx.rAdd, &cx.gAdd, &cx.bAdd, &cx.aAdd})
        *t = clamp15(*t);
    int n = 0;
    if (cx.hasMult) {
        n = std::max({n, BitsSigned(cx.rMult), BitsSigned(cx.gMult), BitsSigned(cx.bMult)});
        if (withAlpha)
            n = std::max(n, BitsSigned(cx.aMult));
    }
    if (cx.hasAdd) {
        n = std::max({n, BitsSigned(cx.rAdd), BitsSigned(cx.gAdd), BitsSigned(cx.bAdd)});
        if (withAlpha)
            n = std::max(n, BitsSigned(cx.aAdd));
    }
    UB(1, cx.hasAdd ? 1 : 0);
    UB(1, cx.hasMult ? 1 : 0);
    UB(4, static_cast<std::uint32_t>(n));
    if (cx.hasMult) {
        SB(n, cx.rMult);
        SB(n, cx.gMult);
        SB(n, cx.bMult);
        if (withAlpha)
            SB(n, cx.aMult);
    }
    if (cx.hasAdd) {
        SB(n, cx.rAdd);
        SB(n, cx.gAdd);
        SB(n, cx.bAdd);
        if (withAlpha)
            SB(n, cx.aAdd);
    }
    Align();
}

// ---------------------------------------------------------------------------------------

QString DecodeString(const QByteArray& bytes, int version)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (version >= 6 || !utf8.hasError())
        return text;
    QStringDecoder cp1252("windows-1252");
    if (!cp1252.isValid())
        return QString::fromLatin1(bytes);
    return cp1252.decode(bytes);
}

QByteArray EncodeString(const QString& text, int version)
{
    if (version >= 6)
        return text.toUtf8();
    // Older players read the 8-bit code page. Text the code page cannot hold is written
    // as UTF-8 rather than lost; our reader takes valid UTF-8 back as such.
    QStringEncoder cp1252("windows-1252", QStringEncoder::Flag::Stateless);
    if (cp1252.isValid()) {
        bool representable = true;
        for (QChar ch : text) {
            const char16_t u = ch.unicode();
            if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
                continue;
            // The 0x80..0x9F block of the code page holds a few typographic characters.
            static const char16_t extra[] = {0x20AC, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                             0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x017D, 0x2018,
                                             0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC,
                                             0x2122, 0x0161, 0x203A, 0x0153, 0x017E, 0x0178};
            if (std::find(std::begin(extra), std::end(extra), u) == std::end(extra)) {
                representable = false;
                break;
            }
        }
        if (representable)
            return cp1252.encode(text);
    }
    return text.toUtf8();
}

}  // namespace swf::detail
