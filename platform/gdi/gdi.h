// Graphics device services as the system calls them: device contexts,
// bitmaps of one and 32 bits, brushes and pens, fonts and their metrics,
// text output, paths and their fills, pixels and the bitmap pictures that
// each module carries.
//
// These are our own stand-ins. fontconfig picks a font file for a logical
// font, FreeType reads its metrics and outlines; everything else (paths,
// fills, the pixel stores) is done here. All handles are small integers
// from the platform's handle tables, so a stale, forged or null handle is
// refused and never followed.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win/winapi.h"

// ---------------------------------------------------------------- handles

// Every graphics object handle is one of these opaque kinds; a bitmap, font,
// brush or pen converts to the generic object kind on its own, the way back
// needs a cast (as after SelectObject).
struct ZolDeviceContext;
struct ZolGdiObject {};
struct ZolGdiBitmap : ZolGdiObject {};
struct ZolGdiFont : ZolGdiObject {};
struct ZolGdiBrush : ZolGdiObject {};
struct ZolGdiPen : ZolGdiObject {};
typedef ZolDeviceContext* HDC;
typedef ZolGdiObject* HGDIOBJ;
typedef ZolGdiBitmap* HBITMAP;
typedef ZolGdiFont* HFONT;
typedef ZolGdiBrush* HBRUSH;
typedef ZolGdiPen* HPEN;

// ---------------------------------------------------------------- colours

// POINT, SIZE and RECT come from winapi.h; a RECT's right and bottom lie
// outside it.
// 0x00BBGGRR: red in the low byte.
typedef DWORD COLORREF;
inline constexpr COLORREF RGB(BYTE r, BYTE g, BYTE b) {
    return static_cast<COLORREF>(r) | (static_cast<COLORREF>(g) << 8) |
           (static_cast<COLORREF>(b) << 16);
}
inline constexpr BYTE GetRValue(COLORREF c) { return static_cast<BYTE>(c & 0xFF); }
inline constexpr BYTE GetGValue(COLORREF c) { return static_cast<BYTE>((c >> 8) & 0xFF); }
inline constexpr BYTE GetBValue(COLORREF c) { return static_cast<BYTE>((c >> 16) & 0xFF); }
inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFFu;

// ---------------------------------------------------------------- device contexts

// The screen: 32 bits a pixel, 96 pixels per inch. A null window (or any live
// window, which has no surface of its own here) gives a screen DC; release it
// with ReleaseDC. Drawing on a screen DC is accepted and shows nothing.
ZOLAPI HDC GetDC(HWND window);
ZOLAPI int ReleaseDC(HWND window, HDC dc);
// A memory DC starts with a one-pixel, one-bit bitmap selected, so a bitmap
// made compatible with a fresh memory DC is one bit deep. A null DC means
// the screen.
ZOLAPI HDC CreateCompatibleDC(HDC dc);
ZOLAPI BOOL DeleteDC(HDC dc);

enum : int {
    HORZRES = 1,     // width of the surface in pixels
    VERTRES = 2,     // height of the surface in pixels
    BITSPIXEL = 3,   // bits per pixel of the surface
    PLANES = 4,      // always 1
    LOGPIXELSX = 5,  // pixels per logical inch, across
    LOGPIXELSY = 6,  // pixels per logical inch, down
};
ZOLAPI int GetDeviceCaps(HDC dc, int index);

// ---------------------------------------------------------------- objects

enum : int {
    WHITE_BRUSH = 0,
    LTGRAY_BRUSH = 1,
    GRAY_BRUSH = 2,
    DKGRAY_BRUSH = 3,
    BLACK_BRUSH = 4,
    NULL_BRUSH = 5,
    WHITE_PEN = 6,
    BLACK_PEN = 7,
    NULL_PEN = 8,
    SYSTEM_FONT = 9,
    DEFAULT_GUI_FONT = 10,
};
// Stock objects live as long as the process; deleting one does nothing.
ZOLAPI HGDIOBJ GetStockObject(int which);

// Returns the object of the same kind that was selected before, null on
// failure. A bitmap can be selected into one memory DC at a time and into
// no screen DC.
ZOLAPI HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// An object still selected somewhere loses its handle at once and is freed
// when the last DC lets go of it.
ZOLAPI BOOL DeleteObject(HGDIOBJ object);

enum : UINT { OBJ_PEN = 1, OBJ_BRUSH = 2, OBJ_DC = 3, OBJ_MEMDC = 4, OBJ_FONT = 5, OBJ_BITMAP = 6 };
ZOLAPI HGDIOBJ GetCurrentObject(HDC dc, UINT type);
// OBJ_ kind of a live object or DC handle, 0 for anything else.
ZOLAPI DWORD GetObjectType(const void* handle);

