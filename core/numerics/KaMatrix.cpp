#include "numerics/KaMatrix.h"

#include "model/KaPoint.h"
#include "model/KaPointList.h"
#include "runtime/KaLogger.h"
#include "textio/KaReader.h"
#include "textio/KaWriter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ostream>
#include <string>
#include <utility>

namespace {

constexpr double Singular = 1e-10;
// Below this, unit vectors count as parallel.
constexpr double CollinearLimit = 1e-12;

// The most elements a record may declare: far beyond any adjustment, and it keeps a
// damaged file from demanding gigabytes.
constexpr long long MaxElements = 1LL << 24;

// A declared size that cannot be right is rejected as an invalid number.
void CheckDeclaredSize(KaStreamParser& in, long long rows, long long cols) {
    if (rows < 0 || cols < 0 || rows * cols > MaxElements) {
        KaParserStatus status = in.GetParser().GetStatus();
        status.SetStatus(ParserErrorInvalidNumber);
        throw status;
    }
}

// Reads the elements in order: integers and reals as they are, any other token 0.0.
// The end of the block or of the input is left for the reader, and the elements
// not reached stay 0.0.
std::vector<double> ReadElements(KaStreamParser& in, size_t count) {
    std::vector<double> data(count, 0.0);
    for (double& v : data) {
        KaParserToken const& token = in.GetParser().GetToken();
        if (token.GetType() == TokenEndBlock || token.GetType() == TokenEOF)
            break;
        v = token.GetNumber();
        in.Advance();
    }
    return data;
}

} // namespace

// ---------------------------------------------------------------------------
// KaVector

KaVector::KaVector(int n) : m_data(static_cast<size_t>(n > 0 ? n : 0), 0.0) {}

KaVector::KaVector(KaPoint const& p, eKaVectorType type) {
    switch (type) {
    case KaVectorXY0:
        m_data = {p.x, p.y, 0.0};
        break;
    case KaVectorXY1:
        m_data = {p.x, p.y, 1.0};
        break;
    case KaVectorXYZ:
        m_data = {p.x, p.y, p.z};
        break;
    default:
        m_data = {p.x, p.y, p.z, 0.0};
        break;
    }
}

KaVector::KaVector(KaReaderObject* object) {
    Read(object);
}

KaVector& KaVector::operator=(KaVector const& other) {
    if (GetSize() != other.GetSize())
        throw KaErrVectorAssign;
    m_data = other.m_data;
    return *this;
}

KaVector::~KaVector() = default;

double& KaVector::At(int i, eKaMatrixErrorCode code) {
    if (i < 1 || i > GetSize())
        throw code;
    return m_data[static_cast<size_t>(i - 1)];
}

double KaVector::At(int i, eKaMatrixErrorCode code) const {
    return const_cast<KaVector*>(this)->At(i, code);
}

double KaVector::GetElem(int i) const {
    return At(i, KaErrVectorGetElem);
}
void KaVector::SetElem(int i, double v) {
    At(i, KaErrVectorSetElem) = v;
}
double KaVector::operator[](int i) const {
    return At(i, KaErrVectorIndex);
}
double& KaVector::operator[](int i) {
    return At(i, KaErrVectorIndex);
}

void KaVector::Clear() {
    std::fill(m_data.begin(), m_data.end(), 0.0);
}

void KaVector::ChangeType(eKaVectorType type) {
    if (GetSize() == 3 && type == KaVectorXYZW) {
        m_data.push_back(1.0);
    } else if (GetSize() == 4 && type != KaVectorXYZW) {
        m_data.pop_back();
        if (type == KaVectorXY0)
            m_data[2] = 0.0;
        else if (type == KaVectorXY1)
            m_data[2] = 1.0;
    }
}

int KaVector::operator==(KaVector const& other) const {
    return m_data == other.m_data ? 1 : 0;
}

KaVector& KaVector::operator+=(KaVector const& other) {
    if (GetSize() != other.GetSize())
        throw KaErrVectorAdd;
    for (size_t i = 0; i < m_data.size(); ++i)
        m_data[i] += other.m_data[i];
    return *this;
}

KaVector& KaVector::operator-=(KaVector const& other) {
    if (GetSize() != other.GetSize())
        throw KaErrVectorAdd;
    for (size_t i = 0; i < m_data.size(); ++i)
        m_data[i] -= other.m_data[i];
    return *this;
}

KaVector& KaVector::operator*=(double f) {
    for (double& v : m_data)
        v *= f;
    return *this;
}

