#pragma once
// Where the pages of a print preview lie in a picture of its page area: paper is the near-white
// area on the darker background, and every page is one run of paper columns.
#include <QImage>
#include <QRect>

#include <algorithm>
#include <vector>

namespace preview_pages {

inline bool Paper(QRgb c) { return qRed(c) > 235 && qGreen(c) > 235 && qBlue(c) > 235; }

// The pages from left to right. A column belongs to a page when a quarter of its pixels are paper;
// a page's top and bottom are the first and last rows of its columns that are mostly paper.
inline std::vector<QRect> Find(const QImage& shot)
{
    std::vector<QRect> pages;
    const int w = shot.width(), h = shot.height();
    std::vector<bool> column(size_t(w), false);
    for (int x = 0; x < w; ++x) {
        int n = 0;
        for (int y = 0; y < h; ++y)
            n += Paper(shot.pixel(x, y)) ? 1 : 0;
        column[size_t(x)] = n * 4 >= h;
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

} // namespace preview_pages
