// Help: topics and their pages, the viewer, the dialogs' Help button, and the
// web addresses handed to the browser.
#include "app/ui/BottomHelpDialogForm.h"
#include "app/ui/Help.h"
#include "app/ui/HelpViewer.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

// Takes the place of the browser: records the addresses it is asked to open.
class TUrlCatcher : public QObject
{
    Q_OBJECT

public:
    TUrlCatcher()
    {
        QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "Open");
        QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "Open");
    }
    ~TUrlCatcher() override
    {
        QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
    }
    QList<QUrl> opened;

public slots:
    void Open(const QUrl &url) { opened.append(url); }
};

QString PageText(const QString &topic)
{
    QFile file(QStringLiteral(":/help/") + topic + QStringLiteral(".html"));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(file.readAll());
}

// Closes every viewer a test left open, so the next test starts afresh.
class HelpWindowTest : public ::testing::Test
{
protected:
    void TearDown() override
    {
        delete m_viewer.data();
        QTest::qWait(0);
    }
    TForm_Help_Form *Track(TForm_Help_Form *viewer)
    {
        m_viewer = viewer;
        return viewer;
    }
    QPointer<TForm_Help_Form> m_viewer;
};

TEST(HelpTopics, KnownTopicsResolveToThemselvesAndOthersToWelcome)
{
    for (const QString &topic : HelpTopics()) {
        EXPECT_EQ(ResolveHelpTopic(topic), topic);
        EXPECT_FALSE(PageText(topic).isEmpty()) << topic.toStdString();
    }
    for (const QString &other : {QString(), QStringLiteral("Nonexistent"), QStringLiteral("../Welcome"),
                                 QStringLiteral("welcome "), QStringLiteral("Time Tracker")})
        EXPECT_EQ(ResolveHelpTopic(other), kWelcomeTopic) << other.toStdString();
    EXPECT_EQ(HelpTopicUrl(QStringLiteral("Options")), QUrl(QStringLiteral("qrc:/help/Options.html")));
    EXPECT_EQ(HelpTopicUrl(QString()), QUrl(QStringLiteral("qrc:/help/Welcome.html")));
}

// Every link of every page leads to another page or to the maker's site.
TEST(HelpTopics, EveryPageHasATitleAndEveryLinkLeadsSomewhere)
{
    static const QRegularExpression href(QStringLiteral("href=\"([^\"]*)\""));
    static const QRegularExpression title(QStringLiteral("<title>([^<]+)</title>"));
    for (const QString &topic : HelpTopics()) {
        SCOPED_TRACE(topic.toStdString());
        const QString text = PageText(topic);
        EXPECT_TRUE(title.match(text).hasMatch());
        int links = 0;
        for (auto match = href.globalMatch(text); match.hasNext();) {
            const QString target = match.next().captured(1);
            ++links;
            const QUrl url(target);
            if (url.scheme().startsWith(QStringLiteral("http"))) {
                EXPECT_TRUE(url.host().endsWith(QStringLiteral(".example"))) << target.toStdString();
                continue;
            }
            const QString page = url.path();
            ASSERT_TRUE(page.endsWith(QStringLiteral(".html"))) << target.toStdString();
            EXPECT_TRUE(QFile::exists(QStringLiteral(":/help/") + page)) << target.toStdString();
        }
        EXPECT_GT(links, 0);
        if (topic != kWelcomeTopic) {
            EXPECT_TRUE(text.contains(QStringLiteral("href=\"Welcome.html\"")));
        }
    }
}