KaVector& KaVector::operator/=(double d) {
    return *this *= 1.0 / d;
}

KaVector KaVector::operator+(KaVector const& other) const {
    return KaVector(*this) += other;
}
KaVector KaVector::operator-(KaVector const& other) const {
    return KaVector(*this) -= other;
}
KaVector KaVector::operator*(double f) const {
    return KaVector(*this) *= f;
}
KaVector KaVector::operator/(double d) const {
    return KaVector(*this) /= d;
}

double KaVector::operator*(KaVector const& other) const {
    if (GetSize() != other.GetSize())
        throw KaErrVectorDot;
    double sum = 0.0;
    for (size_t i = 0; i < m_data.size(); ++i)
        sum += m_data[i] * other.m_data[i];
    return sum;
}

KaVector KaVector::operator%(KaVector const& b) const {
    if (GetSize() != 3 || b.GetSize() != 3)
        throw KaErrVectorCross;
    KaVector r(3);
    auto const& a = m_data;
    r.m_data = {a[1] * b.m_data[2] - a[2] * b.m_data[1], a[2] * b.m_data[0] - a[0] * b.m_data[2],
                a[0] * b.m_data[1] - a[1] * b.m_data[0]};
    return r;
}

double KaVector::Abs() const {
    return std::sqrt(*this * *this);
}

KaVector& KaVector::Normalize() {
    return *this *= 1.0 / Abs();
}

bool KaVector::IsNormalized(double eps) const {
    double const n = Abs();
    return 1.0 - eps <= n && n <= 1.0 + eps;
}

int KaVector::Read(KaReaderObject* object) {
    KaStreamParser in = object->GetStreamParser();
    int const n = in.GetInt();
    CheckDeclaredSize(in, n, 1);
    m_data = ReadElements(in, static_cast<size_t>(n));
    return 1;
}

void KaVector::Write(std::ostream& os) const {
    // p16 first: the count, too, is written in the classic locale.
    os << p16 << GetSize();
    for (double v : m_data)
        os << w16 << v;
}

void KaVector::DbgPrintf(char const* header) const {
    if (header)
        dbgprintf("%s", header);
    std::string line;
    char item[64];
    for (double v : m_data) {
        std::snprintf(item, sizeof item, "%.5f   ", v);
        line += item;
    }
    dbgprintf("%s", line.c_str());
}

KaVector operator*(double f, KaVector const& v) {
    return v * f;
}
KaVector operator/(double d, KaVector const& v) {
    return v / d;
}
double abs(KaVector const& v) {
    return v.Abs();
}

// ---------------------------------------------------------------------------
// KaMatrix

KaMatrix::KaMatrix(int rows, int cols)
    : m_rows(rows > 0 ? rows : 0), m_cols(cols > 0 ? cols : 0),
      m_data(static_cast<size_t>(m_rows) * static_cast<size_t>(m_cols), 0.0) {}

KaMatrix& KaMatrix::operator=(KaMatrix const& other) {
    if (m_rows != other.m_rows || m_cols != other.m_cols)
        throw KaErrMatrixAssign;
    m_data = other.m_data;
    return *this;
}

KaMatrix::~KaMatrix() = default;

double& KaMatrix::At(int i, int j, eKaMatrixErrorCode code) {
    if (i < 1 || i > m_rows || j < 1 || j > m_cols)
        throw code;
    return m_data[static_cast<size_t>(i - 1) * static_cast<size_t>(m_cols) + static_cast<size_t>(j - 1)];
}

double KaMatrix::At(int i, int j, eKaMatrixErrorCode code) const {
    return const_cast<KaMatrix*>(this)->At(i, j, code);
}

void KaMatrix::CheckLine(int i, eKaMatrixErrorCode code) const {
    if (i < 1 || i > m_rows)
        throw code;
}

double KaMatrix::GetElem(int i, int j) const {
    return At(i, j, KaErrMatrixGetElem);
}

double KaMatrix::SetElem(int i, int j, double v) {
    return At(i, j, KaErrMatrixSetElem) = v;
}

double* KaMatrix::operator[](int i) {
    CheckLine(i, KaErrMatrixRow);
    return m_data.data() + static_cast<size_t>(i - 1) * static_cast<size_t>(m_cols);
}

double const* KaMatrix::operator[](int i) const {
    return const_cast<KaMatrix*>(this)->operator[](i);
}

void KaMatrix::Clear() {
    std::fill(m_data.begin(), m_data.end(), 0.0);
}

