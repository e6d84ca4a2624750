#include "foundation/String.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cstdint>
#include <cstring>
#include <istream>
#include <ostream>
#include <string>

StrRep _nilStrRep = {0, 0, {0}};
constinit String _nilString;

namespace {

constexpr char kTooLong[] = "text longer than 65535 characters";
constexpr char kBadIndex[] = "invalid index";

bool IsNil(StrRep const* r) {
    return r == &_nilStrRep;
}

// Capacity for n characters: the smallest power of two P >= 16 and >= n + 10
// gives a block of P - 4 bytes holding P - 10 characters. The 16-bit capacity
// field caps it at kMaxStringLength.
int CapacityFor(int n) {
    long p = 16;
    while (p < n + 10L)
        p <<= 1;
    return static_cast<int>(std::min<long>(p - 10, kMaxStringLength));
}

StrRep* NewRep(int n) {
    int const capacity = CapacityFor(n);
    // P - 4 bytes: header (4), capacity characters and the NUL, with one spare.
    auto* r = static_cast<StrRep*>(::operator new(static_cast<std::size_t>(capacity) + 6));
    r->len = 0;
    r->sz = static_cast<unsigned short>(capacity);
    r->s[0] = '\0';
    return r;
}

void FreeRep(StrRep* r) {
    if (!IsNil(r))
        ::operator delete(r);
}

int Length(char const* t, int tl) {
    if (tl >= 0)
        return tl;
    return t ? static_cast<int>(std::min<std::size_t>(std::strlen(t), kMaxStringLength + 1UL)) : 0;
}

// A part of a text being assembled: n characters from p, or n NULs when p is null.
struct Piece {
    char const* p;
    int n;
};

bool Inside(char const* p, int n, char const* base, int size) {
    auto const a = reinterpret_cast<std::uintptr_t>(p);
    auto const b = reinterpret_cast<std::uintptr_t>(base);
    return n > 0 && a < b + static_cast<std::uintptr_t>(size) && b < a + static_cast<std::uintptr_t>(n);
}

void Put(char* dst, Piece const& piece) {
    if (piece.n <= 0)
        return;
    if (piece.p)
        std::memmove(dst, piece.p, static_cast<std::size_t>(piece.n));
    else
        std::memset(dst, 0, static_cast<std::size_t>(piece.n));
}

// The concatenation of the pieces, in old when its capacity suffices, else in
// a new representation (old freed after the copy). Pieces may lie inside old.
// Text beyond kMaxStringLength is dropped and reported through truncated.
template <std::size_t N>
StrRep* Assemble(StrRep* old, std::array<Piece, N> pieces, bool& truncated) {
    int total = 0;
    for (Piece& piece : pieces) {
        piece.n = Length(piece.p, piece.n);
        if (piece.n > kMaxStringLength - total) {
            piece.n = kMaxStringLength - total;
            truncated = true;
        }
        total += piece.n;
    }
    if (total == 0 && IsNil(old))
        return old;

    if (IsNil(old) || old->sz < total) {
        StrRep* r = NewRep(total);
        int offset = 0;
        for (Piece const& piece : pieces) {
            Put(r->s + offset, piece);
            offset += piece.n;
        }
        r->len = static_cast<unsigned short>(total);
        r->s[total] = '\0';
        FreeRep(old);
        return r;
    }

    // In place. A piece taken from old and not already at its destination
    // could be overwritten by another piece: with one such piece, writing it
    // first is enough; with more, they are saved first.
    char* const base = old->s;
    int const storage = old->sz + 1;
    std::array<int, N> offsets{};
    std::array<bool, N> moving{};
    int movers = 0;
    for (std::size_t i = 0, offset = 0; i < N; offset += static_cast<std::size_t>(pieces[i].n), ++i) {
        offsets[i] = static_cast<int>(offset);
        moving[i] =
            pieces[i].p && pieces[i].p != base + offset && Inside(pieces[i].p, pieces[i].n, base, storage);
        movers += moving[i];
    }
    std::string saved;
    if (movers > 1) {
        for (std::size_t i = 0; i < N; ++i)
            if (moving[i])
                saved.append(pieces[i].p, static_cast<std::size_t>(pieces[i].n));
        std::size_t at = 0;
        for (std::size_t i = 0; i < N; ++i)
            if (moving[i]) {
                pieces[i].p = saved.data() + at;
                at += static_cast<std::size_t>(pieces[i].n);
                moving[i] = false;
            }
    }
    for (std::size_t i = 0; i < N; ++i)
        if (moving[i])
            Put(base + offsets[i], pieces[i]);
    for (std::size_t i = 0; i < N; ++i)
        if (!moving[i] && pieces[i].p != base + offsets[i])
            Put(base + offsets[i], pieces[i]);
    old->len = static_cast<unsigned short>(total);
    base[total] = '\0';
    return old;
}

template <class Transform>
StrRep* Transformed(StrRep const* src, StrRep* dest, Transform transform) {
    bool truncated = false;
    dest = Assemble<1>(dest, {Piece{src->s, src->len}}, truncated);
    if (!IsNil(dest))
        transform(dest->s, dest->s + dest->len);
    return dest;
}

bool IsLower(char c) {
    return c >= 'a' && c <= 'z';
}
bool IsUpper(char c) {
    return c >= 'A' && c <= 'Z';
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
char ToUpper(char c) {
    return IsLower(c) ? static_cast<char>(c - 'a' + 'A') : c;
}
char ToLower(char c) {
    return IsUpper(c) ? static_cast<char>(c - 'A' + 'a') : c;
}

template <class Fold>
int Compare(char const* a, std::size_t al, char const* b, std::size_t bl, Fold fold) {
    std::size_t const n = std::min(al, bl);
    for (std::size_t i = 0; i < n; ++i) {
        int const diff = static_cast<signed char>(fold(a[i])) - static_cast<signed char>(fold(b[i]));
        if (diff != 0)
            return diff;
    }
    // Only a char const* can be longer than any String.
    return al >= bl ? static_cast<int>(std::min<std::size_t>(al - bl, INT_MAX))
                    : -static_cast<int>(std::min<std::size_t>(bl - al, INT_MAX));
}

char Same(char c) {
    return c;
}

std::size_t CLength(char const* t) {
    return t ? std::strlen(t) : 0;
}

// Sizes of texts assembled aside; anything beyond the limit is cut (and
// reported) when the text is stored.
int ClampedSize(std::string const& text) {
    return static_cast<int>(std::min<std::size_t>(text.size(), kMaxStringLength + 1UL));
}

} // namespace

StrRep* Salloc(StrRep* old, char const* src, int srclen, int newlen) {
    bool truncated = false;
    srclen = Length(src, srclen);
    return Assemble<2>(old, {Piece{src, srclen}, Piece{nullptr, newlen > srclen ? newlen - srclen : 0}},
                       truncated);
}

StrRep* Scopy(StrRep* old, StrRep const* src) {
    bool truncated = false;
    return Assemble<1>(old, {Piece{src->s, src->len}}, truncated);
}

StrRep* Scat(StrRep* old, char const* s, int slen, char const* t, int tlen) {
    bool truncated = false;
    return Assemble<2>(old, {Piece{s, Length(s, slen)}, Piece{t, Length(t, tlen)}}, truncated);
}

StrRep* Scat(StrRep* old, char const* s, int slen, char const* t, int tlen, char const* u, int ulen) {
    bool truncated = false;
    return Assemble<3>(old, {Piece{s, Length(s, slen)}, Piece{t, Length(t, tlen)}, Piece{u, Length(u, ulen)}},
                       truncated);
}

StrRep* Sprepend(StrRep* old, char const* t, int tlen) {
    bool truncated = false;
    return Assemble<2>(old, {Piece{t, Length(t, tlen)}, Piece{old->s, old->len}}, truncated);
}

StrRep* Sreverse(StrRep const* src, StrRep* dest) {
    return Transformed(src, dest, [](char* first, char* last) { std::reverse(first, last); });
}

StrRep* Supcase(StrRep const* src, StrRep* dest) {
    return Transformed(src, dest,
                       [](char* first, char* last) { std::transform(first, last, first, ToUpper); });
}

StrRep* Sdowncase(StrRep const* src, StrRep* dest) {
    return Transformed(src, dest,
                       [](char* first, char* last) { std::transform(first, last, first, ToLower); });
}

StrRep* Scapitalize(StrRep const* src, StrRep* dest) {
    return Transformed(src, dest, [](char* p, char* last) {
        while (p < last) {
            bool const atWord = IsLower(*p) || IsUpper(*p) || IsDigit(*p);
            *p = ToUpper(*p);
            ++p;
            if (!atWord)
                continue;
            for (; p < last && (IsLower(*p) || IsUpper(*p) || IsDigit(*p) || *p == '\''); ++p)
                *p = ToLower(*p);
        }
    });
}

// ---------------------------------------------------------------- SubString

SubString::SubString(String& x, int first, int l)
    : S(x), pos(static_cast<unsigned short>(first)), len(static_cast<unsigned short>(l)) {}

SubString::~SubString() = default;

// A String edited other than through this view may have become shorter;
// the view then reaches no further than its end.
int SubString::length() const {
    return pos > S.length() ? 0 : std::min<int>(len, S.length() - pos);
}

char const* SubString::chars() const {
    return S.rep->s + std::min<int>(pos, S.length());
}

void SubString::assign(char const* t, int tlen) {
    // A failed search views _nilString, which must stay empty; a String that
    // shrank since the view was taken no longer holds the range.
    if (&S == &_nilString || pos + len > S.length()) {
        S.error(kBadIndex);
        return;
    }
    tlen = Length(t, tlen);
    S.replace(pos, len, t, tlen);
    len = static_cast<unsigned short>(std::min(tlen, S.length() - pos));
}

SubString& SubString::operator=(String const& y) {
    assign(y.chars(), y.length());
    return *this;
}

SubString& SubString::operator=(SubString const& y) {
    assign(y.chars(), y.length());
    return *this;
}

SubString& SubString::operator=(char const* t) {
    assign(t, -1);
    return *this;
}

SubString& SubString::operator=(char c) {
    assign(&c, 1);
    return *this;
}

int SubString::contains(char c) const {
    return S.search(pos, pos + length(), c) >= 0;
}
int SubString::contains(String const& y) const {
    return S.search(pos, pos + length(), y.chars(), y.length()) >= 0;
}
int SubString::contains(SubString const& y) const {
    return S.search(pos, pos + length(), y.chars(), y.length()) >= 0;
}
int SubString::contains(char const* t) const {
    return S.search(pos, pos + length(), t) >= 0;
}

int SubString::OK() const {
    return S.OK() && pos + len <= S.length();
}

// ---------------------------------------------------------------- String

String::String(String const& x) : rep(&_nilStrRep) {
    rep = Scopy(rep, x.rep);
}

String::String(String&& x) noexcept : rep(x.rep) {
    x.rep = &_nilStrRep;
}

String::String(SubString const& x) : rep(&_nilStrRep) {
    rep = Salloc(rep, x.chars(), x.length(), x.length());
}

String::String(char const* t) : String(t, -1) {}

String::String(char const* t, int len) : rep(&_nilStrRep) {
    bool truncated = false;
    len = Length(t, len);
    rep = Assemble<1>(rep, {Piece{t, len}}, truncated);
    if (truncated)
        error(kTooLong);
}

String::String(char c) : rep(&_nilStrRep) {
    rep = Salloc(rep, &c, 1, 1);
}

String::String(int i) : rep(&_nilStrRep) {
    char buf[16];
    auto const result = std::to_chars(buf, buf + sizeof buf, i);
    rep = Salloc(rep, buf, static_cast<int>(result.ptr - buf), 0);
}

String::String(double d) : rep(&_nilStrRep) {
    // "%6.3f" without the process locale: fixed, three decimals, right-aligned
    // in six columns. The largest doubles need some 310 digits.
    char buf[400];
    auto const result = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::fixed, 3);
    int const n = static_cast<int>(result.ptr - buf);
    int const pad = std::max(6 - n, 0);
    bool truncated = false;
    rep = Assemble<2>(rep, {Piece{"      ", pad}, Piece{buf, n}}, truncated);
}

