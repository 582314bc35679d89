#include "platform/KeyboardLocks.h"

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
    // The indicators by name: their numbers differ between keymaps.
    UINT locks = 0;
    const std::pair<const char*, UINT> names[] = {{"Caps Lock", LOCK_CAPS}, {"Num Lock", LOCK_NUM}, {"Scroll Lock", LOCK_SCROLL}};
    for (const auto& [name, bit] : names) {
        Bool on = False;
        const Atom atom = XInternAtom(pDisplay, name, True);
        if (atom != None && XkbGetNamedIndicator(pDisplay, atom, nullptr, &on, nullptr, nullptr) && on)
            locks |= bit;
    }
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