void KaMatrix::SetIdent() {
    if (m_rows != m_cols)
        throw KaErrMatrixNotSquare;
    Clear();
    for (int i = 1; i <= m_rows; ++i)
        At(i, i, KaErrMatrixSetElem) = 1.0;
}

bool KaMatrix::IsIdent() const {
    for (int i = 1; i <= m_rows; ++i)
        for (int j = 1; j <= m_cols; ++j) {
            double const v = At(i, j, KaErrMatrixGetElem);
            if (i == j ? (v != 0.0 && v != 1.0) : v != 0.0)
                return false;
        }
    return true;
}

KaMatrix& KaMatrix::operator+=(KaMatrix const& b) {
    if (m_rows != b.m_rows || m_cols != b.m_cols)
        throw KaErrMatrixAdd;
    for (size_t k = 0; k < m_data.size(); ++k)
        m_data[k] += b.m_data[k];
    return *this;
}

KaMatrix& KaMatrix::operator-=(KaMatrix const& b) {
    if (m_rows != b.m_rows || m_cols != b.m_cols)
        throw KaErrMatrixSub;
    for (size_t k = 0; k < m_data.size(); ++k)
        m_data[k] -= b.m_data[k];
    return *this;
}

KaMatrix& KaMatrix::operator*=(double f) {
    for (double& v : m_data)
        v *= f;
    return *this;
}

KaMatrix& KaMatrix::operator/=(double d) {
    return *this *= 1.0 / d;
}

KaMatrix& KaMatrix::operator*=(KaMatrix const& b) {
    return *this = *this * b;
}

KaMatrix KaMatrix::operator+(KaMatrix const& b) const {
    return KaMatrix(*this) += b;
}
KaMatrix KaMatrix::operator-(KaMatrix const& b) const {
    return KaMatrix(*this) -= b;
}
KaMatrix KaMatrix::operator*(double f) const {
    return KaMatrix(*this) *= f;
}
KaMatrix KaMatrix::operator/(double d) const {
    return KaMatrix(*this) /= d;
}

KaMatrix KaMatrix::operator*(KaMatrix const& b) const {
    if (m_cols != b.m_rows)
        throw KaErrMatrixProduct;
    KaMatrix r(m_rows, b.m_cols);
    for (int i = 1; i <= m_rows; ++i)
        for (int j = 1; j <= b.m_cols; ++j) {
            double sum = 0.0;
            for (int k = 1; k <= m_cols; ++k)
                sum += At(i, k, KaErrMatrixGetElem) * b.At(k, j, KaErrMatrixGetElem);
            r.At(i, j, KaErrMatrixSetElem) = sum;
        }
    return r;
}

KaVector KaMatrix::operator*(KaVector const& v) const {
    if (v.GetSize() != m_cols)
        throw KaErrMatrixVector;
    KaVector r(m_rows);
    for (int i = 1; i <= m_rows; ++i) {
        double sum = 0.0;
        for (int j = 1; j <= m_cols; ++j)
            sum += At(i, j, KaErrMatrixGetElem) * v[j];
        r[i] = sum;
    }
    return r;
}

KaMatrix KaMatrix::Transpose() const {
    KaMatrix r(m_cols, m_rows);
    for (int i = 1; i <= m_rows; ++i)
        for (int j = 1; j <= m_cols; ++j)
            r.At(j, i, KaErrMatrixSetElem) = At(i, j, KaErrMatrixGetElem);
    return r;
}

void KaMatrix::SetLine(int i, KaVector const& v) {
    for (int j = 1; j <= v.GetSize(); ++j)
        At(i, j, KaErrMatrixSetElem) = v[j];
}

void KaMatrix::GetLine(int i, KaVector& v) const {
    for (int j = 1; j <= v.GetSize(); ++j)
        v[j] = At(i, j, KaErrMatrixGetElem);
}

void KaMatrix::SetRow(int j, KaVector const& v) {
    for (int i = 1; i <= v.GetSize(); ++i)
        At(i, j, KaErrMatrixSetElem) = v[i];
}

void KaMatrix::GetRow(int j, KaVector& v) const {
    for (int i = 1; i <= v.GetSize(); ++i)
        v[i] = At(i, j, KaErrMatrixGetElem);
}

void KaMatrix::SwapLines(int a, int b) {
    CheckLine(a, KaErrMatrixLine);
    CheckLine(b, KaErrMatrixLine);
    for (int c = 1; c <= m_cols; ++c)
        std::swap(At(a, c, KaErrMatrixSetElem), At(b, c, KaErrMatrixSetElem));
}

