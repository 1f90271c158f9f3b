#include "SpeechWords.h"

#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>

namespace {

// A character of a word: letters, digits, private-use characters and the marks that are no
// accents (those were taken off before).
bool isWordCharacter(UChar32 c)
{
    switch (u_charType(c)) {
    case U_UPPERCASE_LETTER:
    case U_LOWERCASE_LETTER:
    case U_TITLECASE_LETTER:
    case U_MODIFIER_LETTER:
    case U_OTHER_LETTER:
    case U_DECIMAL_DIGIT_NUMBER:
    case U_LETTER_NUMBER:
    case U_OTHER_NUMBER:
    case U_PRIVATE_USE_CHAR:
    case U_COMBINING_SPACING_MARK:
    case U_ENCLOSING_MARK:
        return true;
    default:
        return false;
    }
}

// The text in full case folding (ß and ẞ as ss, the ligature ﬁ as fi), with accents off.
icu::UnicodeString folded(const QString &text)
{
    // Full folding may make a text longer, so it is not the per-character folding of a keyword search.
    icu::UnicodeString caseFolded(reinterpret_cast<const UChar *>(text.utf16()), int32_t(text.size()));
    caseFolded.foldCase(U_FOLD_CASE_DEFAULT);
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2 *nfd = icu::Normalizer2::getNFDInstance(status);
    const icu::Normalizer2 *nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status))
        return caseFolded;
    const icu::UnicodeString decomposed = nfd->normalize(caseFolded, status);
    // Accents are the nonspacing marks of the decomposed text.
    icu::UnicodeString bare;
    for (int32_t i = 0; i < decomposed.length(); i = decomposed.moveIndex32(i, 1)) {
        const UChar32 c = decomposed.char32At(i);
        if (u_charType(c) != U_NON_SPACING_MARK)
            bare.append(c);
    }
    const icu::UnicodeString composed = nfc->normalize(bare, status);
    return U_FAILURE(status) ? caseFolded : composed;
}

} // namespace

namespace SpeechWords {

QStringList words(const QString &text)
{
    const icu::UnicodeString foldedText = folded(text);
    const QString bare(reinterpret_cast<const QChar *>(foldedText.getBuffer()), foldedText.length());
    QStringList found;
    qsizetype start = -1;
    for (qsizetype i = 0; i <= bare.size();) {
        const bool surrogate = i + 1 < bare.size() && bare.at(i).isHighSurrogate() && bare.at(i + 1).isLowSurrogate();
        const UChar32 c = i == bare.size() ? 0 : surrogate ? QChar::surrogateToUcs4(bare.at(i), bare.at(i + 1)) : bare.at(i).unicode();
        const bool inWord = i < bare.size() && isWordCharacter(c);
        if (inWord && start < 0)
            start = i;
        if (!inWord && start >= 0) {
            found.append(bare.mid(start, std::min<qsizetype>(i - start, MaxWordLength)));
            start = -1;
        }
        i += surrogate ? 2 : 1;
    }
    return found;
}

QStringList typedWords(const QString &typed)
{
    QStringList distinct;
    for (const QString &word : words(typed)) {
        if (!distinct.contains(word))
            distinct.append(word);
        if (distinct.size() == MaxTypedWords)
            break;
    }
    return distinct;
}

bool holdsAll(const QStringList &foldedWords, const QStringList &typed)
{
    for (const QString &word : typed) {
        const bool held = std::any_of(foldedWords.begin(), foldedWords.end(),
                                      [&](const QString &w) { return w.startsWith(word); });
        if (!held)
            return false;
    }
    return true;
}

QString foldingVersion()
{
    UVersionInfo unicode;
    u_getUnicodeVersion(unicode);
    char text[U_MAX_VERSION_STRING_LENGTH];
    u_versionToString(unicode, text);
    return QStringLiteral("full case folding, accents off, Unicode %1").arg(QLatin1String(text));
}

} // namespace SpeechWords
