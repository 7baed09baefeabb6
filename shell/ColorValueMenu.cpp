#include "shell/ColorValueMenu.h"

#include "colour/Colors.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>

namespace {

struct ValueForm {
    TColorValueFmt Format;
    int Style;
    const char* Suffix;
    // The Visual Basic form starts with "&", which a menu would take for a mnemonic.
    bool EscapeAmpersand;
};

constexpr ValueForm kForms[] = {
    {cfHex, 0, " - (Hex)", false},
    {cfHex, 1, " - (Hex)", false},
    {cfRGB, 0, " - (RGB)", false},
    {cfHSB, 0, " - (HSB)", false},
    {cfHSL, 0, " - (HSL)", false},
    {cfDelphi, 0, " - (Delphi)", false},
    {cfVisualBasic, 0, " - (Visual basic)", true},
    {cfVisualStudio, 0, " - (Visual Studio .NET)", false},
};

} // namespace

QStringList ColorValueTexts(TColor Color)
{
    QStringList texts;
    for (const ValueForm& form : kForms)
        texts << ColorToText(form.Format, form.Style, Color);
    return texts;
}

void FillColorValueMenu(QMenu* Menu, TColor Color)
{
    if (!Menu)
        return;
    Menu->clear();
    const QStringList texts = ColorValueTexts(Color);
    for (int i = 0; i < texts.size(); ++i) {
        const ValueForm& form = kForms[i];
        const QString caption
            = (form.EscapeAmpersand ? QStringLiteral("&") : QString()) + texts[i] + QLatin1String(form.Suffix);
        QAction* action = Menu->addAction(caption);
        // Each item keeps its own copy of the value, so the menu needs no list beside it.
        const QString value = texts[i];
        QObject::connect(action, &QAction::triggered, action, [value] { CopyTextToClipboard(value); });
    }
}

void CopyTextToClipboard(const QString& Text)
{
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(Text);
}
