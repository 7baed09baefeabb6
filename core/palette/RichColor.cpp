#include "palette/RichColor.h"

#include "colour/Colors.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace {

// Texts are trimmed the way the classic runtime trims: every character up to and
// including the blank goes at both ends (tabs, line breaks, other control characters),
// while non-breaking and other typographic spaces are part of the text.
QString TrimText(const QString& Value)
{
    qsizetype first = 0;
    qsizetype last = Value.size();
    while (first < last && Value.at(first).unicode() <= 0x20)
        ++first;
    while (last > first && Value.at(last - 1).unicode() <= 0x20)
        --last;
    if (first == 0 && last == Value.size())
        return Value;
    return Value.mid(first, last - first);
}

// Calls a copy, so a handler that reassigns or clears the event it was called through
// does not destroy itself while running.
template <typename Event, typename... Args>
void Fire(const Event& Handler, Args&&... args)
{
    if (Handler) {
        Event call = Handler;
        call(std::forward<Args>(args)...);
    }
}

[[noreturn]] void ThrowListIndex(int Index)
{
    throw std::out_of_range("List index out of bounds (" + std::to_string(Index) + ")");
}

int Sign(double a, double b) { return a < b ? -1 : (a > b ? 1 : 0); }
int Sign(int a, int b) { return a < b ? -1 : (a > b ? 1 : 0); }

struct TSortKeys {
    int Hue;  // quantised to steps of 3 degrees
    double Saturation;
    double Brightness;
};

TSortKeys SortKeys(TColor color)
{
    const THSB hsb = ColorToHSB(color);
    return {Round(hsb.H / 3.0) * 3, hsb.S, hsb.B};
}

int CompareByKind(int Kind, const TRichColor* Item1, const TRichColor* Item2)
{
    const TSortKeys a = SortKeys(Item1->Color());
    const TSortKeys b = SortKeys(Item2->Color());
    int result = 0;
    switch (Kind) {
    case 0:
        result = Sign(a.Hue, b.Hue);
        if (result == 0)
            result = Sign(b.Brightness, a.Brightness);
        if (result == 0)
            result = Sign(a.Saturation, b.Saturation);
        break;
    case 1:
        result = Sign(a.Saturation, b.Saturation);
        if (result == 0)
            result = Sign(a.Hue, b.Hue);
        if (result == 0)
            result = Sign(a.Brightness, b.Brightness);
        break;
    case 2:
        result = Sign(b.Brightness, a.Brightness);
        if (result == 0)
            result = Sign(a.Saturation, b.Saturation);
        if (result == 0)
            result = Sign(a.Hue, b.Hue);
        break;
    default:
        break;
    }
    return result;
}

// Hoare partitioning around the middle element, recursing into the smaller side so the
// stack stays logarithmic. The scans are bounded, so a comparison that is not a strict
// order (a user's kind-3 function) can scramble the order but never run off the list.
template <typename Compare>
void QuickSort(std::vector<std::unique_ptr<TRichColor>>& Items, int L, int R, const Compare& Cmp)
{
    while (L < R) {
        const TRichColor* pivot = Items[static_cast<size_t>(L + (R - L) / 2)].get();
        int i = L;
        int j = R;
        while (i <= j) {
            while (i < R && Cmp(Items[static_cast<size_t>(i)].get(), pivot) < 0)
                ++i;
            while (j > L && Cmp(Items[static_cast<size_t>(j)].get(), pivot) > 0)
                --j;
            if (i <= j) {
                if (i != j)
                    std::swap(Items[static_cast<size_t>(i)], Items[static_cast<size_t>(j)]);
                ++i;
                --j;
            }
        }
        if (j - L < R - i) {
            if (L < j)
                QuickSort(Items, L, j, Cmp);
            L = i;
        } else {
            if (i < R)
                QuickSort(Items, i, R, Cmp);
            R = j;
        }
    }
}

} // namespace

// ---------------------------------------------------------------------------------------
// TRichColor

void TRichColor::Changed() { Fire(OnChange, this); }

void TRichColor::SetAlpha(std::uint8_t Value)
{
    if (Value == FAlpha)
        return;
    FAlpha = Value;
    Changed();
}

QString TRichColor::Caption() const
{
    if (!FCaption.isEmpty() || !FAutoCaption)
        return FCaption;
    QString caption = ColorToText(cfRGB, 2, FColor);
    if (OnAutoCaption)
        Fire(OnAutoCaption, const_cast<TRichColor*>(this), caption);
    return caption;
}

void TRichColor::SetCaption(const QString& Value)
{
    const QString text = TrimText(Value);
    if (text == FCaption)
        return;
    FCaption = text;
    FAutoCaption = false;
    Changed();
}

