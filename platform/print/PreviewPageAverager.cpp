#include "platform/print/PreviewPageAverager.h"

#include <QEvent>
#include <QGraphicsEffect>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QImage>
#include <QPainter>
#include <QStyleOptionGraphicsItem>

#include <algorithm>
#include <array>
#include <cmath>
#include <future>
#include <vector>

namespace {

// Work for a thread of its own, done when waited for where no thread can be had.
constexpr std::launch kThreadOrLater = std::launch::async | std::launch::deferred;

// Pixels are averaged over the square roots of their values rather than the values, so that a thin
// dark line keeps more of its darkness than its share of the area (a black wall over a fifth of a
// pixel shows at 64 % of white, not 80 %, darker than the pale watermark), while flat colours come
// out as they were. The roots have 12 bits, enough to give every 8-bit value back exactly.
constexpr int kRootMax = 4095;
using Table = std::array<quint16, 256>;

const Table& RootTable()
{
    static const Table table = [] {
        Table t{};
        for (int v = 0; v < 256; ++v)
            t[size_t(v)] = quint16(std::lround(kRootMax * std::sqrt(v / 255.0)));
        return t;
    }();
    return table;
}

// A premultiplied pixel's four channels in 16 bits each of a word: the colours of an opaque pixel as
// their roots, those of a translucent one as they are (the page's only translucent pixels are its
// black shadow, black either way, and a root above its alpha would be no pixel), both in 12 bits, and
// alpha in 8; the words of 16 pixels add without overflow.
enum Lane { kRed = 0, kGreen = 16, kBlue = 32, kAlphaLane = 48 };

quint64 Spread(QRgb c)
{
    const Table& roots = RootTable();
    const bool bOpaque = qAlpha(c) == 255;
    const auto colour = [&](int v, Lane lane) {
        return quint64(bOpaque ? roots[size_t(v)] : (v * kRootMax + 127) / 255) << lane;
    };
    return colour(qRed(c), kRed) | colour(qGreen(c), kGreen) | colour(qBlue(c), kBlue) |
           quint64(qAlpha(c)) << kAlphaLane;
}

// A 16-bit premultiplied picture of roots back to 8-bit pixel values.
QImage Squared(const QImage& roots)
{
    QImage image(roots.size(), QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < image.height(); ++y) {
        const auto* pRoots = reinterpret_cast<const QRgba64*>(roots.constScanLine(y));
        auto* pLine = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgba64 c = pRoots[x];
            const double alpha = c.alpha();
            const auto value = [alpha](quint16 root) {
                const double r = std::min(1.0, root / alpha);
                return int(std::lround(255 * r * r));
            };
            const QRgb pixel = qRgba(value(c.red()), value(c.green()), value(c.blue()), c.alpha8());
            pLine[x] = alpha > 0 ? qPremultiply(pixel) : 0;
        }
    }
    return image;
}

// Draws a page item at half size or less from its drawing at full size: k x k pixels of it are
// averaged exactly into each pixel of a kept image, which Qt's area averaging then scales to the
// screen. With k at most 4 the kept image serves the zooms up to four times larger without drawing the
// page again.
class AveragedPage : public QGraphicsEffect {
public:
    explicit AveragedPage(QGraphicsItem* pPage) : m_pPage(pPage) {}

