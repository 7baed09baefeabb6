#include "pickers/MessageDlgEx.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

TfrmMessageDlgEx::TfrmMessageDlgEx(QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Warning"));
    setModal(true);

    auto* icon = new QLabel(this);
    const int iconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning, nullptr, this).pixmap(iconSize, iconSize));
    icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    FText = new QLabel(this);
    FText->setTextFormat(Qt::RichText);
    FText->setWordWrap(true);
    FText->setMinimumWidth(280);
    FText->setTextInteractionFlags(Qt::TextBrowserInteraction);
    FText->setOpenExternalLinks(true);

    FCheck = new QCheckBox(QStringLiteral("Do not show again"), this);

    FYes = new QPushButton(QStringLiteral("&Yes"), this);
    FNo = new QPushButton(QStringLiteral("&No"), this);
    FCancel = new QPushButton(QStringLiteral("&Cancel"), this);
    FOk = new QPushButton(QStringLiteral("OK"), this);
    connect(FYes, &QPushButton::clicked, this, [this] { done(mrYes); });
    connect(FNo, &QPushButton::clicked, this, [this] { done(mrNo); });
    connect(FCancel, &QPushButton::clicked, this, [this] { done(mrCancel); });
    connect(FOk, &QPushButton::clicked, this, [this] { done(mrOk); });

    auto* message = new QHBoxLayout;
    message->setSpacing(12);
    message->addWidget(icon, 0, Qt::AlignTop);
    message->addWidget(FText, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(FCheck);
    buttons->addStretch(1);
    for (QPushButton* b : {FYes, FNo, FCancel, FOk})
        buttons->addWidget(b);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(message, 1);
    layout->addSpacing(8);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    SetKind(mdkYesNo);
}

QString TfrmMessageDlgEx::Text() const
{
    return FText->text();
}

void TfrmMessageDlgEx::SetText(const QString& Html)
{
    FText->setText(Html);
}

bool TfrmMessageDlgEx::Checked() const
{
    return FCheck->isChecked();
}

void TfrmMessageDlgEx::SetChecked(bool Value)
{
    FCheck->setChecked(Value);
}

void TfrmMessageDlgEx::SetKind(int Kind)
{
    if (Kind != mdkYesNo && Kind != mdkYesNoCancel)
        Kind = mdkOk;
    FKind = Kind;
    FYes->setVisible(Kind != mdkOk);
    FNo->setVisible(Kind != mdkOk);
    FCancel->setVisible(Kind == mdkYesNoCancel);
    FOk->setVisible(Kind == mdkOk);
    QPushButton* def = Kind == mdkOk ? FOk : FYes;
    for (QPushButton* b : {FYes, FNo, FCancel, FOk}) {
        b->setDefault(b == def);
        b->setAutoDefault(b == def);
    }
}

QPushButton* TfrmMessageDlgEx::Button(TModalResult Result) const
{
    switch (Result) {
    case mrYes: return FKind != mdkOk ? FYes : nullptr;
    case mrNo: return FKind != mdkOk ? FNo : nullptr;
    case mrCancel: return FKind == mdkYesNoCancel ? FCancel : nullptr;
    case mrOk: return FKind == mdkOk ? FOk : nullptr;
    default: return nullptr;
    }
}

void TfrmMessageDlgEx::reject()
{
    // Esc or the window's close button chose no button: the box was dismissed, which every
    // caller must read as "not confirmed", whatever buttons it showed.
    done(mrCancel);
}

void TfrmMessageDlgEx::CenterOnParent()
{
    adjustSize();
    QRect area;
    if (QWidget* owner = parentWidget())
        area = owner->window()->frameGeometry();
    else if (QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        move(area.center() - QPoint(width() / 2, height() / 2));
}

void TfrmMessageDlgEx::showEvent(QShowEvent* event)
{
    CenterOnParent();
    QDialog::showEvent(event);
}

int TfrmMessageDlgEx::Execute(QWidget* Parent, const QString& Html, int Kind, bool* DoNotShowAgain)
{
    TfrmMessageDlgEx box(Parent);
    box.SetText(Html);
    box.SetKind(Kind);
    const int result = box.exec();
    if (DoNotShowAgain)
        *DoNotShowAgain = box.Checked();
    return result;
}
