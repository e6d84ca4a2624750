#include "numerics/MMatrix.h"

#include "numerics/KaMatrix.h"
#include "runtime/KaLogger.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// _MVector can only be built by derived types.
struct Vec4 : _MVector {
    Vec4(double w, double x, double y, double z) : _MVector(w, x, y, z) {}
};

std::vector<std::string> g_dbg;
void Capture(char const* text) {
    g_dbg.emplace_back(text);
}

} // namespace

TEST(MMatrix, RowsColumnsAndMinors) {
    Vec4 const v(4, 1, 2, 3); // w first
    EXPECT_EQ(v.x(), 1);
    EXPECT_EQ(v[3], 4);

    _MMatrix m;
    EXPECT_EQ(m[2][3], 0.0);
    for (int i = 0; i < 4; ++i)
        m.SetLine(i, Vec4(i * i - 3, 2 * i + 1, i - 5, 7 - 3 * i)); // row i: (x, y, z, w)
    m.SetRow(2, Vec4(-1, 9, 0.5, 2));
    Vec4 row(0, 0, 0, 0), col(0, 0, 0, 0);
    m.GetLine(1, row);
    m.GetRow(2, col);
    EXPECT_EQ(row[0], 3);
    EXPECT_EQ(row[2], 0.5);
    EXPECT_EQ(row[3], -2);
    EXPECT_EQ(col[0], 9);
    EXPECT_EQ(col[3], -1);

    // Each Sarrus(k) is the determinant of rows 0..2 without column k.
    for (int k = 0; k < 4; ++k) {
        KaMatrix minor(3, 3);
        for (int i = 0; i < 3; ++i)
            for (int j = 0, c = 0; j < 4; ++j)
                if (j != k)
                    minor.SetElem(i + 1, ++c, m[i][j]);
        EXPECT_NEAR(m.Sarrus(k), minor.Det(), 1e-12) << "k = " << k;
    }

    g_dbg.clear();
    KaDbgprintfSink const previous = KaSetDbgprintfSink(&Capture);
    v.DbgPrintf("v");
    m.DbgPrintf(nullptr);
    KaSetDbgprintfSink(previous);
    ASSERT_EQ(g_dbg.size(), 6u);
    EXPECT_EQ(g_dbg[1], "[ 1.00000  2.00000  3.00000 4.00000]");
    EXPECT_EQ(g_dbg[2], "[[ 1.00000 -5.00000  9.00000 -3.00000]");
    EXPECT_EQ(g_dbg[5], " [ 7.00000 -2.00000 -1.00000  6.00000]]");
}
