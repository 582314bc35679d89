#include "platform/core/MessageBox.h"

#include <cstdio>
#include <iterator>
#include <utility>

namespace {

MessageBoxHandler& Handler()
{
    static MessageBoxHandler handler;
    return handler;
}

StringResourceLoader& Loader()
{
    static StringResourceLoader loader;
    return loader;
}

} // namespace

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler)
{
    return std::exchange(Handler(), std::move(handler));
}

StringResourceLoader SetStringResourceLoader(StringResourceLoader loader)
{
    return std::exchange(Loader(), std::move(loader));
}

int MessageBoxDefaultAnswer(UINT type)
{
    static const int kButtons[][3] = {
        {IDOK, 0, 0},                  // MB_OK
        {IDOK, IDCANCEL, 0},           // MB_OKCANCEL
        {IDABORT, IDRETRY, IDIGNORE},  // MB_ABORTRETRYIGNORE
        {IDYES, IDNO, IDCANCEL},       // MB_YESNOCANCEL
        {IDYES, IDNO, 0},              // MB_YESNO
        {IDRETRY, IDCANCEL, 0},        // MB_RETRYCANCEL
    };
    const UINT buttons = type & MB_TYPEMASK;
    if (buttons >= std::size(kButtons))
        return IDOK;
    const UINT which = (type & MB_DEFMASK) >> 8;
    if (which < 3 && kButtons[buttons][which] != 0)
        return kButtons[buttons][which];
    return kButtons[buttons][0];
}

int ShowMessageBox(const MessageBoxRequest& request)
{
    if (const MessageBoxHandler& handler = Handler())
        return handler(request);
    std::fprintf(stderr, "%s\n", request.text.GetString());
    return MessageBoxDefaultAnswer(request.type);
}

int AfxMessageBox(const char* lpszText, UINT nType, UINT nIDHelp)
{
    MessageBoxRequest request;
    request.text = lpszText;
    request.type = nType;
    request.helpId = nIDHelp;
    return ShowMessageBox(request);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp)
{
    CString text;
    if (const StringResourceLoader& loader = Loader())
        text = loader(nIDPrompt);
    return AfxMessageBox(text.GetString(), nType, nIDHelp == UINT(-1) ? nIDPrompt : nIDHelp);
}
