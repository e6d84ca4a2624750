#pragma once

#include "TarvisExport.h"

#include <concepts>
#include <iosfwd>
#include <utility>

// Heap representation of a String: one block holding a 4-byte header and the
// NUL-terminated characters. The block is allocated larger than the struct;
// s is the start of the character area.
struct StrRep {
    unsigned short len; // characters in use
    unsigned short sz;  // characters that fit, not counting the terminating NUL
    char s[1];
};

// The longest text a representation can hold.
inline constexpr int kMaxStringLength = 65535;

// The shared empty representation. Never written and never freed: every
// function treats it as "no representation yet" and allocates before writing.
extern TARVIS_API StrRep _nilStrRep;

// Functions on representations. Each returns the representation to use from
// now on: old is reused when its capacity suffices, otherwise a new one is
// allocated and old is freed after the copy, so a source inside old is safe.
// Results longer than kMaxStringLength are cut to that length.

// A representation of length max(newlen, srclen) whose first srclen characters
// come from src. srclen < 0 takes strlen(src) (0 for a null src).
TARVIS_API StrRep* Salloc(StrRep* old, char const* src, int srclen, int newlen);
// A copy of src. Copying the empty text into _nilStrRep keeps _nilStrRep.
TARVIS_API StrRep* Scopy(StrRep* old, StrRep const* src);
// s followed by t (and u). A negative length takes strlen.
TARVIS_API StrRep* Scat(StrRep* old, char const* s, int slen, char const* t, int tlen);
TARVIS_API StrRep* Scat(StrRep* old, char const* s, int slen, char const* t, int tlen, char const* u,
                        int ulen);
// t followed by the text of old.
TARVIS_API StrRep* Sprepend(StrRep* old, char const* t, int tlen);
// Transformed copies of src into dest; src and dest may be the same.
TARVIS_API StrRep* Sreverse(StrRep const* src, StrRep* dest);
TARVIS_API StrRep* Supcase(StrRep const* src, StrRep* dest);
TARVIS_API StrRep* Sdowncase(StrRep const* src, StrRep* dest);
// First letter or digit of every word (a run of letters, digits and
// apostrophes) to upper case, the rest of the word to lower case.
TARVIS_API StrRep* Scapitalize(StrRep const* src, StrRep* dest);

class String;

// A view on a range of a String. It can be read, or assigned to, which
// replaces the range in its String. It must not outlive its String.
class TARVIS_API SubString {
    friend class String;

public:
    SubString(SubString const& x) : S(x.S), pos(x.pos), len(x.len) {}
    virtual ~SubString();

    // Each assignment replaces the viewed range of the String by the new text.
    SubString& operator=(String const& y);
    SubString& operator=(SubString const& y);
    SubString& operator=(char const* t);
    SubString& operator=(char c);

    int length() const;
    int empty() const { return length() == 0; }
    // Start of the viewed range; the text is terminated at the end of the
    // String, not at the end of the view.
    char const* chars() const;

    int contains(char c) const;
    int contains(String const& y) const;
    int contains(SubString const& y) const;
    int contains(char const* t) const;

    int OK() const;

protected:
    SubString(String& x, int first, int l);

    String& S;
    unsigned short pos;
    unsigned short len;

private:
    void assign(char const* t, int tlen);
};

class TARVIS_API String {
    friend class SubString;

    template <class I>
    static constexpr bool IsIndexType =
        std::integral<I> && !std::same_as<I, bool> && !std::same_as<I, char> && !std::same_as<I, int> &&
        !std::same_as<I, char8_t> && !std::same_as<I, char16_t> && !std::same_as<I, char32_t> &&
        !std::same_as<I, wchar_t>;

public:
    constexpr String() noexcept : rep(&_nilStrRep) {}
    String(String const& x);
    String(String&& x) noexcept;
    String(SubString const& x);
    String(char const* t);
    // len < 0 takes strlen(t).
    String(char const* t, int len);
    explicit String(char c);
    // Decimal, as "%d".
    explicit String(int i);
    // As "%6.3f", always with '.' as decimal point.
    explicit String(double d);
    virtual ~String();

