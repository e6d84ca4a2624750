#include "runtime/KaChecksum.h"

#include <gtest/gtest.h>

#include <string>

TEST(KaCalcCRC32, StandardValuesAndPieces) {
    KaCalcCRC32 crc;
    EXPECT_EQ(crc.Crc("123456789", 9), 0xCBF43926u);
    // A null pointer starts afresh.
    EXPECT_EQ(crc.Crc(nullptr, 9), 0u);
    EXPECT_EQ(crc.Crc("", 0), 0u);

    // Fed in pieces, the result is that of the whole.
    EXPECT_EQ(crc.Crc("1234", 4), KaCalcCRC32().Crc("1234", 4));
    EXPECT_EQ(crc.Crc("56789", 5), 0xCBF43926u);
    KaCalcCRC32 copy(crc);
    EXPECT_EQ(crc.Reset(), 0u);
    EXPECT_EQ(crc.Crc("a", 1), 0xE8B7BE43u);
    EXPECT_EQ(copy.Crc("", 0), 0xCBF43926u);
}

TEST(CMD5, KnownDigests) {
    auto digest = [](std::string const& text) {
        CMD5 md5;
        md5.Update(text.c_str());
        md5.Finalize();
        return std::string(md5.GetDigest().GetText());
    };
    EXPECT_EQ(digest(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(digest("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(digest("The quick brown fox jumps over the lazy dog"), "9e107d9d372bb6826bd81d3542a419d6");
    // Lengths around the block and padding boundaries.
    std::string const long80(80, 'x');
    EXPECT_EQ(digest("12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
              "57edf4a22be3c955ac49da2e2107b67a");

    // Fed in pieces of every size, the digest is that of the whole.
    for (unsigned int piece = 1; piece <= 70; piece += 3) {
        CMD5 md5;
        for (size_t i = 0; i < long80.size(); i += piece) {
            auto const n = static_cast<unsigned int>(std::min<size_t>(piece, long80.size() - i));
            md5.Update(reinterpret_cast<unsigned char const*>(long80.data() + i), n);
        }
        md5.Finalize();
        EXPECT_EQ(md5.GetDigest().GetText(), digest(long80)) << piece;
    }

    CMD5Digest empty;
    EXPECT_STREQ(empty.GetText(), "");
    CMD5 md5;
    md5.Update("abc");
    md5.Finalize();
    CMD5Digest out;
    md5.GetDigest(&out);
    EXPECT_TRUE(out == md5.GetDigest());
    EXPECT_FALSE(out == empty);
    md5.Init();
    EXPECT_TRUE(md5.GetDigest() == empty);
}
