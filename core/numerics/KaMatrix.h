#pragma once

#include "TarvisExport.h"

#include <iosfwd>
#include <vector>

class KaPoint;
class KaPointList;
class KaReaderObject;

// Thrown by value on a contract violation (bad index, mismatched dimensions).
enum eKaMatrixErrorCode {
    KaErrVectorSetElem = 0,
    KaErrVectorGetElem = 1,
    KaErrVectorIndex = 2,
    KaErrVectorAssign = 3,
    KaErrVectorCross = 4,
    KaErrVectorAdd = 5,
    KaErrVectorDot = 8,
    KaErrMatrixSetElem = 9,
    KaErrMatrixGetElem = 10,
    KaErrMatrixRow = 11,
    KaErrMatrixNotSquare = 12,
    KaErrMatrixAssign = 13,
    KaErrMatrixVector = 14,
    KaErrMatrixProduct = 15,
    KaErrMatrixAdd = 16,
    KaErrMatrixSub = 17,
    KaErrMatrixInvert = 18,
    KaErrMatrixLine = 19,
    KaErrMatrixSarrus = 20
};

// How a vector is built from a point (x, y, z).
enum eKaVectorType {
    KaVectorXY0 = 0,  // (x, y, 0)
    KaVectorXY1 = 1,  // (x, y, 1)
    KaVectorXYZ = 2,  // (x, y, z)
    KaVectorXYZW = 3, // (x, y, z, w)
};

// A vector of doubles with 1-based, checked indices.
class TARVIS_API KaVector {
public:
    explicit KaVector(int n = 0);
    KaVector(KaPoint const& point, eKaVectorType type);
    explicit KaVector(KaReaderObject* object);
    KaVector(KaVector const& other) = default;
    KaVector& operator=(KaVector const& other); // sizes must match
    virtual ~KaVector();

    int GetSize() const { return static_cast<int>(m_data.size()); }
    double GetElem(int i) const;
    void SetElem(int i, double v);
    double operator[](int i) const;
    double& operator[](int i);
    void Clear();
    void ChangeType(eKaVectorType type);

    int operator==(KaVector const& other) const;
    int operator!=(KaVector const& other) const { return !(*this == other); }
    KaVector& operator+=(KaVector const& other);
    KaVector& operator-=(KaVector const& other);
    KaVector& operator*=(double f);
    KaVector& operator/=(double d);
    KaVector operator+(KaVector const& other) const;
    KaVector operator-(KaVector const& other) const;
    KaVector operator*(double f) const;
    KaVector operator/(double d) const;
    double operator*(KaVector const& other) const;   // dot product
    KaVector operator%(KaVector const& other) const; // cross product of 3-vectors

    double Abs() const;
    KaVector& Normalize();
    bool IsNormalized(double eps) const;

    int Read(KaReaderObject* object);
    void Write(std::ostream& os) const;
    void DbgPrintf(char const* header) const;

private:
    double& At(int i, eKaMatrixErrorCode code);
    double At(int i, eKaMatrixErrorCode code) const;

    std::vector<double> m_data;
};

TARVIS_API KaVector operator*(double f, KaVector const& v);
// v times 1/d (not d/v).
TARVIS_API KaVector operator/(double d, KaVector const& v);
TARVIS_API double abs(KaVector const& v);

// A dense row-major matrix of doubles with 1-based indices.
class TARVIS_API KaMatrix {
public:
    KaMatrix(int rows, int cols);
    KaMatrix(KaMatrix const& other) = default;
    KaMatrix& operator=(KaMatrix const& other); // dimensions must match
    virtual ~KaMatrix();

    int GetLines() const { return m_rows; }
    int GetSpalten() const { return m_cols; }
    double GetElem(int i, int j) const;
    double SetElem(int i, int j, double v);
    // Row i as a pointer to its first element; only i is checked.
    double* operator[](int i);
    double const* operator[](int i) const;

    void Clear();
    void SetIdent();
    bool IsIdent() const;