String::~String() {
    FreeRep(rep);
}

String& String::operator=(String const& y) {
    if (this != &y)
        rep = Scopy(rep, y.rep);
    return *this;
}

String& String::operator=(String&& y) noexcept {
    if (this != &y) {
        FreeRep(rep);
        rep = y.rep;
        y.rep = &_nilStrRep;
    }
    return *this;
}

String& String::operator=(SubString const& y) {
    rep = Salloc(rep, y.chars(), y.length(), y.length());
    return *this;
}

String& String::operator=(char const* y) {
    replace(0, length(), y, -1);
    return *this;
}

String& String::operator=(char c) {
    rep = Salloc(rep, &c, 1, 1);
    return *this;
}

String& String::operator+=(String const& y) {
    replace(length(), 0, y.chars(), y.length());
    return *this;
}

String& String::operator+=(SubString const& y) {
    replace(length(), 0, y.chars(), y.length());
    return *this;
}

String& String::operator+=(char const* y) {
    replace(length(), 0, y, -1);
    return *this;
}

String& String::operator+=(char c) {
    replace(length(), 0, &c, 1);
    return *this;
}

void String::prepend(String const& y) {
    replace(0, 0, y.chars(), y.length());
}
void String::prepend(SubString const& y) {
    replace(0, 0, y.chars(), y.length());
}
void String::prepend(char const* y) {
    replace(0, 0, y, -1);
}
void String::prepend(char c) {
    replace(0, 0, &c, 1);
}

