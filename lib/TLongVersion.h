#pragma once

#include <QtGlobal>

// A four-part version number a.b.c.d laid out as the fixed part of a version record stores
// one: the most significant 32-bit word (a in its high half, b in its low half), then the
// least significant one (c high, d low), each little-endian. In memory order the parts are
// therefore b, a, d, c.
struct TLongVersion
{
    quint16 parts[4] = {0, 0, 0, 0};

    static TLongVersion fromWords(quint32 mostSignificant, quint32 leastSignificant)
    {
        return TLongVersion{{quint16(mostSignificant & 0xFFFF), quint16(mostSignificant >> 16),
                             quint16(leastSignificant & 0xFFFF), quint16(leastSignificant >> 16)}};
    }

    bool operator==(const TLongVersion &) const = default;
};
static_assert(sizeof(TLongVersion) == 8);
