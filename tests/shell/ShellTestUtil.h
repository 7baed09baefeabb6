#pragma once
// Helpers shared by the shell tests: small collections that say which one they are, the
// helper-process roles, and a way to start the test binary in one of those roles.

#include <QProcess>
#include <QString>
#include <QStringList>

#include <ostream>

class TRichPaletteList;

// Readable failure messages for texts.
inline void PrintTo(const QString& Text, std::ostream* Out)
{
    *Out << '"' << Text.toStdString() << '"';
}

// A collection whose first palette is titled Tag, with Palettes palettes of Colors
// swatches each.
void FillCollection(TRichPaletteList& List, const QString& Tag, int Palettes = 2, int Colors = 5);
// The title of the first palette, "" for an empty collection.
QString CollectionTag(const TRichPaletteList& List);

// Runs in the helper process; returns its exit code.
int RunChildRole(const QString& Role, const QStringList& Arguments);

// Starts this test binary in Role with Arguments; the caller waits or kills.
void StartChild(QProcess& Process, const QString& Role, const QStringList& Arguments);
