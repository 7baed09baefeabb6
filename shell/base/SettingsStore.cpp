#include "shell/base/SettingsStore.h"

#include <QSettings>
#include <QStandardPaths>
#include <QVariant>

QString KorvelSettingsFileName()
{
    // Named outright: QSettings' IniFormat would pick "Korvel4.ini" for the user scope.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/'
        + QString::fromLatin1(kSettingsOrganization) + u'/' + QString::fromLatin1(kSettingsApplication)
        + QStringLiteral(".conf");
}

std::unique_ptr<QSettings> OpenKorvelSettings()
{
    return std::make_unique<QSettings>(KorvelSettingsFileName(), QSettings::IniFormat);
}

QString SettingsKeyPathOf(const QString& Subkey)
{
    QString sub = Subkey;
    while (sub.startsWith(u'\\'))
        sub.remove(0, 1);
    return QString::fromLatin1(kSettingsKeyPath) + u'\\' + sub;
}

QString SettingsGroupOfKeyPath(const QString& KeyPath)
{
    QString path = KeyPath;
    const QString root = QString::fromLatin1(kSettingsKeyPath);
    if (path.startsWith(root, Qt::CaseInsensitive) && (path.size() == root.size() || path[root.size()] == u'\\'))
        path.remove(0, root.size());
    QStringList parts = path.split(u'\\', Qt::SkipEmptyParts);
    return parts.join(u'/');
}

TSettingsKey::TSettingsKey(QSettings& Store, const QString& Group)
    : FStore(Store)
    , FGroup(Group.contains(u'\\') ? SettingsGroupOfKeyPath(Group) : Group)
{
}

QString TSettingsKey::Path(const QString& Name) const
{
    return FGroup.isEmpty() ? Name : FGroup + u'/' + Name;
}

bool TSettingsKey::Exists() const
{
    if (FGroup.isEmpty())
        return !FStore.allKeys().isEmpty();
    FStore.beginGroup(FGroup);
    const bool any = !FStore.allKeys().isEmpty();
    FStore.endGroup();
    return any;
}

bool TSettingsKey::ValueExists(const QString& Name) const
{
    return FStore.contains(Path(Name));
}

QStringList TSettingsKey::ValueNames() const
{
    if (!FGroup.isEmpty())
        FStore.beginGroup(FGroup);
    QStringList names = FStore.childKeys();
    if (!FGroup.isEmpty())
        FStore.endGroup();
    names.sort();
    return names;
}

// The text of a value as stored. An INI file keeps every value as text, but a value
// written during this run comes back with the type it was written with until the file
// is read again. A value that QSettings reads as anything else (a list, a typed
// @Variant) is not one of ours.
static bool StoredText(const QSettings& Store, const QString& Key, QString& Text)
{
    const QVariant value = Store.value(Key);
    switch (value.typeId()) {
    case QMetaType::QString:
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong: Text = value.toString(); return true;
    default: return false;
    }
}

bool TSettingsKey::TryReadBool(const QString& Name, bool& Value) const
{
    QString text;
    if (!StoredText(FStore, Path(Name), text))
        return false;
    text = text.trimmed();
    if (text.compare(u"true", Qt::CaseInsensitive) == 0) {
        Value = true;
        return true;
    }
    if (text.compare(u"false", Qt::CaseInsensitive) == 0) {
        Value = false;
        return true;
    }
    bool ok = false;
    const int number = text.toInt(&ok);
    if (!ok)
        return false;
    Value = number != 0;
    return true;
}

bool TSettingsKey::TryReadInteger(const QString& Name, int& Value) const
{
    QString text;
    if (!StoredText(FStore, Path(Name), text))
        return false;
    bool ok = false;
    const int number = text.trimmed().toInt(&ok);
    if (!ok)
        return false;
    Value = number;
    return true;
}

bool TSettingsKey::TryReadString(const QString& Name, QString& Value) const
{
    QString text;
    if (!StoredText(FStore, Path(Name), text) || text.isEmpty())
        return false;
    Value = text;
    return true;
}

bool TSettingsKey::TryReadText(const QString& Name, QString& Value) const
{
    return StoredText(FStore, Path(Name), Value);
}

bool TSettingsKey::ReadBool(const QString& Name, bool Default) const
{
    bool value = Default;
    return TryReadBool(Name, value) ? value : Default;
}

int TSettingsKey::ReadInteger(const QString& Name, int Default) const
{
    int value = Default;
    return TryReadInteger(Name, value) ? value : Default;
}

QString TSettingsKey::ReadString(const QString& Name, const QString& Default) const
{
    QString value;
    return TryReadString(Name, value) ? value : Default;
}

void TSettingsKey::WriteBool(const QString& Name, bool Value)
{
    FStore.setValue(Path(Name), Value);
}

void TSettingsKey::WriteInteger(const QString& Name, int Value)
{
    FStore.setValue(Path(Name), Value);
}

void TSettingsKey::WriteString(const QString& Name, const QString& Value)
{
    FStore.setValue(Path(Name), Value);
}

void TSettingsKey::DeleteValue(const QString& Name)
{
    FStore.remove(Path(Name));
}

void TSettingsKey::DeleteKey()
{
    if (FGroup.isEmpty())
        FStore.clear();
    else
        FStore.remove(FGroup);
}
