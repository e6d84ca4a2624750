#include "model/KaReseauTrafo.h"

#include "foundation/Link.h"
#include "textio/KaReader.h"
#include "textio/KaWriter.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace {

// Reads the block of KEY in text with handler.
template <class Handler>
int ReadBlock(std::string const& text, KaReseauTrafo& trafo, Handler handler) {
    std::istringstream in(text);
    KaReader reader(in, "trafo.txt");
    KaReaderObject object("KEY", Link(&trafo, handler));
    reader.RegisterObject(object);
    reader.DoProcess(true);
    return reader.GetReadErrorCount();
}

} // namespace

TEST(KaReseauTrafo, AssignmentKeepsTheTargetsName) {
    KaReseauTrafo source;
    source.type = KaTrafo2DAffin;
    for (int i = 0; i < 6; ++i)
        source.p[i] = i + 0.5;
    source.SetId(7);
    source.SetName("source.res");

    KaReseauTrafo target;
    target.SetName("target.res");
    target = source;
    EXPECT_EQ(target.GetType(), KaTrafo2DAffin);
    EXPECT_EQ(target.p[5], 5.5);
    EXPECT_EQ(target.GetId(), 7u);
    EXPECT_STREQ(target.GetName().chars(), "target.res");

    // Copy construction copies the name as well.
    KaReseauTrafo const copy(source);
    EXPECT_STREQ(copy.GetName().chars(), "source.res");

    KaTrafo2d helmert;
    helmert.SetIdent();
    KaReseauTrafo const fromTrafo(helmert);
    EXPECT_EQ(fromTrafo.GetType(), KaTrafo2DHelmert);
    EXPECT_EQ(fromTrafo.GetId(), 0u);
    EXPECT_TRUE(fromTrafo.GetName().empty());
}

TEST(KaReseauTrafo, ReadsBothRecordLayoutsAndWritesTheCurrentOne) {
    KaReseauTrafo old;
    // Old code 2 is Helmert; the reseau file name follows the coefficients.
    EXPECT_EQ(ReadBlock("KEY { 2 10 2 20 0.5 \"NET.RES\" }", old, &KaReseauTrafo::ReadV50), 0);
    EXPECT_EQ(old.GetType(), KaTrafo2DHelmert);
    EXPECT_EQ(old.p[0], 10.0);
    EXPECT_EQ(old.p[3], 0.5);
    EXPECT_STREQ(old.GetName().chars(), "NET.RES");

    KaWriterReset();
    std::ostringstream out;
    old.Write(out);
    EXPECT_EQ(out.str().find("NET.RES"), std::string::npos);

    KaReseauTrafo back;
    EXPECT_EQ(ReadBlock("KEY {" + out.str() + "\n}", back, &KaReseauTrafo::Read), 0);
    EXPECT_EQ(back.GetType(), KaTrafo2DHelmert);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(back.p[i], old.p[i]);
    EXPECT_TRUE(back.GetName().empty());
}
