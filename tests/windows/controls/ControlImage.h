#pragma once
// The painted controls are checked pixel by pixel on what they draw.
#include <QImage>
#include <QWidget>

// The widget as it paints itself, on a magenta ground that shows any pixel
// the widget leaves unpainted.
inline QImage Render(QWidget& w)
{
    QImage image(w.size(), QImage::Format_RGB32);
    image.fill(qRgb(255, 0, 255));
    w.render(&image);
    return image;
}
