#include "app/ui/ZelbraApplication.h"

#include "app/core/Errors.h"
#include "app/ui/ErrorReporter.h"

TZelbraApplication::TZelbraApplication(int &argc, char **argv)
    : QApplication(argc, argv)
    , m_reporter(&TMessageReporter::Default())
{
}

void TZelbraApplication::SetReporter(TMessageReporter *reporter)
{
    m_reporter = reporter ? reporter : &TMessageReporter::Default();
}

void TZelbraApplication::ShowException(std::exception_ptr error, TMessageReporter &reporter)
{
    try {
        std::rethrow_exception(error);
    } catch (const EAbort &) {
    } catch (const std::exception &e) {
        reporter.ShowError(QString::fromStdString(e.what()));
    } catch (...) {
        reporter.ShowError(QStringLiteral("An unexpected error occurred."));
    }
}

bool TZelbraApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        ShowException(std::current_exception(), *m_reporter);
        return false;
    }
}
