// Fonts and text: logical fonts realised on the installed DejaVu faces, text output, formatted text
// in a rectangle, extents and metrics. Text measures are taken in device pixels and reported in
// logical units.
#include "platform/gdi/GdiDevice.h"
#include "platform/gdi/ScreenFont.h"

#include <QFontMetrics>
#include <QFontMetricsF>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>

namespace gdi {

namespace {

QString FaceFor(const LOGFONTA& lf)
{
    std::string face(lf.lfFaceName, strnlen(lf.lfFaceName, LF_FACESIZE));
    std::string lower = face;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    auto has = [&](const char* word) { return lower.find(word) != std::string::npos; };
    const char* mono = "DejaVu Sans Mono";
    const char* serif = "DejaVu Serif";
    const char* sans = "DejaVu Sans";
    if (has("dejavu"))
        return QString::fromLatin1(face.c_str());
    if (has("courier") || has("mono") || has("console") || has("fixed") || has("terminal"))
        return QString::fromLatin1(mono);
    if (has("sans") || has("arial") || has("helvetica") || has("verdana") || has("tahoma"))
        return QString::fromLatin1(sans);
    if (has("times") || has("roman") || has("serif") || has("georgia") || has("garamond") || has("palatino") ||
        has("bookman") || has("century"))
        return QString::fromLatin1(serif);
    if (face.empty()) {
        const int family = lf.lfPitchAndFamily & 0xF0;
        if (family == FF_MODERN || (lf.lfPitchAndFamily & 0x03) == FIXED_PITCH)
            return QString::fromLatin1(mono);
        if (family == FF_ROMAN)
            return QString::fromLatin1(serif);
    }
    return QString::fromLatin1(sans);
}

QString Text(LPCSTR text, int count) { return QString::fromLatin1(text, count); }

int Ascent(const QFontMetrics& fm) { return fm.ascent(); }
int LineHeight(const QFontMetrics& fm) { return fm.ascent() + fm.descent(); }

}  // namespace

namespace {

// lf realised with its heights and width already in device pixels, on a device of dpiY dots per inch.
QFont RealizePixelFont(const LOGFONTA& lf, int px, int widthPx, int dpiY)
{
    QFont font(FaceFor(lf));
    font.setStyleHint(QFont::AnyStyle, QFont::PreferMatch);
    const int weight = lf.lfWeight <= 0 ? 400 : std::clamp<int>(lf.lfWeight, 1, 1000);
    font.setWeight(QFont::Weight(weight));
    font.setItalic(lf.lfItalic != 0);
    font.setUnderline(lf.lfUnderline != 0);
    font.setStrikeOut(lf.lfStrikeOut != 0);
    int em;
    if (lf.lfHeight == 0) {
        em = MulDiv(12, dpiY, 72);
    } else if (lf.lfHeight < 0) {
        em = px;  // character height: the em size
    } else {
        // Cell height: ascent plus descent of the face.
        QFont probe = font;
        probe.setPixelSize(1000);
        QFontMetricsF m(probe);
        const double cell = m.ascent() + m.descent();
        em = cell > 0 ? int(std::lround(px * 1000.0 / cell)) : px;
    }
    font.setPixelSize(std::max(1, em));
    if (lf.lfWidth != 0) {
        const int want = std::abs(widthPx);
        const int natural = QFontMetrics(font).averageCharWidth();
        if (want > 0 && natural > 0)
            font.setStretch(std::clamp(want * 100 / natural, 1, 4000));
    }
    return font;
}

}  // namespace

QFont RealizeFont(DC* dc)
{
    const Font* f = dc->s.font;
    const LOGFONTA lf = f ? f->lf : LOGFONTA{};
    const int h = lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight;
    const bool pixels = f && f->deviceUnits;
    return RealizePixelFont(lf, pixels ? h : dc->heightToDevice(h),
                            pixels ? lf.lfWidth : dc->widthToDevice(lf.lfWidth), dc->caps.dpiY);
}

}  // namespace gdi

using namespace gdi;

QFont AfxScreenFont(const LOGFONTA& lf)
{
    constexpr int kScreenDpi = 96;
    return RealizePixelFont(lf, lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight, lf.lfWidth, kScreenDpi);
}