void String::replace(int pos, int len, char const* t, int tlen) {
    bool truncated = false;
    int const tail = pos + len;
    rep = Assemble<3>(rep,
                      {Piece{rep->s, pos}, Piece{t, Length(t, tlen)}, Piece{rep->s + tail, length() - tail}},
                      truncated);
    if (truncated)
        error(kTooLong);
}

char& String::operator[](int i) {
    if (i < 0 || i >= length()) {
        error(kBadIndex);
        // Writes through the result land here, never in a text or in _nilStrRep.
        thread_local char scratch;
        scratch = '\0';
        return scratch;
    }
    return rep->s[i];
}

char String::operator[](int i) const {
    return elem(i);
}

char String::elem(int i) const {
    if (i < 0 || i >= length()) {
        error(kBadIndex);
        return '\0';
    }
    return rep->s[i];
}

char String::firstchar() const {
    return rep->s[0];
}

char String::lastchar() const {
    return empty() ? '\0' : rep->s[length() - 1];
}

int String::OK() const {
    if (!rep)
        return 0;
    if (IsNil(rep))
        return rep->len == 0 && rep->sz == 0 && rep->s[0] == '\0';
    return rep->len <= rep->sz && rep->s[rep->len] == '\0';
}

// ---------------------------------------------------------------- searching