TEST_F(HelpWindowTest, OpensANamedTopicAndFallsBackToWelcome)
{
    TForm_Help_Form *viewer = Track(OpenHelp(QStringLiteral("Review_Screen")));
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->CurrentTopic(), QStringLiteral("Review_Screen"));
    EXPECT_TRUE(viewer->tbHelp->toPlainText().contains(QStringLiteral("Submit")));
    EXPECT_TRUE(viewer->windowTitle().startsWith(QStringLiteral("Zelbra Help - ")));

    // The same viewer shows the next topic; an unknown one shows Welcome.
    EXPECT_EQ(OpenHelp(QStringLiteral("No_Such_Topic")), viewer);
    EXPECT_EQ(viewer->CurrentTopic(), kWelcomeTopic);
    EXPECT_EQ(OpenHelp(QString()), viewer);
    EXPECT_EQ(viewer->CurrentTopic(), kWelcomeTopic);
}

TEST_F(HelpWindowTest, FollowsLinksAndGoesBack)
{
    TForm_Help_Form *viewer = Track(OpenHelp(kWelcomeTopic));
    EXPECT_FALSE(viewer->btnBack->isEnabled());
    viewer->tbHelp->setSource(QUrl(QStringLiteral("Time_Tracker.html")));
    EXPECT_EQ(viewer->CurrentTopic(), QStringLiteral("Time_Tracker"));
    EXPECT_TRUE(viewer->btnBack->isEnabled());
    viewer->btnBack->click();
    EXPECT_EQ(viewer->CurrentTopic(), kWelcomeTopic);
    viewer->tbHelp->setSource(QUrl(QStringLiteral("Clients.html")));
    viewer->btnContents->click();
    EXPECT_EQ(viewer->CurrentTopic(), kWelcomeTopic);
}

TEST_F(HelpWindowTest, HelpButtonOpensTheDialogsTopicOrWelcome)
{
    TBaseFormVRQ_BottomHelpDialogForm dialog;
    dialog.show();
    dialog.btnHelp->click();
    TForm_Help_Form *viewer = Track(dialog.findChild<TForm_Help_Form *>());
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_EQ(viewer->CurrentTopic(), kWelcomeTopic);

    dialog.SetHelpString(QStringLiteral("Options"));
    dialog.btnHelp->click();
    EXPECT_EQ(viewer->CurrentTopic(), QStringLiteral("Options"));
    EXPECT_TRUE(dialog.isVisible());
    dialog.reject();
}

TEST_F(HelpWindowTest, ViewerBelongsToAModalDialogSoItCanBeUsedBesideIt)
{
    TBaseFormVRQ_BottomHelpDialogForm dialog;
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.show();
    ASSERT_EQ(QApplication::activeModalWidget(), &dialog);
    TForm_Help_Form *viewer = Track(OpenHelp(QStringLiteral("Tasks")));
    EXPECT_EQ(viewer->parentWidget(), &dialog);
    EXPECT_TRUE(viewer->isWindow());
    EXPECT_FALSE(viewer->isModal());
    dialog.reject();
}

TEST(WebAddresses, OnlineHelpAndTheMakersSiteOpenInTheBrowser)
{
    TUrlCatcher browser;
    OpenOnlineHelp();
    OpenWebAddress(MakerHomeAddress());
    ASSERT_EQ(browser.opened.size(), 2);
    EXPECT_EQ(browser.opened[0].fileName(), QStringLiteral("TimesheetsHelpCentre.html"));
    EXPECT_TRUE(browser.opened[0].host().endsWith(QStringLiteral(".example")));
    EXPECT_EQ(browser.opened[1].host(), browser.opened[0].host());
    EXPECT_EQ(browser.opened[0].scheme(), QStringLiteral("https"));
}

TEST_F(HelpWindowTest, OnlineHelpButtonOfTheViewerOpensTheOnlinePage)
{
    TUrlCatcher browser;
    TForm_Help_Form *viewer = Track(OpenHelp(kWelcomeTopic));
    viewer->btnOnlineHelp->click();
    ASSERT_EQ(browser.opened.size(), 1);
    EXPECT_EQ(browser.opened[0], QUrl(OnlineHelpAddress()));
}

} // namespace

#include "HelpWindowTest.moc"
