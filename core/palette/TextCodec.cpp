#include "palette/TextCodec.h"

#include <QStringDecoder>

#include <array>

QByteArray EncodeFileText(const QString& text)
{
    return text.toUtf8();
}

QString DecodeFileText(const QByteArray& bytes)
{
    QStringDecoder utf8(
        QStringDecoder::Utf8, QStringConverter::Flag::Stateless | QStringConverter::Flag::ConvertInitialBom);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return DecodeWindows1252(bytes);
}

QString DecodeWindows1252(const QByteArray& bytes)
{
    // Only 0x80..0x9F differ from Latin-1; a table keeps the mapping independent of
    // which converters the Qt build carries.
    static constexpr std::array<char16_t, 32> kHigh = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80..87
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88..8F
        0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90..97
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98..9F
    };
    QString text;
    text.resize(bytes.size());
    QChar* out = text.data();
    for (char ch : bytes) {
        const auto b = static_cast<unsigned char>(ch);
        *out++ = (b >= 0x80 && b <= 0x9F) ? QChar(kHigh[b - 0x80]) : QChar(b);
    }
    return text;
}