    String& operator=(String const& y);
    String& operator=(String&& y) noexcept;
    String& operator=(SubString const& y);
    String& operator=(char const* y);
    String& operator=(char c);

    String& operator+=(String const& y);
    String& operator+=(SubString const& y);
    String& operator+=(char const* y);
    String& operator+=(char c);

    void prepend(String const& y);
    void prepend(SubString const& y);
    void prepend(char const* y);
    void prepend(char c);

    int length() const { return rep->len; }
    int empty() const { return rep->len == 0; }
    int allocation() const { return rep->sz; }
    char const* chars() const { return rep->s; }
    operator char const*() const { return rep->s; }

    // An index outside the text calls error() and yields NUL (the non-const
    // form a reference to a scratch character that is not part of any text).
    char& operator[](int i);
    char operator[](int i) const;
    // Other integer types would otherwise be ambiguous with the built-in
    // subscript of the char const* conversion.
    template <class I>
    requires IsIndexType<I>
    char& operator[](I i) { return (*this)[ToIndex(i)]; }
    template <class I>
    requires IsIndexType<I>
    char operator[](I i) const { return (*this)[ToIndex(i)]; }
    char elem(int i) const;
    char firstchar() const;
    char lastchar() const;

    int OK() const;

    // Position of the first occurrence at or after startpos. A negative
    // startpos searches backwards for the last occurrence ending at or before
    // position length() + startpos. -1 when absent.
    int index(char c, int startpos = 0) const;
    int index(String const& y, int startpos = 0) const;
    int index(SubString const& y, int startpos = 0) const;
    int index(char const* t, int startpos = 0) const;

    int contains(char c) const;
    int contains(String const& y) const;
    int contains(SubString const& y) const;
    int contains(char const* t) const;

    // Occurs starting exactly at pos.
    int contains(char c, int pos) const;
    int contains(String const& y, int pos) const;
    int contains(SubString const& y, int pos) const;
    int contains(char const* t, int pos) const;

    // The text from pos to the end equals the argument.
    int matches(char c, int pos = 0) const;
    int matches(String const& y, int pos = 0) const;
    int matches(SubString const& y, int pos = 0) const;
    int matches(char const* t, int pos = 0) const;

    // Number of positions at which the argument starts (overlaps counted).
    int freq(char c) const;
    int freq(String const& y) const;
    int freq(SubString const& y) const;
    int freq(char const* t) const;

    // Substrings. A pattern that does not occur, or a range outside the text,
    // yields an empty SubString on _nilString.
    SubString at(int pos, int len);
    SubString operator()(int pos, int len);
    SubString at(String const& x, int startpos = 0);
    SubString at(SubString const& x, int startpos = 0);
    SubString at(char const* t, int startpos = 0);
    SubString at(char c, int startpos = 0);

    SubString before(int pos);
    SubString before(String const& x, int startpos = 0);
    SubString before(SubString const& x, int startpos = 0);
    SubString before(char const* t, int startpos = 0);
    SubString before(char c, int startpos = 0);

    SubString through(int pos);
    SubString through(String const& x, int startpos = 0);
    SubString through(SubString const& x, int startpos = 0);
    SubString through(char const* t, int startpos = 0);
    SubString through(char c, int startpos = 0);

    SubString from(int pos);
    SubString from(String const& x, int startpos = 0);
    SubString from(SubString const& x, int startpos = 0);
    SubString from(char const* t, int startpos = 0);
    SubString from(char c, int startpos = 0);

    SubString after(int pos);
    SubString after(String const& x, int startpos = 0);
    SubString after(SubString const& x, int startpos = 0);
    SubString after(char const* t, int startpos = 0);
    SubString after(char c, int startpos = 0);