int String::search(int start, int sl, char c) const {
    char const* s = rep->s;
    if (start >= 0) {
        for (int i = start; i < sl; ++i)
            if (s[i] == c)
                return i;
    } else {
        for (int i = std::min(sl + start, sl - 1); i >= 0; --i)
            if (s[i] == c)
                return i;
    }
    return -1;
}

int String::search(int start, int sl, char const* t, int tl) const {
    tl = Length(t, tl);
    char const* s = rep->s;
    if (tl == 0)
        return start >= 0 ? (start <= sl ? start : -1) : std::clamp(sl + start + 1, -1, sl);
    if (start >= 0) {
        for (int i = start; i <= sl - tl; ++i)
            if (s[i] == t[0] && std::memcmp(s + i, t, static_cast<std::size_t>(tl)) == 0)
                return i;
    } else {
        auto const last = std::min<long long>(static_cast<long long>(sl) + start - tl + 1, sl - tl);
        for (int i = static_cast<int>(std::max<long long>(last, -1)); i >= 0; --i)
            if (s[i] == t[0] && std::memcmp(s + i, t, static_cast<std::size_t>(tl)) == 0)
                return i;
    }
    return -1;
}

int String::match(int start, int sl, int exact, char const* t, int tl) const {
    tl = Length(t, tl);
    if (start < 0) {
        long long const first = static_cast<long long>(sl) + start - tl + 1;
        if (first < 0)
            return -1;
        start = static_cast<int>(first);
    }
    if (start > sl - tl || (exact && start != sl - tl))
        return -1;
    if (tl == 0)
        return start;
    return std::memcmp(rep->s + start, t, static_cast<std::size_t>(tl)) == 0 ? start : -1;
}

