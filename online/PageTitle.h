#pragma once
// The parameters an information page gives the pane through its title:
// "@mode#minutes#shown#expanded#expandSeconds#collapseSeconds[message]".
#include "platform/core/CString.h"

struct CPageTitleParameters {
    int titleMode = 0;       // 2: show titleMessage when the page has loaded
    int nextAdMs = 0;        // life of the page
    int shownHeight = 0;     // pane height while the page is first shown, pixels
    int expandedHeight = 0;  // pane height after the expand delay, pixels
    int expandDelayMs = 0;
    int collapseDelayMs = 0;
    CString titleMessage;
};

// The longest interval a window timer takes; title delays are clamped to 0 .. this.
inline constexpr long long MAX_TIMER_INTERVAL_MS = 0x7FFFFFFF;

// Applies a title beginning with '@': reads up to six integers in the order of the members (a field
// whose number is missing keeps its value), takes the message between the first '[' and the first ']',
// then scales minutes and seconds to milliseconds in place (also for fields the title left as they
// were). Products are computed in 64 bits and clamped to valid timer intervals; heights are clamped
// to 0 or more. FALSE, with nothing changed, for any other title.
BOOL ApplyPageTitle(const CString& title, CPageTitleParameters& params);

// One step of the pane's collapse: nine tenths of a height, truncated, computed in 64 bits and
// clamped as the title's heights are (a title may give any height up to the largest int).
int CollapsedHeight(int height);