    // How many dots of a page drawn through the transform, at the device pixel ratio, go to a device
    // pixel across and down, at the fewest; 0 when the page is turned.
    static int DotsPerPixel(const QTransform& toDevice, qreal ratio)
    {
        const qreal sx = toDevice.m11() * ratio, sy = toDevice.m22() * ratio;
        return toDevice.type() <= QTransform::TxScale && sx > 0 && sy > 0 ? int(std::min({1 / sx, 1 / sy, 1e6})) : 0;
    }
    // Whether the kept image must be made for drawing at nDots dots per pixel.
    bool NeedsImage(int nDots) const { return nDots >= 2 && (m_roots.isNull() || m_k > nDots); }
    // Makes it; pages may be made on threads of their own.
    void MakeImage(int nDots)
    {
        m_k = std::min(nDots, 4);
        m_roots = ReducedRoots(m_pPage->boundingRect().toAlignedRect(), m_k);
        m_shown = QImage();
    }

protected:
    void draw(QPainter* painter) override
    {
        const QTransform toDevice = painter->worldTransform();
        const qreal ratio = painter->device()->devicePixelRatio();
        const int nDots = DotsPerPixel(toDevice, ratio);
        if (nDots < 2) {
            // Above half size, a filtered replay still gives every dot a share of a device pixel.
            painter->setRenderHint(QPainter::SmoothPixmapTransform);
            drawSource(painter);
            return;
        }
        if (NeedsImage(nDots))
            MakeImage(nDots);
        const QRect whole = m_pPage->boundingRect().toAlignedRect();
        const QRectF onDevice = toDevice.mapRect(QRectF(whole.topLeft(), m_roots.size() * m_k));
        const QSize size = (onDevice.size() * ratio).toSize();
        if (m_shown.size() != size) {
            m_shown = Squared(m_roots.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
            m_shown.setDevicePixelRatio(ratio);
        }
        painter->save();
        painter->setWorldTransform(QTransform());
        painter->drawImage(onDevice.topLeft(), m_shown);
        painter->restore();
    }
    void sourceChanged(ChangeFlags flags) override
    {
        if (flags & SourceInvalidated)
            m_roots = m_shown = QImage();
    }

private:
    // The roots of the page's pixels, k x k of them averaged into each pixel. The page is drawn a band
    // of rows at a time, so that no full-size page is ever held, and each band is averaged on a thread
    // of its own while the next is drawn; the bands reach past the page to whole k x k blocks,
    // transparent there.
    QImage ReducedRoots(const QRect& whole, int k) const
    {
        const int w = (whole.width() + k - 1) / k, h = (whole.height() + k - 1) / k;
        QImage reduced(w, h, QImage::Format_RGBA64_Premultiplied);
        uchar* pReduced = reduced.bits();
        const int nBandRows = k * std::max(1, kBandRows / k);
        std::array<QImage, 2> bands;
        std::array<std::future<void>, 2> averaging;
        for (int nBand = 0; nBand * nBandRows < h * k; ++nBand) {
            const int top = nBand * nBandRows;
            std::future<void>& done = averaging[size_t(nBand % 2)];
            if (done.valid())
                done.get();
            QImage& band = bands[size_t(nBand % 2)];
            if (band.isNull())
                band = QImage(w * k, nBandRows, QImage::Format_ARGB32_Premultiplied);
            band.fill(Qt::transparent);
            QPainter painter(&band);
            painter.translate(-whole.left(), -(whole.top() + top));
            QStyleOptionGraphicsItem option;
            option.rect = whole;
            option.exposedRect = QRectF(whole.left(), whole.top() + top, band.width(), nBandRows);
            m_pPage->paint(&painter, &option, nullptr);
            painter.end();
            const int nRows = std::min(nBandRows / k, h - top / k);
            uchar* pRows = pReduced + qsizetype(top / k) * reduced.bytesPerLine();
            done = std::async(kThreadOrLater, [&band, nRows, pRows, w, k, bpl = reduced.bytesPerLine()] {
                switch (k) {
                case 2: AverageBand<2>(band, nRows, w, pRows, bpl); break;
                case 3: AverageBand<3>(band, nRows, w, pRows, bpl); break;
                default: AverageBand<4>(band, nRows, w, pRows, bpl); break;
                }
            });
        }
        for (std::future<void>& done : averaging)
            if (done.valid())
                done.get();
        return reduced;
    }

    // nRows rows of w pixels, bytesPerLine apart from pRows on, from the band's first nRows x K rows.
    template <int K>
    static void AverageBand(const QImage& band, int nRows, int w, uchar* pRows, qsizetype bytesPerLine)
    {
        static_assert(K * K * kRootMax <= 0xFFFF, "the sums of a block fit their lanes");
        std::vector<quint64> sums(static_cast<size_t>(w));
        // A page is long runs of one colour: the last pixel's spread is kept.
        QRgb last = 0;
        quint64 lastSpread = Spread(last);
        for (int row = 0; row < nRows; ++row) {
            std::fill(sums.begin(), sums.end(), 0);
            for (int i = 0; i < K; ++i) {
                const auto* p = reinterpret_cast<const QRgb*>(band.constScanLine(row * K + i));
                for (quint64& sum : sums) {
                    quint64 block = 0;
                    for (int j = 0; j < K; ++j, ++p) {
                        if (*p != last) {
                            last = *p;
                            lastSpread = Spread(last);
                        }
                        block += lastSpread;
                    }
                    sum += block;
                }
            }
            // Means widened to 16 bits.
            constexpr quint64 n = K * K;
            const auto mean = [](quint64 sum, Lane lane, quint64 full) {
                return quint16(((sum >> lane & 0xFFFF) * 65535 + n * full / 2) / (n * full));
            };
            auto* q = reinterpret_cast<QRgba64*>(pRows + row * bytesPerLine);
            for (const quint64 sum : sums)
                *q++ = QRgba64::fromRgba64(mean(sum, kRed, kRootMax), mean(sum, kGreen, kRootMax),
                                           mean(sum, kBlue, kRootMax), mean(sum, kAlphaLane, 255));
        }
    }

    static constexpr int kBandRows = 256;
    QGraphicsItem* m_pPage;
    QImage m_roots;
    int m_k = 0;
    QImage m_shown;
};

} // namespace

PreviewPageAverager::PreviewPageAverager(QGraphicsView* pView) : QObject(pView), m_pView(pView)
{
    pView->viewport()->installEventFilter(this);
}

// Qt makes the page items anew whenever it asks for the pages again, so they are looked for before
// each paint of the page area. The pages in view that need their kept image made are made side by
// side, each on a thread of its own, before Qt draws them one after the other.
bool PreviewPageAverager::eventFilter(QObject*, QEvent* pEvent)
{
    if (pEvent->type() != QEvent::Paint || !m_pView->scene())
        return false;
    const QRect area = m_pView->viewport()->rect();
    const qreal ratio = m_pView->viewport()->devicePixelRatio();
    std::vector<std::future<void>> making;
    for (QGraphicsItem* pItem : m_pView->scene()->items()) {
        if (pItem->parentItem())
            continue;
        if (!pItem->graphicsEffect())
            pItem->setGraphicsEffect(new AveragedPage(pItem));
        auto* pEffect = dynamic_cast<AveragedPage*>(pItem->graphicsEffect());
        const QTransform toDevice = pItem->deviceTransform(m_pView->viewportTransform());
        const int nDots = AveragedPage::DotsPerPixel(toDevice, ratio);
        if (pEffect && pEffect->NeedsImage(nDots) && toDevice.mapRect(pItem->boundingRect()).intersects(area))
            making.push_back(std::async(kThreadOrLater, [pEffect, nDots] { pEffect->MakeImage(nDots); }));
    }
    for (std::future<void>& made : making)
        made.get();
    return false;
}
