#include "online/PageTitle.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace {
// One "%d" of the scan: blanks, an optional sign, at least one digit. Saturates far beyond any value
// that survives the clamps below.
bool ScanInteger(const std::string& s, std::size_t& pos, long long& value)
{
    std::size_t p = pos;
    while (p < s.size() && std::isspace(static_cast<unsigned char>(s[p])))
        ++p;
    bool negative = false;
    if (p < s.size() && (s[p] == '+' || s[p] == '-'))
        negative = s[p++] == '-';
    if (p >= s.size() || !std::isdigit(static_cast<unsigned char>(s[p])))
        return false;
    long long v = 0;
    for (; p < s.size() && std::isdigit(static_cast<unsigned char>(s[p])); ++p)
        v = std::min(v * 10 + (s[p] - '0'), 1LL << 40);
    value = negative ? -v : v;
    pos = p;
    return true;
}

int ClampInterval(long long value) { return int(std::clamp(value, 0LL, MAX_TIMER_INTERVAL_MS)); }
int ClampHeight(long long value) { return int(std::clamp(value, 0LL, 0x7FFFFFFFLL)); }
} // namespace

BOOL ApplyPageTitle(const CString& title, CPageTitleParameters& params)
{
    const std::string& s = title.str();
    if (s.empty() || s[0] != '@')
        return FALSE;

    long long values[6] = {params.titleMode,      params.nextAdMs,      params.shownHeight,
                           params.expandedHeight, params.expandDelayMs, params.collapseDelayMs};
    std::size_t pos = 1;
    for (int i = 0; i < 6; ++i) {
        if (i > 0) {
            if (pos >= s.size() || s[pos] != '#')
                break;
            ++pos;
        }
        if (!ScanInteger(s, pos, values[i]))
            break;
    }

    const std::size_t open = s.find('[');
    const std::size_t close = s.find(']');
    if (open != std::string::npos && close != std::string::npos && open + 1 < close)
        params.titleMessage = CString(s.substr(open + 1, close - open - 1));
    else
        params.titleMessage.Empty();

    params.titleMode = int(std::clamp(values[0], -0x80000000LL, 0x7FFFFFFFLL));
    params.nextAdMs = ClampInterval(values[1] * 60000);
    params.shownHeight = ClampHeight(values[2]);
    params.expandedHeight = ClampHeight(values[3]);
    params.expandDelayMs = ClampInterval(values[4] * 1000);
    params.collapseDelayMs = ClampInterval(values[5] * 1000);
    return TRUE;
}

int CollapsedHeight(int height)
{
    return ClampHeight(static_cast<long long>(height) * 9 / 10);
}