void TRichColor::SetColor(TColor Value)
{
    if (Value == FColor)
        return;
    FColor = Value;
    Changed();
}

void TRichColor::SetDescription(const QString& Value)
{
    const QString text = TrimText(Value);
    if (text == FDescription)
        return;
    FDescription = text;
    Changed();
}

void TRichColor::SetEnabled(bool Value)
{
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    Changed();
}

double TRichColor::HsbH() const { return ColorToHSB(FColor).H; }
double TRichColor::HsbS() const { return ColorToHSB(FColor).S; }
double TRichColor::HsbB() const { return ColorToHSB(FColor).B; }

void TRichColor::SetHsbH(double Value)
{
    const THSB hsb = ColorToHSB(FColor);
    SetColor(HSBToColor(Value, hsb.S, hsb.B));
}

void TRichColor::SetHsbS(double Value)
{
    const THSB hsb = ColorToHSB(FColor);
    SetColor(HSBToColor(hsb.H, Value, hsb.B));
}

void TRichColor::SetHsbB(double Value)
{
    const THSB hsb = ColorToHSB(FColor);
    SetColor(HSBToColor(hsb.H, hsb.S, Value));
}

void TRichColor::SetPantone(const QString& Value)
{
    if (Value == FPantone)
        return;
    FPantone = Value;
    Changed();
}

void TRichColor::SetVisible(bool Value)
{
    if (Value == FVisible)
        return;
    FVisible = Value;
    Changed();
}

void TRichColor::Assign(const TRichColor& Source)
{
    FAlpha = Source.FAlpha;
    FAutoCaption = Source.FAutoCaption;
    FCaption = Source.FCaption;
    FDescription = Source.FDescription;
    FColor = Source.FColor;
    FCssClass = Source.FCssClass;
    FCssClassBg = Source.FCssClassBg;
    FEnabled = Source.FEnabled;
    FPantone = Source.FPantone;
    Tag = Source.Tag;
    FVisible = Source.FVisible;
    Unique = Source.Unique;
}

void TRichColor::Assign(const TObject* Source)
{
    const auto* color = dynamic_cast<const TRichColor*>(Source);
    if (!color)
        throw std::invalid_argument("Cannot assign this object to a TRichColor");
    Assign(*color);
}

// ---------------------------------------------------------------------------------------
// TRichPalette

TRichPalette::TRichPalette() = default;

TRichPalette::~TRichPalette()
{
    FDestroying = true;
    FItems.clear();
}

void TRichPalette::SetText(QString& Field, const QString& Value)
{
    if (Value == Field)
        return;
    Field = Value;
    Changed();
}

void TRichPalette::SetTitle(const QString& Value) { SetText(FTitle, Value); }
void TRichPalette::SetDescription(const QString& Value) { SetText(FDescription, TrimText(Value)); }
void TRichPalette::SetAuthor(const QString& Value) { SetText(FAuthor, TrimText(Value)); }
void TRichPalette::SetKeywords(const QString& Value) { SetText(FKeywords, TrimText(Value)); }
void TRichPalette::SetURL(const QString& Value) { SetText(FURL, Value); }

void TRichPalette::SetOnAutoCaption(const TAutoCaptionEvent& Value)
{
    FOnAutoCaption = Value;
    for (auto& item : FItems)
        item->OnAutoCaption = Value;
}

TRichColor* TRichPalette::Colors(int Index) const
{
    if (Index < 0 || Index >= Count())
        ThrowListIndex(Index);
    return FItems[static_cast<size_t>(Index)].get();
}

std::unique_ptr<TRichColor> TRichPalette::NewColor()
{
    auto item = std::make_unique<TRichColor>();
    item->SetAutoCaption(FAutoCaption);
    // The relay reads OnColorChange when it runs, so a handler set on the palette later
    // still hears from swatches created earlier.
    item->OnChange = [this](TObject*) { ColorChanged(); };
    item->OnAutoCaption = FOnAutoCaption;
    return item;
}

void TRichPalette::ColorChanged()
{
    if (IsUpdating()) {
        FColorChangePending = true;
        return;
    }
    Fire(OnColorChange, this);
}

void TRichPalette::Changed()
{
    if (FDestroying)
        return;
    if (IsUpdating()) {
        FChangePending = true;
        return;
    }
    Fire(OnChange, this);
}

void TRichPalette::EndUpdate()
{
    if (FUpdateCount == 0)
        return;
    if (--FUpdateCount > 0)
        return;
    const bool colour = std::exchange(FColorChangePending, false);
    const bool change = std::exchange(FChangePending, false);
    if (colour)
        ColorChanged();
    if (change)
        Changed();
}

