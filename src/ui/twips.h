#pragma once

#include <QRect>
#include <QSize>
#include <QString>

// Positions and sizes are given in twips, 1440 to the inch. At the usual 96 dots per inch a
// device-independent pixel is 15 twips. Nothing else in the program knows that factor.
namespace Twips {

inline constexpr double kPerPixel = 15.0;

[[nodiscard]] constexpr int toPixels(double twips)
{
    return int(twips / kPerPixel + (twips < 0 ? -0.5 : 0.5));
}

[[nodiscard]] constexpr double fromPixels(int pixels)
{
    return pixels * kPerPixel;
}

[[nodiscard]] constexpr QRect rect(double left, double top, double width, double height)
{
    return QRect(toPixels(left), toPixels(top), toPixels(width), toPixels(height));
}

[[nodiscard]] constexpr QSize size(double width, double height)
{
    return QSize(toPixels(width), toPixels(height));
}

// Names a control and puts it at its place in twips; the control is returned for chaining.
template <typename Widget>
Widget *place(Widget *widget, const QString &name, double left, double top, double width, double height)
{
    widget->setObjectName(name);
    widget->setGeometry(rect(left, top, width, height));
    return widget;
}

} // namespace Twips
