#pragma once
// The palette document model: a swatch (TRichColor), an ordered palette of swatches
// (TRichPalette) and a collection of palettes with a current one (TRichPaletteList).
// Every colour list of the program is one of these.
//
// Ownership: a container creates, owns and frees its items; pointers handed out stay
// valid until the item is deleted, the container is cleared or destroyed.
//
// Events: handlers take the sender first. A swatch reports its own changes through
// OnChange; inside a palette that handler is the palette's relay, which raises the
// palette's OnColorChange with the palette as sender. Handlers are copied into items
// when they are created; later changes to a container's handlers reach existing items
// only for OnAutoCaption.

#include "colour/ColorTypes.h"
#include "colour/ColorVision.h"
#include "colour/Events.h"

#include <QString>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

class TColorTransfer;
class TRichPalette;

using TPaletteChangeEvent = std::function<void(TObject* Sender)>;

// A comparison for TRichPalette::Sort kind 3: negative, zero or positive like strcmp.
class TRichColor;
using TRichColorCompare = std::function<int(const TRichColor* Item1, const TRichColor* Item2)>;

class TRichColor : public TObject {
public:
    TRichColor() = default;
    TRichColor(const TRichColor&) = delete;
    TRichColor& operator=(const TRichColor&) = delete;

    // Opacity 0..255.
    std::uint8_t Alpha() const { return FAlpha; }
    void SetAlpha(std::uint8_t Value);

    // While true and the stored caption is empty, Caption() is made from the colour.
    // Changes silently.
    bool AutoCaption() const { return FAutoCaption; }
    void SetAutoCaption(bool Value) { FAutoCaption = Value; }

    // The caption shown for the swatch: the stored text, or, when that is empty and
    // AutoCaption is on, the colour as "R:%d G:%d B:%d" (which OnAutoCaption may replace).
    QString Caption() const;
    // Trims; a different text is stored, turns AutoCaption off and fires OnChange.
    void SetCaption(const QString& Value);
    // The caption as stored, without the automatic text (what files and Assign carry).
    const QString& StoredCaption() const { return FCaption; }

    TColor Color() const { return FColor; }
    void SetColor(TColor Value);

    // CSS class names used by exports; change silently.
    const QString& CssClass() const { return FCssClass; }
    void SetCssClass(const QString& Value) { FCssClass = Value; }
    const QString& CssClassBg() const { return FCssClassBg; }
    void SetCssClassBg(const QString& Value) { FCssClassBg = Value; }

    // Stored trimmed.
    const QString& Description() const { return FDescription; }
    void SetDescription(const QString& Value);

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);

    // Hue in degrees (0 <= h < 360), saturation and brightness 0..1, derived from Color.
    // Setting one rebuilds Color from the new value and the other two.
    double HsbH() const;
    double HsbS() const;
    double HsbB() const;
    void SetHsbH(double Value);
    void SetHsbS(double Value);
    void SetHsbB(double Value);

    const QString& Pantone() const { return FPantone; }
    void SetPantone(const QString& Value);

    bool Visible() const { return FVisible; }
    void SetVisible(bool Value);

    // Copies every value (stored caption, texts, colour, flags, Tag, Unique) but neither
    // Index nor the handlers; fires nothing.
    void Assign(const TRichColor& Source);
    // Accepts only a TRichColor; any other source (or none) throws std::invalid_argument.
    void Assign(const TObject* Source);

    TAutoCaptionEvent OnAutoCaption;
    TPaletteChangeEvent OnChange;

    // Position in the owning palette, -1 while the swatch is in none; kept by the palette.
    int Index = -1;
    // Cleared by TRichPalette::MarkDuplicates on swatches whose colour occurs twice.
    bool Unique = true;
    // Free for the user of the swatch; copied by Assign.
    std::intptr_t Tag = 0;

private:
    void Changed();

    std::uint8_t FAlpha = 255;
    bool FAutoCaption = true;
    QString FCaption;
    TColor FColor = 0;
    QString FCssClass;
    QString FCssClassBg;
    QString FDescription;
    bool FEnabled = true;
    QString FPantone;
    bool FVisible = true;
};

