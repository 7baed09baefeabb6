#include "palette/PaletteFiles.h"

#include "colour/Colors.h"
#include "palette/RichColor.h"
#include "palette/TextCodec.h"
#include "palette/XmlDoc.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QtEndian>

#include <algorithm>
#include <optional>

namespace {

const QString kMsgUnsupported = QStringLiteral("Unsupported file format");
const QString kMsgReadError = QStringLiteral("Error during file read");

// The colour of a swatch whose hex text cannot be read.
constexpr TColor kDefaultSwatchColor = 0xC0C0C0;

TPaletteFileResult Failure(TPaletteFileError error, const QString& message, const QString& detail)
{
    TPaletteFileResult result;
    result.Error = error;
    result.Message = message;
    result.Detail = detail;
    return result;
}

QString NoPalettesMessage(const QString& fileName)
{
    return QStringLiteral("'%1' could not be read.\r\nNo color palettes found.").arg(fileName);
}

QString LegacyNotReadMessage(const QString& fileName)
{
    return QStringLiteral("'%1' could not be read.").arg(fileName);
}

// Appends copies of the palettes read into a collection of our own to the target, the
// way a reader adding straight into the target would have left it: each appended
// palette made current in turn. A failed read never gets here, so the target changes
// only when everything was read.
void AppendPalettes(TRichPaletteList& target, const TRichPaletteList& read)
{
    target.BeginUpdate();
    for (int i = 0; i < read.Count(); ++i) {
        TRichPalette* palette = target.Add(QString(), true);
        palette->Assign(*read.Items(i));
    }
    target.EndUpdate();
}

// Reads what the device holds, in pieces, up to limit + 1 bytes: one byte over tells
// an input that is too large from one that fits. Asking the device for the whole limit
// at once would allocate all of it for every small input.
QByteArray ReadUpTo(QIODevice& device, qint64 limit)
{
    QByteArray data;
    constexpr qint64 kChunk = 64 * 1024;
    while (data.size() <= limit) {
        const QByteArray piece = device.read(std::min(kChunk, limit + 1 - data.size()));
        if (piece.isEmpty())
            break;
        data += piece;
    }
    return data;
}

// Slurps a file for the readers, refusing what no palette file could be.
std::optional<QByteArray> ReadWholeFile(
    const QString& fileName, TPaletteFileResult& failure, const QString& unreadableMessage)
{
    const QFileInfo info(fileName);
    if (!info.exists()) {
        failure
            = Failure(TPaletteFileError::FileNotFound, QString(), QStringLiteral("'%1' does not exist").arg(fileName));
        return std::nullopt;
    }
    QFile file(fileName);
    if (info.isDir() || !file.open(QIODevice::ReadOnly)) {
        failure = Failure(TPaletteFileError::Unreadable, unreadableMessage,
            QStringLiteral("cannot open '%1': %2").arg(fileName, file.errorString()));
        return std::nullopt;
    }
    QByteArray data = ReadUpTo(file, kMaxPaletteFileSize);
    if (file.error() != QFileDevice::NoError) {
        failure = Failure(TPaletteFileError::Unreadable, unreadableMessage,
            QStringLiteral("cannot read '%1': %2").arg(fileName, file.errorString()));
        return std::nullopt;
    }
    if (data.size() > kMaxPaletteFileSize) {
        failure = Failure(TPaletteFileError::Unreadable, unreadableMessage,
            QStringLiteral("'%1' is larger than %2 bytes").arg(fileName).arg(kMaxPaletteFileSize));
        return std::nullopt;
    }
    return data;
}

// ---------------------------------------------------------------------------------
// Little-endian primitives over bytes held in memory, so every length can be checked
// against what remains before anything is allocated.

class TByteReader {
public:
    explicit TByteReader(const QByteArray& data)
        : FData(data)
    {
    }

    qsizetype Pos() const { return FPos; }
    qsizetype Remaining() const { return FData.size() - FPos; }
    bool Short() const { return FShort; }
    // What was being read when the data ran out.
    const QString& ShortField() const { return FShortField; }
    qsizetype ShortOffset() const { return FShortOffset; }

    bool Int32(qint32& value, const char* field)
    {
        if (!Need(4, field))
            return false;
        value = qFromLittleEndian<qint32>(FData.constData() + FPos);
        FPos += 4;
        return true;
    }

