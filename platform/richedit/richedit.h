// The rich-text control: a window class of the platform whose messages
// hold, lay out, select, format and stream formatted text.
//
// Characters are single bytes, read in the code page of their own
// character set. Every character occupies one position; a paragraph break
// occupies two (carriage return, line feed); a soft line wrap occupies none.
// A selection of one position at a paragraph break reads back as an empty
// text, because a break belongs to a range only when both its positions do.
//
// These are our own stand-ins. The message numbers and records are designed
// here; CHARFORMATA is the 60-byte record the plug-ins read.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win/winapi.h"

// The window class; CreateWindowExA with this name makes a control whose
// client width is the width lines are wrapped at.
#define RICHEDIT_CLASSA "ZolRichEdit"

typedef uint32_t COLORREF_RE;  // 0x00BBGGRR, as the graphics services use it

// ---------------------------------------------------------------- records

struct CHARRANGE {
    LONG cpMin;  // first position
    LONG cpMax;  // one past the last; -1 means the end of the text
};

// Effects bits of CHARFORMATA.dwEffects and the matching mask bits of
// dwMask (a set mask bit says the field is valid, or is to be applied).
enum : DWORD {
    CFE_BOLD = 0x00000001,
    CFE_ITALIC = 0x00000002,
    CFE_UNDERLINE = 0x00000004,
    CFE_STRIKEOUT = 0x00000008,

    CFM_BOLD = 0x00000001,
    CFM_ITALIC = 0x00000002,
    CFM_UNDERLINE = 0x00000004,
    CFM_STRIKEOUT = 0x00000008,
    CFM_SIZE = 0x00000100,
    CFM_COLOR = 0x00000200,
    CFM_FACE = 0x00000400,
    CFM_CHARSET = 0x00000800,
    CFM_PITCHANDFAMILY = 0x00001000,
    CFM_OFFSET = 0x00002000,
    CFM_EFFECTS = CFM_BOLD | CFM_ITALIC | CFM_UNDERLINE | CFM_STRIKEOUT,
    CFM_ALL = CFM_EFFECTS | CFM_SIZE | CFM_COLOR | CFM_FACE | CFM_CHARSET | CFM_PITCHANDFAMILY |
              CFM_OFFSET,
};

// The character format: 60 bytes, little-endian, no hidden fields.
struct CHARFORMATA {
    UINT cbSize;           // 60
    DWORD dwMask;          // CFM_ bits
    DWORD dwEffects;       // CFE_ bits
    LONG yHeight;          // character height in twips (1/1440 inch)
    LONG yOffset;          // baseline offset in twips; kept, not laid out
    COLORREF_RE crTextColor;
    BYTE bCharSet;         // character set of the logical font
    BYTE bPitchAndFamily;  // pitch in bits 0-1, family in bits 4-7
    char szFaceName[32];   // terminated face name
    BYTE bReserved[2];
};
static_assert(sizeof(CHARFORMATA) == 60, "CHARFORMATA is a 60-byte record");
static_assert(offsetof(CHARFORMATA, yHeight) == 12);
static_assert(offsetof(CHARFORMATA, crTextColor) == 20);
static_assert(offsetof(CHARFORMATA, bCharSet) == 24);
static_assert(offsetof(CHARFORMATA, szFaceName) == 26);

// wParam of EM_GETCHARFORMAT and EM_SETCHARFORMAT.
enum : WPARAM {
    SCF_DEFAULT = 0,    // the control's default format
    SCF_SELECTION = 1,  // the selection (an empty one: the insertion point)
    SCF_ALL = 2,        // every character and paragraph mark
};

enum : WORD { PFA_LEFT = 1, PFA_RIGHT = 2, PFA_CENTER = 3, PFA_JUSTIFY = 4 };
enum : DWORD {
    PFM_STARTINDENT = 0x01,
    PFM_RIGHTINDENT = 0x02,
    PFM_OFFSET = 0x04,
    PFM_ALIGNMENT = 0x08,
    PFM_ALL = 0x0F,
};

// The paragraph format. Indents in twips: the first line starts at
// dxStartIndent, every further line at dxStartIndent + dxOffset, and all
// lines keep dxRightIndent free at the right.
struct PARAFORMAT {
    UINT cbSize;  // sizeof(PARAFORMAT)
    DWORD dwMask;
    WORD wAlignment;
    WORD wReserved;
    LONG dxStartIndent;
    LONG dxRightIndent;
    LONG dxOffset;
};

// Streaming: the control calls the callback with a buffer to fill (stream
// in) or to take (stream out). The callback returns 0 to go on, anything
// else stops the stream and is stored in dwError; when it puts 0 bytes in
// *transferred while streaming in, the data has ended.
typedef DWORD (*EDITSTREAMCALLBACK)(UINT_PTR cookie, BYTE* buffer, LONG size, LONG* transferred);
struct EDITSTREAM {
    UINT_PTR dwCookie;
    DWORD dwError;
    EDITSTREAMCALLBACK pfnCallback;
};
enum : WPARAM {
    SF_TEXT = 0x0001,       // plain text, paragraphs separated by CR LF
    SF_RTF = 0x0002,        // rich text; data without an RTF header is read as plain text
    SFF_SELECTION = 0x8000, // replace (in) or write (out) only the selection
};
// dwError when the data could not be read as a whole and the text was kept.
enum : DWORD { ZOL_STREAM_CALLBACK_FAILED = 1, ZOL_STREAM_NO_MEMORY = 2 };

