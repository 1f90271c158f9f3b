#include "LikePattern.h"

#include <unicode/uchar.h>
#include <unicode/utf8.h>

namespace {

constexpr char32_t AnyRun = U'%';
constexpr char32_t AnyOne = U'_';

} // namespace

void LikePattern::foldInto(std::string_view utf8Text, std::u32string &folded)
{
    folded.clear();
    const auto *bytes = reinterpret_cast<const uint8_t *>(utf8Text.data());
    const int32_t length = int32_t(utf8Text.size());
    int32_t i = 0;
    while (i < length) {
        const uint8_t byte = bytes[i];
        if (byte < 0x80) {
            // Plain ASCII needs no table look-up.
            folded.push_back(char32_t(byte >= 'A' && byte <= 'Z' ? byte + ('a' - 'A') : byte));
            ++i;
            continue;
        }
        UChar32 c = 0;
        U8_NEXT(bytes, i, length, c);
        folded.push_back(c < 0 ? char32_t(0xFFFD) : char32_t(u_foldCase(c, U_FOLD_CASE_DEFAULT)));
    }
}

std::string LikePattern::toUtf8(const std::u32string &codePoints)
{
    std::string utf8;
    utf8.reserve(codePoints.size());
    for (const char32_t c : codePoints) {
        uint8_t bytes[U8_MAX_LENGTH];
        int32_t length = 0;
        UBool failed = false;
        U8_APPEND(bytes, length, U8_MAX_LENGTH, UChar32(c), failed);
        if (failed) // a lone surrogate or a value beyond Unicode: the replacement character
            utf8.append("\xEF\xBF\xBD");
        else
            utf8.append(reinterpret_cast<const char *>(bytes), size_t(length));
    }
    return utf8;
}

std::string LikePattern::foldedUtf8(std::string_view utf8Text)
{
    thread_local std::u32string folded;
    foldInto(utf8Text, folded);
    return toUtf8(folded);
}

LikePattern::LikePattern(std::string_view utf8Pattern)
{
    foldInto(utf8Pattern, m_pattern);
}

bool LikePattern::matches(std::string_view utf8Text) const
{
    thread_local std::u32string text;
    foldInto(utf8Text, text);

    // Greedy matching that returns to the last '%' on a mismatch: at most
    // pattern length times text length steps, whatever the input.
    const size_t n = text.size();
    const size_t m = m_pattern.size();
    size_t p = 0;
    size_t s = 0;
    size_t starP = std::u32string::npos;
    size_t starS = 0;
    while (s < n) {
        if (p < m && m_pattern[p] == AnyRun) {
            starP = p++;
            starS = s;
        } else if (p < m && (m_pattern[p] == AnyOne || m_pattern[p] == text[s])) {
            ++p;
            ++s;
        } else if (starP != std::u32string::npos) {
            p = starP + 1;
            s = ++starS;
        } else {
            return false;
        }
    }
    while (p < m && m_pattern[p] == AnyRun)
        ++p;
    return p == m;
}

std::vector<std::u32string> LikePattern::literalRuns(const std::u32string &pattern)
{
    std::vector<std::u32string> runs(1);
    for (const char32_t c : pattern) {
        if (c != U'%' && c != U'_')
            runs.back().push_back(c);
        else if (!runs.back().empty())
            runs.emplace_back();
    }
    if (runs.back().empty())
        runs.pop_back();
    return runs;
}
