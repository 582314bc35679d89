#pragma once
// Reading numbers out of tile-definition text.
#include "platform/core/WinTypes.h"

#include <climits>

// The decimal value at the start of s: optional white space and sign, then digits up to the first
// non-digit; 0 when there are none. Values beyond the 32-bit range saturate.
inline LONG TileDecimalValue(const char* s)
{
    while (*s == ' ' || *s == '\t' || *s == '\n' || *s == '\v' || *s == '\f' || *s == '\r')
        ++s;
    bool negative = false;
    if (*s == '+' || *s == '-')
        negative = *s++ == '-';
    long long value = 0;
    for (; *s >= '0' && *s <= '9'; ++s) {
        value = value * 10 + (*s - '0');
        if (value > 1LL + INT_MAX)
            value = 1LL + INT_MAX;
    }
    value = negative ? -value : value;
    if (value > INT_MAX)
        value = INT_MAX;
    return LONG(value);
}
