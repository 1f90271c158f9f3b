#pragma once

#include <QtGlobal>
#include <array>

// The code pages a version record's translation can name.
enum TVersionCharSet {
    vcsASCII,
    vcsJapan,
    vcsKorea,
    vcsTaiwan,
    vcsUnicode,
    vcsEasternEuropean,
    vcsCyrillic,
    vcsMultilingual,
    vcsGreek,
    vcsTurkish,
    vcsHebrew,
    vcsArabic,
    vcsUnknown
};

// The code page of each member, in member order. vcsUnknown has all bits set, which no 16-bit
// code page equals.
inline constexpr std::array<quint32, 13> VersionCharSetCodePages = {
    0, 932, 949, 950, 1200, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 0xFFFFFFFFu};
