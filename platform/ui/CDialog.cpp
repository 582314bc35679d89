#include "platform/ui/CDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFontMetrics>
#include <QImage>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

#include <algorithm>

#include "platform/core/CException.h"
#include "platform/core/Resource.h"
#include "platform/ui/CDataExchange.h"

namespace {
std::map<UINT, const DialogTemplate*>& Templates()
{
    static std::map<UINT, const DialogTemplate*> templates;
    return templates;
}

DialogRunner& Runner()
{
    static DialogRunner runner;
    return runner;
}

// A picture control: its bitmap drawn to fit the control, proportions kept, centred; a picture put
// up later in its place (CStatic::SetBitmap) shows as a label shows it.
class PictureBox : public QLabel {
public:
    PictureBox(QImage image, QWidget* pParent) : QLabel(pParent), m_image(std::move(image)) {}

protected:
    void paintEvent(QPaintEvent* pEvent) override
    {
        if (m_image.isNull() || !pixmap().isNull()) {
            QLabel::paintEvent(pEvent);
            return;
        }
        const QSize size = m_image.size().scaled(contentsRect().size(), Qt::KeepAspectRatio);
        QRect target(QPoint(0, 0), size);
        target.moveCenter(contentsRect().center());
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, m_image);
    }

private:
    QImage m_image;
};

// v * num / den, rounded half away from zero.
int ScaleUnits(int v, int num, int den)
{
    const long long p = (long long)v * num;
    return int(p >= 0 ? (p + den / 2) / den : -((-p + den / 2) / den));
}

QImage BitmapResource(UINT nID)
{
    char path[64];
    return QImage(QString::fromLatin1(ResourcePath(MAKEINTRESOURCE(nID), RT_BITMAP, path, sizeof path)));
}
} // namespace

SIZE AfxGetDialogBaseUnits(const QFont& font)
{
    // The average width over the 52 letters, rounded as the system rounds it.
    const QFontMetrics fm(font);
    const int letters = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return SIZE{std::max(1, (letters / 26 + 1) / 2), std::max(1, fm.height())};
}

void CDialog::MapDialogRect(RECT* lpRect) const
{
    if (!lpRect)
        return;
    lpRect->left = ScaleUnits(lpRect->left, m_baseUnits.cx, 4);
    lpRect->right = ScaleUnits(lpRect->right, m_baseUnits.cx, 4);
    lpRect->top = ScaleUnits(lpRect->top, m_baseUnits.cy, 8);
    lpRect->bottom = ScaleUnits(lpRect->bottom, m_baseUnits.cy, 8);
}

void AfxRegisterDialogTemplate(UINT nIDTemplate, const DialogTemplate* pTemplate)
{
    Templates()[nIDTemplate] = pTemplate;
}

const DialogTemplate* AfxFindDialogTemplate(UINT nIDTemplate)
{
    auto it = Templates().find(nIDTemplate);
    return it == Templates().end() ? nullptr : it->second;
}

DialogRunner SetDialogRunner(DialogRunner runner)
{
    DialogRunner old = std::move(Runner());
    Runner() = std::move(runner);
    return old;
}

// ---- controls ----

DWORD CDialogItem::GetStyle() const
{
    DWORD style = m_dwStyle & ~(WS_DISABLED | WS_VISIBLE);
    if (m_pWidget) {
        if (!m_pWidget->isEnabled())
            style |= WS_DISABLED;
        if (!m_pWidget->isHidden())
            style |= WS_VISIBLE;
    }
    return style;
}

BOOL CDialogItem::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT)
{
    if (!m_pWidget)
        return FALSE;
    const DWORD old = GetStyle();
    const DWORD style = (old & ~dwRemove) | dwAdd;
    m_dwStyle = style;
    m_pWidget->setEnabled(!(style & WS_DISABLED));
    m_pWidget->setHidden(!(style & WS_VISIBLE));
    return old != style;
}

BOOL CDialogItem::EnableWindow(BOOL bEnable)
{
    const BOOL wasDisabled = m_pWidget && !m_pWidget->isEnabled();
    if (m_pWidget)
        m_pWidget->setEnabled(bEnable != FALSE);
    return wasDisabled;
}

BOOL CDialogItem::IsWindowEnabled() const { return m_pWidget && m_pWidget->isEnabled(); }