    KaMatrix& operator+=(KaMatrix const& b);
    KaMatrix& operator-=(KaMatrix const& b);
    KaMatrix& operator*=(double f);
    KaMatrix& operator/=(double d);
    KaMatrix& operator*=(KaMatrix const& b);
    KaMatrix operator+(KaMatrix const& b) const;
    KaMatrix operator-(KaMatrix const& b) const;
    KaMatrix operator*(double f) const;
    KaMatrix operator/(double d) const;
    KaMatrix operator*(KaMatrix const& b) const;
    KaVector operator*(KaVector const& v) const;
    KaMatrix Transpose() const;

    // Rows are "lines"; "Row" names a column.
    void SetLine(int i, KaVector const& v);
    void GetLine(int i, KaVector& v) const;
    void SetRow(int j, KaVector const& v);
    void GetRow(int j, KaVector& v) const;
    void SwapLines(int a, int b);
    void MultLine(int i, int from, double f, int to = -1);
    void AddLines(int a, int b, int from, double f, int to = -1);

    // Solves this * X = b for every column of b; 0 on success, 1 when singular.
    int GaussLoeserRelMax(KaMatrix& b);
    int DreieckLoeserOben(KaMatrix& b) const;
    KaMatrix& Invert(int* err);
    double Det() const;
    // Determinant of the upper-left 3 x 3 block.
    double Sarrus() const;
    // Solves the 3 x 3 system by determinants; a zero determinant is not checked.
    KaVector Cramer(KaVector const& b) const;
    // Adds v·vᵀ (an observation with its value last) to the normal equations.
    void CalcNGLAN(KaVector const& v);
    // Solves the accumulated normal equations (u+1 rows, 2u+1 columns, the identity
    // appended in columns u+2..2u+1) into x(1..u); returns the sum of squared
    // residuals. 0.0 comes back both for exactly as many observations as unknowns
    // (x valid) and when a pivot is not positive (x untouched).
    double Cholesky(KaVector& x);

    // Maps a point through the homogeneous upper-left 3 x 3 (2D) or 4 x 4 (3D)
    // block; false and the point unchanged when w is below 1e-10 or the matrix
    // too small.
    bool PTrans2D(double* x, double* y) const;
    bool PTrans2D(KaPoint* p) const;
    bool PTrans3D(double* x, double* y, double* z) const;
    bool PTrans3D(KaPoint* p) const;

    // The upper-left 3 x 3 block := Ry(a) * Rx(b) * Rz(c) (radians).
    void MakeRotMatrix(double a, double b, double c);
    // Inverts MakeRotMatrix with the outputs in the order (b, a, c); at b = +-pi/2, c is 0.
    void GetRotAngles(double* p1, double* p2, double* p3) const;
    // The upper-left 3 x 3 block := the orthonormal axes of the plane through three
    // points: columns p2 - p1, its perpendicular towards p3, and their cross product.
    // *ok is false and the matrix unchanged for coincident or collinear points.
    void MakeRotMatrix(KaVector& p1, KaVector& p2, KaVector& p3, bool* ok);

    int Read(KaReaderObject* object);
    void Write(std::ostream& os) const;
    void DbgPrintf(char const* header) const;

private:
    double& At(int i, int j, eKaMatrixErrorCode code);
    double At(int i, int j, eKaMatrixErrorCode code) const;
    void CheckLine(int i, eKaMatrixErrorCode code) const;

    int m_rows = 0;
    int m_cols = 0;
    std::vector<double> m_data;
};

TARVIS_API KaMatrix operator*(double f, KaMatrix const& m);
// m times 1/d (not d/m).
TARVIS_API KaMatrix operator/(double d, KaMatrix const& m);
TARVIS_API int GaussLoeserRelMax(KaMatrix& a, KaMatrix& b);
TARVIS_API int DreieckLoeserOben(KaMatrix const& a, KaMatrix& b);
TARVIS_API double Det(KaMatrix const& m);
TARVIS_API void CalcNGLAN(KaMatrix& m, KaVector const& v);
// Maps every point of the list; returns the number of points visited.
TARVIS_API int Transform2D(KaPointList* list, KaMatrix const& m);
TARVIS_API int Transform3D(KaPointList* list, KaMatrix const& m);
