#pragma once
// Save Image: the page's scene as a movie file, or the player's current picture as a
// bitmap, JPEG or GIF file. The host asks for the file name (ConfigureSaveImageDialog)
// and calls SaveImage; the kind of file follows the name's extension, whatever its case.
//
// The GIF writer is our own: colours are reduced to at most 256 by median cut, then
// mapped with Floyd–Steinberg error diffusion, and the pixels packed with GIF's
// variable-width LZW.

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <cstdint>

class QFileDialog;
class QIODevice;
class TColorTransfer;
class TMoviePlayer;
class TRichPalette;
class TfrmPptBase;

enum TSaveImageKind : std::uint8_t { sikNone, sikSwf, sikBmp, sikJpg, sikGif };

// The size a saved movie is built for, whatever size the page lays out for in the player.
inline constexpr QSize kSaveImageSceneSize(1000, 1000);
inline constexpr int kSaveImageJpegQuality = 96;

// The dialog's filters ("SWF", "BMP", "JPG", "GIF", in that order) and its default
// extension.
QStringList SaveImageNameFilters();
inline constexpr const char* kSaveImageDefaultSuffix = "swf";
// A save dialog with those filters, the default extension and an overwrite prompt.
void ConfigureSaveImageDialog(QFileDialog& Dialog);

// By the text after the last ".", compared without regard to case with SWF, BMP, JPG and
// GIF; anything else (".png", ".jpeg", no extension) is sikNone.
TSaveImageKind SaveImageKindOf(const QString& FileName);

// Writes FileName by its extension: a movie through the page's BuildScene at 1000 x 1000,
// or Player's current picture. Returns what was written; sikNone writes nothing. A file
// that cannot be written throws ESceneWriteError.
TSaveImageKind SaveImage(
    TfrmPptBase& Page, TMoviePlayer& Player, const QString& FileName, TColorTransfer* Transfer, TRichPalette* Matching);

// The picture writers, on a device (false when it fails) and as files that are replaced
// only once written completely (ESceneWriteError when that fails). The picture is written
// opaque.
bool WriteBmp(const QImage& Picture, QIODevice& Device);
bool WriteJpeg(const QImage& Picture, QIODevice& Device, int Quality = kSaveImageJpegQuality);
bool WriteGif(const QImage& Picture, QIODevice& Device);
void SavePictureFile(const QImage& Picture, const QString& FileName, TSaveImageKind Kind);

// At most MaxColors (2..256) colours. A picture that has no more colours than that keeps
// them exactly; otherwise the palette comes from a median cut and, with Dither, each
// pixel's error is spread to its neighbours (Floyd–Steinberg: 7/16 right, 3/16 below
// left, 5/16 below, 1/16 below right). The result is Format_Indexed8.
QImage QuantizeImage(const QImage& Picture, int MaxColors = 256, bool Dither = true);
// The GIF file of an indexed picture (Format_Indexed8, at most 256 colours); an empty
// array when it cannot be one (no pixels, a side beyond 65535).
QByteArray EncodeGif(const QImage& Indexed);
