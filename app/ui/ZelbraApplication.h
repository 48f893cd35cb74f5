#pragma once
// The application object: an error that escapes an event handler is shown to
// the user in a message box and the program goes on (EAbort shows nothing).
// Termination signals arrive as a Qt signal on the user-interface thread, so
// the program can close its main window the normal way and save its data.

#include <QApplication>

class TMessageReporter;

/// Turns SIGTERM, SIGINT and SIGHUP into shutdownRequested(), emitted from
/// the event loop (a self-pipe read by a socket notifier). One at a time;
/// destroying it restores the signals' former handlers.
class TShutdownSignals : public QObject
{
    Q_OBJECT

public:
    explicit TShutdownSignals(QObject *parent = nullptr);
    ~TShutdownSignals() override;

    /// False when the pipe could not be made (or another one is installed).
    bool Installed() const { return m_installed; }

signals:
    void shutdownRequested(int signalNumber);

private:
    bool m_installed = false;
};

class TZelbraApplication : public QApplication
{
    Q_OBJECT

public:
    TZelbraApplication(int &argc, char **argv);

    bool notify(QObject *receiver, QEvent *event) override;

    /// Where the messages of escaped errors go (the real boxes by default).
    void SetReporter(TMessageReporter *reporter);

    /// Shows the message of the error being handled (call inside a catch
    /// block); EAbort is silent. Also for errors caught outside the loop.
    static void ShowException(std::exception_ptr error, TMessageReporter &reporter);

    /// From now on SIGTERM, SIGINT and SIGHUP emit shutdownRequested() from
    /// the event loop instead of ending the process.
    void InstallShutdownSignals();

signals:
    /// A termination signal arrived.
    void shutdownRequested(int signalNumber);

private:
    TMessageReporter *m_reporter;
    TShutdownSignals *m_signals = nullptr;
};
