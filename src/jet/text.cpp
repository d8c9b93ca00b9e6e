#include "text.h"

#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "jet/error.h"

namespace jet::text {
namespace {

void appendCodePoint(std::string& out, std::uint32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Decodes UTF-16LE units, pairing surrogates; `pending` carries a high surrogate between calls.
class Utf16Sink {
public:
    explicit Utf16Sink(std::string& out) : out_(out) {}
    void unit(std::uint16_t u) {
        if (pending_) {
            if (u >= 0xDC00 && u <= 0xDFFF) {
                appendCodePoint(out_, 0x10000 + ((pending_ - 0xD800) << 10) + (u - 0xDC00));
                pending_ = 0;
                return;
            }
            appendCodePoint(out_, 0xFFFD);
            pending_ = 0;
        }
        if (u >= 0xD800 && u <= 0xDBFF)
            pending_ = u;
        else if (u >= 0xDC00 && u <= 0xDFFF)
            appendCodePoint(out_, 0xFFFD);
        else
            appendCodePoint(out_, u);
    }
    void finish() {
        if (pending_)
            appendCodePoint(out_, 0xFFFD);
        pending_ = 0;
    }

private:
    std::string& out_;
    std::uint32_t pending_ = 0;
};

std::uint64_t word(const std::uint8_t* p) {
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// Compressed text that is plain ASCII: no 00 (a mode switch) and no byte from 0x80 on. Eight
// bytes at a time: a byte is 00 or has its top bit set exactly when the top bit of the byte, or
// of the byte less one where no top bit was set, is set.
bool compressedAscii(const std::uint8_t* p, std::size_t n) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ULL, kTops = 0x8080808080808080ULL;
    std::uint64_t bad = 0;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        const std::uint64_t w = word(p + i);
        bad |= (w | ((w - kOnes) & ~w)) & kTops;
    }
    for (; i < n; ++i)
        bad |= static_cast<std::uint8_t>(p[i] - 1) >= 0x7F;
    return bad == 0;
}

// Plain UCS-2 text that is ASCII: every low byte below 0x80, every high byte 00.
bool plainAscii(const std::uint8_t* p, std::size_t n) {
    if (n % 2)
        return false;
    std::uint64_t bad = 0;
    std::size_t i = 0;
    for (; i + 8 <= n; i += 8) // little-endian: units in the low and high halves of each word
        bad |= word(p + i) & 0xFF80FF80FF80FF80ULL;
    for (; i < n; i += 2)
        bad |= (p[i] & 0x80) | p[i + 1];
    return bad == 0;
}

// Narrows UTF-16 units to bytes while they lie in U+0001..U+00FF, the characters compressed
// text holds one byte each; returns how many units were narrowed.
std::size_t narrowCompressible(const char16_t* units, std::size_t n, std::uint8_t* out) {
    std::size_t i = 0;
#if defined(__SSE2__)
    // Eight units at a time: a unit fits when it is not zero and its high byte is.
    const __m128i zero = _mm_setzero_si128();
    const __m128i high = _mm_set1_epi16(static_cast<short>(0xFF00));
    for (; i + 8 <= n; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + i));
        const __m128i fits = _mm_andnot_si128(_mm_cmpeq_epi16(v, zero),
                                              _mm_cmpeq_epi16(_mm_and_si128(v, high), zero));
        if (_mm_movemask_epi8(fits) != 0xFFFF)
            break;
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + i), _mm_packus_epi16(v, v));
    }
#endif
    for (; i < n && units[i] >= 0x01 && units[i] <= 0xFF; ++i)
        out[i] = static_cast<std::uint8_t>(units[i]);
    return i;
}

} // namespace