class TRichPalette : public TObject {
public:
    TRichPalette();
    ~TRichPalette() override;
    TRichPalette(const TRichPalette&) = delete;
    TRichPalette& operator=(const TRichPalette&) = delete;

    // Title and URL are stored as given; Description, Author and Keywords trimmed.
    // A different value fires OnChange.
    const QString& Title() const { return FTitle; }
    void SetTitle(const QString& Value);
    const QString& Description() const { return FDescription; }
    void SetDescription(const QString& Value);
    const QString& Author() const { return FAuthor; }
    void SetAuthor(const QString& Value);
    const QString& Keywords() const { return FKeywords; }
    void SetKeywords(const QString& Value);
    const QString& URL() const { return FURL; }
    void SetURL(const QString& Value);

    // Given to every swatch this palette creates.
    bool AutoCaption() const { return FAutoCaption; }
    void SetAutoCaption(bool Value) { FAutoCaption = Value; }

    // View mode the palette was last shown in; a plain value, no event.
    int DisplayMode() const { return FDisplayMode; }
    void SetDisplayMode(int Value) { FDisplayMode = Value; }

    // Handed to every swatch; setting it updates the swatches already present.
    const TAutoCaptionEvent& OnAutoCaption() const { return FOnAutoCaption; }
    void SetOnAutoCaption(const TAutoCaptionEvent& Value);

    int Count() const { return static_cast<int>(FItems.size()); }
    // Throws std::out_of_range (the list-index error) for an index outside 0..Count-1.
    TRichColor* Colors(int Index) const;

    // A new swatch wired to this palette (AutoCaption, relay, OnAutoCaption), appended;
    // fires OnChange.
    TRichColor* Add();
    // The same, inserted before Index (0..Count); fires OnChange. An index outside
    // 0..Count throws std::out_of_range and changes nothing.
    TRichColor* Insert(int Index);
    // Frees the swatch at a valid Index (an invalid one is ignored); fires OnChange
    // in either case.
    void Delete(int Index);
    // Frees all swatches; fires OnChange.
    void Clear();
    // Moves one swatch; fires OnChange. Indices outside 0..Count-1 throw
    // std::out_of_range and change nothing.
    void Move(int CurIndex, int NewIndex);

    // First position with exactly this colour, -1 if none; IndexOfFrom starts at Start
    // (a negative start searches from 0).
    int IndexOf(TColor Color) const;
    int IndexOfFrom(TColor Color, int Start) const;

    // Kind 0 by hue, 1 by saturation, 2 by brightness, 3 by Compare. Not stable.
    // Another kind, or kind 3 without Compare, keeps the order. Renumbers, fires OnChange.
    void Sort(int Kind, const TRichColorCompare& Compare = {});
    // Sets Unique on every swatch and clears it on both members of every pair of equal
    // colours. Returns whether a pair was found. Fires nothing.
    bool MarkDuplicates();
    // Keeps the first swatch of every colour (taking over the later one's texts when it
    // has none of its own); fires OnChange once per removed swatch and once at the end.
    void RemoveDuplicates();

    // Becomes a copy of Source (texts, flags, every swatch); fires OnChange once.
    // Assigning a palette to itself changes nothing.
    void Assign(const TRichPalette& Source);
    // Accepts only a TRichPalette; any other source (or none) throws std::invalid_argument.
    void Assign(const TObject* Source);

    // Generators of the colour-wheel pages, defined with the harmony engine.
    void AddHueCircle(int count, bool artistic, TColorVisionType visionType, bool clearFirst,
                      TColorTransfer* transfer, double hue, double saturation, double brightness);
    void AddColorRings(int segments, int rings, bool reverse, int kind, double strength,
                       double hue, double saturation, double brightness, bool artistic,
                       TColorTransfer* transfer);

    // Sets every swatch's Index to its position.
    void Renumber();
    // Fires OnChange (deferred while updating).
    void Changed();
    // Between BeginUpdate and the matching EndUpdate (they nest) OnChange and
    // OnColorChange are held back; the last EndUpdate fires OnColorChange once if a
    // swatch changed, then OnChange once if the list or texts changed.
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    bool IsUpdating() const { return FUpdateCount > 0; }

