// The base windows: the debounced resize notification, the frames' two-phase
// creation and close step, and the bottom button row of the dialogs.
#include "app/ui/BaseForm.h"
#include "app/ui/BaseFrame.h"
#include "app/ui/BottomDialogForm.h"
#include "app/ui/BottomHelpDialogForm.h"

#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Arms the notification on every resize, as the main and review windows do.
class TResizeWindow : public TBaseFormVRQ_BaseForm
{
public:
    TResizeWindow() { resize(400, 200); }
    void Tick() { tResizeTimerTimer(); }
    void ResizeRequired() override
    {
        ++calls;
        firstCallAfterMs = sinceFirstResize.isValid() ? sinceFirstResize.elapsed() : -1;
        if (snapHeight > 0)
            resize(width(), snapHeight);
    }

    int calls = 0;
    qint64 firstCallAfterMs = -1;
    int snapHeight = 0;
    QElapsedTimer sinceFirstResize;

protected:
    void resizeEvent(QResizeEvent *event) override
    {
        TBaseFormVRQ_BaseForm::resizeEvent(event);
        if (!sinceFirstResize.isValid())
            sinceFirstResize.start();
        EnableResizeTimer();
    }
};

TEST(ResizeNotification, FiresOnTheFourthTickAndIsNotRestartedMeanwhile)
{
    TResizeWindow window;
    window.EnableResizeTimer();
    EXPECT_TRUE(window.ResizeTimerActive());
    window.Tick();
    window.Tick();
    window.EnableResizeTimer(); // a resize during the count does not restart it
    EXPECT_EQ(window.LastResize(), 200);
    window.Tick();
    EXPECT_EQ(window.calls, 0);
    window.Tick();
    EXPECT_EQ(window.calls, 1);
    EXPECT_FALSE(window.ResizeTimerActive());

    // A resize after the call arms a new notification from zero.
    window.EnableResizeTimer();
    EXPECT_EQ(window.LastResize(), 0);
    for (int tick = 0; tick < 4; ++tick)
        window.Tick();
    EXPECT_EQ(window.calls, 2);
}

TEST(ResizeNotification, ThreeQuickResizesGiveOneCallAboutFourHundredMillisecondsAfterTheFirst)
{
    TResizeWindow window;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.sinceFirstResize.invalidate();
    window.calls = 0;

    window.resize(410, 210);
    QTest::qWait(70);
    window.resize(420, 220);
    QTest::qWait(70);
    window.resize(430, 230);
    EXPECT_EQ(window.calls, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.calls > 0; }, 3000));
    // Four 100 ms ticks; coarse timers may each fire up to 5 % early.
    EXPECT_GE(window.firstCallAfterMs, 350);
    // Generous: timers run late under the sanitizers on a busy machine.
    EXPECT_LT(window.firstCallAfterMs, 1500);
    QTest::qWait(600);
    EXPECT_EQ(window.calls, 1);
}

TEST(ResizeNotification, AResizeMadeByResizeRequiredDoesNotStartAnotherRound)
{
    TResizeWindow window;
    window.snapHeight = 150;
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    window.calls = 0;
    window.resize(500, 333);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.calls > 0; }, 3000));
    QTest::qWait(700);
    EXPECT_EQ(window.calls, 1);
    EXPECT_EQ(window.height(), 150);
}

// A frame that records its steps in a shared log.
class TLoggingFrame : public TBaseFrameVRQ_BaseForm
{
public:
    TLoggingFrame(QWidget *owner, QString name, QStringList *log)
        : TBaseFrameVRQ_BaseForm(owner)
        , m_name(std::move(name))
        , m_log(log)
    {
    }
    void Initialise() override { m_log->append(QStringLiteral("init ") + m_name); }
    void FrameClose() override { m_log->append(QStringLiteral("close ") + m_name); }

private:
    QString m_name;
    QStringList *m_log;
};