    // The same on a const String; the results cannot be assigned to.
    SubString const at(int pos, int len) const;
    SubString const operator()(int pos, int len) const;
    SubString const at(String const& x, int startpos = 0) const;
    SubString const at(SubString const& x, int startpos = 0) const;
    SubString const at(char const* t, int startpos = 0) const;
    SubString const at(char c, int startpos = 0) const;

    SubString const before(int pos) const;
    SubString const before(String const& x, int startpos = 0) const;
    SubString const before(SubString const& x, int startpos = 0) const;
    SubString const before(char const* t, int startpos = 0) const;
    SubString const before(char c, int startpos = 0) const;

    SubString const through(int pos) const;
    SubString const through(String const& x, int startpos = 0) const;
    SubString const through(SubString const& x, int startpos = 0) const;
    SubString const through(char const* t, int startpos = 0) const;
    SubString const through(char c, int startpos = 0) const;

    SubString const from(int pos) const;
    SubString const from(String const& x, int startpos = 0) const;
    SubString const from(SubString const& x, int startpos = 0) const;
    SubString const from(char const* t, int startpos = 0) const;
    SubString const from(char c, int startpos = 0) const;

    SubString const after(int pos) const;
    SubString const after(String const& x, int startpos = 0) const;
    SubString const after(SubString const& x, int startpos = 0) const;
    SubString const after(char const* t, int startpos = 0) const;
    SubString const after(char c, int startpos = 0) const;

    void del(int pos, int len);
    // Deletes the first occurrence at or after startpos.
    void del(String const& y, int startpos = 0);
    void del(SubString const& y, int startpos = 0);
    void del(char const* t, int startpos = 0);
    void del(char c, int startpos = 0);

    // Replaces all occurrences left to right; inserted text is not searched
    // again. Returns the number of replacements.
    int gsub(String const& pat, String const& repl);
    int gsub(SubString const& pat, String const& repl);
    int gsub(char const* pat, String const& repl);
    int gsub(char const* pat, char const* repl);

    void reverse();
    void upcase();
    void downcase();
    void capitalize();

    // Ensures room for n characters, keeping the text.
    void alloc(int n);

    // Called on an invalid index or a text that would exceed
    // kMaxStringLength; takes no action (a place for a breakpoint).
    void error(char const* msg) const;

protected:
    StrRep* rep;

    // Search helpers on positions [0, sl): first position of t (or c) from
    // start, backwards for a negative start; -1 when absent.
    int search(int start, int sl, char c) const;
    int search(int start, int sl, char const* t, int tl = -1) const;
    // Position where t occurs at start (exact: and ends at sl); -1 otherwise.
    int match(int start, int sl, int exact, char const* t, int tl = -1) const;
    SubString _substr(int first, int l);

private:
    enum class Cut { At, Before, Through, From, After };
    SubString cut(Cut kind, char const* t, int tl, int startpos);

    // Indices of other integer types: out of the int range counts as invalid.
    template <class I>
    static int ToIndex(I i) {
        return std::in_range<int>(i) ? static_cast<int>(i) : -1;
    }

    // Replaces characters [pos, pos + len) by t[0, tlen).
    void replace(int pos, int len, char const* t, int tlen);
    int count(char const* t, int tl) const;
    void remove(char const* t, int tl, int startpos);
    int substitute(char const* pat, int pl, char const* repl, int rl);
};

// A global empty String; failed searches yield SubStrings on it.
extern TARVIS_API String _nilString;

// Byte-wise comparison with characters as signed values: the difference of the
// first differing characters, or of the lengths when one is a prefix of the
// other. A null char const* compares as the empty text.
TARVIS_API int compare(String const& x, String const& y);
TARVIS_API int compare(String const& x, SubString const& y);
TARVIS_API int compare(String const& x, char const* y);
TARVIS_API int compare(SubString const& x, String const& y);
TARVIS_API int compare(SubString const& x, SubString const& y);
TARVIS_API int compare(SubString const& x, char const* y);

