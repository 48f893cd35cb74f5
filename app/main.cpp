// Zelbra entry point: the start-up in its fixed order, then the message loop
// until the main window closes.
#include "app/ui/ZelbraApplication.h"
#include "review/SubmitForm.h"
#include "tracking/StartUp.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#include <cstdio>

#ifndef QT_NO_SESSIONMANAGER
#include <QSessionManager>
#endif

namespace {

// With ZELBRA_FIRST_PAINT_PROBE set (the start-up benchmark), the program
// writes "first-paint history=<rows>" once the main window has painted for the
// first time and then closes it the normal way.
class TFirstPaintProbe : public QObject
{
public:
    TFirstPaintProbe(TZelbraStartUp &startUp, QObject *parent)
        : QObject(parent)
        , m_startUp(startUp)
    {
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // Reported once the paint has finished.
            QTimer::singleShot(0, this, [this] {
                const TdmTasks_Form *dm = m_startUp.DataModule();
                std::printf("first-paint history=%d\n", dm ? dm->adsReporting.RecordCount() : -1);
                std::fflush(stdout);
                m_startUp.RequestShutdown();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    TZelbraStartUp &m_startUp;
    bool m_seen = false;
};

} // namespace

// The review window's Exit ends the application through the main window.
static_assert(TForm_Submit_Form::mrClose == TForm_Main_Form::mrExit);

int main(int argc, char **argv)
{
    TZelbraApplication app(argc, argv);
    app.InstallShutdownSignals();

    const bool probe = qEnvironmentVariableIsSet("ZELBRA_FIRST_PAINT_PROBE");
    TStartUpOptions options;
    options.environment.exeName = QCoreApplication::applicationFilePath();
    if (probe)
        options.mainForm.splashWaitMs = 0;

    TZelbraStartUp startUp(options);
    startUp.CreateLongLivedWindows = [](TZelbraStartUp &s) {
        auto review = std::make_unique<TForm_Submit_Form>(*s.DataModule(), nullptr, &s.Messages());
        s.NoteStep(QStringLiteral("ReviewWindow"));
        TForm_Submit_Form *form = review.get();
        s.MainForm()->SetDisplaySubmitForm([form](const QString &panelName) {
            TSubmitFormResult result;
            result.modalResult = form->DisplaySubmitForm(panelName, result.panelName);
            return result;
        });
        s.KeepWindow(std::move(review));
        // The report selection window and the four report layouts
        // (project summary, user activity, task duration, client activity)
        // are created here, in that order, once they exist.
    };

    switch (startUp.Start()) {
    case TZelbraStartUp::srAlreadyRunning:
    case TZelbraStartUp::srNoMainWindow:
        return 1;
    case TZelbraStartUp::srRunning:
        break;
    }

    // Every way of being asked to end closes the main window, which saves.
    QObject::connect(&app, &TZelbraApplication::shutdownRequested, &app, [&startUp] { startUp.RequestShutdown(); });
#ifndef QT_NO_SESSIONMANAGER
    QObject::connect(&app, &QGuiApplication::commitDataRequest, &app, [&startUp](QSessionManager &manager) {
        if (!startUp.RequestShutdown() && manager.allowsInteraction())
            manager.cancel();
    });
#endif
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &app, [&startUp] { startUp.RequestShutdown(); });

    if (probe)
        startUp.MainForm()->installEventFilter(new TFirstPaintProbe(startUp, &app));

    return QCoreApplication::exec();
}
