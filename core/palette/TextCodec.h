#pragma once
// The 8-bit text of Korvel's binary files. The program writes UTF-8; files from older
// Windows installations hold Windows-1252, so a reader falls back to that code page
// when the bytes are not valid UTF-8.

#include <QByteArray>
#include <QString>

// UTF-8, no byte-order mark.
QByteArray EncodeFileText(const QString& text);
// UTF-8 when the bytes are valid UTF-8 (a leading byte-order mark is kept as a
// character), otherwise Windows-1252.
QString DecodeFileText(const QByteArray& bytes);
// Windows-1252 alone, with the five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) mapped to the C1 control of the same number.
QString DecodeWindows1252(const QByteArray& bytes);