void TRichPalette::Renumber()
{
    for (int i = 0; i < Count(); ++i)
        FItems[static_cast<size_t>(i)]->Index = i;
}

TRichColor* TRichPalette::Add()
{
    FItems.push_back(NewColor());
    TRichColor* item = FItems.back().get();
    item->Index = Count() - 1;
    Changed();
    return item;
}

TRichColor* TRichPalette::Insert(int Index)
{
    if (Index < 0 || Index > Count())
        ThrowListIndex(Index);
    auto it = FItems.insert(FItems.begin() + Index, NewColor());
    TRichColor* item = it->get();
    Changed();
    Renumber();
    return item;
}

void TRichPalette::Delete(int Index)
{
    if (Index >= 0 && Index < Count()) {
        // Out of the list before it is freed, so nothing reached from the list during
        // the swatch's destruction sees a dangling entry.
        std::unique_ptr<TRichColor> gone = std::move(FItems[static_cast<size_t>(Index)]);
        FItems.erase(FItems.begin() + Index);
        gone.reset();
        Renumber();
    }
    Changed();
}

void TRichPalette::Clear()
{
    std::vector<std::unique_ptr<TRichColor>> gone;
    gone.swap(FItems);
    gone.clear();
    Changed();
}

void TRichPalette::Move(int CurIndex, int NewIndex)
{
    if (CurIndex < 0 || CurIndex >= Count())
        ThrowListIndex(CurIndex);
    if (NewIndex < 0 || NewIndex >= Count())
        ThrowListIndex(NewIndex);
    if (CurIndex != NewIndex) {
        std::unique_ptr<TRichColor> item = std::move(FItems[static_cast<size_t>(CurIndex)]);
        FItems.erase(FItems.begin() + CurIndex);
        FItems.insert(FItems.begin() + NewIndex, std::move(item));
    }
    Renumber();
    Changed();
}

int TRichPalette::IndexOf(TColor Color) const { return IndexOfFrom(Color, 0); }

int TRichPalette::IndexOfFrom(TColor Color, int Start) const
{
    for (int i = std::max(Start, 0); i < Count(); ++i)
        if (FItems[static_cast<size_t>(i)]->Color() == Color)
            return i;
    return -1;
}

void TRichPalette::Sort(int Kind, const TRichColorCompare& Compare)
{
    if (Count() > 1) {
        if (Kind >= 0 && Kind <= 2) {
            QuickSort(FItems, 0, Count() - 1, [Kind](const TRichColor* a, const TRichColor* b) {
                return CompareByKind(Kind, a, b);
            });
        } else if (Kind == 3 && Compare) {
            QuickSort(FItems, 0, Count() - 1, Compare);
        }
    }
    Renumber();
    Changed();
}

bool TRichPalette::MarkDuplicates()
{
    for (auto& item : FItems)
        item->Unique = true;
    bool found = false;
    for (int i = 0; i < Count(); ++i) {
        TRichColor* item = FItems[static_cast<size_t>(i)].get();
        const int twin = IndexOfFrom(item->Color(), i + 1);
        if (twin >= 0) {
            item->Unique = false;
            FItems[static_cast<size_t>(twin)]->Unique = false;
            found = true;
        }
    }
    Renumber();
    return found;
}

void TRichPalette::RemoveDuplicates()
{
    for (int i = 0; i < Count() - 1; ++i) {
        int twin = IndexOfFrom(FItems[static_cast<size_t>(i)]->Color(), i + 1);
        while (twin >= 0) {
            TRichColor* keep = FItems[static_cast<size_t>(i)].get();
            if (keep->AutoCaption() && keep->Description().isEmpty() && keep->CssClass().isEmpty())
                keep->Assign(*FItems[static_cast<size_t>(twin)]);
            Delete(twin);
            twin = IndexOfFrom(FItems[static_cast<size_t>(i)]->Color(), i + 1);
        }
    }
    Renumber();
    for (auto& item : FItems)
        item->Unique = true;
    Changed();
}

void TRichPalette::Assign(const TRichPalette& Source)
{
    // Clearing first would throw away the very swatches about to be copied.
    if (&Source == this)
        return;
    FItems.clear();
    FAutoCaption = Source.FAutoCaption;
    FTitle = Source.FTitle;
    FDescription = Source.FDescription;
    FDisplayMode = Source.FDisplayMode;
    FAuthor = Source.FAuthor;
    FKeywords = Source.FKeywords;
    FURL = Source.FURL;
    FItems.reserve(Source.FItems.size());
    for (const auto& from : Source.FItems) {
        auto item = NewColor();
        item->Assign(*from);
        item->Index = Count();
        FItems.push_back(std::move(item));
    }
    Changed();
}

