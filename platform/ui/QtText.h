#pragma once
// Text between the framework's 8-bit strings and Qt: program texts are Latin-1, paths are local 8-bit.
#include <QString>

inline QString QStr(const char* s) { return QString::fromLatin1(s ? s : ""); }
inline QString QPathStr(const char* s) { return QString::fromLocal8Bit(s ? s : ""); }
