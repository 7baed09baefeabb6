#pragma once
// The about box: the splash picture with the program's version over it. Modal, made for
// each use; a click on the picture or on the text closes it as the Close button does.

#include <QDialog>
#include <QPixmap>

class QLabel;
class QPushButton;

class TfrmSplashAbout : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSplashAbout(QWidget* parent = nullptr);

    // Shows the box modally and frees it when it closes.
    static void Execute(QWidget* parent);

    // The picture the box is sized to ("SplashImg"), drawn at the given device pixel ratio.
    static QPixmap SplashImg(qreal dpr = 1.0);
    // Rich text of the label: the version line, "<BR>" and our own second line.
    static QString LabelText();

    QLabel* Picture() const { return FPicture; }
    QLabel* TextLabel() const { return FText; }
    QPushButton* CloseButton() const { return FClose; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLabel* FPicture = nullptr;
    QLabel* FText = nullptr;
    QPushButton* FClose = nullptr;
};
