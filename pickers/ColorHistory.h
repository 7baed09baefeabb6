#pragma once
// The base-colour history: a bounded list of colours, oldest first, with a cursor on the
// entry that is the current base colour. Non-visual; the main window drives Back, Forward
// and the history pop-up from its events.

#include "colour/ColorTypes.h"
#include "colour/Events.h"
#include "palette/RichColor.h"

#include <functional>
#include <memory>
#include <vector>

using THistoryAddEvent = std::function<void(TObject* Sender, bool PrevEnabled, bool NextEnabled)>;
// Entry is never null: the entry at Position.
using THistoryChangeEvent = std::function<void(TObject* Sender, TRichColor* Entry, bool NextEnabled, bool PrevEnabled)>;

class TColorHistory : public TObject {
public:
    TColorHistory() = default;
    TColorHistory(const TColorHistory&) = delete;
    TColorHistory& operator=(const TColorHistory&) = delete;

    // Capacity, at least 1. Lowering it deletes the oldest entries at once; Position follows
    // the entries it pointed at (to the oldest remaining one when its own entry went).
    int MaxElements() const { return FMaxElements; }
    void SetMaxElements(int Value);

    // Index of the current entry, -1 while the history is empty.
    int Position() const { return FPosition; }
    int Count() const { return static_cast<int>(FItems.size()); }
    // The entry at Index, nullptr outside 0..Count-1.
    TRichColor* Items(int Index) const;

    bool PrevEnabled() const { return FPosition > 0; }
    bool NextEnabled() const { return FPosition < Count() - 1; }

    // Appends the colour after the current entry, dropping every later entry first, and
    // makes it current; entries beyond MaxElements are dropped from the old end. Adding the
    // colour the current entry already has does nothing and returns nullptr. Fires OnAdd.
    TRichColor* Add(TColor Color);
    // Empties the history; fires OnClear.
    void Clear();
    // Step the cursor back or forward when there is room, then fire OnChange with the
    // current entry whether or not it moved (an empty history has no entry and fires nothing).
    void Previous();
    void Next();
    // Makes a valid index current and fires OnChange; any other index is ignored.
    void GoTo(int Index);

    THistoryAddEvent OnAdd;
    THistoryChangeEvent OnChange;
    TNotifyEvent OnClear;
    // Kept assignable for owners that wire them; the history reports its moves through
    // OnChange and raises neither.
    THistoryChangeEvent OnNext;
    THistoryChangeEvent OnPrevious;

private:
    void DropOldest();
    void FireChange();

    int FMaxElements = 100;
    int FPosition = -1;
    std::vector<std::unique_ptr<TRichColor>> FItems;
};
