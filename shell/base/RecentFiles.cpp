#include "shell/base/RecentFiles.h"

ERecentFilesError::ERecentFilesError(int Index)
    : std::out_of_range(QStringLiteral("Index out of bounds (%1)").arg(Index).toStdString())
{
}

void TRecentFiles::SetMaxItems(int Value)
{
    FMaxItems = qMax(0, Value);
    if (FItems.size() > FMaxItems) {
        FItems.resize(FMaxItems);
        Changed();
    }
}

void TRecentFiles::Add(const QString& FileName)
{
    if (FileName.isEmpty())
        return;
    // Linux paths differing only in letter case name different files, so they are
    // different entries.
    const qsizetype at = FItems.indexOf(FileName);
    if (at < 0) {
        FItems.prepend(FileName);
        if (FItems.size() > FMaxItems)
            FItems.resize(FMaxItems);
    } else if (FIfExistsPlaceFirst) {
        FItems.move(at, 0);
    }
    Changed();
}

void TRecentFiles::Clear()
{
    FItems.clear();
    Changed();
}

const QString& TRecentFiles::Items(int Index) const
{
    if (Index < 0 || Index >= FItems.size())
        throw ERecentFilesError(Index);
    return FItems.at(Index);
}

void TRecentFiles::Changed()
{
    if (OnChange)
        OnChange(this);
}
