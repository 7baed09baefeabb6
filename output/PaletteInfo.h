#pragma once
// The palette information dialog: title, description, URL and author of one palette. The
// palette commands fill it, run it modally, read it after OK and free it; the dialog never
// touches the document. The caller sets the caption ("Color Palette" by default, "Add Color
// Palette" when a new palette is being named).

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class TfrmPaletteInfo : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPaletteInfo(QWidget* parent = nullptr);

    // Title, Description and Author read back trimmed (blanks and control characters at
    // both ends); URL reads as typed.
    QString Title() const;
    void SetTitle(const QString& Value);
    QString Description() const;
    void SetDescription(const QString& Value);
    QString URL() const;
    void SetURL(const QString& Value);
    QString Author() const;
    void SetAuthor(const QString& Value);
    // Shown nowhere; handed back exactly as given.
    QString Keywords() const { return FKeywords; }
    void SetKeywords(const QString& Value) { FKeywords = Value; }

    QLineEdit* edcPaletteTitle = nullptr;
    QPlainTextEdit* memoDescription = nullptr;
    QLineEdit* edcPaletteURL = nullptr;
    QLineEdit* edcAuthor = nullptr;
    QPushButton* btnOK = nullptr;
    QPushButton* btnCancel = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QString FKeywords;
    QString FGivenDescription;
};
