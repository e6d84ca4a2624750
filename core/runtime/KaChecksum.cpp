#include "runtime/KaChecksum.h"

#include <array>
#include <cstring>

namespace {

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> CrcTable = MakeCrcTable();
static_assert(CrcTable[1] == 0x77073096u);

constexpr std::uint32_t RotateLeft(std::uint32_t x, int n) {
    return (x << n) | (x >> (32 - n));
}

// Per step: the shift and the sine constant of RFC 1321.
constexpr int Shifts[64] = {7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22, 7, 12, 17, 22,
                            5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20, 5, 9,  14, 20,
                            4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23, 4, 11, 16, 23,
                            6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21, 6, 10, 15, 21};

constexpr std::uint32_t Sines[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

} // namespace

// ---------------------------------------------------------------------------
// KaCalcCRC32

KaCalcCRC32::~KaCalcCRC32() = default;

unsigned int KaCalcCRC32::Crc(void const* data, unsigned int length) {
    if (!data) {
        m_crc = 0;
        return 0;
    }
    auto const* bytes = static_cast<unsigned char const*>(data);
    std::uint32_t reg = ~m_crc;
    for (unsigned int i = 0; i < length; ++i)
        reg = CrcTable[(reg ^ bytes[i]) & 0xFFu] ^ (reg >> 8);
    m_crc = ~reg;
    return m_crc;
}

unsigned int KaCalcCRC32::Reset() {
    m_crc = 0;
    return 0;
}

// ---------------------------------------------------------------------------
// CMD5Digest

CMD5Digest::CMD5Digest() : m_bytes{}, m_text{} {}

CMD5Digest::CMD5Digest(unsigned char const bytes[16]) {
    static char const Hex[] = "0123456789abcdef";
    std::memcpy(m_bytes, bytes, sizeof m_bytes);
    for (int i = 0; i < 16; ++i) {
        m_text[2 * i] = Hex[m_bytes[i] >> 4];
        m_text[2 * i + 1] = Hex[m_bytes[i] & 0xF];
    }
    m_text[32] = '\0';
}

CMD5Digest::~CMD5Digest() = default;

bool CMD5Digest::operator==(CMD5Digest const& other) const {
    return std::memcmp(m_bytes, other.m_bytes, sizeof m_bytes) == 0;
}

// ---------------------------------------------------------------------------
// CMD5

CMD5::CMD5() {
    Init();
}

CMD5::~CMD5() = default;

void CMD5::Init() {
    m_state[0] = 0x67452301u;
    m_state[1] = 0xEFCDAB89u;
    m_state[2] = 0x98BADCFEu;
    m_state[3] = 0x10325476u;
    m_count = 0;
    std::memset(m_buffer, 0, sizeof m_buffer);
    m_digest = CMD5Digest();
}

void CMD5::Transform(unsigned char const block[64]) {
    std::uint32_t m[16];
    for (int i = 0; i < 16; ++i)
        m[i] = static_cast<std::uint32_t>(block[4 * i]) | static_cast<std::uint32_t>(block[4 * i + 1]) << 8 |
               static_cast<std::uint32_t>(block[4 * i + 2]) << 16 |
               static_cast<std::uint32_t>(block[4 * i + 3]) << 24;
    std::uint32_t a = m_state[0], b = m_state[1], c = m_state[2], d = m_state[3];
    for (int i = 0; i < 64; ++i) {
        std::uint32_t f = 0;
        int g = 0;
        switch (i / 16) {
        case 0:
            f = (b & c) | (~b & d);
            g = i;
            break;
        case 1:
            f = (d & b) | (~d & c);
            g = (5 * i + 1) % 16;
            break;
        case 2:
            f = b ^ c ^ d;
            g = (3 * i + 5) % 16;
            break;
        default:
            f = c ^ (b | ~d);
            g = (7 * i) % 16;
            break;
        }
        std::uint32_t const next = b + RotateLeft(a + f + Sines[i] + m[g], Shifts[i]);
        a = d;
        d = c;
        c = b;
        b = next;
    }
    m_state[0] += a;
    m_state[1] += b;
    m_state[2] += c;
    m_state[3] += d;
}

void CMD5::Update(unsigned char const* data, unsigned int length) {
    if (!data)
        return;
    auto used = static_cast<unsigned int>((m_count / 8) % 64);
    m_count += static_cast<std::uint64_t>(length) * 8;
    unsigned int i = 0;
    if (used + length >= 64) {
        i = 64 - used;
        std::memcpy(m_buffer + used, data, i);
        Transform(m_buffer);
        for (; i + 64 <= length; i += 64)
            Transform(data + i);
        used = 0;
    }
    std::memcpy(m_buffer + used, data + i, length - i);
}

void CMD5::Update(char const* text) {
    if (text)
        Update(reinterpret_cast<unsigned char const*>(text), static_cast<unsigned int>(std::strlen(text)));
}

void CMD5::Finalize() {
    unsigned char length[8];
    for (int i = 0; i < 8; ++i)
        length[i] = static_cast<unsigned char>(m_count >> (8 * i));
    auto const used = static_cast<unsigned int>((m_count / 8) % 64);
    unsigned int const padding = used < 56 ? 56 - used : 120 - used;
    unsigned char pad[64] = {0x80};
    Update(pad, padding);
    Update(length, 8);
    unsigned char bytes[16];
    for (int i = 0; i < 4; ++i)
        for (int k = 0; k < 4; ++k)
            bytes[4 * i + k] = static_cast<unsigned char>(m_state[i] >> (8 * k));
    m_digest = CMD5Digest(bytes);
}

void CMD5::GetDigest(CMD5Digest* digest) const {
    if (digest)
        *digest = m_digest;
}
