#include "palette/XmlDoc.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>

// ---------------------------------------------------------------------------
// TXmlElement

TXmlElement::TXmlElement(const QString& name)
    : FName(name)
{
}

TXmlElement::~TXmlElement()
{
    // Tear the subtree down level by level, so a deep tree cannot exhaust the stack
    // through recursive destructors.
    std::vector<std::unique_ptr<TXmlElement>> pending;
    pending.swap(FChildren);
    while (!pending.empty()) {
        std::unique_ptr<TXmlElement> node = std::move(pending.back());
        pending.pop_back();
        for (auto& child : node->FChildren)
            pending.push_back(std::move(child));
        node->FChildren.clear();
    }
}

TXmlElement* TXmlElement::Child(int index) const
{
    if (index < 0 || index >= ChildCount())
        return nullptr;
    return FChildren[static_cast<size_t>(index)].get();
}

QList<TXmlElement*> TXmlElement::Children() const
{
    QList<TXmlElement*> result;
    result.reserve(ChildCount());
    for (const auto& child : FChildren)
        result.append(child.get());
    return result;
}

TXmlElement* TXmlElement::FirstChild(const QString& name) const
{
    for (const auto& child : FChildren)
        if (child->FName == name)
            return child.get();
    return nullptr;
}

QList<TXmlElement*> TXmlElement::ChildrenNamed(const QString& name) const
{
    QList<TXmlElement*> result;
    for (const auto& child : FChildren)
        if (child->FName == name)
            result.append(child.get());
    return result;
}

QString TXmlElement::Attribute(const QString& name) const
{
    for (const auto& attribute : FAttributes)
        if (attribute.first == name)
            return attribute.second;
    return QString();
}

bool TXmlElement::HasAttribute(const QString& name) const
{
    return std::any_of(
        FAttributes.begin(), FAttributes.end(), [&](const QPair<QString, QString>& a) { return a.first == name; });
}

void TXmlElement::SetAttribute(const QString& name, const QString& value)
{
    for (auto& attribute : FAttributes) {
        if (attribute.first == name) {
            attribute.second = value;
            return;
        }
    }
    FAttributes.append({name, value});
}

void TXmlElement::SetText(const QString& text)
{
    FText = text;
}

TXmlElement* TXmlElement::AppendChild(const QString& name)
{
    auto child = std::make_unique<TXmlElement>(name);
    child->FParent = this;
    FChildren.push_back(std::move(child));
    return FChildren.back().get();
}

void TXmlElement::RemoveAllChildren()
{
    std::vector<std::unique_ptr<TXmlElement>> doomed;
    doomed.swap(FChildren);
    // Destroyed here, iteratively, by each element's destructor.
}

namespace {

std::unique_ptr<TXmlElement> CloneTree(const TXmlElement& source)
{
    // Breadth-first with an explicit queue: no recursion, and the copy is complete
    // before it is attached anywhere, so copying into the source's own subtree
    // cannot chase its own tail.
    auto root = std::make_unique<TXmlElement>(source.Name());
    std::vector<std::pair<const TXmlElement*, TXmlElement*>> queue {{&source, root.get()}};
    for (size_t i = 0; i < queue.size(); ++i) {
        const TXmlElement* from = queue[i].first;
        TXmlElement* to = queue[i].second;
        for (const auto& attribute : from->Attributes())
            to->SetAttribute(attribute.first, attribute.second);
        to->SetText(from->Text());
        for (int c = 0; c < from->ChildCount(); ++c) {
            const TXmlElement* child = from->Child(c);
            queue.emplace_back(child, to->AppendChild(child->Name()));
        }
    }
    return root;
}

} // namespace

TXmlElement* TXmlElement::AppendCopy(const TXmlElement& source)
{
    std::unique_ptr<TXmlElement> copy = CloneTree(source);
    copy->FParent = this;
    FChildren.push_back(std::move(copy));
    return FChildren.back().get();
}

// ---------------------------------------------------------------------------
// TXmlDocument: reading

TXmlDocument::TXmlDocument() = default;

