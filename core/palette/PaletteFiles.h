#pragma once
// Readers and writers of the palette document: the binary collection file (".kvfc"),
// the collection stream exchanged between running copies, the XML collection file
// (".xml"), the legacy palette file (".kvf", read only) and Color Schemer palettes
// (".cs", read only).
//
// The core shows no message boxes. Every reader returns a TPaletteFileResult carrying
// the user-facing text the shell shows (empty when nothing is to be shown) and fills
// its target only on success: it reads into a collection of its own and appends that
// to the target at the end, so a failed read leaves the target exactly as it was.
//
// Readers never trust the bytes: a count or string length that needs more bytes than
// remain ends the read as a truncated file instead of allocating or looping on it.

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;
class TRichPalette;
class TRichPaletteList;

enum class TPaletteFileError {
    None,
    FileNotFound, // nothing read, nothing to show
    Unreadable, // could not be opened or read, or implausibly large
    UnsupportedFormat, // wrong signature or Color Schemer version
    UnknownFormat, // a binary format number we do not know: refused silently
    Truncated, // a field runs past the end of the data
    NotXml, // the XML document could not be loaded
    NoPalettes, // an XML file without any palette
    WriteFailed
};

struct TPaletteFileResult {
    TPaletteFileError Error = TPaletteFileError::None;
    // The text the shell shows in a message box, as the program words it; empty when
    // the failure is silent (missing file, unknown format number).
    QString Message;
    // Context for the log and the status bar: field, offset, system error.
    QString Detail;
    // An XML collection with an unexpected FileFormat is still read, after a beep.
    bool Beep = false;

    bool Ok() const { return Error == TPaletteFileError::None; }
    explicit operator bool() const { return Ok(); }
};

// The ".kvfc" signature and the format numbers of the collection body.
inline constexpr char kCollectionSignature[] = "Korvel";
inline constexpr int kCollectionFormat = 200;
inline constexpr int kCollectionFormatOld = 100;
// No palette document comes anywhere near this; larger input is refused unread.
inline constexpr qint64 kMaxPaletteFileSize = 64 * 1024 * 1024;

// --- Binary collection file (".kvfc") ---------------------------------------------

// Reads a format-200 or format-100 file and appends its palettes to List (each one
// made current as it comes), then selects the stored current index.
TPaletteFileResult ReadCollectionFile(TRichPaletteList& List, const QString& FileName);
// The same from the file's bytes (signature, format number, body).
TPaletteFileResult ReadCollectionData(TRichPaletteList& List, const QByteArray& Data);

// Format 200 or 100; any other number writes nothing and fails. The previous file is
// kept as ".bak" beside the target while writing and removed after a good write; the
// target itself is replaced only by a completely written file.
TPaletteFileResult WriteCollectionFile(
    const TRichPaletteList& List, const QString& FileName, int Format = kCollectionFormat);
// The whole file's bytes; empty for an unknown format.
QByteArray CollectionFileBytes(const TRichPaletteList& List, int Format = kCollectionFormat);

// --- Collection stream between running copies --------------------------------------

// The int32 200 followed by the format-200 body (no signature). Returns whether every
// byte was written.
bool WriteCollectionStream(QIODevice& Stream, const TRichPaletteList& List);
QByteArray CollectionStreamBytes(const TRichPaletteList& List);
// Reads the format number itself; anything but 200 is ignored (UnknownFormat, List
// untouched). Leaves a seekable Stream positioned after the body.
TPaletteFileResult ReadCollectionStream(QIODevice& Stream, TRichPaletteList& List);

// --- XML collection file (".xml") ---------------------------------------------------

// Reads RichPalette elements as palettes (the first becomes current). FileName also
// fills the message of a file without palettes.
TPaletteFileResult ReadXmlCollection(TRichPaletteList& List, const QString& FileName);
TPaletteFileResult ReadXmlCollectionData(TRichPaletteList& List, const QByteArray& Data, const QString& FileName);
// Version is the generator's version text (major.minorrelease), GeneratorName the
// program's name. Declared encoding windows-1252, compact; characters outside that
// code page are written as character references. Same ".bak" rule as the binary file.
TPaletteFileResult WriteXmlCollection(
    const TRichPaletteList& List, const QString& FileName, const QString& Version, const QString& GeneratorName);
QByteArray XmlCollectionBytes(const TRichPaletteList& List, const QString& Version, const QString& GeneratorName);

// --- Legacy palette file (".kvf") ----------------------------------------------------

TPaletteFileResult ReadLegacyPalettes(TRichPaletteList& List, const QString& FileName);
TPaletteFileResult ReadLegacyPalettesData(TRichPaletteList& List, const QByteArray& Data, const QString& FileName);

// --- Color Schemer palette (".cs") -----------------------------------------------------

// Fills a palette the caller has added: its title becomes the file name without folder
// and extension, its description names the full path, and every colour is appended.
TPaletteFileResult ReadColorSchemer(TRichPalette& Palette, const QString& FileName);
TPaletteFileResult ReadColorSchemerData(TRichPalette& Palette, const QByteArray& Data, const QString& FileName);

// --- Writing with a backup ------------------------------------------------------------

// FileName with its extension replaced by ".bak" (appended when there is none).
QString BackupFileName(const QString& FileName);
// Keeps a copy of an existing FileName as its ".bak", lets Write fill a temporary file
// beside it and puts that in place of FileName only when Write returned true and every
// byte reached the disk. On success the ".bak" is removed; on failure FileName is
// untouched and the ".bak" stays.
TPaletteFileResult WriteFileWithBackup(const QString& FileName, const std::function<bool(QIODevice&)>& Write);