BOOL CDialogItem::ShowWindow(int nCmdShow)
{
    const BOOL wasVisible = IsWindowVisible();
    if (m_pWidget)
        m_pWidget->setHidden(nCmdShow == 0);
    return wasVisible;
}

BOOL CDialogItem::IsWindowVisible() const { return m_pWidget && !m_pWidget->isHidden(); }

void CDialogItem::SetWindowText(const char* lpszText)
{
    const QString text = QString::fromLatin1(lpszText ? lpszText : "");
    if (auto* pEdit = qobject_cast<QLineEdit*>(m_pWidget))
        pEdit->setText(text);
    else if (auto* pButton = qobject_cast<QAbstractButton*>(m_pWidget))
        pButton->setText(text);
    else if (auto* pLabel = qobject_cast<QLabel*>(m_pWidget))
        pLabel->setText(text);
    else if (auto* pGroup = qobject_cast<QGroupBox*>(m_pWidget))
        pGroup->setTitle(text);
}

void CDialogItem::GetWindowText(CString& rString) const
{
    QString text;
    if (auto* pEdit = qobject_cast<QLineEdit*>(m_pWidget))
        text = pEdit->text();
    else if (auto* pButton = qobject_cast<QAbstractButton*>(m_pWidget))
        text = pButton->text();
    else if (auto* pLabel = qobject_cast<QLabel*>(m_pWidget))
        text = pLabel->text();
    else if (auto* pGroup = qobject_cast<QGroupBox*>(m_pWidget))
        text = pGroup->title();
    rString = text.toLatin1().constData();
}

void CDialogItem::SetFocus()
{
    if (m_pWidget)
        m_pWidget->setFocus(Qt::OtherFocusReason);
}

void CDialogItem::Invalidate(BOOL)
{
    if (m_pWidget)
        m_pWidget->update();
}

void CDialogItem::Attach(QWidget* pWidget, UINT nID, DWORD dwStyle)
{
    m_pWidget = pWidget;
    m_nID = nID;
    m_dwStyle = dwStyle;
}

void CDialogItem::Detach()
{
    m_pWidget = nullptr;
    m_nID = 0;
}

int CButton::GetCheck() const
{
    auto* pButton = qobject_cast<QAbstractButton*>(m_pWidget);
    return pButton && pButton->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

void CButton::SetCheck(int nCheck)
{
    if (auto* pButton = qobject_cast<QAbstractButton*>(m_pWidget))
        pButton->setChecked(nCheck == BST_CHECKED);
}

void CEdit::SetSel(int nStart, int nEnd)
{
    auto* pEdit = qobject_cast<QLineEdit*>(m_pWidget);
    if (!pEdit)
        return;
    if (nStart == 0 && nEnd == -1)
        pEdit->selectAll();
    else if (nStart < 0)
        pEdit->deselect();
    else
        pEdit->setSelection(nStart, nEnd - nStart);
}

BOOL CEdit::SetReadOnly(BOOL bReadOnly)
{
    auto* pEdit = qobject_cast<QLineEdit*>(m_pWidget);
    if (pEdit)
        pEdit->setReadOnly(bReadOnly != FALSE);
    return pEdit != nullptr;
}

BOOL CEdit::IsReadOnly() const
{
    auto* pEdit = qobject_cast<QLineEdit*>(m_pWidget);
    return pEdit && pEdit->isReadOnly();
}

int CComboBox::AddString(const char* lpszString)
{
    auto* pBox = qobject_cast<QComboBox*>(m_pWidget);
    if (!pBox)
        return CB_ERR;
    pBox->addItem(QString::fromLatin1(lpszString ? lpszString : ""));
    return pBox->count() - 1;
}

void CComboBox::ResetContent()
{
    if (auto* pBox = qobject_cast<QComboBox*>(m_pWidget))
        pBox->clear();
}

int CComboBox::GetCount() const
{
    auto* pBox = qobject_cast<QComboBox*>(m_pWidget);
    return pBox ? pBox->count() : CB_ERR;
}

int CComboBox::GetCurSel() const
{
    auto* pBox = qobject_cast<QComboBox*>(m_pWidget);
    return pBox && pBox->currentIndex() >= 0 ? pBox->currentIndex() : CB_ERR;
}

int CComboBox::SetCurSel(int nSelect)
{
    auto* pBox = qobject_cast<QComboBox*>(m_pWidget);
    if (!pBox || nSelect < -1 || nSelect >= pBox->count())
        return CB_ERR;
    pBox->setCurrentIndex(nSelect);
    return nSelect;
}

void CComboBox::GetLBText(int nIndex, CString& rString) const
{
    auto* pBox = qobject_cast<QComboBox*>(m_pWidget);
    rString = pBox && nIndex >= 0 && nIndex < pBox->count() ? pBox->itemText(nIndex).toLatin1().constData() : "";
}

// ---- the dialog window ----

// Routes the window's own accept and reject (Enter on the default button, Escape, the close box)
// through the dialog's commands, so that OnOK and OnCancel decide.
class CDialog::Window : public QDialog {
public:
    Window(CDialog* pOwner, QWidget* pParent) : QDialog(pParent), m_pOwner(pOwner) {}
    void reject() override { m_pOwner->OnCmdMsg(IDCANCEL, CN_COMMAND, nullptr, nullptr); }
    void accept() override { m_pOwner->OnCmdMsg(IDOK, CN_COMMAND, nullptr, nullptr); }

protected:
    // A page inside a property sheet has no default button of its own: Enter goes on up to the sheet,
    // whose OK it presses (Qt's dialog would swallow it).
    void keyPressEvent(QKeyEvent* e) override
    {
        if (!isWindow() && !e->modifiers() && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)) {
            e->ignore();
            return;
        }
        QDialog::keyPressEvent(e);
    }

private:
    CDialog* m_pOwner;
};

