#pragma once

#include <string>
#include <string_view>

// A Like pattern: '%' stands for any run of characters and '_' for any one character;
// every other character matches itself without regard to letter case, for every
// alphabet (É matches é, Σ matches σ). Text is taken as UTF-8; invalid bytes match
// only themselves, as U+FFFD.
class LikePattern
{
public:
    explicit LikePattern(std::string_view utf8Pattern);

    bool matches(std::string_view utf8Text) const;

    // The text as case-folded code points, as the matcher compares it.
    static void foldInto(std::string_view utf8Text, std::u32string &folded);

private:
    std::u32string m_pattern;
};
