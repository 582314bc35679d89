#pragma once
// Command targets and their message maps. Header-only and free of Qt, so that documents (which hold no
// window) can take part in command routing.
//
// A class with handlers declares DECLARE_MESSAGE_MAP() and lists them once:
//     BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
//         ON_COMMAND(ID_VIEW_EDIT_TOOLBAR, &CMainFrame::OnViewEditToolbar)
//         ON_UPDATE_COMMAND_UI(ID_SOLVE, &CMainFrame::OnUpdateSolve)
//     END_MESSAGE_MAP()
// Handlers are `void f()` (or `void f(UINT nID)` for ranges) and `void f(CCmdUI*)` for update handlers.
// Window messages are virtual functions of CWnd (OnSize, OnLButtonDown ...), not map entries.
#include "platform/core/AfxRes.h"
#include "platform/core/WinTypes.h"

#include <type_traits>

class CCmdTarget;
class CCmdUI;

using AfxCmdThunk = void (*)(CCmdTarget* pTarget, UINT nID, void* pExtra);

struct AFX_MSGMAP_ENTRY {
    int nCode; // CN_COMMAND or CN_UPDATE_COMMAND_UI; 0 with a null thunk ends the table
    UINT nID;
    UINT nLastID;
    AfxCmdThunk pfn;
};

struct AFX_MSGMAP {
    const AFX_MSGMAP* (*pfnGetBaseMap)();
    const AFX_MSGMAP_ENTRY* lpEntries;
};

// Filled by OnCmdMsg when it is asked whether a handler exists instead of running it.
struct AFX_CMDHANDLERINFO {
    CCmdTarget* pTarget = nullptr;
};

namespace vantrel_msgmap {
template <class>
struct MemberOf;
template <class C, class R, class... A>
struct MemberOf<R (C::*)(A...)> {
    using type = C;
};

template <auto F>
void Command(CCmdTarget* pTarget, UINT nID, void*)
{
    using C = typename MemberOf<decltype(F)>::type;
    C* pObject = static_cast<C*>(pTarget);
    if constexpr (std::is_invocable_v<decltype(F), C*>)
        (pObject->*F)();
    else
        (pObject->*F)(nID);
}

template <auto F>
void Update(CCmdTarget* pTarget, UINT, void* pExtra)
{
    using C = typename MemberOf<decltype(F)>::type;
    (static_cast<C*>(pTarget)->*F)(static_cast<CCmdUI*>(pExtra));
}
} // namespace vantrel_msgmap

#define DECLARE_MESSAGE_MAP() \
protected: \
    static const AFX_MSGMAP* GetThisMessageMap(); \
    const AFX_MSGMAP* GetMessageMap() const override; \
\
public:

#define BEGIN_MESSAGE_MAP(theClass, baseClass) \
    const AFX_MSGMAP* theClass::GetMessageMap() const { return GetThisMessageMap(); } \
    const AFX_MSGMAP* theClass::GetThisMessageMap() \
    { \
        using ThisClass [[maybe_unused]] = theClass; \
        using TheBaseClass = baseClass; \
        static const AFX_MSGMAP_ENTRY entries[] = {

#define END_MESSAGE_MAP() \
    {0, 0, 0, nullptr} \
    } \
    ; \
    static const AFX_MSGMAP map = {&TheBaseClass::GetThisMessageMap, &entries[0]}; \
    return &map; \
    }

#define ON_COMMAND(id, memberFxn) {CN_COMMAND, UINT(id), UINT(id), &vantrel_msgmap::Command<memberFxn>},
#define ON_COMMAND_RANGE(id, idLast, memberFxn) \
    {CN_COMMAND, UINT(id), UINT(idLast), &vantrel_msgmap::Command<memberFxn>},
