#include "shell/HelpWindow.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

static void InitHelpResources()
{
    // The pages live in a static library; its resources must be registered by hand.
    static const bool done = [] {
        Q_INIT_RESOURCE(help);
        return true;
    }();
    (void)done;
}

THelpWindow::THelpWindow(QWidget* Parent)
    : QDialog(Parent)
{
    InitHelpResources();
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Korvel Help"));
    // Help stays open beside the window it explains.
    setModal(false);
    resize(620, 560);

    auto* layout = new QVBoxLayout(this);
    FBrowser = new QTextBrowser(this);
    FBrowser->setObjectName(QStringLiteral("HelpBrowser"));
    FBrowser->setSearchPaths({QStringLiteral(":/help")});
    // Links to the web go to the browser, links between pages stay here.
    FBrowser->setOpenExternalLinks(true);
    layout->addWidget(FBrowser);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* back = buttons->addButton(QStringLiteral("Back"), QDialogButtonBox::ActionRole);
    QPushButton* contents = buttons->addButton(QStringLiteral("Contents"), QDialogButtonBox::ActionRole);
    buttons->addButton(QDialogButtonBox::Close);
    layout->addWidget(buttons);

    back->setEnabled(false);
    connect(FBrowser, &QTextBrowser::backwardAvailable, back, &QWidget::setEnabled);
    connect(back, &QPushButton::clicked, FBrowser, &QTextBrowser::backward);
    connect(contents, &QPushButton::clicked, this, [this] { ShowTopic(kContentsTopic); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
}

bool THelpWindow::HasTopic(int Topic)
{
    InitHelpResources();
    return QFile::exists(QStringLiteral(":/help/%1.html").arg(Topic));
}

QString THelpWindow::TopicSource(int Topic)
{
    return QStringLiteral("qrc:/help/%1.html").arg(HasTopic(Topic) ? Topic : kContentsTopic);
}

int THelpWindow::ShowTopic(int Topic)
{
    FTopic = HasTopic(Topic) ? Topic : kContentsTopic;
    FBrowser->setSource(QUrl(TopicSource(FTopic)));
    show();
    raise();
    activateWindow();
    return FTopic;
}
