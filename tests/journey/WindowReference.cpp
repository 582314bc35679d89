#include "tests/journey/WindowReference.h"

#include "maze/CVantrelDoc.h"
#include "maze/setup/MazeSetupSheet.h"
#include "platform/ui/CDialog.h"
#include "platform/ui/CPropertySheet.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QPainter>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace journey {

namespace {

// Text ink: the dark pixels of glyphs (focus frames and control edges are lighter).
bool Ink(QRgb c) { return qGray(c) < 80; }

// The box of the ink in the rectangle of the image; empty when there is none.
QRect InkBox(const QImage& image, const QRect& r)
{
    const QRect area = r.intersected(image.rect());
    int left = INT_MAX, top = INT_MAX, right = INT_MIN, bottom = INT_MIN;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (Ink(image.pixel(x, y))) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    return left == INT_MAX ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
}

std::string Size(const QRect& r) { return std::to_string(r.width()) + "x" + std::to_string(r.height()); }

} // namespace

void EnsureReferenceApplication()
{
    static int argc = 1;
    static char name[] = "journey_reference";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new QApplication(argc, argv);
}

double InterfaceScale()
{
    const char* factor = std::getenv("QT_SCALE_FACTOR");
    return factor && std::atof(factor) > 0 ? std::atof(factor) : 1.0;
}

QRect RectIn(QWidget* pWindow, QWidget* pWidget)
{
    return QRect(pWidget->mapTo(pWindow, QPoint(0, 0)), pWidget->size());
}

std::vector<WindowText> TextsOf(QWidget* pWindow)
{
    std::vector<WindowText> texts;
    QList<QDialog*> dialogs = pWindow->findChildren<QDialog*>();
    if (auto* pDialog = qobject_cast<QDialog*>(pWindow))
        dialogs.prepend(pDialog);
    for (QDialog* pDialog : dialogs) {
        if (!pDialog->isVisibleTo(pWindow) && pDialog != pWindow)
            continue;
        for (QObject* pChild : pDialog->children()) {
            auto* pWidget = qobject_cast<QWidget*>(pChild);
            // Disabled controls grey their texts out.
            if (!pWidget || pWidget->isWindow() || !pWidget->isVisibleTo(pWindow) || !pWidget->isEnabled())
                continue;
            dialog_fit::ShownText shown = dialog_fit::TextOf(pWidget);
            if (shown.text.isEmpty())
                continue;
            shown.room.translate(pWidget->mapTo(pWindow, QPoint(0, 0)));
            texts.push_back({dialog_fit::Describe(pWidget, shown.text), shown, pWidget->font()});
        }
    }
    return texts;
}

void Reference(const std::function<void()>& open, const std::function<void(CDialog&)>& look)
{
    EnsureReferenceApplication();
    bool opened = false;
    SetDialogRunner([&](CDialog& dialog) {
        opened = true;
        dialog.GetQDialog()->show();
        QCoreApplication::processEvents();
        look(dialog);
        dialog.EndDialog(IDCANCEL);
    });
    open();
    SetDialogRunner({});
    if (!opened)
        throw std::runtime_error("the reference dialog did not open");
}

void ReferenceMazeSetup(int page, const std::function<void(CPropertySheet&)>& look)
{
    InstallMazeSetupSheet();
    CVantrelDoc doc;
    doc.OnFileNew();
    Reference([&] { doc.ShowSettings(0); }, [&](CDialog& d) {
        auto& sheet = static_cast<CPropertySheet&>(d);
        sheet.GetTabControl()->setCurrentIndex(page);
        QCoreApplication::processEvents();
        look(sheet);
    });
}

QRect TabOf(CPropertySheet& sheet, int page)
{
    QTabBar* pBar = sheet.GetTabControl()->tabBar();
    return pBar->tabRect(page).translated(pBar->mapTo(sheet.GetQDialog(), QPoint(0, 0)));
}

Box OnScreen(const Box& client, const QRect& r)
{
    const double s = InterfaceScale();
    const int left = int(std::floor(r.left() * s)), top = int(std::floor(r.top() * s));
    const int right = int(std::ceil((r.right() + 1) * s)), bottom = int(std::ceil((r.bottom() + 1) * s));
    return {client.x + left, client.y + top, right - left, bottom - top};
}

std::string Cut(const QImage& screen, const Box& client, const WindowText& t)
{
    const Box room = OnScreen(client, t.shown.room);
    const QRect shown = InkBox(screen, QRect(room.x, room.y, room.w, room.h));
    // The same text drawn without a clip, where the room's corner falls on the same fraction of a pixel.
    const double s = InterfaceScale();
    const int pad = 40;
    const QRect rect(t.shown.room.topLeft() + QPoint(pad, pad), t.shown.room.size());
    const QSize logical(rect.right() + t.shown.need.width() + 2 * pad, rect.bottom() + t.shown.need.height() + 2 * pad);
    QImage whole(QSize(int(std::ceil(logical.width() * s)), int(std::ceil(logical.height() * s))), QImage::Format_RGB32);
    whole.setDevicePixelRatio(s);
    whole.fill(Qt::white);
    {
        QPainter painter(&whole);
        painter.setFont(t.font);
        painter.setPen(Qt::black);
        painter.drawText(rect, t.shown.flags | Qt::TextDontClip, t.shown.text);
    }
    const QRect want = InkBox(whole, whole.rect());
    if (want.isEmpty())
        return "";
    if (shown.isEmpty())
        return t.what + ": no text on the screen";
    if (shown.width() < want.width() - 1 || shown.height() < want.height() - 1)
        return t.what + ": the screen shows " + Size(shown) + " of its " + Size(want) + " pixels of ink";
    return "";
}

} // namespace journey