int String::index(char c, int startpos) const {
    return search(startpos, length(), c);
}
int String::index(String const& y, int startpos) const {
    return search(startpos, length(), y.chars(), y.length());
}
int String::index(SubString const& y, int startpos) const {
    return search(startpos, length(), y.chars(), y.length());
}
int String::index(char const* t, int startpos) const {
    return search(startpos, length(), t);
}

int String::contains(char c) const {
    return search(0, length(), c) >= 0;
}
int String::contains(String const& y) const {
    return search(0, length(), y.chars(), y.length()) >= 0;
}
int String::contains(SubString const& y) const {
    return search(0, length(), y.chars(), y.length()) >= 0;
}
int String::contains(char const* t) const {
    return search(0, length(), t) >= 0;
}

int String::contains(char c, int pos) const {
    return match(pos, length(), 0, &c, 1) >= 0;
}
int String::contains(String const& y, int pos) const {
    return match(pos, length(), 0, y.chars(), y.length()) >= 0;
}
int String::contains(SubString const& y, int pos) const {
    return match(pos, length(), 0, y.chars(), y.length()) >= 0;
}
int String::contains(char const* t, int pos) const {
    return match(pos, length(), 0, t) >= 0;
}

int String::matches(char c, int pos) const {
    return match(pos, length(), 1, &c, 1) >= 0;
}
int String::matches(String const& y, int pos) const {
    return match(pos, length(), 1, y.chars(), y.length()) >= 0;
}
int String::matches(SubString const& y, int pos) const {
    return match(pos, length(), 1, y.chars(), y.length()) >= 0;
}
int String::matches(char const* t, int pos) const {
    return match(pos, length(), 1, t) >= 0;
}

int String::freq(char c) const {
    return static_cast<int>(std::count(rep->s, rep->s + length(), c));
}
int String::freq(String const& y) const {
    return count(y.chars(), y.length());
}
int String::freq(SubString const& y) const {
    return count(y.chars(), y.length());
}
int String::freq(char const* t) const {
    return count(t, -1);
}

int String::count(char const* t, int tl) const {
    tl = Length(t, tl);
    int found = 0;
    for (int i = 0; i <= length() - tl; ++i)
        found += match(i, length(), 0, t, tl) >= 0;
    return found;
}

// ---------------------------------------------------------------- substrings

SubString String::_substr(int first, int l) {
    if (first < 0 || l < 0 || first > length() - l)
        return SubString(_nilString, 0, 0);
    return SubString(*this, first, l);
}

SubString String::cut(Cut kind, char const* t, int tl, int startpos) {
    tl = Length(t, tl);
    int first = search(startpos, length(), t, tl);
    switch (kind) {
    case Cut::At:
        return _substr(first, tl);
    case Cut::Before:
        return _substr(0, first);
    case Cut::Through:
        return _substr(0, first < 0 ? -1 : first + tl);
    case Cut::From:
        return _substr(first, length() - first);
    case Cut::After:
        if (first >= 0)
            first += tl;
        return _substr(first, length() - first);
    }
    return _substr(-1, 0);
}

SubString String::at(int pos, int len) {
    return _substr(pos, len);
}
SubString String::operator()(int pos, int len) {
    return _substr(pos, len);
}
SubString String::before(int pos) {
    return _substr(0, pos);
}
SubString String::through(int pos) {
    return pos < 0 || pos >= length() ? _substr(-1, 0) : _substr(0, pos + 1);
}
SubString String::from(int pos) {
    return pos < 0 || pos > length() ? _substr(-1, 0) : _substr(pos, length() - pos);
}
SubString String::after(int pos) {
    return pos < -1 || pos >= length() ? _substr(-1, 0) : _substr(pos + 1, length() - (pos + 1));
}