namespace {

// Runs draw with a painter over the context's device (the window's or bitmap's image, or the printer).
bool Paint(DC* dc, const std::function<void(QPainter&)>& draw)
{
    if (QPainter* p = dc->vector()) {
        p->save();
        PrepareVector(dc, *p);
        draw(*p);
        p->restore();
        return true;
    }
    QImage* img = dc->surface();
    if (!img)
        return false;
    QPainter p(img);
    PrepareVector(dc, p);
    draw(p);
    return true;
}

// Splits a paragraph into lines no wider than width at spaces; a word wider than the line is cut
// between characters when breakWords is set and stands alone otherwise.
std::vector<QString> Wrap(const QString& para, int width, const QFontMetrics& fm, bool breakWords)
{
    std::vector<QString> lines;
    QString line;
    bool lineOpen = false;
    const QStringList words = para.split(QLatin1Char(' '));
    for (const QString& word : words) {
        if (lineOpen) {
            QString candidate = line + QLatin1Char(' ') + word;
            if (fm.horizontalAdvance(candidate) <= width) {
                line = candidate;
                continue;
            }
            lines.push_back(line);
        }
        line = word;
        lineOpen = true;
        if (breakWords) {
            while (line.size() > 1 && fm.horizontalAdvance(line) > width) {
                int n = 1;
                while (n < line.size() && fm.horizontalAdvance(line.left(n + 1)) <= width)
                    ++n;
                lines.push_back(line.left(n));
                line = line.mid(n);
            }
        }
    }
    lines.push_back(line);
    return lines;
}

QString StripPrefixes(const QString& s)
{
    QString out;
    for (int i = 0; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('&')) {
            if (i + 1 < s.size())
                out += s[++i];
            continue;
        }
        out += s[i];
    }
    return out;
}

}  // namespace

BOOL TextOutA(HDC hdc, int x, int y, LPCSTR text, int count)
{
    DC* dc = AsDC(hdc);
    if (!dc || count < 0 || (!text && count > 0))
        return FALSE;
    if (!dc->drawable())
        return FALSE;
    const QString s = Text(text, count);
    const QFont font = RealizeFont(dc);
    const QFontMetrics fm(font);
    const POINT p = dc->toDevice(x, y);
    const QRect cell(p.x, p.y, fm.horizontalAdvance(s), LineHeight(fm));
    Paint(dc, [&](QPainter& painter) {
        if (dc->s.bkMode == OPAQUE)
            painter.fillRect(cell, QColor(ToRgb(dc->s.bkColor)));
        painter.setFont(font);
        painter.setPen(QColor(ToRgb(dc->s.textColor)));
        painter.drawText(QPoint(p.x, p.y + Ascent(fm)), s);
    });
    dc->changed(cell);
    return TRUE;
}