void TRichPalette::Assign(const TObject* Source)
{
    const auto* palette = dynamic_cast<const TRichPalette*>(Source);
    if (!palette)
        throw std::invalid_argument("Cannot assign this object to a TRichPalette");
    Assign(*palette);
}

// ---------------------------------------------------------------------------------------
// TRichPaletteList

TRichPaletteList::~TRichPaletteList() { FItems.clear(); }

void TRichPaletteList::Changed()
{
    if (IsUpdating()) {
        FChangePending = true;
        return;
    }
    Fire(OnChange, this);
}

void TRichPaletteList::EndUpdate()
{
    if (FUpdateCount == 0)
        return;
    if (--FUpdateCount > 0)
        return;
    if (std::exchange(FChangePending, false))
        Changed();
}

void TRichPaletteList::Wire(TRichPalette& Palette) const
{
    Palette.OnChange = OnPaletteChange;
    Palette.OnColorChange = OnColorChange;
    Palette.SetOnAutoCaption(FOnAutoCaption);
}

void TRichPaletteList::SetOnAutoCaption(const TAutoCaptionEvent& Value)
{
    FOnAutoCaption = Value;
    for (auto& palette : FItems)
        palette->SetOnAutoCaption(Value);
}

TRichPalette* TRichPaletteList::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        return nullptr;
    return FItems[static_cast<size_t>(Index)].get();
}

int TRichPaletteList::IndexOf(const TRichPalette* Palette) const
{
    for (int i = 0; i < Count(); ++i)
        if (FItems[static_cast<size_t>(i)].get() == Palette)
            return i;
    return -1;
}

void TRichPaletteList::SetItemIndex(int Index) { TrySetItemIndex(Index); }

bool TRichPaletteList::TrySetItemIndex(int Index)
{
    if (Index < 0 || Index >= Count())
        return false;
    FItemIndex = Index;
    Changed();
    return true;
}

TRichPalette* TRichPaletteList::Add(const QString& Title, bool MakeCurrent)
{
    auto palette = std::make_unique<TRichPalette>();
    // Set before the handlers are attached: creating a palette is one collection
    // change, not also a palette change.
    palette->SetTitle(Title);
    palette->SetAutoCaption(FAutoCaption);
    Wire(*palette);
    FItems.push_back(std::move(palette));
    TRichPalette* result = FItems.back().get();
    if (MakeCurrent)
        FItemIndex = Count() - 1;
    Changed();
    return result;
}

void TRichPaletteList::Delete(int Index)
{
    if (Index >= 0 && Index < Count()) {
        std::unique_ptr<TRichPalette> gone = std::move(FItems[static_cast<size_t>(Index)]);
        FItems.erase(FItems.begin() + Index);
        gone.reset();
        if (FItemIndex >= Count())
            --FItemIndex;
    }
    Changed();
}

void TRichPaletteList::Clear()
{
    std::vector<std::unique_ptr<TRichPalette>> gone;
    gone.swap(FItems);
    FItemIndex = -1;
    gone.clear();
}

bool TRichPaletteList::Next()
{
    if (FItemIndex + 1 < 0 || FItemIndex + 1 >= Count())
        return false;
    ++FItemIndex;
    Changed();
    return true;
}

bool TRichPaletteList::Previous()
{
    if (FItemIndex - 1 < 0 || FItemIndex - 1 >= Count())
        return false;
    --FItemIndex;
    Changed();
    return true;
}

void TRichPaletteList::Assign(const TRichPaletteList& Source)
{
    // Clearing first would throw away the very palettes about to be copied.
    if (&Source == this)
        return;
    Clear();
    for (const auto& from : Source.FItems) {
        TRichPalette* palette = Add(QString(), true);
        palette->Assign(*from);
    }
    SetItemIndex(Source.FItemIndex);
    FAutoCaption = Source.FAutoCaption;
}

void TRichPaletteList::Assign(const TObject* Source)
{
    const auto* list = dynamic_cast<const TRichPaletteList*>(Source);
    if (!list)
        throw std::invalid_argument("Cannot assign this object to a TRichPaletteList");
    Assign(*list);
}

void TRichPaletteList::Swap(TRichPaletteList& Other)
{
    if (&Other == this)
        return;
    std::swap(FItems, Other.FItems);
    std::swap(FItemIndex, Other.FItemIndex);
    std::swap(FAutoCaption, Other.FAutoCaption);
    for (auto& palette : FItems)
        Wire(*palette);
    for (auto& palette : Other.FItems)
        Other.Wire(*palette);
}
