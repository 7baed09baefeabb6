#pragma once
// The program's confirmation box: an HTML message, a "Do not show again" check box that lets
// the user switch the warning off, and Yes/No, Yes/No/Cancel or OK buttons. The caller reads
// Checked() after the box closes and turns its warning setting off when it is set.

#include <QDialog>

class QAbstractButton;
class QCheckBox;
class QLabel;
class QPushButton;

// Results, the same numbers the settings and callers have always compared against.
enum TModalResult { mrNone = 0, mrOk = 1, mrCancel = 2, mrYes = 6, mrNo = 7 };

// 0 Yes/No, 1 Yes/No/Cancel, 2 OK only.
enum TMessageDlgKind { mdkYesNo = 0, mdkYesNoCancel = 1, mdkOk = 2 };

class TfrmMessageDlgEx : public QDialog {
    Q_OBJECT
public:
    explicit TfrmMessageDlgEx(QWidget* parent = nullptr);

    // The message as rich text.
    QString Text() const;
    void SetText(const QString& Html);

    // Which buttons show; an unknown kind shows OK only.
    int Kind() const { return FKind; }
    void SetKind(int Kind);

    bool Checked() const;
    void SetChecked(bool Value);

    // The button that chose the result (mrNone while the box is undecided).
    int ModalResult() const { return result(); }

    // The buttons by result, for tests and for callers that relabel them; nullptr when the
    // kind has no such button.
    QPushButton* Button(TModalResult Result) const;
    QCheckBox* CheckBox() const { return FCheck; }

    // Places the box over the middle of its parent's window (or the screen without one).
    void CenterOnParent();

    // Shows the box modally and returns its result; DoNotShowAgain receives the check box.
    static int Execute(QWidget* Parent, const QString& Html, int Kind, bool* DoNotShowAgain = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
    void reject() override;

private:
    QLabel* FText = nullptr;
    QCheckBox* FCheck = nullptr;
    QPushButton* FYes = nullptr;
    QPushButton* FNo = nullptr;
    QPushButton* FCancel = nullptr;
    QPushButton* FOk = nullptr;
    int FKind = mdkYesNo;
};
