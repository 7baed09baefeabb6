#pragma once
// Byte and bit streams of the SWF format, shared by the reader, the writer and the
// renumbering copy. Not part of the movie library's public face.
//
// The reader never trusts its input: every read is checked against the bytes that remain,
// the first failure is kept (message and offset) and every later read returns zero, so a
// parser can read a whole structure and check once at the end.

#include <QByteArray>
#include <QString>

#include <cstdint>

#include "movie/SwfModel.h"

namespace swf::detail {

class ByteReader {
public:
    // baseOffset: where data starts in the movie, so that errors name file offsets.
    ByteReader(const QByteArray& data, qint64 baseOffset = 0);
    ByteReader(const char* data, qsizetype size, qint64 baseOffset = 0);

    bool Ok() const { return !FFailed; }
    bool AtEnd() const { return FPos >= FSize; }
    qsizetype Pos() const { return FPos; }
    qsizetype Remaining() const { return FFailed ? 0 : FSize - FPos; }
    qint64 FileOffset() const { return FBase + FPos; }

    // Records the first failure only; later reads all return zero.
    void Fail(const QString& message);
    QString Error() const { return FError; }
    qint64 ErrorOffset() const { return FErrorOffset; }

    std::uint8_t U8();
    std::uint16_t U16();
    std::int16_t S16() { return static_cast<std::int16_t>(U16()); }
    std::uint32_t U32();
    std::int32_t S32() { return static_cast<std::int32_t>(U32()); }
    // Exactly n bytes, or a failure.
    QByteArray Bytes(qsizetype n);
    // Everything that remains.
    QByteArray Rest();
    // A null-terminated string; a missing terminator is a failure.
    QByteArray CString();
    void Skip(qsizetype n);
    // A count that is about to drive a loop or an allocation: fails when even
    // count × minBytesEach bytes do not remain.
    bool CheckCount(qint64 count, qint64 minBytesEach, const char* what);

    // Bit fields, most significant bit first. Byte reads align first.
    std::uint32_t UB(int bits);
    std::int32_t SB(int bits);
    void Align() { FBitCount = 0; }

    Rgba RGB();
    Rgba RGBA();
    Rect ReadRect();
    Matrix ReadMatrix();
    ColorTransform ReadCxform(bool withAlpha);

private:
    bool Need(qsizetype n);
    const char* FData;
    qsizetype FSize;
    qsizetype FPos = 0;
    qint64 FBase;
    std::uint8_t FBitBuf = 0;
    int FBitCount = 0;
    bool FFailed = false;
    QString FError;
    qint64 FErrorOffset = 0;
};

class ByteWriter {
public:
    QByteArray& Data()
    {
        Align();
        return FData;
    }
    qsizetype Size() const { return FData.size(); }

    void U8(std::uint32_t v);
    void U16(std::uint32_t v);
    void U32(std::uint32_t v);
    void Bytes(const QByteArray& b);
    void CString(const QByteArray& b);

    void UB(int bits, std::uint32_t v);
    void SB(int bits, std::int32_t v);
    // Flushes a partly filled byte.
    void Align();

    void RGB(Rgba c);
    void RGBA(Rgba c);
    void WriteRect(const Rect& r);
    void WriteMatrix(const Matrix& m);
    void WriteCxform(const ColorTransform& cx, bool withAlpha);

    // Bits needed to store the value as an SB / UB field.
    static int BitsSigned(std::int32_t v);
    static int BitsUnsigned(std::uint32_t v);

private:
    QByteArray FData;
    std::uint32_t FBitBuf = 0;
    int FBitCount = 0;
};

// Strings as the movie's version stores them (see SwfModel.h).
QString DecodeString(const QByteArray& bytes, int version);
QByteArray EncodeString(const QString& text, int version);

}  // namespace swf::detail
