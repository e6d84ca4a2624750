#pragma once

#include "TarvisExport.h"

#include <cstdint>

// A CRC-32 accumulator (the reflected polynomial 0xEDB88320 of zip and PNG).
class TARVIS_API KaCalcCRC32 {
public:
    KaCalcCRC32() = default;
    KaCalcCRC32(KaCalcCRC32 const& other) = default;
    KaCalcCRC32& operator=(KaCalcCRC32 const& other) = default;
    virtual ~KaCalcCRC32();

    // Feeds length bytes and returns the CRC-32 of everything fed since the
    // construction or the last Reset, so that a file may be fed in pieces. A null
    // data pointer resets the accumulator and returns 0.
    unsigned int Crc(void const* data, unsigned int length);
    // Starts afresh; returns 0.
    unsigned int Reset();

private:
    std::uint32_t m_crc = 0; // the CRC of the bytes fed so far
};

// The result of an MD5 digest: 16 bytes and their text of 32 lower-case hex digits.
class TARVIS_API CMD5Digest {
public:
    // 16 zero bytes and an empty text.
    CMD5Digest();
    explicit CMD5Digest(unsigned char const bytes[16]);
    CMD5Digest(CMD5Digest const& other) = default;
    CMD5Digest& operator=(CMD5Digest const& other) = default;
    virtual ~CMD5Digest();

    unsigned char const* GetBytes() const { return m_bytes; }
    char const* GetText() const { return m_text; }
    // Compares the bytes only.
    bool operator==(CMD5Digest const& other) const;

private:
    unsigned char m_bytes[16];
    char m_text[33];
};

// The MD5 message digest of RFC 1321: Update with the data, Finalize, GetDigest.
class TARVIS_API CMD5 {
public:
    CMD5();
    CMD5(CMD5 const& other) = default;
    CMD5& operator=(CMD5 const& other) = default;
    virtual ~CMD5();

    // The initial state; the count and the digest cleared.
    void Init();
    void Update(unsigned char const* data, unsigned int length);
    // The text up to its terminating zero.
    void Update(char const* text);
    // Pads, appends the length and stores the digest.
    void Finalize();
    CMD5Digest GetDigest() const { return m_digest; }
    void GetDigest(CMD5Digest* digest) const;

private:
    void Transform(unsigned char const block[64]);

    std::uint32_t m_state[4];
    std::uint64_t m_count = 0; // bits
    unsigned char m_buffer[64];
    CMD5Digest m_digest;
};