    bool UInt16(quint16& value, const char* field)
    {
        if (!Need(2, field))
            return false;
        value = qFromLittleEndian<quint16>(FData.constData() + FPos);
        FPos += 2;
        return true;
    }

    bool Byte(quint8& value, const char* field)
    {
        if (!Need(1, field))
            return false;
        value = static_cast<quint8>(FData.at(FPos));
        FPos += 1;
        return true;
    }

    // A length that is zero or negative stands for an empty text.
    bool Bytes32(QByteArray& bytes, const char* field)
    {
        qint32 n = 0;
        if (!Int32(n, field))
            return false;
        return Take(n, bytes, field);
    }

    bool String32(QString& text, const char* field)
    {
        QByteArray bytes;
        if (!Bytes32(bytes, field))
            return false;
        text = DecodeFileText(bytes);
        return true;
    }

    bool Skip8String(const char* field)
    {
        quint8 n = 0;
        QByteArray ignored;
        return Byte(n, field) && Take(n, ignored, field);
    }

    // Whether count items of at least minSize bytes each can still follow; a count
    // that cannot is a truncated file, caught before any loop or allocation.
    bool Fits(qint64 count, qint64 minSize, const char* field)
    {
        if (count <= 0 || count <= Remaining() / minSize)
            return true;
        return MarkShort(field);
    }

private:
    bool Need(qint64 n, const char* field) { return n <= Remaining() || MarkShort(field); }

    bool Take(qint64 n, QByteArray& bytes, const char* field)
    {
        bytes.clear();
        if (n <= 0)
            return true;
        if (!Need(n, field))
            return false;
        bytes = FData.mid(FPos, static_cast<qsizetype>(n));
        FPos += static_cast<qsizetype>(n);
        return true;
    }

    bool MarkShort(const char* field)
    {
        if (!FShort) {
            FShort = true;
            FShortField = QString::fromLatin1(field);
            FShortOffset = FPos;
        }
        return false;
    }

