#include "app/ui/ProductArt.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <array>
#include <cmath>
#include <numbers>

namespace {

const QColor kDeepBlue(0x1b, 0x4f, 0x8a);
const QColor kMidBlue(0x2f, 0x78, 0xc4);
const QColor kLightBlue(0x7f, 0xb8, 0xeb);
const QColor kAmber(0xf0, 0x9a, 0x1a);
const QColor kInk(0x22, 0x2b, 0x36);

// A clock face with hands at ten past ten, centred in a square area.
void PaintClock(QPainter &painter, const QPointF &centre, qreal radius)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);

    QRadialGradient face(centre, radius, centre - QPointF(radius * 0.3, radius * 0.3));
    face.setColorAt(0.0, Qt::white);
    face.setColorAt(1.0, QColor(0xe4, 0xec, 0xf5));
    painter.setPen(QPen(kInk, radius * 0.07));
    painter.setBrush(face);
    painter.drawEllipse(centre, radius, radius);

    // Hour marks, longer at the quarters.
    for (int hour = 0; hour < 12; ++hour) {
        const qreal angle = hour * std::numbers::pi / 6.0;
        const bool quarter = hour % 3 == 0;
        const qreal outer = radius * 0.86;
        const qreal inner = radius * (quarter ? 0.68 : 0.76);
        const QPointF direction(std::sin(angle), -std::cos(angle));
        painter.setPen(QPen(kInk, radius * (quarter ? 0.07 : 0.04), Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(centre + direction * inner, centre + direction * outer);
    }

    auto hand = [&](qreal turns, qreal length, qreal width, const QColor &colour) {
        const qreal angle = turns * 2.0 * std::numbers::pi;
        const QPointF direction(std::sin(angle), -std::cos(angle));
        painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(centre - direction * (length * 0.15), centre + direction * length);
    };
    hand(10.17 / 12.0, radius * 0.48, radius * 0.11, kInk);  // hour
    hand(10.0 / 60.0, radius * 0.70, radius * 0.08, kInk);   // minute
    hand(38.0 / 60.0, radius * 0.74, radius * 0.035, kAmber); // second

    painter.setPen(Qt::NoPen);
    painter.setBrush(kAmber);
    painter.drawEllipse(centre, radius * 0.08, radius * 0.08);
    painter.restore();
}

} // namespace

void PaintProductImage(QPainter &painter, const QRectF &area)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal side = std::min(area.width(), area.height());
    const QRectF tile = area.adjusted(1, 1, -1, -1);

    QLinearGradient background(tile.topLeft(), tile.bottomLeft());
    background.setColorAt(0.0, kMidBlue);
    background.setColorAt(1.0, kDeepBlue);
    painter.setPen(QPen(kDeepBlue.darker(130), 1));
    painter.setBrush(background);
    painter.drawRoundedRect(tile, side * 0.16, side * 0.16);

    // A week of time: seven small bars along the bottom.
    const std::array<qreal, 7> week{0.35, 0.8, 0.65, 0.9, 0.7, 0.3, 0.15};
    const qreal barArea = tile.width() * 0.70;
    const qreal barWidth = barArea / 7.0 * 0.62;
    const qreal baseLine = tile.bottom() - side * 0.09;
    painter.setPen(Qt::NoPen);
    painter.setBrush(kLightBlue);
    for (std::size_t day = 0; day < week.size(); ++day) {
        const qreal x = tile.center().x() - barArea / 2.0 + barArea / 7.0 * day + (barArea / 7.0 - barWidth) / 2.0;
        const qreal height = side * 0.16 * week[day];
        painter.drawRoundedRect(QRectF(x, baseLine - height, barWidth, height), barWidth * 0.3, barWidth * 0.3);
    }

    PaintClock(painter, QPointF(tile.center().x(), tile.top() + tile.height() * 0.42), side * 0.32);
    painter.restore();
}

void PaintSplashPicture(QPainter &painter, const QRectF &area)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient background(area.topLeft(), area.bottomRight());
    background.setColorAt(0.0, kMidBlue);
    background.setColorAt(1.0, kDeepBlue);
    painter.fillRect(area, background);

    // Faint week grid behind everything.
    painter.setPen(QPen(QColor(255, 255, 255, 28), 1));
    for (int column = 1; column < 7; ++column) {
        const qreal x = area.left() + area.width() * column / 7.0;
        painter.drawLine(QPointF(x, area.top() + area.height() * 0.36), QPointF(x, area.bottom()));
    }

    // White band that carries the title.
    const QRectF band(area.left(), area.top() + area.height() * 0.08, area.width(), area.height() * 0.24);
    painter.fillRect(band, Qt::white);
    painter.fillRect(QRectF(band.left(), band.bottom(), band.width(), 3), kAmber);

    // A week of tracked time.
    const std::array<qreal, 7> week{0.25, 0.85, 0.7, 0.95, 0.75, 0.4, 0.15};
    const qreal baseLine = area.bottom() - area.height() * 0.30;
    const qreal slot = area.width() * 0.55 / 7.0;
    const qreal barWidth = slot * 0.55;
    painter.setPen(Qt::NoPen);
    for (std::size_t day = 0; day < week.size(); ++day) {
        const qreal height = area.height() * 0.26 * week[day];
        const qreal x = area.left() + area.width() * 0.05 + slot * day + (slot - barWidth) / 2.0;
        painter.setBrush(day == 3 ? kAmber : kLightBlue);
        painter.drawRoundedRect(QRectF(x, baseLine - height, barWidth, height), 2, 2);
    }
    painter.setPen(QPen(QColor(255, 255, 255, 140), 1));
    painter.drawLine(QPointF(area.left() + area.width() * 0.05, baseLine),
                     QPointF(area.left() + area.width() * 0.60, baseLine));

    const qreal radius = area.height() * 0.25;
    PaintClock(painter, QPointF(area.right() - area.width() * 0.19, area.top() + area.height() * 0.63), radius);
    painter.restore();
}

TPictureBox::TPictureBox(TPainter paint, QWidget *parent)
    : QWidget(parent)
    , m_paint(std::move(paint))
{
}

void TPictureBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_paint)
        m_paint(painter, QRectF(rect()));
}
