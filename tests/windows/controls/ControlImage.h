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

// How many pixels of the image have that colour.
inline int Pixels(const QImage& image, QRgb colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixel(x, y) == colour;
    return n;
}
