#include "textio/KaWriter.h"

#include <gtest/gtest.h>

#include <locale>
#include <sstream>

namespace {

struct Comma : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
    char do_thousands_sep() const override { return '.'; }
    std::string do_grouping() const override { return "\3"; }
};

} // namespace

TEST(KaWriter, ColumnWidths) {
    std::ostringstream os;
    os << w6 << 12;
    EXPECT_EQ(os.str(), "       12"); // a blank, then 8 columns
    os.str("");
    os << w4 << 1 << w5 << 2 << w8 << 3 << w10 << 4 << w12 << 5 << w14 << 6 << w16 << 7 << w19 << 8;
    EXPECT_EQ(os.str(), std::string(" ") + "   1" + " " + "    2" + " " + std::string(9, ' ') + "3" + " " +
                            std::string(11, ' ') + "4" + " " + std::string(15, ' ') + "5" + " " +
                            std::string(17, ' ') + "6" + " " + std::string(20, ' ') + "7" + " " +
                            std::string(23, ' ') + "8");
    os.str("");
    // Only the width is used up; the alignment stays.
    os << s12 << "RESEAUPATH"
       << "|" << s8 << "A" << 5 << "|";
    EXPECT_EQ(os.str(), "RESEAUPATH  |A       5|");
    os.str("");
    os << right << s10 << "x" << w4 << "ab"
       << "|";
    EXPECT_EQ(os.str(), "x" + std::string(12, ' ') + "ab|");
}

TEST(KaWriter, PrecisionAndLocale) {
    std::ostringstream os;
    os << p4 << 3.14159265 << ' ' << p16 << 0.1 << ' ' << p6 << std::fixed << 2.5;
    EXPECT_EQ(os.str(), "3.142 0.1 2.500000");

    // Files are written with the classic locale whatever the global locale is,
    // also after the stream has been given another locale in between.
    std::locale const comma(std::locale::classic(), new Comma);
    std::locale const previous = std::locale::global(comma);
    std::ostringstream file;
    file << p16 << w16 << 1234.5 << w8 << 1234567;
    file.imbue(comma);
    file << s8 << 0.25 << "|" << Kaendl << 2.5;
    std::ostringstream plain;
    plain << 2.5;
    std::locale::global(previous);
    EXPECT_EQ(plain.str(), "2,5"); // the facet is in effect
    EXPECT_EQ(file.str(), std::string(16, ' ') + "1234.5" + "    1234567" + "0.25    |\n2.5");
}

TEST(KaWriter, BlocksAndIndentation) {
    KaWriterReset();
    std::ostringstream os;
    os << "PHOTO" << Kaendl << KaBeginBlockNL << "ID 1" << Kaendl << "SUB" << Kaendl << KaBeginBlockNL
       << "X 2" << Kaendl << KaEndBlockNL << Kaendl << KaEndBlockNL << Kaendl;
    EXPECT_EQ(os.str(), "PHOTO\n{\n    ID 1\n    SUB\n    {\n        X 2\n        \n    }\n    \n}\n");
    EXPECT_EQ(KaWriterLevel(), 0);

    os.str("");
    os << "PHOTOID " << KaBeginBlock << 4 << KaEndBlock;
    EXPECT_EQ(os.str(), "PHOTOID {4}");

    // The level never goes below 0, and "}" is still written.
    os.str("");
    os << KaEndBlock << KaTabMinus << KaComment << "note";
    EXPECT_EQ(os.str(), "}; note");
    EXPECT_EQ(KaWriterLevel(), 0);

    os.str("");
    os << KaTabPlus << KaTabPlus << Kaendl;
    EXPECT_EQ(os.str(), "\n        ");
    KaWriterReset();
    EXPECT_EQ(KaWriterLevel(), 0);
}

TEST(KaWriter, QuotableTexts) {
    EXPECT_STREQ(KaQuotable("say \"cheese\"\r\nnow").chars(), "say 'cheese'  now");
    EXPECT_STREQ(KaQuotable("").chars(), "");
}