#define ON_UPDATE_COMMAND_UI(id, memberFxn) \
    {CN_UPDATE_COMMAND_UI, UINT(id), UINT(id), &vantrel_msgmap::Update<memberFxn>},
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn) \
    {CN_UPDATE_COMMAND_UI, UINT(id), UINT(idLast), &vantrel_msgmap::Update<memberFxn>},

// Notifications a control sends its parent window; they route like commands under their own code.
constexpr int EN_SETFOCUS = 0x0100;
constexpr int EN_KILLFOCUS = 0x0200;
constexpr int EN_CHANGE = 0x0300;
constexpr int EN_UPDATE = 0x0400;
#define ON_CONTROL(wNotifyCode, id, memberFxn) \
    {int(wNotifyCode), UINT(id), UINT(id), &vantrel_msgmap::Command<memberFxn>},
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)

class CCmdTarget {
public:
    CCmdTarget() = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;
    virtual ~CCmdTarget() = default;

    // Looks nID up in this object's message map chain. nCode CN_COMMAND runs the command handler,
    // CN_UPDATE_COMMAND_UI runs the update handler with pExtra as the CCmdUI, a control notification
    // code (EN_KILLFOCUS ...) runs the handler listed for it. With pHandlerInfo set, a
    // command handler is only looked for, not run. Returns TRUE when a handler was found. Window classes
    // override this to route further (view, document, frame, application).
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
    {
        for (const AFX_MSGMAP* pMap = GetMessageMap(); pMap; pMap = pMap->pfnGetBaseMap ? pMap->pfnGetBaseMap() : nullptr) {
            for (const AFX_MSGMAP_ENTRY* pEntry = pMap->lpEntries; pEntry->pfn; ++pEntry) {
                if (pEntry->nCode != nCode || nID < pEntry->nID || nID > pEntry->nLastID)
                    continue;
                if (pHandlerInfo) {
                    pHandlerInfo->pTarget = this;
                    return TRUE;
                }
                pEntry->pfn(this, nID, pExtra);
                return TRUE;
            }
        }
        return FALSE;
    }

    virtual const AFX_MSGMAP* GetMessageMap() const { return GetThisMessageMap(); }

protected:
    static const AFX_MSGMAP* GetThisMessageMap()
    {
        static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, nullptr}};
        static const AFX_MSGMAP map = {nullptr, &entries[0]};
        return &map;
    }
};

// The state of one user-interface element of a command (menu item, toolbar button, status pane) as
// an update handler sets it. The window layer derives one per kind of element.
class CCmdUI {
public:
    virtual ~CCmdUI() = default;

    UINT m_nID = 0;
    UINT m_nIndex = 0;
    BOOL m_bEnableChanged = FALSE;
    BOOL m_bContinueRouting = FALSE;

    virtual void Enable(BOOL bOn = TRUE)
    {
        m_bEnabled = bOn ? TRUE : FALSE;
        m_bEnableChanged = TRUE;
    }
    virtual void SetCheck(int nCheck = 1) { m_nCheck = nCheck; }
    virtual void SetRadio(BOOL bOn = TRUE) { SetCheck(bOn ? 1 : 0); }
    virtual void SetText(const char*) {}
    void ContinueRouting() { m_bContinueRouting = TRUE; }

    // Runs the update handler that pTarget's routing finds for m_nID. When no handler set the enabled
    // state and bDisableIfNoHandler is set, the element is enabled exactly when some command handler
    // exists. Returns TRUE when an update handler ran.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHandler)
    {
        m_bEnableChanged = FALSE;
        m_bContinueRouting = FALSE;
        BOOL bResult = pTarget->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this, nullptr);
        if (bDisableIfNoHandler && !m_bEnableChanged) {
            AFX_CMDHANDLERINFO info;
            Enable(pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info));
        }
        return bResult;
    }

    BOOL IsEnabled() const { return m_bEnabled; }
    int GetCheck() const { return m_nCheck; }

protected:
    BOOL m_bEnabled = TRUE;
    int m_nCheck = 0;
};
