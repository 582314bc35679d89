#pragma once
// The program's offline switch, the one place that answers whether it may reach other machines.
// While the switch is on, nothing the program does leaves this machine: no echo, fetch, request of
// the information pane's browser, and no link handed to the desktop. Addresses of this machine
// (loopback) stay reachable, so servers on it still answer. The switch is on while the environment
// variable VANTREL_OFFLINE holds a non-empty value. Plain C++, no Qt.
#include "platform/core/WinTypes.h"

// TRUE while the program works offline.
BOOL AfxIsOffline();

// TRUE when the host (a name, a dotted IPv4 address, or an IPv6 address with or without brackets)
// is this machine's loopback: "localhost", 127.0.0.0/8 or ::1. Any other name counts as another
// machine: looking it up would already send a query.
BOOL AfxIsLoopbackHost(const char* lpszHost);

// TRUE when the address names another machine: a URL of any scheme but "file" whose host (after
// "//", backslashes taken as slashes) is not loopback. Paths, "file:" URLs and addresses without a
// host ("about:blank", "data:...") stay on this machine.
BOOL AfxAddressLeavesMachine(const char* lpszAddress);

// TRUE when the switch keeps the address from being reached: offline, and the address leaves the
// machine.
BOOL AfxOfflineRefuses(const char* lpszAddress);
