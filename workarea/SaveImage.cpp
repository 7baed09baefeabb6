#include "workarea/SaveImage.h"

#include "movie/MoviePlayer.h"
#include "workarea/PptBase.h"
#include "workarea/Scene.h"

#include <QBuffer>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QImageWriter>
#include <QSaveFile>

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

QStringList SaveImageNameFilters()
{
    return {QStringLiteral("SWF (*.swf)"), QStringLiteral("BMP (*.bmp)"), QStringLiteral("JPG (*.jpg)"),
        QStringLiteral("GIF (*.gif)")};
}

void ConfigureSaveImageDialog(QFileDialog& Dialog)
{
    Dialog.setAcceptMode(QFileDialog::AcceptSave);
    Dialog.setFileMode(QFileDialog::AnyFile);
    Dialog.setNameFilters(SaveImageNameFilters());
    Dialog.setDefaultSuffix(QString::fromLatin1(kSaveImageDefaultSuffix));
    Dialog.setOption(QFileDialog::DontConfirmOverwrite, false);
}

TSaveImageKind SaveImageKindOf(const QString& FileName)
{
    const QString name = QFileInfo(FileName).fileName();
    const qsizetype dot = name.lastIndexOf(u'.');
    if (dot < 0)
        return sikNone;
    const QString ext = name.mid(dot + 1).toUpper();
    if (ext == QLatin1String("SWF"))
        return sikSwf;
    if (ext == QLatin1String("BMP"))
        return sikBmp;
    if (ext == QLatin1String("JPG"))
        return sikJpg;
    if (ext == QLatin1String("GIF"))
        return sikGif;
    return sikNone;
}

TSaveImageKind SaveImage(
    TfrmPptBase& Page, TMoviePlayer& Player, const QString& FileName, TColorTransfer* Transfer, TRichPalette* Matching)
{
    const TSaveImageKind kind = SaveImageKindOf(FileName);
    switch (kind) {
    case sikNone: break;
    case sikSwf: Page.BuildScene(&Player, kSaveImageSceneSize, FileName, Transfer, Matching); break;
    case sikBmp:
    case sikJpg:
    case sikGif: SavePictureFile(Player.FrameImage(), FileName, kind); break;
    }
    return kind;
}

namespace {

// Files and viewers expect an opaque picture; whatever shows through is composed on black
// (the player paints its own background, so its pictures have none).
QImage Opaque(const QImage& Picture)
{
    return Picture.convertToFormat(QImage::Format_RGB32);
}

} // namespace

bool WriteBmp(const QImage& Picture, QIODevice& Device)
{
    QImageWriter writer(&Device, "bmp");
    return writer.write(Opaque(Picture).convertToFormat(QImage::Format_RGB888));
}

bool WriteJpeg(const QImage& Picture, QIODevice& Device, int Quality)
{
    QImageWriter writer(&Device, "jpeg");
    writer.setQuality(Quality);
    return writer.write(Opaque(Picture));
}

bool WriteGif(const QImage& Picture, QIODevice& Device)
{
    const QByteArray bytes = EncodeGif(QuantizeImage(Picture, 256, true));
    return !bytes.isEmpty() && Device.write(bytes) == bytes.size();
}

void SavePictureFile(const QImage& Picture, const QString& FileName, TSaveImageKind Kind)
{
    QSaveFile file(FileName);
    if (!file.open(QIODevice::WriteOnly))
        throw ESceneWriteError(QStringLiteral("Cannot create %1: %2").arg(FileName, file.errorString()));
    bool written = false;
    switch (Kind) {
    case sikBmp: written = WriteBmp(Picture, file); break;
    case sikJpg: written = WriteJpeg(Picture, file); break;
    case sikGif: written = WriteGif(Picture, file); break;
    case sikNone:
    case sikSwf: break;
    }
    if (!written) {
        file.cancelWriting();
        throw ESceneWriteError(QStringLiteral("Cannot write the picture to %1").arg(FileName));
    }
    if (!file.commit())
        throw ESceneWriteError(QStringLiteral("Cannot write %1: %2").arg(FileName, file.errorString()));
}

// ---- Colour reduction ----