TEST(BaseFrame, CreateInitialisesOnceAndTheWindowClosesFramesLastFirst)
{
    QStringList log;
    TBaseFormVRQ_BaseForm window;
    auto *central = new QWidget(&window);
    window.setCentralWidget(central);
    auto *first = TBaseFrameVRQ_BaseForm::Create<TLoggingFrame>(central, QStringLiteral("A"), &log);
    TBaseFrameVRQ_BaseForm::Create<TLoggingFrame>(first, QStringLiteral("A.1"), &log);
    TBaseFrameVRQ_BaseForm::Create<TLoggingFrame>(central, QStringLiteral("B"), &log);
    EXPECT_EQ(first->parentWidget(), central);

    // A dialog owned by the window closes its own frames, not the window.
    TBaseFormVRQ_BottomDialogForm dialog(&window);
    TBaseFrameVRQ_BaseForm::Create<TLoggingFrame>(dialog.ClientArea(), QStringLiteral("D"), &log);

    EXPECT_EQ(log, (QStringList{QStringLiteral("init A"), QStringLiteral("init A.1"), QStringLiteral("init B"),
                                QStringLiteral("init D")}));
    log.clear();
    window.show();
    EXPECT_TRUE(window.close());
    EXPECT_EQ(log, (QStringList{QStringLiteral("close B"), QStringLiteral("close A.1"), QStringLiteral("close A")}));

    log.clear();
    dialog.show();
    dialog.reject();
    EXPECT_EQ(log, QStringList{QStringLiteral("close D")});
}

TEST(BottomDialog, ButtonsSitBottomRightInOrder)
{
    TBaseFormVRQ_BottomHelpDialogForm dialog;
    dialog.resize(504, 152);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));

    EXPECT_EQ(dialog.btnOk->text(), QStringLiteral("OK"));
    EXPECT_EQ(dialog.btnCancel->text(), QStringLiteral("&Cancel"));
    EXPECT_EQ(dialog.btnHelp->text(), QStringLiteral("&Help"));
    EXPECT_TRUE(dialog.btnOk->isDefault());
    for (const QPushButton *button : {dialog.btnOk, dialog.btnCancel, dialog.btnHelp}) {
        EXPECT_EQ(button->size(), QSize(75, 25)) << button->text().toStdString();
        EXPECT_EQ(button->geometry().bottom(), dialog.btnOk->geometry().bottom());
    }
    EXPECT_LT(dialog.btnOk->x(), dialog.btnCancel->x());
    EXPECT_LT(dialog.btnCancel->x(), dialog.btnHelp->x());
    EXPECT_GE(dialog.btnHelp->geometry().right(), dialog.width() - 12);
    EXPECT_GE(dialog.btnOk->geometry().bottom(), dialog.height() - 12);
    EXPECT_LT(dialog.ClientArea()->geometry().bottom(), dialog.btnOk->y());

    // Growing the dialog keeps the buttons at the bottom right.
    dialog.resize(700, 300);
    QTest::qWait(0);
    EXPECT_GE(dialog.btnHelp->geometry().right(), 700 - 12);
    EXPECT_GE(dialog.btnOk->geometry().bottom(), 300 - 12);
    dialog.reject();
}

TEST(BottomDialog, OkAcceptsAndCancelOrEscapeRejects)
{
    const struct {
        const char *how;
        void (*act)(TBaseFormVRQ_BottomDialogForm &);
        int result;
    } cases[] = {
        {"OK", [](TBaseFormVRQ_BottomDialogForm &d) { d.btnOk->click(); }, QDialog::Accepted},
        {"Enter", [](TBaseFormVRQ_BottomDialogForm &d) { QTest::keyClick(&d, Qt::Key_Return); }, QDialog::Accepted},
        {"Cancel", [](TBaseFormVRQ_BottomDialogForm &d) { d.btnCancel->click(); }, QDialog::Rejected},
        {"Escape", [](TBaseFormVRQ_BottomDialogForm &d) { QTest::keyClick(&d, Qt::Key_Escape); }, QDialog::Rejected},
    };
    for (const auto &c : cases) {
        TBaseFormVRQ_BottomDialogForm dialog;
        dialog.setResult(-1);
        dialog.show();
        c.act(dialog);
        EXPECT_FALSE(dialog.isVisible()) << c.how;
        EXPECT_EQ(dialog.result(), c.result) << c.how;
    }
}

} // namespace
