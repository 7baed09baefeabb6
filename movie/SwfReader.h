#pragma once
// Reading SWF movies into the movie model.
//
// The reader refuses what it cannot read completely rather than guess: a movie whose
// bytes end early, whose tags overrun their length or the movie, or whose decoded tags do
// not parse is refused with an error kind, a message and the offset where reading failed.
// It never crashes and never loops on bad input: every count and length is checked
// against the bytes that remain before anything is allocated or repeated, and the
// decompressed size is capped.

#include <QByteArray>
#include <QString>

#include "movie/SwfModel.h"

namespace swf {

enum class ReadError {
    None,
    FileNotFound,   // no such file
    Unreadable,     // the file exists but cannot be read
    NotSwf,         // no FWS/CWS/ZWS signature, or shorter than a header
    Unsupported,    // LZMA-compressed (ZWS) movies
    TooLarge,       // the declared size exceeds the cap
    Decompression,  // the zlib stream is corrupt
    Truncated,      // the movie ends before its declared length, or a tag overruns it
    Malformed,      // a tag whose contents do not parse
};

struct ReadResult {
    ReadError error = ReadError::None;
    // For logs and messages: what went wrong and where.
    QString message;
    // Offset in the uncompressed movie (the 8-byte header counts, as in an FWS file)
    // where reading failed; -1 when there is none.
    qint64 offset = -1;
    // Code of the tag being read when it failed; -1 outside tags.
    int tagCode = -1;
    Movie movie;

    bool Ok() const { return error == ReadError::None; }
};

struct ReadOptions {
    // The largest uncompressed movie accepted, in bytes.
    qint64 maxSize = 64 * 1024 * 1024;
    // Decode the tags the model knows; when false every tag is kept raw.
    bool decodeTags = true;
    // DefineSprite inside DefineSprite is not legal SWF; a few levels are tolerated.
    int maxSpriteNesting = 8;
};

ReadResult ReadMovie(const QByteArray& bytes, const ReadOptions& options = {});
ReadResult ReadMovieFile(const QString& fileName, const ReadOptions& options = {});

// Decodes a single tag body (without its record header) as a movie of the given version
// would; the tag is kept raw when its code is not one the model decodes.
ReadResult ReadTagBody(std::uint16_t code, const QByteArray& body, int version);

// Copies tags of a read movie for use in another movie: a deep copy with every
// character renumbered from firstId upward in order of definition (see
// RenumberCharacters). Returns the copied tags and, in nextId, the next free id.
std::vector<Tag> CopyTagsRenumbered(const std::vector<Tag>& tags, std::uint16_t firstId = 20000,
                                    std::uint16_t* nextId = nullptr);

}  // namespace swf
