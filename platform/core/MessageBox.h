#pragma once
// Every message box of the program goes through one replaceable handler. The window layer installs
// one that shows a real box captioned with the application name; tests install one that records the
// request and answers. With no handler installed the text goes to the standard error stream and the
// box's default button answers, so nothing ever waits for a person who is not there.
#include <functional>

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

// Buttons.
constexpr UINT MB_OK = 0x0000;
constexpr UINT MB_OKCANCEL = 0x0001;
constexpr UINT MB_ABORTRETRYIGNORE = 0x0002;
constexpr UINT MB_YESNOCANCEL = 0x0003;
constexpr UINT MB_YESNO = 0x0004;
constexpr UINT MB_RETRYCANCEL = 0x0005;
constexpr UINT MB_TYPEMASK = 0x000F;
// Icons.
constexpr UINT MB_ICONHAND = 0x0010;
constexpr UINT MB_ICONSTOP = MB_ICONHAND;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONQUESTION = 0x0020;
constexpr UINT MB_ICONEXCLAMATION = 0x0030;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONASTERISK = 0x0040;
constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr UINT MB_ICONMASK = 0x00F0;
// Default button (the first unless stated).
constexpr UINT MB_DEFBUTTON1 = 0x0000;
constexpr UINT MB_DEFBUTTON2 = 0x0100;
constexpr UINT MB_DEFBUTTON3 = 0x0200;
constexpr UINT MB_DEFMASK = 0x0F00;

// Answers.
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

struct MessageBoxRequest {
    CString text;
    CString caption;   // empty: the application name
    UINT type = MB_OK; // buttons | icon | default button
    UINT helpId = 0;
    void* owner = nullptr; // the owning window, when a window asked; opaque here
};

using MessageBoxHandler = std::function<int(const MessageBoxRequest&)>;

// Installs the handler (an empty one restores the default) and returns the one it replaces.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

// The answer of the box's default button: IDOK, IDYES, IDABORT or IDRETRY for the first button,
// the second or third when MB_DEFBUTTON2 or MB_DEFBUTTON3 names one that exists.
int MessageBoxDefaultAnswer(UINT type);

// Shows a box through the handler and returns its answer.
int ShowMessageBox(const MessageBoxRequest& request);

int AfxMessageBox(const char* lpszText, UINT nType = MB_OK, UINT nIDHelp = 0);
// The text is the string resource nIDPrompt, found through the string loader below.
int AfxMessageBox(UINT nIDPrompt, UINT nType = MB_OK, UINT nIDHelp = UINT(-1));

// How AfxMessageBox(UINT) finds the text of a string resource; installed by the resource layer.
// With none installed the text is empty.
using StringResourceLoader = std::function<CString(UINT id)>;
StringResourceLoader SetStringResourceLoader(StringResourceLoader loader);