// Like compare, but a to z are folded to upper case first.
TARVIS_API int fcompare(String const& x, String const& y);

#define TARVIS_STRING_RELATIONS(X, Y)                                                                        \
    inline bool operator==(X x, Y y) {                                                                       \
        return compare(x, y) == 0;                                                                           \
    }                                                                                                        \
    inline bool operator!=(X x, Y y) {                                                                       \
        return compare(x, y) != 0;                                                                           \
    }                                                                                                        \
    inline bool operator<(X x, Y y) {                                                                        \
        return compare(x, y) < 0;                                                                            \
    }                                                                                                        \
    inline bool operator>(X x, Y y) {                                                                        \
        return compare(x, y) > 0;                                                                            \
    }                                                                                                        \
    inline bool operator<=(X x, Y y) {                                                                       \
        return compare(x, y) <= 0;                                                                           \
    }                                                                                                        \
    inline bool operator>=(X x, Y y) {                                                                       \
        return compare(x, y) >= 0;                                                                           \
    }
TARVIS_STRING_RELATIONS(String const&, String const&)
TARVIS_STRING_RELATIONS(String const&, SubString const&)
TARVIS_STRING_RELATIONS(String const&, char const*)
TARVIS_STRING_RELATIONS(SubString const&, String const&)
TARVIS_STRING_RELATIONS(SubString const&, SubString const&)
TARVIS_STRING_RELATIONS(SubString const&, char const*)
#undef TARVIS_STRING_RELATIONS

// Concatenation.
TARVIS_API String operator+(String const& x, String const& y);
TARVIS_API String operator+(String const& x, SubString const& y);
TARVIS_API String operator+(String const& x, char const* y);
TARVIS_API String operator+(String const& x, char y);
TARVIS_API String operator+(SubString const& x, String const& y);
TARVIS_API String operator+(SubString const& x, SubString const& y);
TARVIS_API String operator+(SubString const& x, char const* y);
TARVIS_API String operator+(SubString const& x, char y);
TARVIS_API String operator+(char const* x, String const& y);
TARVIS_API String operator+(char const* x, SubString const& y);

// Longest common leading text of x and y from startpos on.
TARVIS_API String common_prefix(String const& x, String const& y, int startpos = 0);
// Longest common trailing text of x and y, ending startpos from the end
// (-1: at the last character).
TARVIS_API String common_suffix(String const& x, String const& y, int startpos = -1);

// The n strings of src with sep between them.
TARVIS_API String join(String const src[], int n, String const& sep);
// n copies.
TARVIS_API String replicate(char c, int n);
TARVIS_API String replicate(String const& y, int n);

// Cuts x at every occurrence of the whole text sep; stores at most maxn pieces
// (empty ones included) in res and returns their number.
TARVIS_API int split(String const& x, String res[], int maxn, String const& sep);
// Cuts x at any of the characters of delims, skipping empty pieces; stores at
// most maxn pieces in res and returns their number.
TARVIS_API int tokenize(String const& x, String res[], int maxn, String const& delims);

// Reads up to and including terminator or the end of the stream into x; the
// terminator is kept only when discard is 0. Returns the number of characters
// stored. At the end of the stream sets eofbit (not failbit).
TARVIS_API int readline(std::istream& s, String& x, char terminator = '\n', int discard = 1);

// Sets target to format, then for k = 1 to 5 replaces every "%k" by ak,
// scanning on after each inserted argument. Returns the number of replacements.
TARVIS_API int Sprintf(String& target, char const* format, String const& a1 = _nilString,
                       String const& a2 = _nilString, String const& a3 = _nilString,
                       String const& a4 = _nilString, String const& a5 = _nilString);

TARVIS_API std::ostream& operator<<(std::ostream& s, String const& x);
TARVIS_API std::ostream& operator<<(std::ostream& s, SubString const& x);