TXmlDocument::TXmlDocument(const QString& rootName)
{
    CreateRoot(rootName);
}

TXmlDocument::~TXmlDocument() = default;

TXmlElement* TXmlDocument::CreateRoot(const QString& name)
{
    FRoot = std::make_unique<TXmlElement>(name);
    return FRoot.get();
}

QString TXmlDocument::RootName() const
{
    return FRoot ? FRoot->Name() : QString();
}

bool TXmlDocument::Fail(TXmlError error, const QString& text) const
{
    FError = error;
    FErrorString = text;
    return false;
}

bool TXmlDocument::LoadFromFile(const QString& fileName)
{
    FRoot.reset();
    QFileInfo info(fileName);
    if (!info.exists())
        return Fail(TXmlError::FileNotFound, QStringLiteral("'%1' does not exist").arg(fileName));
    if (!info.isFile())
        return Fail(TXmlError::Unreadable, QStringLiteral("'%1' is not a file").arg(fileName));
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return Fail(TXmlError::Unreadable, file.errorString());
    return LoadFromDevice(&file);
}

namespace {

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

} // namespace

bool TXmlDocument::LoadFromDevice(QIODevice* device)
{
    FRoot.reset();
    if (!device || !device->isReadable())
        return Fail(TXmlError::Unreadable, QStringLiteral("device not readable"));
    const QByteArray data = ReadUpTo(*device, kMaxFileSize);
    if (data.size() > kMaxFileSize)
        return Fail(TXmlError::Unreadable, QStringLiteral("document larger than %1 bytes").arg(kMaxFileSize));
    if (auto* file = qobject_cast<QFileDevice*>(device); file && file->error() != QFileDevice::NoError)
        return Fail(TXmlError::Unreadable, file->errorString());
    return LoadFromBytes(data);
}

namespace {

// The encoding named in the XML declaration, or empty. The stream reader would find it
// too, but it gives no way to tell an unknown encoding apart from other faults.
QString DeclaredEncoding(const QByteArray& data)
{
    // The declaration must come first; a byte-order mark may precede it. Declarations
    // in UTF-16 carry a BOM and are left to the reader.
    QByteArray head = data.left(256);
    if (head.startsWith("\xEF\xBB\xBF"))
        head.remove(0, 3);
    if (!head.startsWith("<?xml"))
        return QString();
    const qsizetype end = head.indexOf("?>");
    if (end < 0)
        return QString();
    static const QRegularExpression re(QStringLiteral("encoding\\s*=\\s*([\"'])([A-Za-z0-9._:-]+)\\1"));
    const QRegularExpressionMatch m = re.match(QString::fromLatin1(head.left(end)));
    return m.hasMatch() ? m.captured(2) : QString();
}

bool IsBlank(const QString& text)
{
    return std::all_of(
        text.begin(), text.end(), [](QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; });
}

} // namespace