SubString const String::at(int pos, int len) const {
    return const_cast<String*>(this)->at(pos, len);
}
SubString const String::operator()(int pos, int len) const {
    return const_cast<String*>(this)->at(pos, len);
}
SubString const String::before(int pos) const {
    return const_cast<String*>(this)->before(pos);
}
SubString const String::through(int pos) const {
    return const_cast<String*>(this)->through(pos);
}
SubString const String::from(int pos) const {
    return const_cast<String*>(this)->from(pos);
}
SubString const String::after(int pos) const {
    return const_cast<String*>(this)->after(pos);
}

#define TARVIS_STRING_CUTS(Name, Kind)                                                                       \
    SubString String::Name(String const& x, int startpos) {                                                  \
        return cut(Kind, x.chars(), x.length(), startpos);                                                   \
    }                                                                                                        \
    SubString String::Name(SubString const& x, int startpos) {                                               \
        return cut(Kind, x.chars(), x.length(), startpos);                                                   \
    }                                                                                                        \
    SubString String::Name(char const* t, int startpos) {                                                    \
        return cut(Kind, t, -1, startpos);                                                                   \
    }                                                                                                        \
    SubString String::Name(char c, int startpos) {                                                           \
        return cut(Kind, &c, 1, startpos);                                                                   \
    }                                                                                                        \
    SubString const String::Name(String const& x, int startpos) const {                                      \
        return const_cast<String*>(this)->cut(Kind, x.chars(), x.length(), startpos);                        \
    }                                                                                                        \
    SubString const String::Name(SubString const& x, int startpos) const {                                   \
        return const_cast<String*>(this)->cut(Kind, x.chars(), x.length(), startpos);                        \
    }                                                                                                        \
    SubString const String::Name(char const* t, int startpos) const {                                        \
        return const_cast<String*>(this)->cut(Kind, t, -1, startpos);                                        \
    }                                                                                                        \
    SubString const String::Name(char c, int startpos) const {                                               \
        return const_cast<String*>(this)->cut(Kind, &c, 1, startpos);                                        \
    }

TARVIS_STRING_CUTS(at, Cut::At)
TARVIS_STRING_CUTS(before, Cut::Before)
TARVIS_STRING_CUTS(through, Cut::Through)
TARVIS_STRING_CUTS(from, Cut::From)
TARVIS_STRING_CUTS(after, Cut::After)
#undef TARVIS_STRING_CUTS

// ---------------------------------------------------------------- editing

void String::del(int pos, int len) {
    if (pos < 0 || len < 0 || pos > length() || len > length() - pos) {
        error(kBadIndex);
        return;
    }
    replace(pos, len, nullptr, 0);
}

void String::del(String const& y, int startpos) {
    remove(y.chars(), y.length(), startpos);
}
void String::del(SubString const& y, int startpos) {
    remove(y.chars(), y.length(), startpos);
}
void String::del(char const* t, int startpos) {
    remove(t, -1, startpos);
}
void String::del(char c, int startpos) {
    remove(&c, 1, startpos);
}

void String::remove(char const* t, int tl, int startpos) {
    tl = Length(t, tl);
    int const first = search(startpos, length(), t, tl);
    if (first >= 0)
        replace(first, tl, nullptr, 0);
}

int String::gsub(String const& pat, String const& repl) {
    return substitute(pat.chars(), pat.length(), repl.chars(), repl.length());
}
int String::gsub(SubString const& pat, String const& repl) {
    return substitute(pat.chars(), pat.length(), repl.chars(), repl.length());
}
int String::gsub(char const* pat, String const& repl) {
    return substitute(pat, -1, repl.chars(), repl.length());
}
int String::gsub(char const* pat, char const* repl) {
    return substitute(pat, -1, repl, -1);
}