namespace {

struct TRgb {
    int r = 0, g = 0, b = 0;
};

// Histogram cells of 5 bits per channel: what the median cut splits.
constexpr int kCellBits = 5;
constexpr int kCellLevels = 1 << kCellBits;
int CellOf(int r, int g, int b)
{
    return ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
}

struct TCell {
    std::uint64_t count = 0;
    std::uint64_t r = 0, g = 0, b = 0; // sums of the exact channel values
};

struct TBox {
    std::vector<int> cells; // non-empty cells inside
    std::uint64_t count = 0;
    std::array<int, 3> lo {}, hi {}; // channel ranges in cell units
    int LongestAxis() const
    {
        int axis = 0;
        for (int a = 1; a < 3; ++a) {
            if (hi[a] - lo[a] > hi[axis] - lo[axis])
                axis = a;
        }
        return axis;
    }
    int Side(int Axis) const { return hi[Axis] - lo[Axis]; }
};

int CellChannel(int Cell, int Axis)
{
    return (Cell >> (10 - 5 * Axis)) & (kCellLevels - 1);
}

void Shrink(TBox& Box, const std::vector<TCell>& Cells)
{
    Box.count = 0;
    Box.lo = {kCellLevels, kCellLevels, kCellLevels};
    Box.hi = {-1, -1, -1};
    for (const int c : Box.cells) {
        Box.count += Cells[c].count;
        for (int a = 0; a < 3; ++a) {
            Box.lo[a] = std::min(Box.lo[a], CellChannel(c, a));
            Box.hi[a] = std::max(Box.hi[a], CellChannel(c, a));
        }
    }
}

std::vector<TRgb> MedianCut(const std::vector<TCell>& Cells, int MaxColors)
{
    std::vector<TBox> boxes(1);
    for (int c = 0; c < static_cast<int>(Cells.size()); ++c) {
        if (Cells[c].count)
            boxes[0].cells.push_back(c);
    }
    Shrink(boxes[0], Cells);
    while (static_cast<int>(boxes.size()) < MaxColors) {
        // The box with the most pixels over the widest range gives the largest errors.
        int pick = -1;
        double best = 0;
        for (int i = 0; i < static_cast<int>(boxes.size()); ++i) {
            const TBox& box = boxes[i];
            if (box.cells.size() < 2)
                continue;
            const double score = static_cast<double>(box.count) * (box.Side(box.LongestAxis()) + 1);
            if (score > best) {
                best = score;
                pick = i;
            }
        }
        if (pick < 0)
            break;
        TBox& box = boxes[pick];
        const int axis = box.LongestAxis();
        std::sort(box.cells.begin(), box.cells.end(),
            [axis](int a, int b) { return CellChannel(a, axis) < CellChannel(b, axis); });
        // Split where half of the box's pixels lie on either side, keeping both halves
        // non-empty.
        std::uint64_t running = 0;
        std::size_t split = 1;
        for (std::size_t i = 0; i + 1 < box.cells.size(); ++i) {
            running += Cells[box.cells[i]].count;
            split = i + 1;
            if (running * 2 >= box.count)
                break;
        }
        TBox upper;
        upper.cells.assign(box.cells.begin() + static_cast<std::ptrdiff_t>(split), box.cells.end());
        box.cells.resize(split);
        Shrink(box, Cells);
        Shrink(upper, Cells);
        boxes.push_back(std::move(upper));
    }
    std::vector<TRgb> palette;
    palette.reserve(boxes.size());
    for (const TBox& box : boxes) {
        std::uint64_t n = 0, r = 0, g = 0, b = 0;
        for (const int c : box.cells) {
            n += Cells[c].count;
            r += Cells[c].r;
            g += Cells[c].g;
            b += Cells[c].b;
        }
        if (n)
            palette.push_back({static_cast<int>((r + n / 2) / n), static_cast<int>((g + n / 2) / n),
                static_cast<int>((b + n / 2) / n)});
    }
    return palette;
}

// Nearest palette entry, remembered per cell of 6 bits per channel (the diffused values
// are spread over the whole cube, so a full table would mostly go unused).
class TNearest {
public:
    explicit TNearest(const std::vector<TRgb>& Palette)
        : FPalette(Palette)
        , FCache(1 << 18, -1)
    {
    }
    int operator()(int r, int g, int b)
    {
        const int key = ((r >> 2) << 12) | ((g >> 2) << 6) | (b >> 2);
        std::int16_t& slot = FCache[key];
        if (slot < 0)
            slot = static_cast<std::int16_t>(Search((r & ~3) + 2, (g & ~3) + 2, (b & ~3) + 2));
        return slot;
    }

private:
    int Search(int r, int g, int b) const
    {
        int best = 0;
        int bestDistance = std::numeric_limits<int>::max();
        for (int i = 0; i < static_cast<int>(FPalette.size()); ++i) {
            const int dr = r - FPalette[i].r, dg = g - FPalette[i].g, db = b - FPalette[i].b;
            // Green counts most and blue least, roughly as the eye weighs them.
            const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
            if (d < bestDistance) {
                bestDistance = d;
                best = i;
            }
        }
        return best;
    }
    const std::vector<TRgb>& FPalette;
    std::vector<std::int16_t> FCache;
};

QVector<QRgb> ColorTable(const std::vector<TRgb>& Palette)
{
    QVector<QRgb> table;
    table.reserve(static_cast<qsizetype>(Palette.size()));
    for (const TRgb& c : Palette)
        table.push_back(qRgb(c.r, c.g, c.b));
    return table;
}

} // namespace

