#pragma once

#include "TarvisExport.h"
#include "foundation/String.h"

#include <iosfwd>

// Stream manipulators that give keyword files their layout. Numeric columns are
// a blank and a right-aligned field; keyword columns are left-aligned fields.
// The indentation level of block contents is one process-wide value.
// Files are written with the classic locale: each manipulator (other than
// KaTabPlus and KaTabMinus) sets it on its stream when the stream has another.

// A blank, then a right-aligned field for the next value only.
TARVIS_API std::ostream& w4(std::ostream& os);  // width 4
TARVIS_API std::ostream& w5(std::ostream& os);  // width 5
TARVIS_API std::ostream& w6(std::ostream& os);  // width 8
TARVIS_API std::ostream& w8(std::ostream& os);  // width 10
TARVIS_API std::ostream& w10(std::ostream& os); // width 12
TARVIS_API std::ostream& w12(std::ostream& os); // width 16
TARVIS_API std::ostream& w14(std::ostream& os); // width 18
TARVIS_API std::ostream& w16(std::ostream& os); // width 21
TARVIS_API std::ostream& w19(std::ostream& os); // width 24

// A left-aligned field for the next value only.
TARVIS_API std::ostream& s8(std::ostream& os);
TARVIS_API std::ostream& s10(std::ostream& os);
TARVIS_API std::ostream& s12(std::ostream& os);
TARVIS_API std::ostream& s14(std::ostream& os);
TARVIS_API std::ostream& s16(std::ostream& os);

// Floating-point precision; the notation stays as it is.
TARVIS_API std::ostream& p4(std::ostream& os);
TARVIS_API std::ostream& p6(std::ostream& os);
TARVIS_API std::ostream& p8(std::ostream& os);
TARVIS_API std::ostream& p16(std::ostream& os);

// Alignment without a width; it stays set.
TARVIS_API std::ostream& left(std::ostream& os);
TARVIS_API std::ostream& right(std::ostream& os);

// "{" and "}" changing the level without starting lines.
TARVIS_API std::ostream& KaBeginBlock(std::ostream& os);
TARVIS_API std::ostream& KaEndBlock(std::ostream& os);
// "{" and a new line one level deeper; back one level, a new line and "}".
TARVIS_API std::ostream& KaBeginBlockNL(std::ostream& os);
TARVIS_API std::ostream& KaEndBlockNL(std::ostream& os);
// A line feed and the indentation of the current level (four blanks a level).
TARVIS_API std::ostream& Kaendl(std::ostream& os);
TARVIS_API std::ostream& KaTabPlus(std::ostream& os);
TARVIS_API std::ostream& KaTabMinus(std::ostream& os);
// The comment marker "; ".
TARVIS_API std::ostream& KaComment(std::ostream& os);

// A text as it can stand between the double quotes of a keyword file, which know
// no escapes: a double quote becomes a single quote and a line end a blank, so
// that the string cannot end early and take the rest of the file with it.
TARVIS_API String KaQuotable(String const& text);

// Sets the indentation level back to 0.
TARVIS_API void KaWriterReset();
// The current indentation level.
TARVIS_API int KaWriterLevel();
