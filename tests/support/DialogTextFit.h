#pragma once
// Whether an open window shows every text of its controls whole: each label, button, check box,
// radio button and group-box title has room for its text (in the font and style it is drawn with),
// and each control lies inside its parent and clear of its siblings. Used over every dialog of the
// program, offscreen and under a real X server.
#include <QAbstractButton>
#include <QCheckBox>
#include <QDialog>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionGroupBox>
#include <QWidget>

#include <string>
#include <vector>

namespace dialog_fit {

inline std::string Describe(const QWidget* pWidget, const QString& text)
{
    const QRect g = pWidget->geometry();
    return std::string(pWidget->metaObject()->className()) + " \"" + text.toStdString() + "\" at " +
           std::to_string(g.x()) + "," + std::to_string(g.y()) + " " + std::to_string(g.width()) + "x" +
           std::to_string(g.height());
}

// The lines, each on a line of its own after the first, for a failure message.
inline std::string Join(const std::vector<std::string>& lines)
{
    std::string all;
    for (const std::string& line : lines)
        all += "\n  " + line;
    return all;
}

// Room a text needs drawn as a control draws it ('&' marks a mnemonic, "&&" shows one '&').
inline QSize ButtonTextSize(const QWidget* pWidget, const QString& text)
{
    return QFontMetrics(pWidget->font()).size(Qt::TextShowMnemonic, text);
}

// A control's text as the control shows it: the text, the room it needs and the rectangle it is
// drawn in (and clipped to), in the control's coordinates. Empty text for controls without one.
struct ShownText {
    QString text;
    QSize need;
    QRect room;
    int flags = 0;  // as for QPainter::drawText
};

inline ShownText TextOf(const QWidget* pWidget)
{
    QStyle* pStyle = pWidget->style();
    ShownText shown;
    if (auto* pLabel = qobject_cast<const QLabel*>(pWidget)) {
        if (pLabel->text().isEmpty())
            return {};
        const QFontMetrics fm(pLabel->font());
        const int m = pLabel->margin();
        shown.text = pLabel->text();
        shown.room = pLabel->contentsRect().adjusted(m, m, -m, -m);
        shown.flags = int(pLabel->alignment()) | (pLabel->wordWrap() ? int(Qt::TextWordWrap) : 0);
        shown.need = pLabel->wordWrap()
                         ? fm.boundingRect(QRect(0, 0, shown.room.width(), 100000), Qt::TextWordWrap, shown.text).size()
                         : fm.size(0, shown.text);
    } else if (auto* pButton = qobject_cast<const QAbstractButton*>(pWidget)) {
        if (pButton->text().isEmpty())
            return {};
        QStyleOptionButton opt;
        opt.initFrom(pButton);
        opt.text = pButton->text();
        QStyle::SubElement element = QStyle::SE_PushButtonContents;
        shown.flags = Qt::AlignCenter | Qt::TextShowMnemonic;
        if (qobject_cast<const QCheckBox*>(pButton) || qobject_cast<const QRadioButton*>(pButton)) {
            element = qobject_cast<const QCheckBox*>(pButton) ? QStyle::SE_CheckBoxContents
                                                               : QStyle::SE_RadioButtonContents;
            shown.flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic;
        } else if (auto* pPush = qobject_cast<const QPushButton*>(pButton); pPush && pPush->isDefault()) {
            opt.features |= QStyleOptionButton::DefaultButton;
        }
        shown.text = pButton->text();
        shown.need = ButtonTextSize(pButton, shown.text);
        shown.room = pStyle->subElementRect(element, &opt, pButton);
    } else if (auto* pGroup = qobject_cast<const QGroupBox*>(pWidget)) {
        if (pGroup->title().isEmpty())
            return {};
        QStyleOptionGroupBox opt;
        opt.initFrom(pGroup);
        opt.text = pGroup->title();
        opt.lineWidth = 1;
        opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        opt.textAlignment = pGroup->alignment();
        shown.text = pGroup->title();
        shown.need = ButtonTextSize(pGroup, shown.text);
        // The title is drawn in its label rectangle, clipped by the box.
        shown.room = pStyle->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, pGroup)
                         .intersected(pGroup->rect());
        shown.flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic;
    }
    return shown;
}

inline void CheckText(const QWidget* pWidget, std::vector<std::string>& problems)
{
    const ShownText shown = TextOf(pWidget);
    if (shown.text.isEmpty())
        return;
    if (shown.need.width() > shown.room.width() || shown.need.height() > shown.room.height())
        problems.push_back(Describe(pWidget, shown.text) + ": needs " + std::to_string(shown.need.width()) + "x" +
                           std::to_string(shown.need.height()) + ", has " + std::to_string(shown.room.width()) + "x" +
                           std::to_string(shown.room.height()));
}

// Every control of the dialogs under pRoot (pRoot itself and the pages it holds; hidden controls too,
// which the program may show): its text fits, it lies inside its dialog, and it shares no pixel with
// another control of its dialog other than a group box. Empty when all is well.
inline std::vector<std::string> Problems(QWidget* pRoot)
{
    std::vector<std::string> problems;
    QList<QDialog*> dialogs = pRoot->findChildren<QDialog*>();
    if (auto* pDialog = qobject_cast<QDialog*>(pRoot))
        dialogs.prepend(pDialog);
    for (const QDialog* pDialog : dialogs) {
        // A page sits inside the sheet's tab that holds it.
        if (!pDialog->isWindow() && pDialog->parentWidget() &&
            !pDialog->parentWidget()->rect().contains(pDialog->geometry()))
            problems.push_back(Describe(pDialog, pDialog->windowTitle()) + ": outside its tab (" +
                               std::to_string(pDialog->parentWidget()->width()) + "x" +
                               std::to_string(pDialog->parentWidget()->height()) + ")");
        std::vector<const QWidget*> controls;
        for (QObject* pChild : pDialog->children())
            if (auto* pWidget = qobject_cast<QWidget*>(pChild); pWidget && !pWidget->isWindow())
                controls.push_back(pWidget);
        for (const QWidget* pWidget : controls) {
            CheckText(pWidget, problems);
            if (!pDialog->rect().contains(pWidget->geometry()))
                problems.push_back(Describe(pWidget, pWidget->property("text").toString()) + ": outside its dialog (" +
                                   std::to_string(pDialog->width()) + "x" + std::to_string(pDialog->height()) + ")");
        }
        for (size_t i = 0; i < controls.size(); ++i)
            for (size_t j = i + 1; j < controls.size(); ++j)
                if (!qobject_cast<const QGroupBox*>(controls[i]) && !qobject_cast<const QGroupBox*>(controls[j]) &&
                    controls[i]->geometry().intersects(controls[j]->geometry()))
                    problems.push_back(Describe(controls[i], controls[i]->property("text").toString()) +
                                       " overlaps " + Describe(controls[j], controls[j]->property("text").toString()));
    }
    return problems;
}

} // namespace dialog_fit
