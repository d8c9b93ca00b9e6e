#include "header.h"

#include <cstring>

#include "bytes.h"
#include "jet/error.h"
#include "text.h"

namespace jet {
namespace {

// Offsets in the header page (after unmasking).
constexpr std::size_t kVersion = 0x14;
constexpr std::size_t kCodePage = 0x3C;
constexpr std::size_t kDatabaseKey = 0x3E;
constexpr std::size_t kPassword = 0x42;
constexpr std::size_t kPasswordLength = 40;
constexpr std::size_t kSortOrder = 0x6E;
constexpr std::size_t kCreationDate = 0x72;

// The RC4 key stream for the key C7 DA 39 6B, of which the header uses 128 bytes.
std::array<std::uint8_t, kHeaderMaskLength> makeMask() {
    const std::uint8_t key[4] = {0xC7, 0xDA, 0x39, 0x6B};
    std::uint8_t s[256];
    for (int i = 0; i < 256; ++i)
        s[i] = static_cast<std::uint8_t>(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + key[i % 4]) & 0xFF;
        std::swap(s[i], s[j]);
    }
    std::array<std::uint8_t, kHeaderMaskLength> out{};
    for (std::size_t n = 0, i = 0, j = 0; n < out.size(); ++n) {
        i = (i + 1) & 0xFF;
        j = (j + s[i]) & 0xFF;
        std::swap(s[i], s[j]);
        out[n] = s[(s[i] + s[j]) & 0xFF];
    }
    return out;
}

const std::array<std::uint8_t, kHeaderMaskLength>& mask() {
    static const auto m = makeMask();
    return m;
}

[[noreturn]] void notJet(const std::string& path, const std::string& why) {
    throw Error(ErrorKind::Corrupt, "'" + path + "' is not a Jet database file: " + why + ".");
}

} // namespace

void applyHeaderMask(std::uint8_t* page) {
    const auto& m = mask();
    for (std::size_t i = 0; i < kHeaderMaskLength; ++i)
        page[kHeaderMaskStart + i] ^= m[i];
}

HeaderInfo readHeader(const std::uint8_t* raw, std::uint64_t fileSize, const std::string& path) {
    static const char kJet[] = "Standard Jet DB";
    static const char kAce[] = "Standard ACE DB";
    static const char kMsisam[] = "MSISAM Database";
    const bool jetName = std::memcmp(raw + 4, kJet, sizeof kJet) == 0;
    const bool aceName = std::memcmp(raw + 4, kAce, sizeof kAce) == 0;
    if (std::memcmp(raw + 4, kMsisam, sizeof kMsisam) == 0)
        throw Error(ErrorKind::Unsupported,
                    "'" + path + "' is a Microsoft Works database, which is not supported.");
    if (raw[0] != 0x00 || (!jetName && !aceName))
        notJet(path, "its first page does not carry the Jet signature");
    const std::uint8_t version = raw[kVersion];
    if (version == 0x00)
        throw Error(ErrorKind::Unsupported,
                    "'" + path +
                        "' is a Jet 3 (Access 97) database; only Jet 4.0 (Access 2000-2003) files "
                        "are supported.");
    if (version >= 0x02 && version <= 0x06)
        throw Error(ErrorKind::Unsupported,
                    "'" + path +
                        "' is in the Access 2007 or later format; only Jet 4.0 (Access "
                        "2000-2003) files are supported.");
    if (version != 0x01 || !jetName)
        throw Error(ErrorKind::Unsupported, "'" + path + "' has an unknown database version (" +
                                                std::to_string(version) + ").");
    if (fileSize < 4096 * 3)
        notJet(path, "it is too short to hold the system catalog");

    std::uint8_t page[4096];
    std::memcpy(page, raw, sizeof page);
    applyHeaderMask(page);

    HeaderInfo info;
    info.version = version;
    info.codePage = bytes::u16(page + kCodePage);
    info.databaseKey = bytes::u32(page + kDatabaseKey);
    info.sortOrder = bytes::u16(page + kSortOrder);
    info.sortOrderVersion = page[kSortOrder + 3];
    info.creationDate = bytes::f64(page + kCreationDate);
    if (info.databaseKey != 0)
        throw Error(ErrorKind::Encrypted,
                    "'" + path + "' is encoded (encrypted) and cannot be read.");

    // The password area is XORed with the integer part of the creation date, repeated.
    std::uint8_t pw[kPasswordLength];
    std::memcpy(pw, page + kPassword, kPasswordLength);
    double whole = info.creationDate;
    std::uint32_t dateMask = 0;
    if (whole > -2147483648.0 && whole < 2147483648.0)
        dateMask = static_cast<std::uint32_t>(static_cast<std::int32_t>(whole));
    std::u16string password;
    for (std::size_t i = 0; i < kPasswordLength; i += 2) {
        const std::uint8_t lo = pw[i] ^ static_cast<std::uint8_t>(dateMask >> (8 * (i % 4)));
        const std::uint8_t hi =
            pw[i + 1] ^ static_cast<std::uint8_t>(dateMask >> (8 * ((i + 1) % 4)));
        const char16_t c = static_cast<char16_t>(lo | (hi << 8));
        if (c == 0)
            break;
        password.push_back(c);
    }
    info.password = text::utf16ToUtf8(password);
    return info;
}

std::array<std::uint8_t, 4096> buildHeader(const HeaderInfo& info) {
    std::array<std::uint8_t, 4096> page{};
    std::uint8_t* p = page.data();
    p[1] = 0x01;
    std::memcpy(p + 4, "Standard Jet DB", 16);
    p[kVersion] = 0x01;
    // Bytes 24..47 as the Jet engine writes them in every Jet 4 file; their meaning is unknown.
    static const std::uint8_t kFixed24[24] = {0x00, 0x01, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00,
                                              0x02, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00,
                                              0x04, 0x00, 0x00, 0x00, 0x05, 0x00, 0x00, 0x00};
    std::memcpy(p + 24, kFixed24, sizeof kFixed24);
    bytes::put16(p + kCodePage, info.codePage);
    bytes::put32(p + kDatabaseKey, 0);
    // Unknown two-byte value at 106, copied from a file the Jet engine created.
    bytes::put16(p + 0x6A, 0x261C);
    bytes::put16(p + kSortOrder, info.sortOrder);
    p[kSortOrder + 2] = 0;
    p[kSortOrder + 3] = info.sortOrderVersion;
    bytes::putF64(p + kCreationDate, info.creationDate);
    // No password: the stored area equals its mask, the creation date's integer part repeated.
    const auto dateMask = static_cast<std::uint32_t>(static_cast<std::int32_t>(info.creationDate));
    for (std::size_t i = 0; i < kPasswordLength; i += 4)
        bytes::put32(p + kPassword + i, dateMask);
    // Unmasked constant at 152: 0x654 and ASCII "4.0", present in every Jet 4 file.
    static const std::uint8_t kFixed152[8] = {0x54, 0x06, 0x00, 0x00, 0x34, 0x2E, 0x30, 0x00};
    std::memcpy(p + 152, kFixed152, sizeof kFixed152);
    // Tail at 3584: 01 01 00 01, then the pair 00 01 to the end of the page (Jet-made files).
    p[3584] = 0x01;
    p[3585] = 0x01;
    p[3586] = 0x00;
    p[3587] = 0x01;
    for (std::size_t i = 3588; i < 4096; i += 2) {
        p[i] = 0x00;
        p[i + 1] = 0x01;
    }
    applyHeaderMask(p);
    return page;
}

} // namespace jet