QImage QuantizeImage(const QImage& Picture, int MaxColors, bool Dither)
{
    MaxColors = std::clamp(MaxColors, 2, 256);
    const QImage source = Opaque(Picture);
    const int w = source.width(), h = source.height();
    QImage out(w, h, QImage::Format_Indexed8);
    if (source.isNull() || out.isNull())
        return {};

    // Few enough colours: keep them exactly.
    QHash<QRgb, int> exact;
    for (int y = 0; y < h && exact.size() <= MaxColors; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const QRgb c = line[x] | 0xFF000000u;
            if (!exact.contains(c)) {
                const int index = static_cast<int>(exact.size());
                exact.insert(c, index);
                if (exact.size() > MaxColors)
                    break;
            }
        }
    }
    if (exact.size() <= MaxColors) {
        QVector<QRgb> table(exact.size());
        for (auto it = exact.cbegin(); it != exact.cend(); ++it)
            table[it.value()] = it.key();
        out.setColorTable(table);
        for (int y = 0; y < h; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(y));
            uchar* dest = out.scanLine(y);
            for (int x = 0; x < w; ++x)
                dest[x] = static_cast<uchar>(exact.value(line[x] | 0xFF000000u));
        }
        return out;
    }

    std::vector<TCell> cells(kCellLevels * kCellLevels * kCellLevels);
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const int r = qRed(line[x]), g = qGreen(line[x]), b = qBlue(line[x]);
            TCell& cell = cells[CellOf(r, g, b)];
            ++cell.count;
            cell.r += r;
            cell.g += g;
            cell.b += b;
        }
    }
    const std::vector<TRgb> palette = MedianCut(cells, MaxColors);
    out.setColorTable(ColorTable(palette));
    TNearest nearest(palette);

    // Errors in sixteenths, for this row and the next, with a spare column at each end.
    std::vector<std::array<int, 3>> here(w + 2), below(w + 2);
    for (int y = 0; y < h; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(source.constScanLine(y));
        uchar* dest = out.scanLine(y);
        std::fill(below.begin(), below.end(), std::array<int, 3> {});
        for (int x = 0; x < w; ++x) {
            std::array<int, 3> want = {qRed(line[x]), qGreen(line[x]), qBlue(line[x])};
            if (Dither) {
                for (int a = 0; a < 3; ++a) {
                    // Round the sixteenths to nearest, symmetrically about zero.
                    const int e = here[x + 1][a];
                    want[a] = std::clamp(want[a] + (e >= 0 ? (e + 8) / 16 : -((-e + 8) / 16)), 0, 255);
                }
            }
            const int index = nearest(want[0], want[1], want[2]);
            dest[x] = static_cast<uchar>(index);
            if (!Dither)
                continue;
            const TRgb& got = palette[index];
            const std::array<int, 3> error = {want[0] - got.r, want[1] - got.g, want[2] - got.b};
            for (int a = 0; a < 3; ++a) {
                here[x + 2][a] += error[a] * 7;
                below[x][a] += error[a] * 3;
                below[x + 1][a] += error[a] * 5;
                below[x + 2][a] += error[a] * 1;
            }
        }
        std::swap(here, below);
    }
    return out;
}

// ---- GIF ----

