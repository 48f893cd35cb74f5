// The About and splash windows: what they show from the version record, the
// About window's link, and the splash window hiding itself.
#include "app/ui/AboutForm.h"
#include "app/ui/Help.h"
#include "app/ui/ProductArt.h"
#include "app/ui/SplashForm.h"
#include "app/ui/VersionInfo.h"

#include <QDesktopServices>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class TUrlCatcher : public QObject
{
    Q_OBJECT

public:
    TUrlCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("https"), this, "Open"); }
    ~TUrlCatcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("https")); }
    QList<QUrl> opened;

public slots:
    void Open(const QUrl &url) { opened.append(url); }
};

QStringList ProgramVersionValues()
{
    QStringList values;
    GetProjectVersionInfo(values, QString(), false);
    return values;
}

TEST(AboutWindow, ShowsTheVersionRecord)
{
    const QStringList values = ProgramVersionValues();
    TForm_About_Form about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Zelbra"));
    EXPECT_EQ(about.lblProductName->text(), QStringLiteral("Zelbra"));
    EXPECT_EQ(about.lblVersion->text(), QStringLiteral("Version ") + values[vpProductVersion]);
    EXPECT_EQ(about.lblCopyright->text(), values[vpLegalCopyright]);
    EXPECT_EQ(about.lblhomelink->text(), MakerHomeAddress());
    EXPECT_EQ(about.Comments->text(), QStringLiteral("Comments"));
    EXPECT_TRUE(about.mComments->isReadOnly());
    EXPECT_FALSE(about.mComments->isEnabled());
    EXPECT_TRUE(about.mComments->toPlainText().contains(QStringLiteral("Qt")));
    EXPECT_TRUE(about.mComments->toPlainText().contains(QStringLiteral("icon theme")));
    EXPECT_EQ(about.OKButton->text(), QStringLiteral("OK"));
    EXPECT_TRUE(about.OKButton->isDefault());
}

TEST(AboutWindow, FixedSizeCentredWithTheImageAtTheTopLeft)
{
    TForm_About_Form about;
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    EXPECT_EQ(about.size(), QSize(377, 308));
    EXPECT_EQ(about.minimumSize(), about.maximumSize());
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // Centred as a frame; the offscreen platform's frame is 2 pixels wide.
    EXPECT_LE(std::abs(about.geometry().center().x() - screen.center().x()), 3);
    EXPECT_LE(std::abs(about.geometry().center().y() - screen.center().y()), 3);

    EXPECT_EQ(about.ZelbraBitmap->size(), QSize(71, 67));
    const QPoint imageAt = about.ZelbraBitmap->mapTo(&about, QPoint(0, 0));
    EXPECT_LT(imageAt.x(), 30);
    EXPECT_LT(imageAt.y(), 30);
    // The panel holds everything but the OK button, which sits below it at the right.
    EXPECT_TRUE(about.Panel1->isAncestorOf(about.mComments));
    EXPECT_FALSE(about.Panel1->isAncestorOf(about.OKButton));
    EXPECT_GT(about.OKButton->y(), about.Panel1->geometry().bottom());
    EXPECT_GT(about.OKButton->geometry().right(), about.width() - 20);

    about.OKButton->click();
    EXPECT_EQ(about.result(), QDialog::Accepted);
    EXPECT_FALSE(about.isVisible());
}

TEST(AboutWindow, LinkShowsAHandAndOpensTheMakersSite)
{
    TUrlCatcher browser;
    TForm_About_Form about;
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    QLabel *link = about.lblhomelink;
    link->setCursor(Qt::IBeamCursor);

    QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), link->mapToGlobal(QPointF(2, 2)));
    QCoreApplication::sendEvent(link, &enter);
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(link, &leave);
    EXPECT_EQ(link->cursor().shape(), Qt::IBeamCursor);

    EXPECT_EQ(link->palette().color(QPalette::WindowText), QColor(Qt::blue));
    QTest::mouseClick(link, Qt::LeftButton, {}, QPoint(3, 3));
    ASSERT_EQ(browser.opened.size(), 1);
    EXPECT_EQ(browser.opened[0], QUrl(MakerHomeAddress()));
    // A click on the rest of the window opens nothing.
    QTest::mouseClick(about.lblCopyright, Qt::LeftButton);
    EXPECT_EQ(browser.opened.size(), 1);
}

TEST(SplashWindow, FramelessOnTopAtItsDesignPlaceWithTheVersionRecord)
{
    const QStringList values = ProgramVersionValues();
    TForm_Splash_Form splash;
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(splash.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(splash.contentsRect().size(), QSize(330, 198));
    EXPECT_EQ(splash.lineWidth(), 2);
    EXPECT_EQ(splash.pos(), QPoint(335, 9));
    EXPECT_EQ(splash.Splash->geometry(), splash.contentsRect());

    EXPECT_EQ(splash.lblTitle->text(), QStringLiteral("Zelbra 2008"));
    EXPECT_EQ(splash.lblTitle->font().pixelSize(), 24);
    EXPECT_EQ(splash.lblTitle->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_EQ(splash.lblVersion->text(), QStringLiteral("Version ") + values[vpProductVersion]);
    EXPECT_EQ(splash.lblCopyright->text(), values[vpLegalCopyright]);
    EXPECT_EQ(splash.TimerSplash->interval(), 5000);
    EXPECT_TRUE(splash.TimerSplash->isActive());
}

TEST(SplashWindow, HidesItselfWhenItsTimerFires)
{
    TForm_Splash_Form splash;
    splash.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&splash));
    // The same timer, shortened: it is the timer that hides the window.
    splash.TimerSplash->start(20);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !splash.isVisible(); }, 2000));
}

} // namespace

#include "AboutWindowTest.moc"
