#include "ui/pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

QImage fenlowIconImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0); // drawn on a grid of 32, as resources/icons/fenlow.svg
    // The folder.
    painter.setPen(QPen(QColor(128, 96, 0), 1));
    painter.setBrush(QColor(255, 208, 64));
    painter.drawRect(QRectF(2.5, 10.5, 20, 16));
    painter.drawRect(QRectF(2.5, 7.5, 8, 3));
    // The arrow that carries a file out of it.
    QPainterPath arrow;
    arrow.moveTo(14, 15);
    arrow.lineTo(22, 15);
    arrow.lineTo(22, 10);
    arrow.lineTo(31, 18.5);
    arrow.lineTo(22, 27);
    arrow.lineTo(22, 22);
    arrow.lineTo(14, 22);
    arrow.closeSubpath();
    painter.setPen(QPen(QColor(0, 64, 128), 1));
    painter.setBrush(QColor(0, 128, 255));
    painter.drawPath(arrow);
    return image;
}

QIcon fenlowIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48}) {
        icon.addPixmap(QPixmap::fromImage(fenlowIconImage(size)));
    }
    return icon;
}

const QPixmap &mainBackground()
{
    static const QPixmap picture = [] {
        QPixmap pixmap(1024, 768);
        QPainter painter(&pixmap);
        QLinearGradient sky(0, 0, 1024, 768);
        sky.setColorAt(0, QColor(236, 244, 252));
        sky.setColorAt(1, QColor(250, 250, 240));
        painter.fillRect(pixmap.rect(), sky);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(210, 226, 242), 2));
        for (int i = -768; i < 1024; i += 48) {
            painter.drawLine(i, 768, i + 768, 0);
        }
        return pixmap;
    }();
    return picture;
}