struct TEXTRANGEA {
    CHARRANGE chrg;
    char* lpstrText;  // receives the characters, terminated
    DWORD cchText;    // size of lpstrText in bytes, terminator included
};

// Word-wrap settings of EM_SETWRAP.
enum : WPARAM {
    WRAP_NONE = 0,      // lines end only at paragraph breaks and line breaks
    WRAP_TO_WINDOW = 1, // wrap at spaces within the client width; a word longer
                        // than a line is broken between characters
};

// Selection-change notification: with ENM_SELCHANGE in the event mask, every
// change of the selection sends the parent window WM_COMMAND with wParam
// MAKEWPARAM(control id, EN_SELCHANGE) and lParam the control's handle.
enum : DWORD { ENM_SELCHANGE = 0x0001 };
enum : WORD { EN_SELCHANGE = 0x0701 };

// The line-break character that \line of rich text stands for: it occupies
// one position and ends its display line, which it belongs to.
inline constexpr char kRichLineBreak = '\v';

// ---------------------------------------------------------------- messages

enum : UINT {
    EM_FIRST = 0x0400,

    // Selection.
    EM_GETSEL = EM_FIRST + 0,       // wParam DWORD* start, lParam DWORD* end (either may be null);
                                    // returns start | end << 16 when both fit 16 bits, else -1
    EM_SETSEL = EM_FIRST + 1,       // wParam start, lParam end (start -1: collapse to the
                                    // current start; end -1: the end of the text)
    EM_EXGETSEL = EM_FIRST + 2,     // lParam CHARRANGE*
    EM_EXSETSEL = EM_FIRST + 3,     // lParam const CHARRANGE*; returns the selection end
    EM_GETSELTEXT = EM_FIRST + 4,   // wParam buffer size (0: large enough for the selection and
                                    // a terminator), lParam char*; returns characters copied
    EM_REPLACESEL = EM_FIRST + 5,   // lParam const char* plain text; the selection collapses after it

    // Lines.
    EM_GETLINECOUNT = EM_FIRST + 6,    // display lines, an empty last line included
    EM_LINEINDEX = EM_FIRST + 7,       // wParam line (-1: the selection's); first position, -1 if none
    EM_LINELENGTH = EM_FIRST + 8,      // wParam position; characters of its line without the break
    EM_LINEFROMCHAR = EM_FIRST + 9,    // wParam position (-1: the selection start); line
    EM_EXLINEFROMCHAR = EM_FIRST + 10, // lParam position; line
    EM_GETLINE = EM_FIRST + 11,        // wParam line, lParam char* whose first WORD holds its size;
                                       // copies the line without its break, unterminated; returns count
    EM_GETTEXTRANGE = EM_FIRST + 12,   // lParam TEXTRANGEA*; returns characters copied
    EM_POSFROMCHAR = EM_FIRST + 13,    // wParam POINT* (client coordinates of the character's
                                       // top-left), lParam position; returns 1, 0 when out of range
    EM_CHARFROMPOS = EM_FIRST + 14,    // lParam const POINT*; the nearest position

    // Formats.
    EM_GETCHARFORMAT = EM_FIRST + 15,  // wParam SCF_DEFAULT or SCF_SELECTION, lParam CHARFORMATA*;
                                       // returns the mask of fields that are the same throughout
    EM_SETCHARFORMAT = EM_FIRST + 16,  // wParam SCF_*, lParam const CHARFORMATA*; returns 1, 0 on error
    EM_GETPARAFORMAT = EM_FIRST + 17,  // lParam PARAFORMAT*; returns the uniform mask
    EM_SETPARAFORMAT = EM_FIRST + 18,  // lParam const PARAFORMAT*; the selected paragraphs

    // Streams.
    EM_STREAMIN = EM_FIRST + 19,   // wParam SF_*, lParam EDITSTREAM*; returns positions read
    EM_STREAMOUT = EM_FIRST + 20,  // wParam SF_*, lParam EDITSTREAM*; returns bytes written

    // Settings.
    EM_SETWRAP = EM_FIRST + 21,         // wParam WRAP_*; returns the previous setting
    EM_GETWRAP = EM_FIRST + 22,
    EM_SETEVENTMASK = EM_FIRST + 23,    // lParam ENM_ bits; returns the previous mask
    EM_GETEVENTMASK = EM_FIRST + 24,
    EM_SETBKGNDCOLOR = EM_FIRST + 25,   // lParam COLORREF; returns the previous colour
};

// ---------------------------------------------------------------- process clipboard

// WM_COPY and WM_CUT put the selection here as rich text and as plain text;
// WM_PASTE takes the rich text when there is one, else the plain text.
// Setting plain text drops the rich text.
ZOLAPI BOOL ZolClipboardSetText(const char* text);
// Copies at most size - 1 bytes and a terminator; returns the length of the
// whole clipboard text (so a null buffer asks for the size).
ZOLAPI DWORD ZolClipboardGetText(char* buffer, DWORD size);
ZOLAPI DWORD ZolClipboardGetRichText(char* buffer, DWORD size);
ZOLAPI void ZolClipboardClear();

// Registers RICHEDIT_CLASSA; the platform does it when it is loaded, calling
// it again does no harm.
ZOLAPI BOOL ZolRegisterRichEditClass();