int DrawTextA(HDC hdc, LPCSTR text, int count, RECT* rect, UINT format)
{
    DC* dc = AsDC(hdc);
    if (!dc || !text || !rect)
        return 0;
    QString s = count < 0 ? QString::fromLatin1(text) : Text(text, count);
    if (!(format & DT_NOPREFIX))
        s = StripPrefixes(s);
    const QFont font = RealizeFont(dc);
    const QFontMetrics fm(font);
    const QRect box = dc->deviceRect(rect->left, rect->top, rect->right, rect->bottom);
    const int left = box.left(), top = box.top(), right = box.left() + box.width(), bottom = box.top() + box.height();
    const int lineH = LineHeight(fm);

    std::vector<QString> lines;
    if (format & DT_SINGLELINE) {
        s.remove(QLatin1Char('\r'));
        s.remove(QLatin1Char('\n'));
        lines.push_back(s);
    } else {
        s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
        s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
        for (const QString& para : s.split(QLatin1Char('\n'))) {
            if (format & DT_WORDBREAK) {
                for (QString& l : Wrap(para, right - left, fm, (format & DT_EDITCONTROL) != 0))
                    lines.push_back(std::move(l));
            } else {
                lines.push_back(para);
            }
        }
    }
    int maxW = 0;
    for (const QString& l : lines)
        maxW = std::max(maxW, fm.horizontalAdvance(l));
    const int totalH = lineH * int(lines.size());

    if (format & DT_CALCRECT) {
        rect->right = rect->left + dc->signX() * dc->widthToLogical(maxW);
        rect->bottom = rect->top + dc->signY() * dc->heightToLogical(totalH);
        return dc->heightToLogical(totalH);
    }
    if (!dc->drawable())
        return 0;

    int y0 = top;
    if (format & DT_SINGLELINE) {
        if (format & DT_VCENTER)
            y0 = top + (bottom - top - lineH) / 2;
        else if (format & DT_BOTTOM)
            y0 = bottom - lineH;
    }
    QRect changed;
    Paint(dc, [&](QPainter& painter) {
        if (!(format & DT_NOCLIP))
            painter.setClipRect(box, dc->s.clip ? Qt::IntersectClip : Qt::ReplaceClip);
        painter.setFont(font);
        painter.setPen(QColor(ToRgb(dc->s.textColor)));
        for (size_t k = 0; k < lines.size(); ++k) {
            const int y = y0 + int(k) * lineH;
            // An edit control shows no partly visible last line.
            if ((format & DT_EDITCONTROL) && k > 0 && y + lineH > bottom)
                break;
            const int w = fm.horizontalAdvance(lines[k]);
            int x = left;
            if (format & DT_CENTER)
                x = left + (right - left - w) / 2;
            else if (format & DT_RIGHT)
                x = right - w;
            const QRect cell(x, y, w, lineH);
            if (dc->s.bkMode == OPAQUE)
                painter.fillRect(cell, QColor(ToRgb(dc->s.bkColor)));
            painter.drawText(QPoint(x, y + Ascent(fm)), lines[k]);
            changed |= cell;
        }
    });
    dc->changed(changed);
    return dc->heightToLogical(y0 - top + totalH);
}

BOOL GetTextExtentPoint32A(HDC hdc, LPCSTR text, int count, SIZE* size)
{
    DC* dc = AsDC(hdc);
    if (!dc || !size || count < 0 || (!text && count > 0))
        return FALSE;
    const QFontMetrics fm(RealizeFont(dc));
    *size = SIZE{dc->widthToLogical(fm.horizontalAdvance(Text(text, count))), dc->heightToLogical(LineHeight(fm))};
    return TRUE;
}

BOOL GetTextMetricsA(HDC hdc, TEXTMETRICA* tm)
{
    DC* dc = AsDC(hdc);
    if (!dc || !tm)
        return FALSE;
    const QFont font = RealizeFont(dc);
    const QFontMetrics fm(font);
    const LOGFONTA lf = dc->s.font ? dc->s.font->lf : LOGFONTA{};
    *tm = TEXTMETRICA{};
    const int height = LineHeight(fm);
    tm->tmHeight = dc->heightToLogical(height);
    tm->tmAscent = dc->heightToLogical(fm.ascent());
    tm->tmDescent = dc->heightToLogical(fm.descent());
    tm->tmInternalLeading = dc->heightToLogical(std::max(0, height - font.pixelSize()));
    tm->tmExternalLeading = dc->heightToLogical(std::max(0, fm.leading()));
    tm->tmAveCharWidth = dc->widthToLogical(fm.averageCharWidth());
    tm->tmMaxCharWidth = dc->widthToLogical(fm.maxWidth());
    tm->tmWeight = lf.lfWeight <= 0 ? FW_NORMAL : lf.lfWeight;
    tm->tmDigitizedAspectX = dc->caps.dpiX;
    tm->tmDigitizedAspectY = dc->caps.dpiY;
    tm->tmFirstChar = 32;
    tm->tmLastChar = 255;
    tm->tmDefaultChar = '?';
    tm->tmBreakChar = ' ';
    tm->tmItalic = lf.lfItalic ? 1 : 0;
    tm->tmUnderlined = lf.lfUnderline ? 1 : 0;
    tm->tmStruckOut = lf.lfStrikeOut ? 1 : 0;
    const bool fixed = QFontInfo(font).fixedPitch();
    // The "fixed pitch" bit is set for a variable-pitch font, as the device interface defines it.
    tm->tmPitchAndFamily = BYTE((fixed ? 0 : TMPF_FIXED_PITCH) | TMPF_VECTOR | TMPF_TRUETYPE |
                                (fixed ? FF_MODERN : (lf.lfPitchAndFamily & 0xF0)));
    tm->tmCharSet = lf.lfCharSet;
    return TRUE;
}
