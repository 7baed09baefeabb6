#pragma once
// TRecentFiles: the names of the last opened palette files, most recent first, behind
// the Reopen menu.

#include "colour/Events.h"

#include <QString>
#include <QStringList>

#include <stdexcept>

// Raised when an entry outside the list is read: "Index out of bounds (%d)".
class ERecentFilesError : public std::out_of_range {
public:
    explicit ERecentFilesError(int Index);
};

class TRecentFiles : public TObject {
public:
    // At most this many names are kept (6 unless set). Lowering it drops the oldest.
    int MaxItems() const { return FMaxItems; }
    void SetMaxItems(int Value);

    // Whether adding a name that is already listed moves it to the top (true unless
    // set); otherwise it stays where it is.
    bool IfExistsPlaceFirst() const { return FIfExistsPlaceFirst; }
    void SetIfExistsPlaceFirst(bool Value) { FIfExistsPlaceFirst = Value; }

    // An empty name is ignored. A new name goes to the top and the oldest beyond MaxItems
    // fall off; a listed one moves to the top. OnChange fires after every Add of a
    // non-empty name, also when nothing moved. Names are file paths and compared with
    // regard to case, as the file system does.
    void Add(const QString& FileName);
    // Empties the list; fires OnChange.
    void Clear();

    int Count() const { return static_cast<int>(FItems.size()); }
    // Entry Index (0 = most recent); outside 0..Count-1 throws ERecentFilesError.
    const QString& Items(int Index) const;
    const QStringList& Files() const { return FItems; }

    TNotifyEvent OnChange;

private:
    void Changed();

    QStringList FItems;
    int FMaxItems = 6;
    bool FIfExistsPlaceFirst = true;
};
