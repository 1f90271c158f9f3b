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