namespace {

// Codes go out least significant bit first, packed into bytes.
class TBitPacker {
public:
    void Put(int Code, int Bits)
    {
        FAccumulator |= static_cast<std::uint32_t>(Code) << FCount;
        FCount += Bits;
        while (FCount >= 8) {
            FBytes.push_back(static_cast<char>(FAccumulator & 0xFF));
            FAccumulator >>= 8;
            FCount -= 8;
        }
    }
    QByteArray Finish()
    {
        if (FCount > 0)
            FBytes.push_back(static_cast<char>(FAccumulator & 0xFF));
        FAccumulator = 0;
        FCount = 0;
        return FBytes;
    }

private:
    QByteArray FBytes;
    std::uint32_t FAccumulator = 0;
    int FCount = 0;
};

constexpr int kMaxCodes = 4096; // 12-bit codes

// GIF's LZW: a clear code first, codes one bit wider than the pixels, growing by a bit
// whenever the next free code no longer fits, and a clear code when all 4096 are taken.
// The reader adds each table entry one code later than we do, so the width grows once
// our next free code exceeds what the current width can hold.
QByteArray LzwCompress(const uchar* Pixels, qsizetype Count, int MinCodeSize)
{
    const int clearCode = 1 << MinCodeSize;
    const int endCode = clearCode + 1;
    // Table of strings: child[code * 256 + pixel] is the code of string(code) + pixel.
    std::vector<std::uint16_t> child(static_cast<std::size_t>(kMaxCodes) * 256, 0);
    int codeSize = MinCodeSize + 1;
    int nextCode = endCode + 1;
    TBitPacker out;
    out.Put(clearCode, codeSize);

    auto emit = [&](int code) {
        out.Put(code, codeSize);
        ++nextCode;
        if (nextCode > (1 << codeSize) && codeSize < 12)
            ++codeSize;
    };

    int prefix = Pixels[0];
    for (qsizetype i = 1; i < Count; ++i) {
        const int pixel = Pixels[i];
        std::uint16_t& slot = child[static_cast<std::size_t>(prefix) * 256 + pixel];
        if (slot) {
            prefix = slot;
            continue;
        }
        slot = static_cast<std::uint16_t>(nextCode);
        emit(prefix);
        if (nextCode == kMaxCodes) {
            out.Put(clearCode, codeSize);
            std::fill(child.begin(), child.end(), 0);
            codeSize = MinCodeSize + 1;
            nextCode = endCode + 1;
        }
        prefix = pixel;
    }
    // The reader adds an entry for the last code too, which may widen the end code.
    emit(prefix);
    out.Put(endCode, codeSize);
    return out.Finish();
}

void PutWord(QByteArray& Bytes, int Value)
{
    Bytes.push_back(static_cast<char>(Value & 0xFF));
    Bytes.push_back(static_cast<char>((Value >> 8) & 0xFF));
}

} // namespace

QByteArray EncodeGif(const QImage& Indexed)
{
    if (Indexed.format() != QImage::Format_Indexed8 || Indexed.isNull() || Indexed.width() > 0xFFFF
        || Indexed.height() > 0xFFFF)
        return {};
    const QVector<QRgb> table = Indexed.colorTable();
    if (table.isEmpty() || table.size() > 256)
        return {};
    int bits = 1;
    while ((1 << bits) < table.size())
        ++bits;
    const int w = Indexed.width(), h = Indexed.height();

    QByteArray gif("GIF89a");
    PutWord(gif, w);
    PutWord(gif, h);
    // A global colour table of 2^bits entries, colour resolution as deep as the table.
    gif.push_back(static_cast<char>(0x80 | ((bits - 1) << 4) | (bits - 1)));
    gif.push_back('\0'); // background colour index
    gif.push_back('\0'); // square pixels
    for (int i = 0; i < (1 << bits); ++i) {
        const QRgb c = i < table.size() ? table[i] : 0;
        gif.push_back(static_cast<char>(qRed(c)));
        gif.push_back(static_cast<char>(qGreen(c)));
        gif.push_back(static_cast<char>(qBlue(c)));
    }
    // One image covering the screen, not interlaced, no local table.
    gif.push_back(',');
    PutWord(gif, 0);
    PutWord(gif, 0);
    PutWord(gif, w);
    PutWord(gif, h);
    gif.push_back('\0');

    std::vector<uchar> pixels(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        const uchar* line = Indexed.constScanLine(y);
        for (int x = 0; x < w; ++x)
            pixels[static_cast<std::size_t>(y) * w + x] = line[x] < table.size() ? line[x] : 0;
    }
    const int minCodeSize = std::max(2, bits);
    gif.push_back(static_cast<char>(minCodeSize));
    const QByteArray data = LzwCompress(pixels.data(), static_cast<qsizetype>(pixels.size()), minCodeSize);
    for (qsizetype at = 0; at < data.size(); at += 255) {
        const qsizetype n = std::min<qsizetype>(255, data.size() - at);
        gif.push_back(static_cast<char>(n));
        gif.append(data.constData() + at, n);
    }
    gif.push_back('\0');
    gif.push_back(';');
    return gif;
}
