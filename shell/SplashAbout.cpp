#include "shell/SplashAbout.h"

#include "shell/base/Version.h"

#include <QEvent>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadialGradient>
#include <QWindow>

#include <cmath>

namespace {
constexpr int kWidth = 420;
constexpr int kHeight = 260;
} // namespace

QPixmap TfrmSplashAbout::SplashImg(qreal dpr)
{
    QPixmap pm(qCeil(kWidth * dpr), qCeil(kHeight * dpr));
    pm.setDevicePixelRatio(dpr);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);

    // A deep slate field that lightens towards the wheel.
    QLinearGradient field(0, 0, 0, kHeight);
    field.setColorAt(0, QColor(34, 40, 58));
    field.setColorAt(1, QColor(18, 21, 32));
    p.fillRect(QRectF(0, 0, kWidth, kHeight), field);
    QRadialGradient glow(QPointF(kWidth - 110, 110), 170);
    glow.setColorAt(0, QColor(255, 255, 255, 40));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(QRectF(0, 0, kWidth, kHeight), glow);

    // Twelve-step colour circle with a lighter inner ring, as the harmony pages draw it.
    const QPointF centre(kWidth - 110, 108);
    const double outer = 82, middle = 58, inner = 36;
    for (int ring = 0; ring < 2; ++ring) {
        const double r0 = ring == 0 ? middle : inner;
        const double r1 = ring == 0 ? outer : middle - 3;
        for (int i = 0; i < 12; ++i) {
            const double a0 = (90 - i * 30 - 14) * M_PI / 180, a1 = (90 - i * 30 + 14) * M_PI / 180;
            QPainterPath sector;
            sector.moveTo(centre + QPointF(r0 * std::cos(a0), -r0 * std::sin(a0)));
            sector.lineTo(centre + QPointF(r1 * std::cos(a0), -r1 * std::sin(a0)));
            sector.arcTo(QRectF(centre.x() - r1, centre.y() - r1, 2 * r1, 2 * r1), (90 - i * 30 - 14), 28);
            sector.lineTo(centre + QPointF(r0 * std::cos(a1), -r0 * std::sin(a1)));
            sector.arcTo(QRectF(centre.x() - r0, centre.y() - r0, 2 * r0, 2 * r0), (90 - i * 30 + 14), -28);
            sector.closeSubpath();
            const QColor c = ring == 0 ? QColor::fromHsv(i * 30, 220, 245) : QColor::fromHsv(i * 30, 110, 255);
            p.fillPath(sector, c);
        }
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 204, 0));
    p.drawEllipse(centre, 22, 22);
    p.setPen(QPen(QColor(255, 255, 255, 200), 2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(centre, 22, 22);

    // The name and a strip of swatches.
    QFont title(QStringLiteral("Trebuchet MS"));
    title.setPixelSize(46);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRectF(24, 40, 220, 60), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Korvel"));
    QFont sub(QStringLiteral("Trebuchet MS"));
    sub.setPixelSize(14);
    p.setFont(sub);
    p.setPen(QColor(200, 208, 225));
    p.drawText(QRectF(26, 96, 220, 22), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Color Scheme Designer"));
    for (int i = 0; i < 6; ++i) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor::fromHsv((45 + i * 60) % 360, 180, 235));
        p.drawRoundedRect(QRectF(26 + i * 30, 128, 24, 24), 3, 3);
    }
    p.end();
    return pm;
}

QString TfrmSplashAbout::LabelText()
{
    return RunningVersion().Text() + QStringLiteral("<BR>Colors that belong together, grown from one base color.");
}

TfrmSplashAbout::TfrmSplashAbout(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSplashAbout"));
    setWindowTitle(tr("About Korvel"));
    setModal(true);

    const qreal dpr
        = parent && parent->windowHandle() ? parent->windowHandle()->devicePixelRatio() : devicePixelRatioF();
    FPicture = new QLabel(this);
    FPicture->setObjectName(QStringLiteral("imgSplash"));
    FPicture->setPixmap(SplashImg(dpr));
    FPicture->setGeometry(0, 0, kWidth, kHeight);

    FText = new QLabel(this);
    FText->setObjectName(QStringLiteral("lblVersion"));
    FText->setTextFormat(Qt::RichText);
    FText->setText(LabelText());
    FText->setStyleSheet(QStringLiteral("color: #E6EAF2;"));
    FText->setGeometry(24, 172, kWidth - 48, 44);
    FText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    FText->setWordWrap(true);

    FClose = new QPushButton(tr("Close"), this);
    FClose->setObjectName(QStringLiteral("btnClose"));
    FClose->setDefault(true);
    FClose->adjustSize();
    FClose->move(kWidth - FClose->width() - 16, kHeight - FClose->height() - 14);
    connect(FClose, &QPushButton::clicked, this, &QDialog::accept);

    FPicture->installEventFilter(this);
    FText->installEventFilter(this);
    FPicture->setCursor(Qt::PointingHandCursor);
    FText->setCursor(Qt::PointingHandCursor);

    // The window is exactly the picture.
    setFixedSize(kWidth, kHeight);
}

bool TfrmSplashAbout::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == FPicture || watched == FText) && event->type() == QEvent::MouseButtonRelease) {
        accept();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmSplashAbout::Execute(QWidget* parent)
{
    TfrmSplashAbout box(parent);
    box.exec();
}
