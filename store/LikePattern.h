#pragma once

#include <string>
#include <string_view>
#include <vector>

// A Like pattern: '%' stands for any run of characters and '_' for any one character;
// every other character matches itself without regard to letter case, for every
// alphabet (É matches é, Σ matches σ). Text is taken as UTF-8; invalid bytes match
// only themselves, as U+FFFD.
class LikePattern
{
public:
    explicit LikePattern(std::string_view utf8Pattern);

    bool matches(std::string_view utf8Text) const;

    // The pattern as case-folded code points, wildcards included.
    const std::u32string &folded() const { return m_pattern; }

    // The text as case-folded code points, as the matcher compares it.
    static void foldInto(std::string_view utf8Text, std::u32string &folded);
    // The same, written back as UTF-8: text that compares character for character as the
    // matcher compares it.
    static std::string foldedUtf8(std::string_view utf8Text);
    static std::string toUtf8(const std::u32string &codePoints);
    // The runs of characters between the wildcards of a pattern, in order, none empty.
    static std::vector<std::u32string> literalRuns(const std::u32string &pattern);

private:
    std::u32string m_pattern;
};