void KaMatrix::MultLine(int i, int from, double f, int to) {
    CheckLine(i, KaErrMatrixLine);
    int const last = to == -1 ? m_cols : to;
    for (int c = from; c <= last; ++c)
        At(i, c, KaErrMatrixSetElem) *= f;
}

void KaMatrix::AddLines(int a, int b, int from, double f, int to) {
    CheckLine(a, KaErrMatrixLine);
    CheckLine(b, KaErrMatrixLine);
    int const last = to == -1 ? m_cols : to;
    for (int c = from; c <= last; ++c)
        At(a, c, KaErrMatrixSetElem) += f * At(b, c, KaErrMatrixGetElem);
}

namespace {

// The pivot row for step k by the relative maximum: the row whose |a(i, k)| is the
// largest share of its row sum over the active columns; 0 when the system is singular.
int PivotRow(KaMatrix const& a, int k, int n) {
    int pivot = 0;
    double best = 0.0;
    for (int i = k; i <= n; ++i) {
        double s = 0.0;
        for (int j = k; j <= n; ++j)
            s += std::fabs(a.GetElem(i, j));
        if (s < Singular)
            return 0;
        double const ratio = std::fabs(a.GetElem(i, k)) / s;
        if (pivot == 0 || ratio > best) {
            pivot = i;
            best = ratio;
        }
    }
    return best < Singular ? 0 : pivot;
}

} // namespace

int GaussLoeserRelMax(KaMatrix& a, KaMatrix& b) {
    int const n = a.GetLines();
    if (n < 1)
        throw KaErrMatrixRow;
    for (int k = 1; k <= n; ++k) {
        int const p = PivotRow(a, k, n);
        if (p == 0)
            return 1;
        if (p != k) {
            a.SwapLines(p, k);
            b.SwapLines(p, k);
        }
        for (int i = k + 1; i <= n; ++i) {
            double const f = -a.GetElem(i, k) / a.GetElem(k, k);
            a.AddLines(i, k, k, f, -1);
            b.AddLines(i, k, 1, f, -1);
            a.SetElem(i, k, -f);
        }
    }
    if (std::fabs(a.GetElem(n, n)) < Singular)
        return 1;
    DreieckLoeserOben(a, b);
    return 0;
}

int DreieckLoeserOben(KaMatrix const& a, KaMatrix& b) {
    int const n = a.GetLines();
    for (int i = n; i >= 1; --i)
        for (int c = 1; c <= b.GetSpalten(); ++c) {
            double sum = b.GetElem(i, c);
            for (int j = i + 1; j <= n; ++j)
                sum -= a.GetElem(i, j) * b.GetElem(j, c);
            b.SetElem(i, c, sum / a.GetElem(i, i));
        }
    return 0;
}

int KaMatrix::GaussLoeserRelMax(KaMatrix& b) {
    return ::GaussLoeserRelMax(*this, b);
}

int KaMatrix::DreieckLoeserOben(KaMatrix& b) const {
    return ::DreieckLoeserOben(*this, b);
}

KaMatrix& KaMatrix::Invert(int* err) {
    if (m_rows != m_cols)
        throw KaErrMatrixInvert;
    KaMatrix t(*this);
    SetIdent();
    int const result = ::GaussLoeserRelMax(t, *this);
    if (err)
        *err = result;
    return *this;
}

double KaMatrix::Det() const {
    KaMatrix a(*this);
    int const n = m_rows;
    double d = 1.0;
    for (int k = 1; k <= n - 1; ++k) {
        int const p = PivotRow(a, k, n);
        if (p == 0)
            return 0.0;
        if (p != k) {
            a.SwapLines(p, k);
            d *= -1.0;
        }
        d *= a.GetElem(k, k);
        for (int i = k + 1; i <= n; ++i) {
            double const f = -a.GetElem(i, k) / a.GetElem(k, k);
            a.AddLines(i, k, k, f, -1);
        }
    }
    if (n < 1)
        throw KaErrMatrixRow;
    double const last = a.GetElem(n, n);
    return std::fabs(last) < Singular ? 0.0 : d * last;
}

double Det(KaMatrix const& m) {
    return m.Det();
}