    const QByteArray& FData;
    qsizetype FPos = 0;
    bool FShort = false;
    QString FShortField;
    qsizetype FShortOffset = 0;
};

class TByteWriter {
public:
    void Int32(qint32 value)
    {
        char bytes[4];
        qToLittleEndian<qint32>(value, bytes);
        FData.append(bytes, 4);
    }
    void String32(const QString& text)
    {
        const QByteArray bytes = EncodeFileText(text);
        Int32(static_cast<qint32>(bytes.size()));
        FData.append(bytes);
    }
    QByteArray& Data() { return FData; }

private:
    QByteArray FData;
};

TPaletteFileResult Truncated(const TByteReader& reader)
{
    return Failure(TPaletteFileError::Truncated, kMsgReadError,
        QStringLiteral("data ends inside %1 at offset %2").arg(reader.ShortField()).arg(reader.ShortOffset()));
}

// Smallest possible palette and swatch of each body format, for the count checks.
constexpr qint64 kMinPalette200 = 5 * 4 + 4 + 4;
constexpr qint64 kMinSwatch200 = 4 + 4 + 3 * 4;
constexpr qint64 kMinPalette100 = 3 * 4 + 4 + 4;
constexpr qint64 kMinSwatch100 = 4 + 3 * 4;

// Reads the body that follows the format number into list; false on a short read.
bool ReadBody(TByteReader& in, int format, TRichPaletteList& list, qint32& itemIndex)
{
    const bool f200 = format == kCollectionFormat;
    qint32 paletteCount = 0;
    if (!in.Int32(itemIndex, "current palette index") || !in.Int32(paletteCount, "palette count")
        || !in.Fits(paletteCount, f200 ? kMinPalette200 : kMinPalette100, "palette count"))
        return false;
    for (qint32 p = 0; p < paletteCount; ++p) {
        QString title, description, url, author, keywords;
        qint32 displayMode = 0, swatchCount = 0;
        if (!in.String32(title, "palette title") || !in.String32(description, "palette description")
            || !in.String32(url, "palette URL"))
            return false;
        if (f200 && (!in.String32(author, "palette author") || !in.String32(keywords, "palette keywords")))
            return false;
        if (!in.Int32(displayMode, "palette view mode") || !in.Int32(swatchCount, "swatch count")
            || !in.Fits(swatchCount, f200 ? kMinSwatch200 : kMinSwatch100, "swatch count"))
            return false;
        TRichPalette* palette = list.Add(QString(), true);
        palette->SetTitle(title);
        palette->SetDescription(description);
        palette->SetURL(url);
        if (f200) {
            palette->SetAuthor(author);
            palette->SetKeywords(keywords);
        }
        palette->SetDisplayMode(displayMode);
        for (qint32 s = 0; s < swatchCount; ++s) {
            qint32 autoCaption = 0, color = 0;
            QString caption, cssClass, swatchDescription;
            if (f200 && !in.Int32(autoCaption, "auto-caption flag"))
                return false;
            if (!in.Int32(color, "swatch colour") || !in.String32(caption, "swatch caption")
                || !in.String32(cssClass, "swatch CSS class") || !in.String32(swatchDescription, "swatch description"))
                return false;
            TRichColor* swatch = palette->Add();
            if (f200)
                swatch->SetAutoCaption((autoCaption & 1) != 0);
            swatch->SetColor(static_cast<TColor>(color));
            // An auto-captioned swatch was stored with its generated text; reading that
            // back would freeze it, so it keeps following the current caption format.
            if (!f200 || !swatch->AutoCaption())
                swatch->SetCaption(caption);
            swatch->SetCssClass(cssClass);
            swatch->SetDescription(swatchDescription);
        }
    }
    return true;
}

void WriteBody(TByteWriter& out, int format, const TRichPaletteList& list)
{
    const bool f200 = format == kCollectionFormat;
    out.Int32(format);
    out.Int32(list.ItemIndex());
    out.Int32(list.Count());
    for (int p = 0; p < list.Count(); ++p) {
        const TRichPalette* palette = list.Items(p);
        out.String32(palette->Title());
        out.String32(palette->Description());
        out.String32(palette->URL());
        if (f200) {
            out.String32(palette->Author());
            out.String32(palette->Keywords());
        }
        out.Int32(palette->DisplayMode());
        out.Int32(palette->Count());
        for (int s = 0; s < palette->Count(); ++s) {
            const TRichColor* swatch = palette->Colors(s);
            if (f200)
                out.Int32(swatch->AutoCaption() ? 1 : 0);
            out.Int32(static_cast<qint32>(swatch->Color()));
            out.String32(swatch->Caption());
            out.String32(swatch->CssClass());
            out.String32(swatch->Description());
        }
    }
}

// After a good read: the palettes go to the target and the stored index is selected
// among them (an index the file does not have leaves the last palette read current). A
// collection with no palette at all gets one empty palette, since the document is never
// without a current palette.
void Commit(TRichPaletteList& target, const TRichPaletteList& read, qint32 itemIndex)
{
    const int first = target.Count();
    AppendPalettes(target, read);
    if (itemIndex >= 0 && itemIndex < read.Count())
        target.SetItemIndex(first + itemIndex);
    if (target.Count() == 0)
        target.Add(QStringLiteral("Palette 1"), true);
}

// Format number and body, shared by the file and the stream.
TPaletteFileResult ReadFormatAndBody(TByteReader& in, TRichPaletteList& list, bool acceptOld)
{
    qint32 format = 0;
    if (!in.Int32(format, "format number"))
        return Truncated(in);
    if (format != kCollectionFormat && !(acceptOld && format == kCollectionFormatOld))
        return Failure(
            TPaletteFileError::UnknownFormat, QString(), QStringLiteral("unknown collection format %1").arg(format));
    TRichPaletteList read;
    read.SetAutoCaption(list.AutoCaption());
    qint32 itemIndex = -1;
    if (!ReadBody(in, format, read, itemIndex))
        return Truncated(in);
    Commit(list, read, itemIndex);
    return {};
}

} // namespace

// ---------------------------------------------------------------------------------
// Binary collection file and stream

TPaletteFileResult ReadCollectionData(TRichPaletteList& List, const QByteArray& Data)
{
    TByteReader in(Data);
    QByteArray signature;
    // Empty, garbage and foreign files all end here: whatever is not our signature,
    // including a length running past the end, is another format.
    if (!in.Bytes32(signature, "signature") || signature != kCollectionSignature)
        return Failure(TPaletteFileError::UnsupportedFormat, kMsgUnsupported, QStringLiteral("no Korvel signature"));
    return ReadFormatAndBody(in, List, true);
}