struct BITMAP {
    LONG bmType;        // 0
    LONG bmWidth;
    LONG bmHeight;
    LONG bmWidthBytes;  // bytes of one row in the store (see ZolBitmapBits)
    WORD bmPlanes;      // 1
    WORD bmBitsPixel;   // 1 or 32
    void* bmBits;
};
struct LOGFONTA;
// Copies a bitmap's BITMAP or a font's LOGFONTA into `buffer`; with a null
// buffer returns the size needed. Returns the bytes copied, 0 on failure.
ZOLAPI int GetObjectA(HGDIOBJ object, int size, void* buffer);

// ---------------------------------------------------------------- bitmaps and pixels

// Of a screen DC: 32 bits a pixel. Of a memory DC: as deep as the bitmap it
// has selected. A zero width or height gives a one-pixel, one-bit bitmap;
// negative or huge sizes are refused. New bitmaps are black.
ZOLAPI HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);

// A direct view of a bitmap's store, valid until the bitmap is freed.
// 32 bits: one 32-bit word per pixel, 0x00RRGGBB (bytes blue, green, red, 0).
// 1 bit: bit 7 of a row's first byte is its leftmost pixel; 1 is white and
// 0 black. Rows are `stride` bytes apart, top row first.
struct ZolBitmapBits {
    void* bits;
    LONG width;
    LONG height;
    LONG stride;
    WORD bitsPerPixel;
};
ZOLAPI BOOL ZolGetBitmapBits(HBITMAP bitmap, ZolBitmapBits* out);

// Outside the selected bitmap (or without one) GetPixel answers CLR_INVALID.
// One-bit pixels read back exactly black (0) or white (0x00FFFFFF); a colour
// written to them becomes black or white by its brightness.
ZOLAPI COLORREF GetPixel(HDC dc, int x, int y);
// Returns the colour actually stored, CLR_INVALID when nothing was written.
ZOLAPI COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour);

ZOLAPI HBRUSH CreateSolidBrush(COLORREF colour);
enum : int { PS_SOLID = 0, PS_NULL = 5 };
// Width 0 or 1: the one-pixel pen. Wider pens draw bands of that width.
ZOLAPI HPEN CreatePen(int style, int width, COLORREF colour);
// Fills left..right-1, top..bottom-1 with the brush; does not use the
// selected brush.
ZOLAPI int FillRect(HDC dc, const RECT* rect, HBRUSH brush);

enum : DWORD { SRCCOPY = 1, BLACKNESS = 2, WHITENESS = 3 };
// Copies between bitmaps of any depth (to one bit by brightness), clipped to
// both. BLACKNESS and WHITENESS take no source.
ZOLAPI BOOL BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int sourceX,
                   int sourceY, DWORD rop);

// ---------------------------------------------------------------- text state

enum : UINT {
    TA_NOUPDATECP = 0,
    TA_UPDATECP = 1,
    TA_LEFT = 0,
    TA_RIGHT = 2,
    TA_CENTER = 6,
    TA_TOP = 0,
    TA_BOTTOM = 8,
    TA_BASELINE = 24,
};
inline constexpr UINT GDI_ERROR = 0xFFFFFFFFu;
// Returns the previous alignment, GDI_ERROR on failure. Default 0: the
// character cell's top-left at the point.
ZOLAPI UINT SetTextAlign(HDC dc, UINT align);
ZOLAPI UINT GetTextAlign(HDC dc);
// Default black text on a white, opaque background.
ZOLAPI COLORREF SetTextColor(HDC dc, COLORREF colour);
ZOLAPI COLORREF GetTextColor(HDC dc);
ZOLAPI COLORREF SetBkColor(HDC dc, COLORREF colour);
ZOLAPI COLORREF GetBkColor(HDC dc);
enum : int { TRANSPARENT = 1, OPAQUE = 2 };
// Returns the previous mode, 0 on failure.
ZOLAPI int SetBkMode(HDC dc, int mode);
ZOLAPI int GetBkMode(HDC dc);

// ---------------------------------------------------------------- fonts

inline constexpr int LF_FACESIZE = 32;

// The logical font as the system stores it: 60 bytes, no gaps.
struct LOGFONTA {
    LONG lfHeight;  // < 0: character height in pixels; > 0: cell height; 0: default
    LONG lfWidth;   // average character width; 0 keeps the face's proportions
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;  // 0 default, 400 normal, 700 bold
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    char lfFaceName[LF_FACESIZE];  // need not be terminated when all 32 bytes are used
};
static_assert(sizeof(LOGFONTA) == 60, "LOGFONTA is stored in records");