BEGIN_MESSAGE_MAP(CDialog, CCmdTarget)
    ON_COMMAND(IDOK, &CDialog::OnOK)
    ON_COMMAND(IDCANCEL, &CDialog::OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd) {}

CDialog::~CDialog() { DestroyControls(); }

void CDialog::CreateControls(const DialogTemplate& tmpl)
{
    auto* pWindow = new Window(this, QApplication::activeWindow());
    m_pDialog = pWindow;
    pWindow->setWindowTitle(QString::fromLatin1(tmpl.caption));
    m_baseUnits = AfxGetDialogBaseUnits(pWindow->font());
    RECT client{0, 0, tmpl.cx, tmpl.cy};
    MapDialogRect(&client);
    pWindow->setFixedSize(client.right, client.bottom);
    // The radio buttons of the run being laid out; each button keeps the list of its own run.
    auto radioRun = std::make_shared<std::vector<QAbstractButton*>>();
    for (const DialogItemTemplate& item : tmpl.items) {
        if (item.kind != DialogItemKind::RadioButton || (item.style & WS_GROUP))
            radioRun = std::make_shared<std::vector<QAbstractButton*>>();
        const QString text = QString::fromLatin1(item.text ? item.text : "");
        QWidget* pWidget = nullptr;
        switch (item.kind) {
        case DialogItemKind::PushButton:
        case DialogItemKind::DefPushButton: {
            auto* pButton = new QPushButton(text, pWindow);
            pButton->setAutoDefault(false);
            pButton->setDefault(item.kind == DialogItemKind::DefPushButton);
            pWidget = pButton;
            break;
        }
        case DialogItemKind::CheckBox:
            pWidget = new QCheckBox(text, pWindow);
            break;
        case DialogItemKind::Edit:
            pWidget = new QLineEdit(pWindow);
            break;
        case DialogItemKind::Static: {
            auto* pLabel = new QLabel(text, pWindow);
            pLabel->setWordWrap(true);
            pLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            pWidget = pLabel;
            break;
        }
        case DialogItemKind::Picture:
            pWidget = new PictureBox(BitmapResource(item.nBitmap), pWindow);
            break;
        case DialogItemKind::GroupBox:
            pWidget = new QGroupBox(text, pWindow);
            pWidget->lower();
            break;
        case DialogItemKind::RadioButton: {
            auto* pRadio = new QRadioButton(text, pWindow);
            // Checked and unchecked by the run below, so that a button can be unchecked by itself.
            pRadio->setAutoExclusive(false);
            radioRun->push_back(pRadio);
            QObject::connect(pRadio, &QAbstractButton::clicked, pWindow, [pRadio, run = radioRun] {
                for (QAbstractButton* pOther : *run)
                    pOther->setChecked(pOther == pRadio);
            });
            pWidget = pRadio;
            break;
        }
        case DialogItemKind::ComboBox: {
            auto* pBox = new QComboBox(pWindow);
            const UINT nID = item.nID;
            QObject::connect(pBox, &QComboBox::activated, pWindow,
                             [this, nID] { OnCmdMsg(nID, CBN_SELCHANGE, nullptr, nullptr); });
            pWidget = pBox;
            break;
        }
        case DialogItemKind::TrackBar: {
            auto* pSlider = new QSlider(Qt::Horizontal, pWindow);
            const UINT nID = item.nID;
            QObject::connect(pSlider, &QSlider::valueChanged, pWindow,
                             [this, nID](int value) { OnHScroll(SB_THUMBPOSITION, UINT(value), GetDlgItem(int(nID))); });
            pWidget = pSlider;
            break;
        }
        }
        RECT r{item.x, item.y, item.x + item.cx, item.y + item.cy};
        MapDialogRect(&r);
        pWidget->setGeometry(r.left, r.top, r.right - r.left, r.bottom - r.top);
        pWidget->setEnabled(!(item.style & WS_DISABLED));
        pWidget->setHidden(item.hidden);
        if (auto* pButton = qobject_cast<QAbstractButton*>(pWidget)) {
            const UINT nID = item.nID;
            QObject::connect(pButton, &QAbstractButton::clicked, pWindow,
                             [this, nID] { OnCmdMsg(nID, CN_COMMAND, nullptr, nullptr); });
        }
        if (item.nID != IDC_STATIC) {
            auto pItem = std::make_unique<CDialogItem>();
            pItem->Attach(pWidget, item.nID, item.style | (item.hidden ? 0 : WS_VISIBLE));
            m_items[item.nID] = std::move(pItem);
        }
    }
}