double KaMatrix::Sarrus() const {
    if (m_rows < 3 || m_cols < 3)
        throw KaErrMatrixSarrus;
    // The upper-left 3 x 3 block, also when the matrix is wider.
    double const *r1 = (*this)[1], *r2 = (*this)[2], *r3 = (*this)[3];
    double const a = r1[0], b = r1[1], c = r1[2], d = r2[0], e = r2[1], f = r2[2], g = r3[0], h = r3[1],
                 i = r3[2];
    return a * e * i + b * f * g + c * d * h - c * e * g - a * f * h - b * d * i;
}

KaVector KaMatrix::Cramer(KaVector const& b) const {
    KaMatrix copy(*this);
    double const d = copy.Sarrus();
    KaVector r(3);
    for (int j = 1; j <= 3; ++j) {
        KaVector saved(3);
        copy.GetRow(j, saved);
        copy.SetRow(j, b);
        r[j] = copy.Sarrus();
        copy.SetRow(j, saved);
    }
    return r * (1.0 / d);
}

void KaMatrix::CalcNGLAN(KaVector const& v) {
    int const n = v.GetSize();
    if (n > 0)
        CheckLine(n, KaErrMatrixRow);
    for (int i = 1; i <= n; ++i) {
        double* row = (*this)[i];
        double const vi = v[i];
        for (int j = 1; j <= n; ++j) {
            if (j > m_cols)
                throw KaErrMatrixSetElem;
            row[j - 1] += vi * v[j];
        }
    }
}

void CalcNGLAN(KaMatrix& m, KaVector const& v) {
    m.CalcNGLAN(v);
}

double KaMatrix::Cholesky(KaVector& x) {
    int const u = (m_cols - 1) / 2;
    auto m = [this](int i, int j) -> double& { return At(i, j, KaErrMatrixGetElem); };
    for (int i = 1; i <= u; ++i) {
        double t = m(i, i);
        for (int k = 1; k < i; ++k)
            t -= m(k, i) * m(k, i);
        // A zero radicand would only spread infinities: it ends like a negative one.
        if (t <= 0.0)
            return 0.0;
        m(i, i) = std::sqrt(t);
        for (int j = i + 1; j <= m_cols; ++j) {
            double s = m(i, j);
            for (int k = 1; k < i; ++k)
                s -= m(k, i) * m(k, j);
            m(i, j) = s / m(i, i);
        }
    }
    for (int i = 1; i <= u; ++i) {
        double s = 0.0;
        for (int k = 1; k <= u; ++k)
            s += m(k, u + 1 + i) * m(k, u + 1);
        x[i] = s;
    }
    double s = 0.0;
    for (int i = 1; i <= u; ++i)
        s += m(i, u + 1) * m(i, u + 1);
    double const w = m(u + 1, u + 1) - s;
    if (w <= 0.0)
        return 0.0;
    m(u + 1, u + 1) = s / w;
    return w;
}

// The homogeneous maps use the upper-left 3 x 3 or 4 x 4 block; a smaller matrix maps nothing.
bool KaMatrix::PTrans2D(double* x, double* y) const {
    if (m_rows < 3 || m_cols < 3)
        return false;
    double const *r1 = (*this)[1], *r2 = (*this)[2], *r3 = (*this)[3];
    double const w = r3[0] * *x + r3[1] * *y + r3[2];
    if (std::fabs(w) < Singular)
        return false;
    double const nx = (r1[0] * *x + r1[1] * *y + r1[2]) / w;
    double const ny = (r2[0] * *x + r2[1] * *y + r2[2]) / w;
    *x = nx;
    *y = ny;
    return true;
}

bool KaMatrix::PTrans2D(KaPoint* p) const {
    return PTrans2D(&p->x, &p->y);
}

bool KaMatrix::PTrans3D(double* x, double* y, double* z) const {
    if (m_rows < 4 || m_cols < 4)
        return false;
    double const *r1 = (*this)[1], *r2 = (*this)[2], *r3 = (*this)[3], *r4 = (*this)[4];
    double const w = r4[0] * *x + r4[1] * *y + r4[2] * *z + r4[3];
    if (std::fabs(w) < Singular)
        return false;
    double const nx = (r1[0] * *x + r1[1] * *y + r1[2] * *z + r1[3]) / w;
    double const ny = (r2[0] * *x + r2[1] * *y + r2[2] * *z + r2[3]) / w;
    double const nz = (r3[0] * *x + r3[1] * *y + r3[2] * *z + r3[3]) / w;
    *x = nx;
    *y = ny;
    *z = nz;
    return true;
}

bool KaMatrix::PTrans3D(KaPoint* p) const {
    return PTrans3D(&p->x, &p->y, &p->z);
}

