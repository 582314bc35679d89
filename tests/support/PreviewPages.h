#pragma once
// Where the pages of a print preview lie in a picture of its page area, and whether they lie as they
// should: paper is the light area (white, or the page's pale watermark) on the darker background, and
// every page is one run of paper columns.
#include <QImage>
#include <QRect>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

namespace preview_pages {

inline bool Paper(QRgb c) { return qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) > 200; }

// The pages from left to right. A column belongs to a page when a quarter of its pixels are paper, or
// when its paper reaches from above to below half the height (a page whose drawing covers most of
// the column, as a long solution path does, still has paper at its top and bottom); a page's top and
// bottom are the first and last rows of its columns that are mostly paper.
inline std::vector<QRect> Find(const QImage& shot)
{
    std::vector<QRect> pages;
    const int w = shot.width(), h = shot.height();
    std::vector<bool> column(size_t(w), false);
    for (int x = 0; x < w; ++x) {
        int n = 0, first = -1, last = -1;
        for (int y = 0; y < h; ++y)
            if (Paper(shot.pixel(x, y))) {
                ++n;
                first = first < 0 ? y : first;
                last = y;
            }
        column[size_t(x)] = n * 4 >= h || (n > 0 && (last - first) * 2 >= h);
    }
    for (int x = 0; x < w;) {
        if (!column[size_t(x)]) {
            ++x;
            continue;
        }
        const int left = x;
        while (x < w && column[size_t(x)])
            ++x;
        const int right = x - 1;
        int top = -1, bottom = -1;
        for (int y = 0; y < h; ++y) {
            int n = 0;
            for (int i = left; i <= right; ++i)
                n += Paper(shot.pixel(i, y)) ? 1 : 0;
            if (n * 2 >= right - left + 1) {
                if (top < 0)
                    top = y;
                bottom = y;
            }
        }
        if (top >= 0)
            pages.emplace_back(QPoint(left, top), QPoint(right, bottom));
    }
    return pages;
}

// What is wrong with two pages in an area of the given size, "" when nothing: they must be of one size
// (within a pixel), in one row, page 1 on the left, wholly inside the area and centred in it (within
// `slack` pixels); `filled` asks that they fill the area's width or its height to 90 %.
inline std::string SideBySide(const std::vector<QRect>& pages, QSize area, bool filled, int slack = 2)
{
    if (pages.size() != 2)
        return std::to_string(pages.size()) + " pages on view";
    const QRect a = pages[0], b = pages[1];
    const QRect both = a.united(b);
    const int left = both.left(), right = area.width() - 1 - both.right();
    const int top = both.top(), bottom = area.height() - 1 - both.bottom();
    const auto span = [](const QRect& r) {
        return std::to_string(r.x()) + "," + std::to_string(r.y()) + " " + std::to_string(r.width()) + "x" +
               std::to_string(r.height());
    };
    const std::string where = " (pages " + span(a) + " and " + span(b) + " in " + std::to_string(area.width()) +
                              "x" + std::to_string(area.height()) + ")";
    if (std::abs(a.width() - b.width()) > 1 || std::abs(a.height() - b.height()) > 1)
        return "the pages differ in size" + where;
    if (std::abs(a.top() - b.top()) > 1 || a.right() >= b.left())
        return "the pages are not side by side" + where;
    if (!QRect(QPoint(0, 0), area).adjusted(1, 1, -1, -1).contains(both))
        return "the pages are cut off" + where;
    if (std::abs(left - right) > slack || std::abs(top - bottom) > slack)
        return "the pages are not centred" + where;
    if (filled && both.width() * 10 < area.width() * 9 && both.height() * 10 < area.height() * 9)
        return "the pages do not fill the area" + where;
    return "";
}

} // namespace preview_pages
