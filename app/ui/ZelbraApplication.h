#pragma once
// The application object: an error that escapes an event handler is shown to
// the user in a message box and the program goes on. EAbort shows nothing.

#include <QApplication>

class TMessageReporter;

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

private:
    TMessageReporter *m_reporter;
};