TPaletteFileResult ReadCollectionFile(TRichPaletteList& List, const QString& FileName)
{
    TPaletteFileResult failure;
    const std::optional<QByteArray> data = ReadWholeFile(FileName, failure, kMsgReadError);
    if (!data)
        return failure;
    TPaletteFileResult result = ReadCollectionData(List, *data);
    if (!result && !result.Detail.isEmpty())
        result.Detail = QStringLiteral("'%1': %2").arg(FileName, result.Detail);
    return result;
}

QByteArray CollectionFileBytes(const TRichPaletteList& List, int Format)
{
    if (Format != kCollectionFormat && Format != kCollectionFormatOld)
        return QByteArray();
    TByteWriter out;
    out.String32(QString::fromLatin1(kCollectionSignature));
    WriteBody(out, Format, List);
    return out.Data();
}

TPaletteFileResult WriteCollectionFile(const TRichPaletteList& List, const QString& FileName, int Format)
{
    const QByteArray bytes = CollectionFileBytes(List, Format);
    if (bytes.isEmpty())
        return Failure(TPaletteFileError::WriteFailed, QString(),
            QStringLiteral("no writer for collection format %1").arg(Format));
    return WriteFileWithBackup(FileName, [&](QIODevice& device) { return device.write(bytes) == bytes.size(); });
}

QByteArray CollectionStreamBytes(const TRichPaletteList& List)
{
    TByteWriter out;
    WriteBody(out, kCollectionFormat, List);
    return out.Data();
}

bool WriteCollectionStream(QIODevice& Stream, const TRichPaletteList& List)
{
    const QByteArray bytes = CollectionStreamBytes(List);
    return Stream.write(bytes) == bytes.size();
}

TPaletteFileResult ReadCollectionStream(QIODevice& Stream, TRichPaletteList& List)
{
    const qint64 start = Stream.pos();
    const QByteArray data = ReadUpTo(Stream, kMaxPaletteFileSize);
    if (data.size() > kMaxPaletteFileSize)
        return Failure(TPaletteFileError::Unreadable, kMsgReadError, QStringLiteral("collection stream too large"));
    TByteReader in(data);
    TPaletteFileResult result = ReadFormatAndBody(in, List, false);
    if (!Stream.isSequential())
        Stream.seek(start + in.Pos());
    return result;
}

// ---------------------------------------------------------------------------------
// XML collection file

TPaletteFileResult ReadXmlCollectionData(TRichPaletteList& List, const QByteArray& Data, const QString& FileName)
{
    TXmlDocument doc;
    if (!doc.LoadFromBytes(Data))
        return Failure(TPaletteFileError::NotXml, NoPalettesMessage(FileName), doc.ErrorString());

    TPaletteFileResult result;
    TRichPaletteList read;
    read.SetAutoCaption(List.AutoCaption());
    const TXmlElement* root = doc.Root();
    if (root->Name() == u"RichColorCollection") {
        bool ok = false;
        const int fileFormat = root->Attribute(QStringLiteral("FileFormat")).toInt(&ok);
        result.Beep = !ok || fileFormat != 3;
        for (int i = 0; i < root->ChildCount(); ++i) {
            const TXmlElement* node = root->Child(i);
            if (node->Name() != u"RichPalette")
                continue;
            TRichPalette* palette = read.Add(QStringLiteral("Palette %1").arg(i), true);
            for (const TXmlElement* item : node->Children()) {
                if (item->Name() == u"Title") {
                    palette->SetTitle(item->Text());
                } else if (item->Name() == u"Description") {
                    palette->SetDescription(item->Text());
                } else if (item->Name() == u"RichColor") {
                    TRichColor* swatch = palette->Add();
                    for (const TXmlElement* field : item->Children()) {
                        if (field->Name() == u"RGB")
                            swatch->SetColor(HexToColor(field->Text(), kDefaultSwatchColor));
                        else if (field->Name() == u"Name")
                            swatch->SetCaption(field->Text());
                        else if (field->Name() == u"Description")
                            swatch->SetDescription(field->Text());
                    }
                }
            }
        }
    }
    if (read.Count() == 0) {
        TPaletteFileResult failure = Failure(TPaletteFileError::NoPalettes, NoPalettesMessage(FileName),
            QStringLiteral("no RichPalette element under <%1>").arg(root->Name()));
        failure.Beep = result.Beep;
        return failure;
    }
    AppendPalettes(List, read);
    List.SetItemIndex(List.Count() - read.Count());
    return result;
}

