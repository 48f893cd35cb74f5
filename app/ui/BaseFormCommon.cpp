#include "app/ui/BaseFormCommon.h"

#include "app/core/Errors.h"
#include "app/ui/BaseFrame.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace {
constexpr int kResizeTickMs = 100;
// The notification fires on the tick that finds this much time counted.
constexpr int kResizeSettleMs = 300;
} // namespace

TBaseFormVRQ_Common::TBaseFormVRQ_Common(QWidget *form)
    : tResizeTimer(std::make_unique<QTimer>())
    , m_form(form)
{
    tResizeTimer->setInterval(kResizeTickMs);
    QObject::connect(tResizeTimer.get(), &QTimer::timeout, [this] { tResizeTimerTimer(); });
}

TBaseFormVRQ_Common::~TBaseFormVRQ_Common() = default;

QString TBaseFormVRQ_Common::PlacementName() const
{
    if (!m_form->objectName().isEmpty())
        return m_form->objectName();
    QString name = QString::fromLatin1(m_form->metaObject()->className());
    if (name.startsWith(QLatin1Char('T')))
        name.remove(0, 1);
    return name;
}

void TBaseFormVRQ_Common::SetPlacementSettings(const TPlacementSettings &settings)
{
    m_ownSettings = settings;
}

std::optional<TPlacementSettings> TBaseFormVRQ_Common::PlacementSettings() const
{
    return m_ownSettings ? m_ownSettings : TWindowPlacement::ApplicationSettings();
}

void TBaseFormVRQ_Common::RestorePlacement()
{
    if (m_restored)
        return;
    m_restored = true;
    const std::optional<TPlacementSettings> settings = PlacementSettings();
    if (!settings)
        return;

    // A window that was never sized takes its natural size as its design size,
    // as it would when shown.
    if (!m_form->testAttribute(Qt::WA_Resized))
        m_form->adjustSize();
    const QRect design = m_form->geometry();
    const TPlacementRecord current{design.left(), design.top(), design.height(), design.width(),
                                   WindowStateToInteger(m_form->windowState())};
    const std::optional<TPlacementRecord> stored = TWindowPlacement(*settings).Read(PlacementName(), current);
    if (!stored)
        return;

    QRect bounds = stored->Bounds();
    if (bounds.width() <= 0)
        bounds.setWidth(design.width());
    if (bounds.height() <= 0)
        bounds.setHeight(design.height());
    m_form->setGeometry(TWindowPlacement::FitOnScreens(bounds));
    m_form->setWindowState(IntegerToWindowState(stored->windowState));
}

void TBaseFormVRQ_Common::StorePlacement() const
{
    const std::optional<TPlacementSettings> settings = PlacementSettings();
    if (!settings)
        return;
    const QRect bounds = m_form->geometry();
    const TPlacementRecord record{bounds.left(), bounds.top(), bounds.height(), bounds.width(),
                                  WindowStateToInteger(m_form->windowState())};
    TWindowPlacement(*settings).Write(PlacementName(), record);
}

bool TBaseFormVRQ_Common::FormClose()
{
    try {
        CloseFrames();
        StorePlacement();
        return true;
    } catch (const EAbort &) {
        return false;
    } catch (const EZelbraError &error) {
        ReportError(error.Message());
        return false;
    } catch (const std::exception &error) {
        ReportError(QString::fromLocal8Bit(error.what()));
        return false;
    }
}

void TBaseFormVRQ_Common::CloseFrames()
{
    // Frames of windows owned by this one (a dialog parented to it) close with
    // their own window.
    QList<TBaseFrameVRQ_BaseForm *> frames = m_form->findChildren<TBaseFrameVRQ_BaseForm *>();
    frames.removeIf([this](const TBaseFrameVRQ_BaseForm *frame) { return frame->window() != m_form; });
    std::for_each(frames.rbegin(), frames.rend(), [](TBaseFrameVRQ_BaseForm *frame) { frame->FrameClose(); });
}

void TBaseFormVRQ_Common::EnableResizeTimer()
{
    if (tResizeTimer->isActive())
        return;
    FLastResize = 0;
    tResizeTimer->start();
}

bool TBaseFormVRQ_Common::ResizeTimerActive() const
{
    return tResizeTimer->isActive();
}

void TBaseFormVRQ_Common::tResizeTimerTimer()
{
    if (FLastResize >= kResizeSettleMs) {
        // Called before stopping, so a resize made by ResizeRequired itself
        // finds the timer armed and does not start another round.
        ResizeRequired();
        tResizeTimer->stop();
    } else {
        FLastResize += kResizeTickMs;
    }
}

void TBaseFormVRQ_Common::ReportError(const QString &message)
{
    QMessageBox::warning(m_form, QCoreApplication::applicationName(), message);
}
