#include "pickers/ColorHistory.h"

#include <algorithm>

void TColorHistory::SetMaxElements(int Value)
{
    Value = std::max(Value, 1);
    if (Value == FMaxElements)
        return;
    FMaxElements = Value;
    DropOldest();
}

TRichColor* TColorHistory::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        return nullptr;
    return FItems[static_cast<std::size_t>(Index)].get();
}

void TColorHistory::DropOldest()
{
    const int excess = Count() - FMaxElements;
    if (excess <= 0)
        return;
    FItems.erase(FItems.begin(), FItems.begin() + excess);
    FPosition = std::max(FPosition - excess, 0);
}

TRichColor* TColorHistory::Add(TColor Color)
{
    if (FPosition >= 0 && FItems[static_cast<std::size_t>(FPosition)]->Color() == Color)
        return nullptr;
    FItems.resize(static_cast<std::size_t>(FPosition + 1));
    auto entry = std::make_unique<TRichColor>();
    entry->SetColor(Color);
    TRichColor* result = entry.get();
    FItems.push_back(std::move(entry));
    FPosition = Count() - 1;
    DropOldest();
    if (OnAdd)
        OnAdd(this, PrevEnabled(), NextEnabled());
    return result;
}

void TColorHistory::Clear()
{
    FItems.clear();
    FPosition = -1;
    if (OnClear)
        OnClear(this);
}

void TColorHistory::FireChange()
{
    if (FPosition >= 0 && OnChange)
        OnChange(this, Items(FPosition), NextEnabled(), PrevEnabled());
}

void TColorHistory::Previous()
{
    if (FPosition > 0)
        --FPosition;
    FireChange();
}

void TColorHistory::Next()
{
    if (FPosition < Count() - 1)
        ++FPosition;
    FireChange();
}

void TColorHistory::GoTo(int Index)
{
    if (Index < 0 || Index >= Count())
        return;
    FPosition = Index;
    FireChange();
}