void CDialog::DestroyControls()
{
    for (CDialogItem* pControl : m_bound)
        pControl->Detach();
    m_bound.clear();
    m_items.clear();
    delete m_pDialog;
    m_pDialog = nullptr;
}

int CDialog::DoModal()
{
    const DialogTemplate* pTemplate = AfxFindDialogTemplate(m_nIDTemplate);
    if (!pTemplate)
        return -1;
    DestroyControls();
    m_bEnded = false;
    m_nResult = IDCANCEL;
    CreateControls(*pTemplate);
    OnInitDialog();
    if (!m_bEnded) {
        if (Runner()) {
            m_pDialog->show();
            Runner()(*this);
        } else {
            m_bInQtLoop = true;
            m_pDialog->exec();
            m_bInQtLoop = false;
        }
    }
    const int nResult = m_bEnded ? m_nResult : IDCANCEL;
    DestroyControls();
    return nResult;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::EndDialog(int nResult)
{
    m_bEnded = true;
    m_nResult = nResult;
    if (m_pDialog) {
        m_pDialog->hide();
        if (m_bInQtLoop)
            m_pDialog->QDialog::done(nResult);
    }
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnHScroll(UINT, UINT, CDialogItem*) {}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (const CUserException&) {
        return FALSE;
    }
    return TRUE;
}

CDialogItem* CDialog::GetDlgItem(int nID) const
{
    auto it = m_items.find(UINT(nID));
    return it == m_items.end() ? nullptr : it->second.get();
}

void CDialog::Invalidate(BOOL)
{
    if (m_pDialog)
        m_pDialog->update();
}

void CDialog::ClickDlgItem(int nID)
{
    CDialogItem* pItem = GetDlgItem(nID);
    if (!pItem)
        return;
    if (auto* pButton = qobject_cast<QAbstractButton*>(pItem->GetWidget()))
        pButton->click();
}

void CDialog::SetDlgItemFocus(int nID)
{
    if (CDialogItem* pItem = GetDlgItem(nID)) {
        if (m_pDialog && !m_pDialog->isVisible())
            m_pDialog->show();
        pItem->SetFocus();
        if (m_pDialog)
            m_pDialog->activateWindow();
    }
}

void CDialog::AddBoundControl(CDialogItem* pControl)
{
    if (std::find(m_bound.begin(), m_bound.end(), pControl) == m_bound.end())
        m_bound.push_back(pControl);
}