enum : LONG { FW_DONTCARE = 0, FW_NORMAL = 400, FW_BOLD = 700 };
// Character sets: the code page a font's single-byte characters are read in.
enum : BYTE {
    ANSI_CHARSET = 0,          // Windows-1252
    DEFAULT_CHARSET = 1,       // as ANSI
    SYMBOL_CHARSET = 2,        // the face's symbol map
    MAC_CHARSET = 77,          // Mac Roman
    GREEK_CHARSET = 161,       // Windows-1253
    TURKISH_CHARSET = 162,     // Windows-1254
    VIETNAMESE_CHARSET = 163,  // Windows-1258
    HEBREW_CHARSET = 177,      // Windows-1255
    ARABIC_CHARSET = 178,      // Windows-1256
    BALTIC_CHARSET = 186,      // Windows-1257
    RUSSIAN_CHARSET = 204,     // Windows-1251
    THAI_CHARSET = 222,        // Windows-874
    EASTEUROPE_CHARSET = 238,  // Windows-1250
    OEM_CHARSET = 255,         // code page 437
};
// Any other character set reads its bytes as ANSI.
enum : BYTE {
    DEFAULT_PITCH = 0,
    FIXED_PITCH = 1,
    VARIABLE_PITCH = 2,
    FF_DONTCARE = 0x00,
    FF_ROMAN = 0x10,
    FF_SWISS = 0x20,
    FF_MODERN = 0x30,
    FF_SCRIPT = 0x40,
    FF_DECORATIVE = 0x50,
};
enum : BYTE { DEFAULT_QUALITY = 0, DRAFT_QUALITY = 1, PROOF_QUALITY = 2 };

// The face name picks the font file through fontconfig, with the weight and
// the slant ("Arial" is Liberation Sans); a face that is not installed falls
// back to the closest match, helped by the pitch and family. Heights beyond
// 16384 pixels are clamped; escapement and orientation are not supported
// and ignored.
ZOLAPI HFONT CreateFontIndirectA(const LOGFONTA* font);
ZOLAPI HFONT CreateFontA(int height, int width, int escapement, int orientation, int weight,
                         DWORD italic, DWORD underline, DWORD strikeOut, DWORD charSet,
                         DWORD outPrecision, DWORD clipPrecision, DWORD quality,
                         DWORD pitchAndFamily, const char* faceName);

struct TEXTMETRICA {
    LONG tmHeight;           // cell height: ascent + descent
    LONG tmAscent;           // top of the cell to the baseline
    LONG tmDescent;          // baseline to the bottom of the cell
    LONG tmInternalLeading;  // cell height less the character height
    LONG tmExternalLeading;  // extra space the face asks for between lines
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;     // the widest advance of the face
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    BYTE tmFirstChar;
    BYTE tmLastChar;
    BYTE tmDefaultChar;
    BYTE tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
};
ZOLAPI BOOL GetTextMetricsA(HDC dc, TEXTMETRICA* metrics);
// Width: the sum of the characters' whole-pixel advances; height: the cell.
ZOLAPI BOOL GetTextExtentPointA(HDC dc, const char* text, int count, SIZE* size);
ZOLAPI BOOL GetTextExtentPoint32A(HDC dc, const char* text, int count, SIZE* size);
// Family name of the face actually used; returns its length.
ZOLAPI int GetTextFaceA(HDC dc, int size, char* name);

// ---------------------------------------------------------------- font families

// Font types an enumeration reports.
enum : DWORD { RASTER_FONTTYPE = 0x1, DEVICE_FONTTYPE = 0x2, TRUETYPE_FONTTYPE = 0x4 };
// Further kinds of outline font, in NEWTEXTMETRICA's flags.
enum : DWORD { NTM_PS_OPENTYPE = 0x20000, NTM_TT_OPENTYPE = 0x40000, NTM_TYPE1 = 0x100000, NTM_DSIG = 0x200000 };

// One face in one character set. elfScript names the character set as a
// user reads it ("Western", "Cyrillic", ...).
struct ENUMLOGFONTEXA {
    LOGFONTA elfLogFont;
    char elfFullName[64];
    char elfStyle[32];
    char elfScript[32];
};
struct NEWTEXTMETRICA {
    TEXTMETRICA tm;
    DWORD ntmFlags;
};
// Returns 0 to stop the enumeration.
typedef int (*FONTENUMPROCA)(const ENUMLOGFONTEXA* font, const NEWTEXTMETRICA* metrics, DWORD fontType,
                             LPARAM data);

