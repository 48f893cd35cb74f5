#include "app/ui/ZelbraApplication.h"

#include "app/core/Errors.h"
#include "app/ui/ErrorReporter.h"

#include <QSocketNotifier>

#include <csignal>
#include <iterator>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The signal handler writes the signal's number into one end of this pair;
// the event loop reads it from the other.
int g_signalPipe[2] = {-1, -1};

extern "C" void ForwardSignal(int signalNumber)
{
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    // Only async-signal-safe calls here; a full pipe drops the duplicate.
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[0], &byte, 1);
}

} // namespace

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

void TZelbraApplication::InstallShutdownSignals()
{
    if (m_signals)
        return;
    m_signals = new TShutdownSignals(this);
    connect(m_signals, &TShutdownSignals::shutdownRequested, this, &TZelbraApplication::shutdownRequested);
}

// --- termination signals ----------------------------------------------------------------

namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
struct sigaction g_previous[std::size(kSignals)];

} // namespace

TShutdownSignals::TShutdownSignals(QObject *parent)
    : QObject(parent)
{
    if (g_signalPipe[0] >= 0)
        return;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, g_signalPipe) != 0) {
        g_signalPipe[0] = g_signalPipe[1] = -1;
        return;
    }
    auto *notifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this] {
        unsigned char byte = 0;
        while (::read(g_signalPipe[1], &byte, 1) == 1)
            emit shutdownRequested(byte);
    });
    struct sigaction action = {};
    action.sa_handler = ForwardSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &action, &g_previous[i]);
    m_installed = true;
}

TShutdownSignals::~TShutdownSignals()
{
    if (!m_installed)
        return;
    // The notifier goes before the descriptor it watches.
    delete findChild<QSocketNotifier *>();
    for (std::size_t i = 0; i < std::size(kSignals); ++i)
        ::sigaction(kSignals[i], &g_previous[i], nullptr);
    ::close(g_signalPipe[0]);
    ::close(g_signalPipe[1]);
    g_signalPipe[0] = g_signalPipe[1] = -1;
}
