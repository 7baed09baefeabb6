#include "output/PaletteInfo.h"

#include "output/TrimText.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

constexpr int kClientWidth = 412;
constexpr int kClientHeight = 264;
constexpr int kFieldLeft = 8;
constexpr int kFieldWidth = 305;
constexpr int kEditHeight = 21;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 25;

QLabel* MakeLabel(QWidget* parent, const QString& text, QWidget* buddy, int top)
{
    auto* label = new QLabel(text, parent);
    label->setBuddy(buddy);
    label->setGeometry(kFieldLeft, top, kFieldWidth, 15);
    return label;
}

} // namespace

TfrmPaletteInfo::TfrmPaletteInfo(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmPaletteInfo"));
    setWindowTitle(QStringLiteral("Color Palette"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(kClientWidth, kClientHeight);

    edcPaletteTitle = new QLineEdit(this);
    edcPaletteTitle->setObjectName(QStringLiteral("edcPaletteTitle"));
    edcPaletteTitle->setGeometry(kFieldLeft, 24, kFieldWidth, kEditHeight);
    MakeLabel(this, QStringLiteral("&Palette Title"), edcPaletteTitle, 8);

    memoDescription = new QPlainTextEdit(this);
    memoDescription->setObjectName(QStringLiteral("memoDescription"));
    memoDescription->setGeometry(kFieldLeft, 68, kFieldWidth, 89);
    memoDescription->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // Tab moves on to the next field, as in every other edit of the dialog.
    memoDescription->setTabChangesFocus(true);
    MakeLabel(this, QStringLiteral("&Description"), memoDescription, 52);

    edcPaletteURL = new QLineEdit(this);
    edcPaletteURL->setObjectName(QStringLiteral("edcPaletteURL"));
    edcPaletteURL->setGeometry(kFieldLeft, 180, kFieldWidth, kEditHeight);
    MakeLabel(this, QStringLiteral("&URL"), edcPaletteURL, 164);

    edcAuthor = new QLineEdit(this);
    edcAuthor->setObjectName(QStringLiteral("edcAuthor"));
    edcAuthor->setGeometry(kFieldLeft, 224, kFieldWidth, kEditHeight);
    MakeLabel(this, QStringLiteral("&Author"), edcAuthor, 208);

    const int buttonLeft = kClientWidth - 8 - kButtonWidth;
    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setGeometry(buttonLeft, 24, kButtonWidth, kButtonHeight);
    btnOK->setDefault(true);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);

    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    btnCancel->setGeometry(buttonLeft, 56, kButtonWidth, kButtonHeight);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    setTabOrder(edcPaletteTitle, memoDescription);
    setTabOrder(memoDescription, edcPaletteURL);
    setTabOrder(edcPaletteURL, edcAuthor);
    setTabOrder(edcAuthor, btnOK);
    setTabOrder(btnOK, btnCancel);
}

QString TfrmPaletteInfo::Title() const
{
    return TrimBlanks(edcPaletteTitle->text());
}

void TfrmPaletteInfo::SetTitle(const QString& Value)
{
    edcPaletteTitle->setText(Value);
}

QString TfrmPaletteInfo::Description() const
{
    return TrimBlanks(WithLineBreaksOf(memoDescription->toPlainText(), FGivenDescription));
}

void TfrmPaletteInfo::SetDescription(const QString& Value)
{
    FGivenDescription = Value;
    memoDescription->setPlainText(Value);
}

QString TfrmPaletteInfo::URL() const
{
    return edcPaletteURL->text();
}

void TfrmPaletteInfo::SetURL(const QString& Value)
{
    edcPaletteURL->setText(Value);
}

QString TfrmPaletteInfo::Author() const
{
    return TrimBlanks(edcAuthor->text());
}

void TfrmPaletteInfo::SetAuthor(const QString& Value)
{
    edcAuthor->setText(Value);
}

void TfrmPaletteInfo::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    edcPaletteTitle->setFocus(Qt::OtherFocusReason);
    edcPaletteTitle->selectAll();
}
