#pragma once
// The "Copy Color Value" submenu: the base colour (or any colour) in the eight text forms users
// paste into style sheets and source code.

#include "colour/ColorTypes.h"

#include <QString>
#include <QStringList>

class QMenu;

// The eight value texts in menu order, without the captions' suffixes.
QStringList ColorValueTexts(TColor Color);

// Clears Menu and adds the eight items; each copies its value text to the clipboard.
void FillColorValueMenu(QMenu* Menu, TColor Color);

// Puts plain text on the clipboard.
void CopyTextToClipboard(const QString& Text);
