#pragma once
// Sizes the columns of a list view, for every list of the program. Each
// column gets at least the list's own width, the width its caption needs and
// the width of the widest text its cells can hold, as the view's font and
// style draw them, so that nothing is cut off on a desktop whose fonts run
// wider. Texts from the user's data count up to a limit, so one absurd name
// cannot push the other columns out of sight. The last column fills what the
// view leaves and follows it as the window grows. A width the user drags
// stays for as long as this object lives, across every refit of the list
// and a change of language.
//
// Lists are virtual with thousands of rows: a refit measures each sample text
// roughly (a sum of cached character advances) and only the few widest
// exactly, so it costs one pass over the samples, never one per paint.
#include <QObject>
#include <QPointer>
#include <QStringList>

#include <map>
#include <utility>
#include <vector>

class QAbstractItemModel;
class QTreeView;

struct ColumnFit {
    ColumnFit(int key, int width, QStringList samples = {})
        : Key(key)
        , Width(width)
        , Samples(std::move(samples))
    {
    }

    int Key;             // the column's identity, the same across refits and languages
    int Width;           // the least width, pixels
    QStringList Samples; // the widest texts its cells can hold
    bool Decorated = false; // its cells begin with the row picture
    bool Checkable = false; // its cells begin with a check mark
    bool Capped = true;     // the samples come from the user's data
};

// "00000" .. "99999" (with a suffix): the widest a number of that many
// digits can be in any font, whichever digit is widest.
QStringList DigitSamples(int digits, const QString& suffix = {});

class ListColumns : public QObject {
    Q_OBJECT
public:
    explicit ListColumns(QObject* parent = nullptr);

    // Sizes the columns of view's current model, fits[i] for column i, and
    // keeps them so while view shows that model. A view shared by several
    // lists takes one ListColumns per list: each acts only while its model
    // is the view's.
    void Fit(QTreeView* view, const std::vector<ColumnFit>& fits);

    // The sum of the columns' widths before the last one stretches: what a
    // window needs to show them all.
    int Width() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Active() const;
    void SectionResized(int logical, int oldSize, int newSize);
    void Stretch();

    QPointer<QTreeView> View;
    const QObject* Viewport = nullptr;
    const QObject* HeaderViewport = nullptr;
    QPointer<QAbstractItemModel> Model;
    std::vector<int> Keys;
    std::vector<int> Least;        // per column: the fitted width, or the user's
    std::map<int, int> UserWidths; // by key
    bool Sizing = false;           // our own resizing, not the user's
    bool Dragging = false;         // a mouse button is down on the header
};
