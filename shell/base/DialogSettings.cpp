#include "shell/base/DialogSettings.h"

#include "colour/Colors.h"
#include "shell/base/KorvelSettings.h"
#include "shell/base/SettingsStore.h"

void TImageExtractSettings::Load(QSettings& Store, const QString& KeyPath)
{
    const TSettingsKey key(Store, SettingsGroupOfKeyPath(KeyPath));
    ClientHeight = key.ReadInteger(QStringLiteral("ClientHeight"), ClientHeight);
    ClientWidth = key.ReadInteger(QStringLiteral("ClientWidth"), ClientWidth);
    const QString highlight = key.ReadString(QStringLiteral("HighlightColor"), QString());
    if (IsNonNegativeHexNumber(highlight))
        HighlightColor = HexToColor(highlight, clSilver);
}

void TImageExtractSettings::Save(QSettings& Store, const QString& KeyPath) const
{
    TSettingsKey key(Store, SettingsGroupOfKeyPath(KeyPath));
    key.WriteInteger(QStringLiteral("ClientHeight"), ClientHeight);
    key.WriteInteger(QStringLiteral("ClientWidth"), ClientWidth);
    key.WriteString(QStringLiteral("HighlightColor"), ColorToStoredHex(HighlightColor));
}

void TSwatchInfoSettings::Load(QSettings& Store, const QString& KeyPath)
{
    const TSettingsKey key(Store, SettingsGroupOfKeyPath(KeyPath));
    if (!key.Exists())
        return;
    ShowColorControls = key.ReadBool(QStringLiteral("ShowColorControls"), ShowColorControls);
    ShowInfo = key.ReadBool(QStringLiteral("ShowInfo"), ShowInfo);
}

void TSwatchInfoSettings::Save(QSettings& Store, const QString& KeyPath) const
{
    TSettingsKey key(Store, SettingsGroupOfKeyPath(KeyPath));
    key.WriteBool(QStringLiteral("ShowColorControls"), ShowColorControls);
    key.WriteBool(QStringLiteral("ShowInfo"), ShowInfo);
}
