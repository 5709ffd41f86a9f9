#pragma once
// What a list's columns need to show their texts whole, measured with the
// view's own font and style, and a column edge dragged as a user would.
#include <QHeaderView>
#include <QStyle>
#include <QTest>
#include <QTreeView>

// The width of a cell that shows text without cutting it: the text, its
// margins on both sides and, with a picture, the picture and its margins.
inline int CellNeeds(const QTreeView* view, const QString& text, bool picture = false)
{
    const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    const int pictureWidth = picture ? view->iconSize().width() + 2 * margin : 0;
    return QFontMetrics(view->font()).horizontalAdvance(text) + 2 * margin + pictureWidth;
}

// The width a header section needs for its caption and the margins around it.
inline int CaptionNeeds(const QTreeView* view, int column)
{
    const QHeaderView* header = view->header();
    const QString caption = header->model()->headerData(column, Qt::Horizontal).toString();
    return QFontMetrics(header->font()).horizontalAdvance(caption)
        + 2 * header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
}

// Drags the right edge of column's header section dx pixels.
inline void DragColumnEdge(QTreeView* view, int column, int dx)
{
    QHeaderView* header = view->header();
    const QPoint edge(header->sectionViewportPosition(column) + header->sectionSize(column) - 1,
                      header->height() / 2);
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, edge);
    QTest::mouseMove(header->viewport(), edge + QPoint(dx / 2, 0));
    QTest::mouseMove(header->viewport(), edge + QPoint(dx, 0));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, edge + QPoint(dx, 0));
}
