#pragma once
// The product's pictures, drawn as vectors so they stay sharp at any scale:
// the product image (a clock tile) and the splash picture.

#include <QWidget>

#include <functional>

class QPainter;
class QRectF;

/// The product image: a rounded blue tile with a clock face.
void PaintProductImage(QPainter &painter, const QRectF &area);
/// The splash picture: a blue field with a white title band, a week of
/// time bars and a large clock.
void PaintSplashPicture(QPainter &painter, const QRectF &area);

/// A picture control: paints its picture stretched over the whole widget.
class TPictureBox : public QWidget
{
    Q_OBJECT

public:
    using TPainter = std::function<void(QPainter &, const QRectF &)>;

    TPictureBox(TPainter paint, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TPainter m_paint;
};
