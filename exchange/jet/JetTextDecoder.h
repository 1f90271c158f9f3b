#pragma once

#include <QString>
#include <memory>
#include <optional>

struct UConverter;

// Turns the bytes of a Jet text or memo value into text: Jet 4 stores UTF-16 (whole, or in
// its compressed form that keeps one byte for each character below 256); Jet 3 stores
// 8-bit text in the code page named in the file's header.
class JetTextDecoder
{
public:
    JetTextDecoder(); // Jet 4
    // Jet 3; codePageSupported() says whether the code page could be found.
    explicit JetTextDecoder(int codePage);
    ~JetTextDecoder();
    JetTextDecoder(JetTextDecoder &&) noexcept;
    JetTextDecoder &operator=(JetTextDecoder &&) noexcept;

    bool codePageSupported() const;
    // The text, or nothing when the bytes are no valid text of the file's encoding.
    std::optional<QString> decode(const char *data, qsizetype size) const;

private:
    std::optional<QString> decodeUtf16(const char *data, qsizetype size) const;
    std::optional<QString> decodeCompressed(const char *data, qsizetype size) const;
    std::optional<QString> decodeCodePage(const char *data, qsizetype size) const;

    struct Closer
    {
        void operator()(UConverter *converter) const;
    };
    bool m_jet3 = false;
    std::unique_ptr<UConverter, Closer> m_codePage;
};