int Transform2D(KaPointList* list, KaMatrix const& m) {
    int count = 0;
    for (KaPoint* p = list ? list->First() : nullptr; p; p = p->Next(), ++count)
        m.PTrans2D(p);
    return count;
}

int Transform3D(KaPointList* list, KaMatrix const& m) {
    int count = 0;
    for (KaPoint* p = list ? list->First() : nullptr; p; p = p->Next(), ++count)
        m.PTrans3D(p);
    return count;
}

void KaMatrix::MakeRotMatrix(double a, double b, double c) {
    CheckLine(3, KaErrMatrixRow);
    double const ca = std::cos(a), sa = std::sin(a), cb = std::cos(b), sb = std::sin(b);
    double const cc = std::cos(c), sc = std::sin(c);
    SetElem(1, 1, ca * cc + sa * sb * sc);
    SetElem(1, 2, sa * sb * cc - ca * sc);
    SetElem(1, 3, sa * cb);
    SetElem(2, 1, cb * sc);
    SetElem(2, 2, cb * cc);
    SetElem(2, 3, -sb);
    SetElem(3, 1, ca * sb * sc - sa * cc);
    SetElem(3, 2, ca * sb * cc + sa * sc);
    SetElem(3, 3, ca * cb);
}

void KaMatrix::GetRotAngles(double* p1, double* p2, double* p3) const {
    CheckLine(2, KaErrMatrixRow);
    // Rounding may carry the sine just past 1.
    double const sb = std::clamp(-GetElem(2, 3), -1.0, 1.0);
    *p1 = std::asin(sb);
    CheckLine(3, KaErrMatrixRow);
    if (std::fabs(sb) == 1.0) {
        // b = +-pi/2: only a -+ c is determined, so c is taken as 0.
        *p2 = std::atan2(-GetElem(3, 1), GetElem(1, 1));
        *p3 = 0.0;
        return;
    }
    double const f = 1.0 / std::cos(*p1);
    *p2 = std::atan2(f * GetElem(1, 3), f * GetElem(3, 3));
    *p3 = std::atan2(f * GetElem(2, 1), f * GetElem(2, 2));
}

void KaMatrix::MakeRotMatrix(KaVector& p1, KaVector& p2, KaVector& p3, bool* ok) {
    if (ok)
        *ok = false;
    KaVector u = p2 - p1;
    KaVector v = p3 - p1;
    if (v.Abs() == 0.0 || u.Abs() == 0.0)
        return;
    u.Normalize();
    v.Normalize();
    v -= (u * v) * u;
    // Collinear points leave only rounding noise here, which must not pass for an axis.
    if (!(v.Abs() > CollinearLimit))
        return;
    v.Normalize();
    KaVector w = u % v;
    if (!(w.Abs() > 0.0))
        return;
    w.Normalize();
    SetRow(1, u);
    SetRow(2, v);
    SetRow(3, w);
    if (ok)
        *ok = true;
}

int KaMatrix::Read(KaReaderObject* object) {
    KaStreamParser in = object->GetStreamParser();
    int const rows = in.GetInt();
    int const cols = in.GetInt();
    CheckDeclaredSize(in, rows, cols);
    m_data = ReadElements(in, static_cast<size_t>(rows) * static_cast<size_t>(cols));
    m_rows = rows;
    m_cols = cols;
    return 1;
}

void KaMatrix::Write(std::ostream& os) const {
    os << p16 << m_rows << " " << m_cols << Kaendl;
    for (int i = 1; i <= m_rows; ++i) {
        for (int j = 1; j <= m_cols; ++j)
            os << w19 << At(i, j, KaErrMatrixGetElem);
        if (i < m_rows)
            os << Kaendl;
    }
}

void KaMatrix::DbgPrintf(char const* header) const {
    if (header)
        dbgprintf("%s", header);
    char item[64];
    for (int i = 1; i <= m_rows; ++i) {
        std::string line;
        for (int j = 1; j <= m_cols; ++j) {
            std::snprintf(item, sizeof item, "%.5f   ", At(i, j, KaErrMatrixGetElem));
            line += item;
        }
        dbgprintf("%s", line.c_str());
    }
}

KaMatrix operator*(double f, KaMatrix const& m) {
    return m * f;
}
KaMatrix operator/(double d, KaMatrix const& m) {
    return m / d;
}

KaVector KaPoint::GetAsVector() const {
    KaVector v(3);
    v[1] = x;
    v[2] = y;
    v[3] = z;
    return v;
}