int String::substitute(char const* pat, int pl, char const* repl, int rl) {
    pl = Length(pat, pl);
    rl = Length(repl, rl);
    if (pl == 0 || pl > length())
        return 0;
    // Built aside, so pattern and replacement may be parts of this String.
    std::string result;
    int count = 0;
    int pos = 0;
    for (int found; (found = search(pos, length(), pat, pl)) >= 0; pos = found + pl, ++count) {
        result.append(rep->s + pos, static_cast<std::size_t>(found - pos));
        if (rl > 0)
            result.append(repl, static_cast<std::size_t>(rl));
    }
    if (count == 0)
        return 0;
    result.append(rep->s + pos, static_cast<std::size_t>(length() - pos));
    replace(0, length(), result.data(), ClampedSize(result));
    return count;
}

void String::reverse() {
    rep = Sreverse(rep, rep);
}
void String::upcase() {
    rep = Supcase(rep, rep);
}
void String::downcase() {
    rep = Sdowncase(rep, rep);
}
void String::capitalize() {
    rep = Scapitalize(rep, rep);
}

void String::alloc(int n) {
    if (n > kMaxStringLength) {
        error(kTooLong);
        n = kMaxStringLength;
    }
    if (n <= rep->sz)
        return;
    StrRep* r = NewRep(n);
    std::memcpy(r->s, rep->s, static_cast<std::size_t>(length()) + 1);
    r->len = rep->len;
    FreeRep(rep);
    rep = r;
}

void String::error(char const*) const {}

// ---------------------------------------------------------------- free functions

int compare(String const& x, String const& y) {
    return Compare(x.chars(), x.length(), y.chars(), y.length(), Same);
}
int compare(String const& x, SubString const& y) {
    return Compare(x.chars(), x.length(), y.chars(), y.length(), Same);
}
int compare(String const& x, char const* y) {
    return Compare(x.chars(), x.length(), y, CLength(y), Same);
}
int compare(SubString const& x, String const& y) {
    return Compare(x.chars(), x.length(), y.chars(), y.length(), Same);
}
int compare(SubString const& x, SubString const& y) {
    return Compare(x.chars(), x.length(), y.chars(), y.length(), Same);
}
int compare(SubString const& x, char const* y) {
    return Compare(x.chars(), x.length(), y, CLength(y), Same);
}

int fcompare(String const& x, String const& y) {
    return Compare(x.chars(), x.length(), y.chars(), y.length(), ToUpper);
}

namespace {

int Size(String const& x) {
    return x.length();
}
int Size(SubString const& x) {
    return x.length();
}
int Size(char const* x) {
    return static_cast<int>(std::min<std::size_t>(CLength(x), kMaxStringLength + 1UL));
}
int Size(char) {
    return 1;
}

template <class A, class B>
String Concatenation(A const& a, B const& b) {
    String r;
    r.alloc(std::min(Size(a) + Size(b), kMaxStringLength));
    r += a;
    r += b;
    return r;
}

} // namespace

String operator+(String const& x, String const& y) {
    return Concatenation(x, y);
}
String operator+(String const& x, SubString const& y) {
    return Concatenation(x, y);
}
String operator+(String const& x, char const* y) {
    return Concatenation(x, y);
}
String operator+(String const& x, char y) {
    return Concatenation(x, y);
}
String operator+(SubString const& x, String const& y) {
    return Concatenation(x, y);
}
String operator+(SubString const& x, SubString const& y) {
    return Concatenation(x, y);
}
String operator+(SubString const& x, char const* y) {
    return Concatenation(x, y);
}
String operator+(SubString const& x, char y) {
    return Concatenation(x, y);
}
String operator+(char const* x, String const& y) {
    return Concatenation(x, y);
}
String operator+(char const* x, SubString const& y) {
    return Concatenation(x, y);
}

String common_prefix(String const& x, String const& y, int startpos) {
    if (startpos < 0 || startpos > x.length() || startpos > y.length())
        return String();
    char const* xs = x.chars() + startpos;
    char const* ys = y.chars() + startpos;
    int const n = std::min(x.length(), y.length()) - startpos;
    int l = 0;
    while (l < n && xs[l] == ys[l])
        ++l;
    return String(xs, l);
}