// Calls `proc` for every installed family (an empty face name in `filter`)
// or for the one named, once per character set it can show (DEFAULT_CHARSET
// in the filter) or for the one asked for. Families come from fontconfig;
// the classic names that fontconfig maps onto metric-compatible faces
// ("Arial", "Times New Roman", "Courier New") are listed too when such a
// face is installed. Returns the last value `proc` returned, 0 when it was
// never called.
ZOLAPI int EnumFontFamiliesExA(HDC dc, const LOGFONTA* filter, FONTENUMPROCA proc, LPARAM data, DWORD flags);

// What a font resolved to, for diagnostics and tests.
struct ZolFontInfo {
    char file[1024];     // the font file
    int faceIndex;       // face within the file
    char family[128];    // its family name
    double pixelsPerEm;  // the em size the font is drawn at
    double scaleX;       // pixels per font unit, across (with the width)
    double scaleY;       // pixels per font unit, down
    BOOL syntheticBold;  // emboldened because the face has no bold file
    BOOL syntheticItalic;
};
ZOLAPI BOOL ZolGetFontInfo(HFONT font, ZolFontInfo* info);

// Draws `count` characters in the selected font and the text colour,
// antialiased on 32-bit bitmaps and solid on one-bit bitmaps, each character
// advancing by its whole-pixel width. Inside a path bracket it adds the
// characters' outlines instead.
ZOLAPI BOOL TextOutA(HDC dc, int x, int y, const char* text, int count);

// ---------------------------------------------------------------- paths

enum : BYTE { PT_CLOSEFIGURE = 1, PT_LINETO = 2, PT_BEZIERTO = 4, PT_MOVETO = 6 };
enum : int { ALTERNATE = 1, WINDING = 2 };

// A path holds integer device points, y growing downwards. A MoveToEx
// starts a figure only when something is drawn from it, so a text call
// that adds nothing leaves the path empty.
ZOLAPI BOOL BeginPath(HDC dc);
ZOLAPI BOOL EndPath(HDC dc);
ZOLAPI BOOL AbortPath(HDC dc);
ZOLAPI BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);
ZOLAPI BOOL LineTo(HDC dc, int x, int y);
// `count` must be a multiple of 3: two control points and an end point each.
ZOLAPI BOOL PolyBezierTo(HDC dc, const POINT* points, DWORD count);
ZOLAPI BOOL CloseFigure(HDC dc);
ZOLAPI BOOL PolyDraw(HDC dc, const POINT* points, const BYTE* types, int count);
ZOLAPI BOOL GetCurrentPositionEx(HDC dc, POINT* position);
// After EndPath: with count 0 the number of points; else copies them when
// count is large enough and returns the number copied; -1 on failure.
ZOLAPI int GetPath(HDC dc, POINT* points, BYTE* types, int count);
// Fill with the selected brush in the fill mode, a pixel being inside when
// its centre is, then (for the stroke calls) draw the figures with the
// selected pen. Each consumes the path.
ZOLAPI BOOL StrokeAndFillPath(HDC dc);
ZOLAPI BOOL FillPath(HDC dc);
ZOLAPI BOOL StrokePath(HDC dc);
ZOLAPI int SetPolyFillMode(HDC dc, int mode);
ZOLAPI int GetPolyFillMode(HDC dc);

// The platform's version number; its top bit is clear, so PolyDraw exists.
ZOLAPI DWORD GetVersion();

// ---------------------------------------------------------------- pictures

// Decodes the PNG stored as the module's bitmap resource `id` into a new
// 32-bit bitmap (transparent parts over white). Null when there is none.
ZOLAPI HBITMAP LoadBitmapA(HINSTANCE module, const char* id);
// The numeric id as the name argument, the way resource ids are passed.
inline const char* MAKEINTRESOURCEA(int id) {
    return reinterpret_cast<const char*>(static_cast<uintptr_t>(static_cast<WORD>(id)));
}
// The same from a numeric id, and as LoadBitmapA with the number itself.
ZOLAPI HBITMAP ZolLoadBitmap(HINSTANCE module, DWORD id);
inline HBITMAP LoadBitmapA(HINSTANCE module, int id) {
    return ZolLoadBitmap(module, static_cast<DWORD>(id));
}

// Writes a bitmap as an 8-bit RGB PNG file (one-bit bitmaps as black and
// white). The path is taken as it is.
ZOLAPI BOOL ZolSaveBitmapPng(HBITMAP bitmap, const char* path);

// ---------------------------------------------------------------- accounting

// Graphics objects and DCs alive, stock objects included: those with a
// handle and those deleted but still selected somewhere. The stock objects
// exist once this has been called, so handle counts taken after it compare.
ZOLAPI DWORD ZolGdiLiveObjects();
