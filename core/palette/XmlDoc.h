#pragma once
// The one XML reader and writer of Korvel: a small in-memory element tree over Qt's
// stream reader and writer. The collection, legacy palette, colour-formula and
// test-pattern files all go through it, so it is deliberately narrow.
//
// Reading never resolves anything from outside the document: external entities are
// left unexpanded (their references are dropped), and internal entity expansion is
// capped so a "billion laughs" document fails instead of eating memory.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

#include <memory>
#include <vector>

class QIODevice;

enum class TXmlError {
    None,
    FileNotFound, // no such file
    Unreadable, // exists but cannot be opened or read, or too large
    Empty, // no bytes, or only white space
    NotWellFormed, // the parser gave up (also any non-XML content)
    NoRoot, // well-formed prolog but no element
    TooDeep, // nesting beyond what any of our files uses
    EntityLimit, // internal entity expansion beyond the cap
    UnknownEncoding, // declared encoding we cannot decode
    WriteFailed
};

class TXmlElement {
public:
    explicit TXmlElement(const QString& name);
    ~TXmlElement();
    TXmlElement(const TXmlElement&) = delete;
    TXmlElement& operator=(const TXmlElement&) = delete;

    const QString& Name() const { return FName; }
    TXmlElement* Parent() const { return FParent; }

    // Child elements in document order.
    int ChildCount() const { return static_cast<int>(FChildren.size()); }
    // nullptr outside 0..ChildCount()-1.
    TXmlElement* Child(int index) const;
    QList<TXmlElement*> Children() const;
    // First child with exactly this name, or nullptr.
    TXmlElement* FirstChild(const QString& name) const;
    // All children with exactly this name, in order.
    QList<TXmlElement*> ChildrenNamed(const QString& name) const;

    // An absent attribute reads as empty text; callers apply their own defaults.
    QString Attribute(const QString& name) const;
    bool HasAttribute(const QString& name) const;
    // Attributes in the order they were read or first set.
    const QList<QPair<QString, QString>>& Attributes() const { return FAttributes; }
    // Replaces the value in place when present, else appends.
    void SetAttribute(const QString& name, const QString& value);

    // The element's own character data (CDATA included). White space that only
    // separates child elements is not text.
    const QString& Text() const { return FText; }
    void SetText(const QString& text);

    // Appends a new empty child and returns it (owned by this element).
    TXmlElement* AppendChild(const QString& name);
    void RemoveAllChildren();
    // Appends a deep copy of source (name, attributes, text, whole subtree) as the
    // last child of this element and returns the copy. source may belong to another
    // document; copying an element under its own subtree is safe (the source is
    // copied as it was before the call).
    TXmlElement* AppendCopy(const TXmlElement& source);

private:
    friend class TXmlDocument;
    QString FName;
    QString FText;
    QList<QPair<QString, QString>> FAttributes;
    std::vector<std::unique_ptr<TXmlElement>> FChildren;
    TXmlElement* FParent = nullptr;
};

class TXmlDocument {
public:
    TXmlDocument();
    // A new document whose root element has this name.
    explicit TXmlDocument(const QString& rootName);
    ~TXmlDocument();
    TXmlDocument(const TXmlDocument&) = delete;
    TXmlDocument& operator=(const TXmlDocument&) = delete;

    // Replaces the whole tree with a single empty root element.
    TXmlElement* CreateRoot(const QString& name);
    TXmlElement* Root() const { return FRoot.get(); }
    // Empty when there is no root.
    QString RootName() const;

    // Each load replaces the tree; on failure the document is left without a root
    // and Error()/ErrorString() say why.
    bool LoadFromFile(const QString& fileName);
    bool LoadFromBytes(const QByteArray& data);
    bool LoadFromDevice(QIODevice* device);

    TXmlError Error() const { return FError; }
    // For logs and messages: what went wrong and where (line, column).
    QString ErrorString() const { return FErrorString; }

    // The encoding named in the XML declaration: set by a load (the declared name,
    // "UTF-8" when none was declared), used by the writers. New documents: "UTF-8".
    // Any name ICU knows may be given; text the encoding cannot hold is written as
    // numeric character references, so nothing is lost.
    QString Encoding() const { return FEncoding; }
    void SetEncoding(const QString& encoding) { FEncoding = encoding; }

    // Compact output puts elements one after another without indentation or line
    // breaks; otherwise children are indented by two blanks. Default: indented.
    bool Compact() const { return FCompact; }
    void SetCompact(bool compact) { FCompact = compact; }

    // The declaration, then the tree. Empty bytes when there is no root or the
    // encoding is unknown.
    QByteArray SaveToBytes() const;
    bool SaveToDevice(QIODevice* device) const;
    // Replaces the file as a whole (the old file survives a failed write).
    bool SaveToFile(const QString& fileName) const;

    // Caps of the reader, public so tests can reach them.
    static constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;
    static constexpr int kMaxDepth = 512;
    static constexpr int kEntityExpansionLimit = 4096;

private:
    bool Fail(TXmlError error, const QString& text) const;
    std::unique_ptr<TXmlElement> FRoot;
    QString FEncoding = QStringLiteral("UTF-8");
    bool FCompact = false;
    mutable TXmlError FError = TXmlError::None;
    mutable QString FErrorString;
};
