#include "textio/KaWriter.h"

#include <locale>
#include <ostream>

namespace {

int g_level = 0;

// Files are written with the classic locale: every manipulator puts it on the
// stream it touches, so numbers get '.' decimals and no digit grouping whatever
// the global locale is. A stream slot remembers that the stream was checked;
// a later imbue clears the mark, so the next manipulator checks again.
enum : long { kUnseen = 0, kUnchecked = 1, kClassic = 2 };

int ClassicSlot() {
    static int const slot = std::ios_base::xalloc();
    return slot;
}

void OnStreamEvent(std::ios_base::event event, std::ios_base& stream, int slot) {
    if (event == std::ios_base::imbue_event && stream.iword(slot) == kClassic)
        stream.iword(slot) = kUnchecked;
}

std::ostream& Classic(std::ostream& os) {
    int const slot = ClassicSlot();
    long& mark = os.iword(slot);
    if (mark == kClassic)
        return os;
    if (mark == kUnseen)
        os.register_callback(OnStreamEvent, slot);
    if (!(os.getloc() == std::locale::classic()))
        os.imbue(std::locale::classic());
    // The imbue may have moved the slot storage; look it up again.
    os.iword(slot) = kClassic;
    return os;
}

std::ostream& Column(std::ostream& os, int width) {
    Classic(os);
    os << ' ';
    os.unsetf(std::ios::left);
    os.setf(std::ios::right);
    os.width(width);
    return os;
}

std::ostream& Field(std::ostream& os, int width) {
    Classic(os);
    os.unsetf(std::ios::right);
    os.setf(std::ios::left);
    os.width(width);
    return os;
}

std::ostream& Precision(std::ostream& os, int digits) {
    Classic(os);
    os.precision(digits);
    return os;
}

void Deeper() {
    ++g_level;
}
void Shallower() {
    if (g_level > 0)
        --g_level;
}

} // namespace

std::ostream& w4(std::ostream& os) {
    return Column(os, 4);
}
std::ostream& w5(std::ostream& os) {
    return Column(os, 5);
}
std::ostream& w6(std::ostream& os) {
    return Column(os, 8);
}
std::ostream& w8(std::ostream& os) {
    return Column(os, 10);
}
std::ostream& w10(std::ostream& os) {
    return Column(os, 12);
}
std::ostream& w12(std::ostream& os) {
    return Column(os, 16);
}
std::ostream& w14(std::ostream& os) {
    return Column(os, 18);
}
std::ostream& w16(std::ostream& os) {
    return Column(os, 21);
}
std::ostream& w19(std::ostream& os) {
    return Column(os, 24);
}

std::ostream& s8(std::ostream& os) {
    return Field(os, 8);
}
std::ostream& s10(std::ostream& os) {
    return Field(os, 10);
}
std::ostream& s12(std::ostream& os) {
    return Field(os, 12);
}
std::ostream& s14(std::ostream& os) {
    return Field(os, 14);
}
std::ostream& s16(std::ostream& os) {
    return Field(os, 16);
}

std::ostream& p4(std::ostream& os) {
    return Precision(os, 4);
}
std::ostream& p6(std::ostream& os) {
    return Precision(os, 6);
}
std::ostream& p8(std::ostream& os) {
    return Precision(os, 8);
}
std::ostream& p16(std::ostream& os) {
    return Precision(os, 16);
}

std::ostream& left(std::ostream& os) {
    return Field(os, 0);
}
std::ostream& right(std::ostream& os) {
    Classic(os);
    os.unsetf(std::ios::left);
    os.setf(std::ios::right);
    return os;
}

std::ostream& KaBeginBlock(std::ostream& os) {
    Classic(os);
    Deeper();
    return os << '{';
}

std::ostream& KaEndBlock(std::ostream& os) {
    Classic(os);
    Shallower();
    return os << '}';
}

std::ostream& KaBeginBlockNL(std::ostream& os) {
    os << '{';
    Deeper();
    return Kaendl(os);
}

std::ostream& KaEndBlockNL(std::ostream& os) {
    Shallower();
    Kaendl(os);
    return os << '}';
}

// The stream is not flushed at every line: a file of a million points would
// spend most of its time in system calls. Streams flush when closed.
std::ostream& Kaendl(std::ostream& os) {
    Classic(os);
    os << '\n';
    for (int i = 0; i < g_level; ++i)
        os << "    ";
    return os;
}

std::ostream& KaTabPlus(std::ostream& os) {
    Deeper();
    return os;
}

std::ostream& KaTabMinus(std::ostream& os) {
    Shallower();
    return os;
}

std::ostream& KaComment(std::ostream& os) {
    Classic(os);
    return os << "; ";
}

void KaWriterReset() {
    g_level = 0;
}

int KaWriterLevel() {
    return g_level;
}

String KaQuotable(String const& text) {
    String out(text);
    for (int i = 0; i < out.length(); ++i) {
        if (out[i] == '"')
            out[i] = '\'';
        else if (out[i] == '\n' || out[i] == '\r')
            out[i] = ' ';
    }
    return out;
}
