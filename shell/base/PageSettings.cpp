#include "shell/base/PageSettings.h"

QString NameOfEntry(const QString& Entry)
{
    const qsizetype eq = Entry.indexOf(u'=');
    return eq < 0 ? Entry : Entry.left(eq);
}

QString ValueOfEntry(const QString& Entry)
{
    const qsizetype eq = Entry.indexOf(u'=');
    return eq < 0 ? QString() : Entry.mid(eq + 1);
}

qsizetype IndexOfName(const QStringList& Data, const QString& Name)
{
    for (qsizetype i = 0; i < Data.size(); ++i) {
        if (NameOfEntry(Data[i]).compare(Name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString NameValue(const QStringList& Data, const QString& Name, const QString& Default)
{
    const qsizetype at = IndexOfName(Data, Name);
    return at < 0 ? Default : ValueOfEntry(Data[at]);
}

void SetNameValue(QStringList& Data, const QString& Name, const QString& Value)
{
    const QString entry = Name + u'=' + Value;
    const qsizetype at = IndexOfName(Data, Name);
    if (at < 0)
        Data.append(entry);
    else
        Data[at] = entry;
}

void RemoveName(QStringList& Data, const QString& Name)
{
    Data.removeIf([&](const QString& entry) { return NameOfEntry(entry).compare(Name, Qt::CaseInsensitive) == 0; });
}

bool AddFirstRunDefaults(QStringList& Data, bool FirstRun, bool CtrlHeld)
{
    if (!FirstRun && !CtrlHeld)
        return false;
    for (const char* entry : kFirstRunPageSettings)
        Data.append(QString::fromLatin1(entry));
    return true;
}
