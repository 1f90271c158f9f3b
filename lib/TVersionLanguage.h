#pragma once

#include <QtGlobal>
#include <array>

// The languages a version record's translation can name.
enum TVersionLanguage {
    vlArabic,
    vlBulgarian,
    vlCatalan,
    vlTraditionalChinese,
    vlCzech,
    vlDanish,
    vlGerman,
    vlGreek,
    vlUSEnglish,
    vlCastilianSpanish,
    vlFinnish,
    vlFrench,
    vlHebrew,
    vlHungarian,
    vlIcelandic,
    vlItalian,
    vlJapanese,
    vlKorean,
    vlDutch,
    vlNorwegianBokmel,
    vlPolish,
    vlBrazilianPortuguese,
    vlRhaetoRomanic,
    vlRomanian,
    vlRussian,
    vlCroatoSerbian,
    vlSlovak,
    vlAlbanian,
    vlSwedish,
    vlThai,
    vlTurkish,
    vlUrdu,
    vlBahasa,
    vlSimplifiedChinese,
    vlSwissGerman,
    vlUKEnglish,
    vlMexicanSpanish,
    vlBelgianFrench,
    vlSwissItalian,
    vlBelgianDutch,
    vlNorwegianNynorsk,
    vlPortuguese,
    vlSerboCroatian,
    vlCanadianFrench,
    vlSwissFrench,
    vlUnknown
};

// The Windows language identifier of each member, in member order: 0x0401 onwards for the
// first 33, then the regional variants; vlUnknown stands for the language-neutral 0.
inline constexpr std::array<quint16, 46> VersionLanguageIds = {
    0x0401, 0x0402, 0x0403, 0x0404, 0x0405, 0x0406, 0x0407, 0x0408, 0x0409, 0x040A, 0x040B,
    0x040C, 0x040D, 0x040E, 0x040F, 0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416,
    0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F, 0x0420, 0x0421,
    0x0804, 0x0807, 0x0809, 0x080A, 0x080C, 0x0810, 0x0813, 0x0814, 0x0816, 0x081A, 0x0C0C,
    0x100C, 0x0000};
static_assert(VersionLanguageIds[vlBahasa] == 0x0421 && VersionLanguageIds[vlUnknown] == 0);