    TNotifyEvent OnChange;
    // One of the swatches changed; the sender is the palette.
    TPaletteChangeEvent OnColorChange;

private:
    friend class TRichPaletteList;

    std::unique_ptr<TRichColor> NewColor();
    void ColorChanged();
    void SetText(QString& Field, const QString& Value);

    QString FTitle;
    QString FDescription;
    QString FAuthor;
    QString FKeywords;
    QString FURL;
    bool FAutoCaption = true;
    int FDisplayMode = 0;
    TAutoCaptionEvent FOnAutoCaption;
    std::vector<std::unique_ptr<TRichColor>> FItems;
    int FUpdateCount = 0;
    bool FChangePending = false;
    bool FColorChangePending = false;
    bool FDestroying = false;
};

class TRichPaletteList : public TObject {
public:
    TRichPaletteList() = default;
    ~TRichPaletteList() override;
    TRichPaletteList(const TRichPaletteList&) = delete;
    TRichPaletteList& operator=(const TRichPaletteList&) = delete;

    // Given to every palette this collection creates.
    bool AutoCaption() const { return FAutoCaption; }
    void SetAutoCaption(bool Value) { FAutoCaption = Value; }

    // Index of the current palette, -1 for none.
    int ItemIndex() const { return FItemIndex; }
    // A valid index becomes current and fires OnChange, also when it already was;
    // an invalid one is ignored.
    void SetItemIndex(int Index);
    // The same; returns whether the index was valid, i.e. whether anything happened.
    bool TrySetItemIndex(int Index);

    // Handed to every palette and through it to every swatch, also the present ones.
    const TAutoCaptionEvent& OnAutoCaption() const { return FOnAutoCaption; }
    void SetOnAutoCaption(const TAutoCaptionEvent& Value);

    int Count() const { return static_cast<int>(FItems.size()); }
    // nullptr for an index outside 0..Count-1.
    TRichPalette* Items(int Index) const;
    // The palette at ItemIndex, or nullptr.
    TRichPalette* Current() const { return Items(FItemIndex); }
    // Position of a palette of this collection, -1 for any other.
    int IndexOf(const TRichPalette* Palette) const;

    // A new palette with this title, the collection's AutoCaption and handlers,
    // appended and, with MakeCurrent, made current; fires OnChange.
    TRichPalette* Add(const QString& Title, bool MakeCurrent);
    // Frees the palette at a valid Index; the current index steps back when it falls
    // off the end. Fires OnChange in every case.
    void Delete(int Index);
    // Frees all palettes, ItemIndex becomes -1; fires nothing.
    void Clear();
    // Step the current index within 0..Count-1; on success fire OnChange and return true.
    bool Next();
    bool Previous();

    // Becomes a copy of Source, keeping Source's current palette and AutoCaption.
    // Assigning a collection to itself changes nothing.
    void Assign(const TRichPaletteList& Source);
    // Accepts only a TRichPaletteList; any other source (or none) throws std::invalid_argument.
    void Assign(const TObject* Source);
    // Exchanges palettes, ItemIndex and AutoCaption with Other without copying; each
    // palette is rewired to the handlers of the collection it now belongs to. Fires
    // nothing, so a reader can fill a fresh collection and swap it in at once.
    void Swap(TRichPaletteList& Other);

    // Between BeginUpdate and the matching EndUpdate (they nest) OnChange is held back;
    // the last EndUpdate fires it once if anything asked for it.
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    bool IsUpdating() const { return FUpdateCount > 0; }

    // Palettes added or deleted, current palette changed.
    TNotifyEvent OnChange;
    // Copied into every palette created from now on as its OnColorChange.
    TPaletteChangeEvent OnColorChange;
    // Copied into every palette created from now on as its OnChange.
    TNotifyEvent OnPaletteChange;

private:
    void Changed();
    void Wire(TRichPalette& Palette) const;

    bool FAutoCaption = true;
    int FItemIndex = -1;
    TAutoCaptionEvent FOnAutoCaption;
    std::vector<std::unique_ptr<TRichPalette>> FItems;
    int FUpdateCount = 0;
    bool FChangePending = false;
};
