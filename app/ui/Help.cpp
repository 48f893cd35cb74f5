#include "app/ui/Help.h"

#include "app/ui/HelpViewer.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QPointer>
#include <QRegularExpression>

namespace {

const QString kMakerSite = QStringLiteral("https://www.korvanti.example/");

QString TopicResource(const QString &topic)
{
    return QStringLiteral(":/help/") + topic + QStringLiteral(".html");
}

QPointer<TForm_Help_Form> &Viewer()
{
    static QPointer<TForm_Help_Form> viewer;
    return viewer;
}

} // namespace

const QStringList &HelpTopics()
{
    static const QStringList topics{QStringLiteral("Welcome"),  QStringLiteral("Time_Tracker"),
                                    QStringLiteral("Review_Screen"), QStringLiteral("Options"),
                                    QStringLiteral("Tasks"),    QStringLiteral("Projects"),
                                    QStringLiteral("Users"),    QStringLiteral("Clients")};
    return topics;
}

QString ResolveHelpTopic(const QString &topic)
{
    // A topic is a plain name; anything else cannot name one of the pages.
    static const QRegularExpression plainName(QStringLiteral("^[A-Za-z0-9_]+$"));
    if (!plainName.match(topic).hasMatch() || !QFile::exists(TopicResource(topic)))
        return kWelcomeTopic;
    return topic;
}

QUrl HelpTopicUrl(const QString &topic)
{
    return QUrl(QStringLiteral("qrc") + TopicResource(ResolveHelpTopic(topic)));
}

TForm_Help_Form *OpenHelp(const QString &topic, QWidget *parent)
{
    // An application-modal dialog blocks every window that is not its own, so
    // the viewer then has to belong to that dialog.
    QWidget *host = QApplication::activeModalWidget();
    if (!host && parent)
        host = parent->window();

    QPointer<TForm_Help_Form> &viewer = Viewer();
    if (viewer && viewer->parentWidget() != host) {
        viewer->close();
        viewer = nullptr;
    }
    if (!viewer)
        viewer = new TForm_Help_Form(host);
    viewer->ShowTopic(topic);
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    return viewer;
}

QString OnlineHelpAddress()
{
    return kMakerSite + QStringLiteral("TimesheetsHelpCentre.html");
}

QString MakerHomeAddress()
{
    return kMakerSite;
}

void OpenWebAddress(const QString &address)
{
    QDesktopServices::openUrl(QUrl::fromUserInput(address));
}

void OpenOnlineHelp()
{
    OpenWebAddress(OnlineHelpAddress());
}