void decodeStored(const std::uint8_t* data, std::size_t size, std::string& out) {
    // Fast paths for the common case, text without characters beyond ASCII.
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
        if (compressedAscii(data + 2, size - 2)) {
            out.append(reinterpret_cast<const char*>(data + 2), size - 2);
            return;
        }
    } else {
        if (plainAscii(data, size)) {
            const std::size_t at = out.size();
            out.resize(at + size / 2);
            for (std::size_t i = 0; i < size / 2; ++i)
                out[at + i] = static_cast<char>(data[2 * i]);
            return;
        }
    }
    Utf16Sink sink(out);
    if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
        bool compressed = true;
        std::size_t i = 2;
        while (i < size) {
            if (data[i] == 0) {
                compressed = !compressed;
                ++i;
            } else if (compressed) {
                sink.unit(data[i]);
                ++i;
            } else if (i + 1 < size) {
                sink.unit(static_cast<std::uint16_t>(data[i] | (data[i + 1] << 8)));
                i += 2;
            } else {
                break; // a lone trailing byte carries no character
            }
        }
    } else {
        for (std::size_t i = 0; i + 1 < size; i += 2)
            sink.unit(static_cast<std::uint16_t>(data[i] | (data[i + 1] << 8)));
    }
    sink.finish();
}

std::u16string utf8ToUtf16(std::string_view s) {
    std::u16string out;
    out.reserve(s.size());
    auto bad = [] { throw Error(ErrorKind::InvalidArgument, "The text is not valid UTF-8."); };
    for (std::size_t i = 0; i < s.size();) {
        const auto c = static_cast<unsigned char>(s[i]);
        std::uint32_t cp;
        std::size_t extra = 0;
        if (c < 0x80) {
            cp = c;
            extra = 0;
        } else if ((c & 0xE0) == 0xC0) {
            cp = c & 0x1F;
            extra = 1;
        } else if ((c & 0xF0) == 0xE0) {
            cp = c & 0x0F;
            extra = 2;
        } else if ((c & 0xF8) == 0xF0) {
            cp = c & 0x07;
            extra = 3;
        } else {
            bad();
        }
        if (extra > 0 && i + extra >= s.size())
            bad();
        for (std::size_t k = 1; k <= extra; ++k) {
            const auto cc = static_cast<unsigned char>(s[i + k]);
            if ((cc & 0xC0) != 0x80)
                bad();
            cp = (cp << 6) | (cc & 0x3F);
        }
        static const std::uint32_t kMin[] = {0, 0x80, 0x800, 0x10000};
        if (cp < kMin[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            bad();
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += extra + 1;
    }
    return out;
}

std::string utf16ToUtf8(std::u16string_view s) {
    std::string out;
    out.reserve(s.size());
    Utf16Sink sink(out);
    for (char16_t u : s)
        sink.unit(u);
    sink.finish();
    return out;
}

std::string encodeUcs2(std::u16string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (char16_t u : text) {
        out.push_back(static_cast<char>(u & 0xFF));
        out.push_back(static_cast<char>(u >> 8));
    }
    return out;
}

std::size_t encodeStoredUtf8(std::string_view utf8, bool allowCompression, std::string& out) {
    // ASCII without NUL: the bytes a compressed text holds.
    if (!compressedAscii(reinterpret_cast<const std::uint8_t*>(utf8.data()), utf8.size())) {
        return encodeStoredUtf16(utf8ToUtf16(utf8), allowCompression, out);
    }
    const std::size_t n = utf8.size();
    if (allowCompression && n > 2) {
        out.resize(n + 2);
        out[0] = static_cast<char>(0xFF);
        out[1] = static_cast<char>(0xFE);
        std::memcpy(out.data() + 2, utf8.data(), n);
    } else {
        out.resize(2 * n);
        for (std::size_t i = 0; i < n; ++i) {
            out[2 * i] = utf8[i];
            out[2 * i + 1] = 0;
        }
    }
    return n;
}

std::size_t encodeStoredUtf16(std::u16string_view text, bool allowCompression, std::string& out) {
    const std::size_t n = text.size();
    if (allowCompression && n > 2) {
        out.resize(n + 2);
        auto* o = reinterpret_cast<std::uint8_t*>(out.data());
        o[0] = 0xFF;
        o[1] = 0xFE;
        if (narrowCompressible(text.data(), n, o + 2) == n)
            return n;
    }
    out.resize(2 * n);
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out.data(), text.data(), 2 * n);
    } else {
        for (std::size_t i = 0; i < n; ++i) {
            out[2 * i] = static_cast<char>(text[i] & 0xFF);
            out[2 * i + 1] = static_cast<char>(text[i] >> 8);
        }
    }
    return n;
}

std::string encodeStored(std::u16string_view text, bool allowCompression) {
    std::string out;
    encodeStoredUtf16(text, allowCompression, out);
    return out;
}

} // namespace jet::text
