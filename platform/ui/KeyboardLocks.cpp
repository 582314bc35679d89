#include "platform/ui/KeyboardLocks.h"

#include <QGuiApplication>

#ifdef VANTREL_HAVE_X11
#include <X11/XKBlib.h>
#endif

namespace {
UINT QueryDisplay()
{
#ifdef VANTREL_HAVE_X11
    auto* pApp = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    auto* pX11 = pApp ? pApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* pDisplay = pX11 ? pX11->display() : nullptr;
    if (!pDisplay)
        return 0;
    // The indicators by name, since their numbers differ between keymaps; looked up once.
    static int indexes[3] = {-2, -2, -2};
    static const char* const names[3] = {"Caps Lock", "Num Lock", "Scroll Lock"};
    static const UINT bits[3] = {LOCK_CAPS, LOCK_NUM, LOCK_SCROLL};
    for (int i = 0; i < 3; ++i) {
        if (indexes[i] != -2)
            continue;
        indexes[i] = -1;
        const Atom atom = XInternAtom(pDisplay, names[i], True);
        int ndx = -1;
        if (atom != None && XkbGetNamedIndicator(pDisplay, atom, &ndx, nullptr, nullptr, nullptr))
            indexes[i] = ndx;
    }
    unsigned int state = 0;
    if (XkbGetIndicatorState(pDisplay, XkbUseCoreKbd, &state) != Success)
        return 0;
    UINT locks = 0;
    for (int i = 0; i < 3; ++i)
        if (indexes[i] >= 0 && (state & (1u << indexes[i])))
            locks |= bits[i];
    return locks;
#else
    return 0;
#endif
}

KeyboardLockQuery& Query()
{
    static KeyboardLockQuery query = QueryDisplay;
    return query;
}
} // namespace

KeyboardLockQuery SetKeyboardLockQuery(KeyboardLockQuery query)
{
    KeyboardLockQuery old = Query();
    Query() = query ? std::move(query) : KeyboardLockQuery(QueryDisplay);
    return old;
}

UINT AfxGetKeyboardLocks() { return Query()(); }