bool TXmlDocument::LoadFromBytes(const QByteArray& data)
{
    FRoot.reset();
    FError = TXmlError::None;
    FErrorString.clear();
    if (data.size() > kMaxFileSize)
        return Fail(TXmlError::Unreadable, QStringLiteral("document larger than %1 bytes").arg(kMaxFileSize));
    if (data.trimmed().isEmpty())
        return Fail(TXmlError::Empty, QStringLiteral("empty document"));

    const QString declared = DeclaredEncoding(data);
    if (!declared.isEmpty()) {
        QStringDecoder probe(declared.toLatin1().constData());
        if (!probe.isValid())
            return Fail(TXmlError::UnknownEncoding, QStringLiteral("unknown encoding '%1'").arg(declared));
    }

    QXmlStreamReader reader(data);
    // Internal entities stay usable but bounded; external ones are never fetched since
    // no entity resolver is installed, and their references are dropped below.
    reader.setEntityExpansionLimit(kEntityExpansionLimit);

    std::unique_ptr<TXmlElement> root;
    std::vector<TXmlElement*> stack;
    bool rootClosed = false;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        switch (token) {
        case QXmlStreamReader::StartElement: {
            if (static_cast<int>(stack.size()) >= kMaxDepth)
                return Fail(TXmlError::TooDeep,
                    QStringLiteral("elements nested deeper than %1 (line %2)").arg(kMaxDepth).arg(reader.lineNumber()));
            const QString name = reader.qualifiedName().toString();
            TXmlElement* element;
            if (stack.empty()) {
                root = std::make_unique<TXmlElement>(name);
                element = root.get();
            } else {
                element = stack.back()->AppendChild(name);
            }
            const QXmlStreamAttributes attributes = reader.attributes();
            for (const QXmlStreamAttribute& attribute : attributes)
                element->SetAttribute(attribute.qualifiedName().toString(), attribute.value().toString());
            stack.push_back(element);
            break;
        }
        case QXmlStreamReader::EndElement: {
            TXmlElement* element = stack.back();
            // Indentation between child elements is layout, not text.
            if (element->ChildCount() > 0 && IsBlank(element->Text()))
                element->SetText(QString());
            stack.pop_back();
            if (stack.empty())
                rootClosed = true;
            break;
        }
        case QXmlStreamReader::Characters:
            if (!stack.empty())
                stack.back()->FText += reader.text();
            break;
        default:
            // Declarations, comments, processing instructions, the DTD and unresolved
            // entity references carry nothing we read.
            break;
        }
    }

    if (reader.hasError()) {
        const QString where
            = QStringLiteral(" (line %1, column %2)").arg(reader.lineNumber()).arg(reader.columnNumber());
        // Qt reports an exceeded expansion limit as a plain well-formedness error.
        if (reader.errorString().contains(QLatin1String("expansion limit"), Qt::CaseInsensitive))
            return Fail(TXmlError::EntityLimit, reader.errorString() + where);
        if (!root && reader.error() == QXmlStreamReader::PrematureEndOfDocumentError)
            return Fail(TXmlError::NoRoot, reader.errorString() + where);
        return Fail(TXmlError::NotWellFormed, reader.errorString() + where);
    }
    if (!root || !rootClosed)
        return Fail(TXmlError::NoRoot, QStringLiteral("no root element"));

    FRoot = std::move(root);
    FEncoding = declared.isEmpty() ? QStringLiteral("UTF-8") : declared;
    return true;
}

// ---------------------------------------------------------------------------
// TXmlDocument: writing

namespace {

// XML 1.0 cannot carry control characters, unpaired surrogates or U+FFFE/U+FFFF, not
// even as character references; writing them would make the file unreadable, so they
// are left out.
QString XmlSafe(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const char16_t u = c.unicode();
        if (c.isHighSurrogate()) {
            if (i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                result += c;
                result += text.at(++i);
            }
            continue;
        }
        if (c.isLowSurrogate())
            continue;
        if (u < 0x20 && u != 0x09 && u != 0x0A && u != 0x0D)
            continue;
        if (u == 0xFFFE || u == 0xFFFF)
            continue;
        result += c;
    }
    return result;
}

void WriteElement(QXmlStreamWriter& writer, const TXmlElement& element)
{
    // Iterative so a deep tree built in code cannot overflow the stack.
    struct Frame {
        const TXmlElement* element;
        int next;
    };
    std::vector<Frame> stack;
    auto open = [&](const TXmlElement* e) {
        writer.writeStartElement(e->Name());
        for (const auto& attribute : e->Attributes())
            writer.writeAttribute(attribute.first, XmlSafe(attribute.second));
        if (!e->Text().isEmpty())
            writer.writeCharacters(XmlSafe(e->Text()));
        stack.push_back({e, 0});
    };
    open(&element);
    while (!stack.empty()) {
        Frame& top = stack.back();
        if (top.next < top.element->ChildCount()) {
            const TXmlElement* child = top.element->Child(top.next++);
            open(child);
        } else {
            writer.writeEndElement();
            stack.pop_back();
        }
    }
}

bool IsUnicodeEncoding(const QString& name)
{
    const QString n = name.toUpper();
    return n == u"UTF-8" || n == u"UTF8";
}

} // namespace