TPaletteFileResult ReadXmlCollection(TRichPaletteList& List, const QString& FileName)
{
    TPaletteFileResult failure;
    const std::optional<QByteArray> data = ReadWholeFile(FileName, failure, NoPalettesMessage(FileName));
    if (!data)
        return failure;
    return ReadXmlCollectionData(List, *data, FileName);
}

QByteArray XmlCollectionBytes(const TRichPaletteList& List, const QString& Version, const QString& GeneratorName)
{
    TXmlDocument doc(QStringLiteral("RichColorCollection"));
    doc.SetEncoding(QStringLiteral("windows-1252"));
    doc.SetCompact(true);
    TXmlElement* root = doc.Root();
    root->SetAttribute(QStringLiteral("FileFormat"), QStringLiteral("3"));
    TXmlElement* generator = root->AppendChild(QStringLiteral("Generator"));
    generator->AppendChild(QStringLiteral("Name"))->SetText(GeneratorName);
    generator->AppendChild(QStringLiteral("Version"))->SetText(Version);
    for (int p = 0; p < List.Count(); ++p) {
        const TRichPalette* palette = List.Items(p);
        TXmlElement* node = root->AppendChild(QStringLiteral("RichPalette"));
        node->SetAttribute(QStringLiteral("ID"), QString::number(p + 1));
        if (!palette->Title().isEmpty())
            node->AppendChild(QStringLiteral("Title"))->SetText(palette->Title());
        if (!palette->Description().isEmpty())
            node->AppendChild(QStringLiteral("Description"))->SetText(palette->Description());
        for (int s = 0; s < palette->Count(); ++s) {
            const TRichColor* swatch = palette->Colors(s);
            TXmlElement* item = node->AppendChild(QStringLiteral("RichColor"));
            item->SetAttribute(QStringLiteral("ID"), QString::number(s + 1));
            item->AppendChild(QStringLiteral("Name"))->SetText(swatch->Caption());
            if (!swatch->Description().isEmpty())
                item->AppendChild(QStringLiteral("Description"))->SetText(swatch->Description());
            const TColor c = swatch->Color();
            item->AppendChild(QStringLiteral("RGB"))->SetText(ColorToFullHex(c, true));
        }
    }
    return doc.SaveToBytes();
}

TPaletteFileResult WriteXmlCollection(
    const TRichPaletteList& List, const QString& FileName, const QString& Version, const QString& GeneratorName)
{
    const QByteArray bytes = XmlCollectionBytes(List, Version, GeneratorName);
    if (bytes.isEmpty())
        return Failure(
            TPaletteFileError::WriteFailed, QString(), QStringLiteral("XML collection could not be encoded"));
    return WriteFileWithBackup(FileName, [&](QIODevice& device) { return device.write(bytes) == bytes.size(); });
}

// ---------------------------------------------------------------------------------
// Legacy palette file

TPaletteFileResult ReadLegacyPalettesData(TRichPaletteList& List, const QByteArray& Data, const QString& FileName)
{
    TXmlDocument doc;
    if (!doc.LoadFromBytes(Data))
        return Failure(TPaletteFileError::NotXml, LegacyNotReadMessage(FileName), doc.ErrorString());
    TRichPaletteList read;
    read.SetAutoCaption(List.AutoCaption());
    const TXmlElement* root = doc.Root();
    if (root->Name() == u"KorvelFile") {
        for (int i = 0; i < root->ChildCount(); ++i) {
            const TXmlElement* scheme = root->Child(i);
            if (scheme->Name() != u"ColorScheme")
                continue;
            const QString title = scheme->Attribute(QStringLiteral("Title"));
            TRichPalette* palette = read.Add(title.isEmpty() ? QStringLiteral("Palette %1").arg(i) : title, true);
            for (const TXmlElement* item : scheme->Children()) {
                if (item->Name() == u"Color") {
                    TRichColor* swatch = palette->Add();
                    const QString caption = item->Attribute(QStringLiteral("Caption"));
                    if (!caption.isEmpty())
                        swatch->SetCaption(caption);
                    const QString hex = item->Attribute(QStringLiteral("Hex"));
                    if (!hex.isEmpty())
                        swatch->SetColor(HexToColor(hex, kDefaultSwatchColor));
                    swatch->SetDescription(item->Text());
                } else if (item->Name() == u"Description") {
                    palette->SetDescription(item->Text());
                }
            }
        }
    }
    if (read.Count() == 0)
        return Failure(TPaletteFileError::NoPalettes, LegacyNotReadMessage(FileName),
            QStringLiteral("no ColorScheme element under <%1>").arg(root->Name()));
    AppendPalettes(List, read);
    List.SetItemIndex(List.Count() - read.Count());
    return {};
}

