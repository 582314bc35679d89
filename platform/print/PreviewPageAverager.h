#pragma once
// Print preview pages below full size drawn by averaging, so that thin lines stay in view.
#include <QObject>

class QGraphicsView;

// Qt's preview replays each page's picture at the zoom's scale, and a page image scaled down that way
// keeps one dot in so many: walls a few dots wide fall between them. Installed on the preview's view
// (and owned by it), this draws every page shown at half size or less from the page at full size,
// each screen pixel the average of the page area it covers. Only the preview's painting changes: the
// job's pages, printed or written to PDF, are the same.
class PreviewPageAverager : public QObject {
public:
    explicit PreviewPageAverager(QGraphicsView* pView);
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    QGraphicsView* m_pView;
};
