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

// Room a text needs drawn as a control draws it ('&' marks a mnemonic, "&&" shows one '&').
inline QSize ButtonTextSize(const QWidget* pWidget, const QString& text)
{
    return QFontMetrics(pWidget->font()).size(Qt::TextShowMnemonic, text);
}

inline void CheckText(const QWidget* pWidget, std::vector<std::string>& problems)
{
    QStyle* pStyle = pWidget->style();
    const auto report = [&](const QString& text, QSize need, QRect room) {
        if (need.width() > room.width() || need.height() > room.height())
            problems.push_back(Describe(pWidget, text) + ": needs " + std::to_string(need.width()) + "x" +
                               std::to_string(need.height()) + ", has " + std::to_string(room.width()) + "x" +
                               std::to_string(room.height()));
    };
    if (auto* pLabel = qobject_cast<const QLabel*>(pWidget)) {
        if (pLabel->text().isEmpty())
            return;
        const QFontMetrics fm(pLabel->font());
        const QRect room = pLabel->contentsRect().adjusted(pLabel->margin(), pLabel->margin(), -pLabel->margin(),
                                                           -pLabel->margin());
        QSize need;
        if (pLabel->wordWrap())
            need = fm.boundingRect(QRect(0, 0, room.width(), 100000), Qt::TextWordWrap, pLabel->text()).size();
        else
            need = fm.size(0, pLabel->text());
        report(pLabel->text(), need, room);
    } else if (auto* pButton = qobject_cast<const QAbstractButton*>(pWidget)) {
        if (pButton->text().isEmpty())
            return;
        QStyleOptionButton opt;
        opt.initFrom(pButton);
        opt.text = pButton->text();
        QStyle::SubElement element = QStyle::SE_PushButtonContents;
        if (qobject_cast<const QCheckBox*>(pButton))
            element = QStyle::SE_CheckBoxContents;
        else if (qobject_cast<const QRadioButton*>(pButton))
            element = QStyle::SE_RadioButtonContents;
        else if (auto* pPush = qobject_cast<const QPushButton*>(pButton); pPush && pPush->isDefault())
            opt.features |= QStyleOptionButton::DefaultButton;
        report(pButton->text(), ButtonTextSize(pButton, pButton->text()),
               pStyle->subElementRect(element, &opt, pButton));
    } else if (auto* pGroup = qobject_cast<const QGroupBox*>(pWidget)) {
        if (pGroup->title().isEmpty())
            return;
        QStyleOptionGroupBox opt;
        opt.initFrom(pGroup);
        opt.text = pGroup->title();
        opt.lineWidth = 1;
        opt.subControls = QStyle::SC_GroupBoxFrame | QStyle::SC_GroupBoxLabel;
        opt.textAlignment = pGroup->alignment();
        const QRect label = pStyle->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, pGroup);
        // The title is drawn in its label rectangle, clipped by the box.
        report(pGroup->title(), ButtonTextSize(pGroup, pGroup->title()), label.intersected(pGroup->rect()));
    }
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
