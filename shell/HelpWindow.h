#pragma once
// The help window: the program's help pages, shown by topic number. Topics without a
// page of their own open the contents, so an old topic number never leaves the user
// with an empty window.

#include <QDialog>

class QTextBrowser;

class THelpWindow : public QDialog {
    Q_OBJECT
public:
    static constexpr int kContentsTopic = 1000;

    explicit THelpWindow(QWidget* Parent = nullptr);

    // Shows the topic's page; returns the topic actually shown.
    int ShowTopic(int Topic);
    int CurrentTopic() const { return FTopic; }
    // The page's address for a topic, falling back to the contents.
    static QString TopicSource(int Topic);
    static bool HasTopic(int Topic);

private:
    QTextBrowser* FBrowser = nullptr;
    int FTopic = kContentsTopic;
};
