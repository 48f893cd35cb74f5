#include "data/PriorityImage.h"

#include <QBuffer>
#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <array>

namespace PriorityImage {

namespace {

// A warning triangle filling the image, with a dark rim and an exclamation
// mark in the middle.
QImage DrawWarningTriangle(const QColor &fill, const QColor &rim, const QColor &mark)
{
    QImage image(WarningImageSize, WarningImageSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    const QPolygonF triangle({QPointF(8.0, 1.0), QPointF(15.2, 14.6), QPointF(0.8, 14.6)});
    painter.setPen(QPen(rim, 1.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(fill);
    painter.drawPolygon(triangle);

    painter.setPen(Qt::NoPen);
    painter.setBrush(mark);
    painter.drawRoundedRect(QRectF(7.0, 5.0, 2.0, 5.0), 0.8, 0.8);
    painter.drawEllipse(QRectF(7.0, 11.0, 2.0, 2.0));
    painter.end();
    return image;
}

QByteArray EncodeBitmap(int imageIndex)
{
    QImage bitmap(BitmapWidth, BitmapHeight, QImage::Format_RGB32);
    bitmap.fill(Qt::white);
    {
        QPainter painter(&bitmap);
        painter.drawImage(0, 0, WarningImage(imageIndex));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    bitmap.save(&buffer, "BMP");
    return bytes;
}

} // namespace

QImage WarningImage(int index)
{
    switch (index) {
    case AmberWarningImage:
        return DrawWarningTriangle(QColor(0xF5, 0xB3, 0x00), QColor(0x8A, 0x5A, 0x00), QColor(0x20, 0x20, 0x20));
    case RedWarningImage:
        return DrawWarningTriangle(QColor(0xD7, 0x26, 0x1E), QColor(0x7A, 0x0E, 0x0A), QColor(0xFF, 0xFF, 0xFF));
    default: {
        QImage empty(WarningImageSize, WarningImageSize, QImage::Format_ARGB32_Premultiplied);
        empty.fill(0);
        return empty;
    }
    }
}

int ImageIndexOfPriority(int priority)
{
    switch (priority) {
    case 1: return AmberWarningImage;
    case 2: return RedWarningImage;
    default: return EmptyImage;
    }
}

QByteArray PriorityBitmap(int priority)
{
    // The minute timer sets every line's priority each minute: encode the
    // three pictures once.
    static const std::array<QByteArray, 3> bitmaps = {EncodeBitmap(EmptyImage), EncodeBitmap(AmberWarningImage),
                                                      EncodeBitmap(RedWarningImage)};
    switch (ImageIndexOfPriority(priority)) {
    case AmberWarningImage: return bitmaps[1];
    case RedWarningImage: return bitmaps[2];
    default: return bitmaps[0];
    }
}

} // namespace PriorityImage