TPaletteFileResult ReadLegacyPalettes(TRichPaletteList& List, const QString& FileName)
{
    TPaletteFileResult failure;
    const std::optional<QByteArray> data = ReadWholeFile(FileName, failure, LegacyNotReadMessage(FileName));
    if (!data)
        return failure;
    return ReadLegacyPalettesData(List, *data, FileName);
}

// ---------------------------------------------------------------------------------
// Color Schemer palette

TPaletteFileResult ReadColorSchemerData(TRichPalette& Palette, const QByteArray& Data, const QString& FileName)
{
    TByteReader in(Data);
    quint16 version = 0;
    // A file too short to hold the version reads version 0, another format.
    if (!in.UInt16(version, "version") || version != 3)
        return Failure(TPaletteFileError::UnsupportedFormat, kMsgUnsupported,
            QStringLiteral("Color Schemer version %1").arg(version));

    // Filled in a copy, handed over whole at the end.
    TRichPalette read;
    read.Assign(Palette);
    quint16 count = 0;
    qint32 ignored = 0;
    if (!in.UInt16(count, "colour count") || !in.Int32(ignored, "header")
        || !in.Fits(count, 4 + 4 + 3 + 1 + 1, "colour count"))
        return Truncated(in);
    read.SetTitle(QFileInfo(FileName).completeBaseName());
    read.SetDescription(QStringLiteral("Colors imported from %1").arg(FileName));
    for (int i = 0; i < count; ++i) {
        QString caption;
        quint8 r = 0, g = 0, b = 0, flag = 0;
        if (!in.Int32(ignored, "colour header") || !in.String32(caption, "colour caption") || !in.Byte(r, "red")
            || !in.Byte(g, "green") || !in.Byte(b, "blue") || !in.Skip8String("colour note")
            || !in.Byte(flag, "colour flag"))
            return Truncated(in);
        TRichColor* swatch = read.Add();
        swatch->SetColor(static_cast<TColor>(r + g * 256 + b * 65536));
        swatch->SetCaption(caption);
    }
    Palette.Assign(read);
    return {};
}

TPaletteFileResult ReadColorSchemer(TRichPalette& Palette, const QString& FileName)
{
    TPaletteFileResult failure;
    const std::optional<QByteArray> data = ReadWholeFile(FileName, failure, kMsgReadError);
    if (!data)
        return failure;
    return ReadColorSchemerData(Palette, *data, FileName);
}

// ---------------------------------------------------------------------------------
// Writing with a backup

QString BackupFileName(const QString& FileName)
{
    const qsizetype slash = FileName.lastIndexOf(u'/');
    const qsizetype dot = FileName.lastIndexOf(u'.');
    const QString base = dot > slash ? FileName.left(dot) : FileName;
    return base + QStringLiteral(".bak");
}

TPaletteFileResult WriteFileWithBackup(const QString& FileName, const std::function<bool(QIODevice&)>& Write)
{
    const QString backup = BackupFileName(FileName);
    // A target that is itself named ".bak" is its own backup; the replace below still
    // never leaves it half written.
    const bool useBackup = QFileInfo(backup).absoluteFilePath() != QFileInfo(FileName).absoluteFilePath();
    if (useBackup && QFileInfo::exists(FileName)) {
        if (QFileInfo::exists(backup))
            QFile::remove(backup);
        // A copy rather than a move, so the target keeps its good content until the new
        // one is complete.
        QFile::copy(FileName, backup);
    }

    QSaveFile file(FileName);
    // Unbuffered, so a refused write shows in the count write() returns: with a buffer,
    // Qt 6.4 flushes at commit, loses the error there and commits a cut-off file.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Failure(TPaletteFileError::WriteFailed, QString(),
            QStringLiteral("cannot create '%1': %2").arg(FileName, file.errorString()));
    if (!Write(file) || file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return Failure(
            TPaletteFileError::WriteFailed, QString(), QStringLiteral("cannot write '%1': %2").arg(FileName, reason));
    }
    if (!file.commit())
        return Failure(TPaletteFileError::WriteFailed, QString(),
            QStringLiteral("cannot write '%1': %2").arg(FileName, file.errorString()));
    if (useBackup)
        QFile::remove(backup);
    return {};
}
