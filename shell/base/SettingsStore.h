#pragma once
// The settings store: one INI file in the user's configuration folder
// (~/.config/Brightfold/Korvel4.conf) standing in for the registry key
// "Software\Brightfold\Korvel4". Every subkey is a group of the same name, nested subkeys
// are nested groups ("Property Inspector/Inspector Data"), and value names are kept as
// they are.
//
// Values are read through three readers (flag, number, text) that return the caller's
// default when the value is missing or does not read as the requested type; the text
// reader also does so for an empty text. Nothing here ever reports an error: a setting we
// cannot use simply keeps its default.

#include <QString>
#include <QStringList>

#include <memory>

class QSettings;

inline constexpr char kSettingsOrganization[] = "Brightfold";
inline constexpr char kSettingsApplication[] = "Korvel4";
// The registry path other parts of the program hand around to name the settings root.
inline constexpr char kSettingsKeyPath[] = "Software\\Brightfold\\Korvel4";

// The program's settings file: "Brightfold/Korvel4.conf" in the user's configuration
// folder (XDG_CONFIG_HOME, ~/.config by default).
QString KorvelSettingsFileName();
// That file, opened as INI.
std::unique_ptr<QSettings> OpenKorvelSettings();

// "Software\Brightfold\Korvel4" + "\" + Subkey, the full key path a dialog is given.
QString SettingsKeyPathOf(const QString& Subkey);
// The group a key path names: the root prefix (if present) and the leading and trailing
// backslashes are dropped, the remaining backslashes become "/". The full path of the
// "SwatchInfo" subkey and "\SwatchInfo" both give "SwatchInfo"; the root itself gives "".
QString SettingsGroupOfKeyPath(const QString& KeyPath);

// One subkey of the store. Holds a reference to the QSettings, which must outlive it.
class TSettingsKey {
public:
    // Group "" is the root. A group given with backslashes is accepted as a key path.
    TSettingsKey(QSettings& Store, const QString& Group);

    const QString& Group() const { return FGroup; }
    // Whether the subkey holds any value or subkey; an empty subkey cannot be stored in an
    // INI file, so "exists" means "holds something".
    bool Exists() const;
    bool ValueExists(const QString& Name) const;
    // Names of the values directly under this subkey, sorted.
    QStringList ValueNames() const;

    // "true"/"false" in any letter case, or an integer (non-zero is true).
    bool ReadBool(const QString& Name, bool Default) const;
    // A decimal integer that fits in 32 bits, blanks around it allowed.
    int ReadInteger(const QString& Name, int Default) const;
    // Any stored text; an empty text or a value that is not a single text gives Default.
    QString ReadString(const QString& Name, const QString& Default) const;
    // The same checks, reporting instead of defaulting.
    bool TryReadBool(const QString& Name, bool& Value) const;
    bool TryReadInteger(const QString& Name, int& Value) const;
    bool TryReadString(const QString& Name, QString& Value) const;
    // Any stored text, the empty one included.
    bool TryReadText(const QString& Name, QString& Value) const;

    void WriteBool(const QString& Name, bool Value);
    void WriteInteger(const QString& Name, int Value);
    void WriteString(const QString& Name, const QString& Value);
    void DeleteValue(const QString& Name);
    // Removes the subkey with all its values and subkeys.
    void DeleteKey();

private:
    QString Path(const QString& Name) const;

    QSettings& FStore;
    QString FGroup;
};