String common_suffix(String const& x, String const& y, int startpos) {
    // Positions of the last characters compared, counted from the end.
    long long const xi = static_cast<long long>(x.length()) + startpos;
    long long const yi = static_cast<long long>(y.length()) + startpos;
    if (startpos >= 0 || xi < 0 || yi < 0)
        return String();
    int l = 0;
    while (l <= xi && l <= yi && x.chars()[xi - l] == y.chars()[yi - l])
        ++l;
    return String(x.chars() + xi - l + 1, l);
}

String join(String const src[], int n, String const& sep) {
    std::string text;
    for (int i = 0; i < n; ++i) {
        if (i > 0)
            text.append(sep.chars(), static_cast<std::size_t>(sep.length()));
        text.append(src[i].chars(), static_cast<std::size_t>(src[i].length()));
    }
    return String(text.data(), ClampedSize(text));
}

String replicate(char c, int n) {
    std::string const text(static_cast<std::size_t>(std::clamp(n, 0, kMaxStringLength + 1)), c);
    return String(text.data(), ClampedSize(text));
}

String replicate(String const& y, int n) {
    if (y.empty())
        return String();
    std::string text;
    for (int i = 0; i < n && text.size() <= static_cast<std::size_t>(kMaxStringLength); ++i)
        text.append(y.chars(), static_cast<std::size_t>(y.length()));
    return String(text.data(), ClampedSize(text));
}

int split(String const& source, String res[], int maxn, String const& separator) {
    // Copies: the results may include the source or the separator.
    String const x(source);
    String const sep(separator);
    int n = 0;
    int pos = 0;
    while (n < maxn) {
        // An empty separator cuts nothing.
        int const found = sep.empty() ? -1 : x.index(sep, pos);
        if (found < 0) {
            res[n++] = x.at(pos, x.length() - pos);
            break;
        }
        res[n++] = x.at(pos, found - pos);
        pos = found + sep.length();
    }
    return n;
}

int tokenize(String const& source, String res[], int maxn, String const& delimiters) {
    String const x(source);
    String const delims(delimiters);
    auto const isDelimiter = [&](char c) {
        return std::memchr(delims.chars(), c, static_cast<std::size_t>(delims.length())) != nullptr;
    };
    char const* s = x.chars();
    int const sl = x.length();
    int n = 0;
    for (int pos = 0; n < maxn;) {
        while (pos < sl && isDelimiter(s[pos]))
            ++pos;
        if (pos == sl)
            break;
        int end = pos;
        while (end < sl && !isDelimiter(s[end]))
            ++end;
        res[n++] = x.at(pos, end - pos);
        pos = end;
    }
    return n;
}

int readline(std::istream& s, String& x, char terminator, int discard) {
    std::string line;
    if (s.good()) {
        if (std::streambuf* buffer = s.rdbuf()) {
            using Traits = std::istream::traits_type;
            for (;;) {
                Traits::int_type const ch = buffer->sbumpc();
                if (Traits::eq_int_type(ch, Traits::eof())) {
                    s.setstate(std::ios::eofbit);
                    break;
                }
                char const c = Traits::to_char_type(ch);
                if (c != terminator || !discard)
                    line.push_back(c);
                if (c == terminator)
                    break;
            }
        } else {
            s.setstate(std::ios::badbit);
        }
    }
    x = String(line.data(), ClampedSize(line));
    return x.length();
}

int Sprintf(String& target, char const* format, String const& a1, String const& a2, String const& a3,
            String const& a4, String const& a5) {
    // Built aside: target may be one of the arguments.
    String text(format);
    String const* const args[] = {&a1, &a2, &a3, &a4, &a5};
    int count = 0;
    char placeholder[] = "%0";
    for (String const* arg : args) {
        ++placeholder[1];
        count += text.gsub(placeholder, *arg);
    }
    target = std::move(text);
    return count;
}

std::ostream& operator<<(std::ostream& s, String const& x) {
    return s.write(x.chars(), static_cast<std::streamsize>(x.length()));
}

std::ostream& operator<<(std::ostream& s, SubString const& x) {
    return s.write(x.chars(), static_cast<std::streamsize>(x.length()));
}
