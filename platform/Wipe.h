#pragma once
// Overwrites a string's buffer before it is let go, so that a secret does not linger in
// freed memory. Header-only: the edit's text model uses it without linking the platform.
#include <QString>

#include <cstring>
#if defined(__GLIBC__)
#include <string.h>
#endif

inline void WipeBytes(void *data, std::size_t size)
{
    if (!data || size == 0)
        return;
#if defined(__GLIBC__)
    ::explicit_bzero(data, size);
#else
    // Through a volatile pointer, so the stores are not dropped as dead.
    volatile unsigned char *p = static_cast<volatile unsigned char *>(data);
    while (size--)
        *p++ = 0;
#endif
}

// Clears `s` and zeroes its whole allocation (not only the characters in use: an edit that
// shortened the text in place leaves the old tail behind them). A buffer that another
// QString still shares is that one's to wipe, and is left as it is.
inline void WipeString(QString &s)
{
    auto &d = s.data_ptr();
    if (d.d_ptr() && !d.isShared() && d.allocatedCapacity() > 0) {
        char16_t *begin = d.data() - d.freeSpaceAtBegin();
        WipeBytes(begin, std::size_t(d.allocatedCapacity()) * sizeof(char16_t));
    }
    s = QString();
}