QByteArray TXmlDocument::SaveToBytes() const
{
    FError = TXmlError::None;
    FErrorString.clear();
    if (!FRoot) {
        Fail(TXmlError::WriteFailed, QStringLiteral("no root element"));
        return QByteArray();
    }
    const QByteArray encodingName = FEncoding.toLatin1();
    QStringEncoder encoder(encodingName.constData());
    if (!encoder.isValid()) {
        Fail(TXmlError::UnknownEncoding, QStringLiteral("unknown encoding '%1'").arg(FEncoding));
        return QByteArray();
    }

    QString body;
    {
        QXmlStreamWriter writer(&body);
        writer.setAutoFormatting(!FCompact);
        writer.setAutoFormattingIndent(2);
        WriteElement(writer, *FRoot);
    }

    // The writer leaves a carriage return in text as it is, and a reader turns CR LF into
    // LF; a reference keeps it. Characters the target encoding lacks become numeric
    // references too, since an encoder would silently put a substitute byte in their
    // place. Outside text and attribute values the writer only emits ASCII.
    const bool unicode = IsUnicodeEncoding(FEncoding);
    QHash<char32_t, bool> encodable;
    auto canEncode = [&](char32_t code) {
        auto it = encodable.constFind(code);
        if (it != encodable.constEnd())
            return *it;
        QStringEncoder probe(encodingName.constData(), QStringConverter::Flag::Stateless);
        const QString one = QString::fromUcs4(&code, 1);
        const QByteArray bytes = probe.encode(one);
        bool ok = !probe.hasError() && !bytes.isEmpty();
        if (ok) {
            // Some converters substitute without flagging it; a round trip settles it.
            QStringDecoder back(encodingName.constData(), QStringConverter::Flag::Stateless);
            ok = QString(back.decode(bytes)) == one;
        }
        encodable.insert(code, ok);
        return ok;
    };
    QString text;
    text.reserve(body.size() + 64);
    text += QStringLiteral("<?xml version=\"1.0\" encoding=\"%1\"?>").arg(FEncoding);
    if (!FCompact)
        text += u'\n';
    for (qsizetype i = 0; i < body.size(); ++i) {
        const QChar c = body.at(i);
        if (c == u'\r') {
            text += QStringLiteral("&#13;");
            continue;
        }
        if (c.unicode() < 0x80 || unicode) {
            text += c;
            continue;
        }
        char32_t code = c.unicode();
        qsizetype width = 1;
        if (c.isHighSurrogate() && i + 1 < body.size() && body.at(i + 1).isLowSurrogate()) {
            code = QChar::surrogateToUcs4(c, body.at(i + 1));
            width = 2;
        }
        if (canEncode(code))
            text += body.mid(i, width);
        else
            text += QStringLiteral("&#%1;").arg(static_cast<quint32>(code));
        i += width - 1;
    }
    if (!FCompact)
        text += u'\n';

    QByteArray bytes = encoder.encode(text);
    if (encoder.hasError()) {
        Fail(TXmlError::WriteFailed, QStringLiteral("text could not be encoded as '%1'").arg(FEncoding));
        return QByteArray();
    }
    return bytes;
}

bool TXmlDocument::SaveToDevice(QIODevice* device) const
{
    const QByteArray bytes = SaveToBytes();
    if (bytes.isEmpty())
        return false;
    if (!device || !device->isWritable())
        return Fail(TXmlError::WriteFailed, QStringLiteral("device not writable"));
    if (device->write(bytes) != bytes.size())
        return Fail(TXmlError::WriteFailed, device->errorString());
    return true;
}

bool TXmlDocument::SaveToFile(const QString& fileName) const
{
    const QByteArray bytes = SaveToBytes();
    if (bytes.isEmpty())
        return false;
    QSaveFile file(fileName);
    // Unbuffered: a buffered save file flushes at commit and, in Qt 6.4, commits a
    // cut-off file when that flush fails. Written directly, the short count shows.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return Fail(TXmlError::WriteFailed, file.errorString());
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return Fail(TXmlError::WriteFailed, file.errorString());
    }
    if (!file.commit())
        return Fail(TXmlError::WriteFailed, file.errorString());
    return true;
}
