// Logical fonts resolved to faces and sizes: fontconfig picks the file,
// FreeType reads its tables and outlines, glibc's iconv gives the code pages.
//
// Outlines are kept in font units and scaled here in floating point, so a
// size costs nothing to set up and every size of a face shares one outline
// cache. Glyphs are not hinted: paths and fills at any oversampling then
// agree with the face's true shapes.
#include <fontconfig/fontconfig.h>
#include <iconv.h>
#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <stdexcept>
#include <unordered_map>

#include "platform/gdi/internal.h"

#include FT_ADVANCES_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

namespace zolgdi {

struct FaceEntry {
    FT_Face face = nullptr;
    std::string file;
    int index = 0;
    std::string family;
    int fcWeight = FC_WEIGHT_REGULAR;
    int fcSlant = FC_SLANT_ROMAN;
    int weightClass = 400;
    int upem = 2048;
    int winAscent = 0, winDescent = 0;
    int hheaAscender = 0, hheaDescender = 0, lineGap = 0;
    int avgWidth = 0, maxAdvance = 0;
    int underlinePosition = 0, underlineThickness = 0;
    int strikePosition = 0, strikeSize = 0;
    bool fixedPitch = false;
    bool symbolMap = false;
    std::unordered_map<uint64_t, Outline> outlines;
    std::vector<int32_t> advances;  // font units, -1 not read yet
    std::map<std::string, std::array<uint32_t, 256>> glyphMaps;  // by code page
};

namespace {

constexpr LONG kMaxHeight = 16384;
constexpr LONG kDefaultCellHeight = 16;
constexpr size_t kRealizedCacheLimit = 4096;
// Slant of a synthetic italic: x moves by this much per unit of height.
constexpr double kSyntheticShear = 0.21255656167;  // tan 12 degrees

long roundHalfUp(double v) { return static_cast<long>(std::floor(v + 0.5)); }

// The process's current configuration. fontconfig frees what its start-up
// allocated only in FcFini, so that runs when the library goes away.
FcConfig* fontconfig() {
    static FcConfig* config = [] {
        if (!FcInit()) return static_cast<FcConfig*>(nullptr);
        std::atexit([] { FcFini(); });
        return FcConfigGetCurrent();
    }();
    return config;
}

// ---------------------------------------------------------------- code pages

const char* codePageName(BYTE charset) {
    switch (charset) {
    case MAC_CHARSET: return "MACINTOSH";
    case GREEK_CHARSET: return "CP1253";
    case TURKISH_CHARSET: return "CP1254";
    case VIETNAMESE_CHARSET: return "CP1258";
    case HEBREW_CHARSET: return "CP1255";
    case ARABIC_CHARSET: return "CP1256";
    case BALTIC_CHARSET: return "CP1257";
    case RUSSIAN_CHARSET: return "CP1251";
    case THAI_CHARSET: return "CP874";
    case EASTEUROPE_CHARSET: return "CP1250";
    case OEM_CHARSET: return "CP437";
    default: return "CP1252";  // ANSI, DEFAULT, SYMBOL's fallback and every unknown set
    }
}

// Unicode of every byte; a byte the code page leaves undefined keeps its own
// value, which no face draws, so it shows as the missing glyph.
const std::array<uint32_t, 256>& codePage(const char* name) {
    static std::map<std::string, std::array<uint32_t, 256>> pages;
    auto it = pages.find(name);
    if (it != pages.end()) return it->second;
    std::array<uint32_t, 256> table;
    for (int b = 0; b < 256; ++b) table[b] = static_cast<uint32_t>(b);
    iconv_t cd = iconv_open("UTF-32LE", name);
    if (cd != reinterpret_cast<iconv_t>(-1)) {
        for (int b = 0; b < 256; ++b) {
            char in = static_cast<char>(b);
            unsigned char out[16] = {};
            char* ip = &in;
            char* op = reinterpret_cast<char*>(out);
            size_t il = 1, ol = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            // Some code pages hold a character back in case a combining mark
            // follows; the flush call hands it over.
            if (iconv(cd, &ip, &il, &op, &ol) != static_cast<size_t>(-1) &&
                iconv(cd, nullptr, nullptr, &op, &ol) != static_cast<size_t>(-1) && sizeof out - ol >= 4) {
                table[b] = out[0] | (out[1] << 8) | (out[2] << 16) | (uint32_t(out[3]) << 24);
            }
        }
        iconv_close(cd);
    }
    return pages.emplace(name, table).first->second;
}

void appendUtf8(std::string& s, uint32_t c) {
    if (c < 0x80) {
        s += static_cast<char>(c);
    } else if (c < 0x800) {
        s += static_cast<char>(0xC0 | (c >> 6));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        s += static_cast<char>(0xE0 | (c >> 12));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (c >> 18));
        s += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// ---------------------------------------------------------------- faces

struct Match {
    std::string file;
    int index = 0;
    std::string family;
    int weight = FC_WEIGHT_REGULAR;
    int slant = FC_SLANT_ROMAN;
};

const char* genericFamily(BYTE pitchAndFamily) {
    switch (pitchAndFamily & 0xF0) {
    case FF_ROMAN: return "serif";
    case FF_SWISS: return "sans-serif";
    case FF_MODERN: return "monospace";
    case FF_SCRIPT: return "cursive";
    case FF_DECORATIVE: return "fantasy";
    default: return (pitchAndFamily & 0x03) == FIXED_PITCH ? "monospace" : nullptr;
    }
}

bool fcMatch(const std::string& face, const char* generic, int weight, bool italic, Match& out) {
    FcConfig* config = fontconfig();
    if (!config) return false;
    FcPattern* p = FcPatternCreate();
    if (!p) return false;
    if (!face.empty()) FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(face.c_str()));
    if (generic) FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>(generic));
    if (face.empty() && !generic)
        FcPatternAddString(p, FC_FAMILY, reinterpret_cast<const FcChar8*>("sans-serif"));
    FcPatternAddInteger(p, FC_WEIGHT, FcWeightFromOpenType(weight));
    FcPatternAddInteger(p, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(p, FC_SCALABLE, FcTrue);
    FcPatternAddBool(p, FC_OUTLINE, FcTrue);
    FcConfigSubstitute(config, p, FcMatchPattern);
    FcDefaultSubstitute(p);
    FcResult result = FcResultNoMatch;
    FcPattern* m = FcFontMatch(config, p, &result);
    FcPatternDestroy(p);
    if (!m) return false;
    FcChar8* file = nullptr;
    FcChar8* family = nullptr;
    bool ok = FcPatternGetString(m, FC_FILE, 0, &file) == FcResultMatch && file;
    if (ok) {
        out.file = reinterpret_cast<const char*>(file);
        int v = 0;
        out.index = FcPatternGetInteger(m, FC_INDEX, 0, &v) == FcResultMatch ? v : 0;
        out.weight = FcPatternGetInteger(m, FC_WEIGHT, 0, &v) == FcResultMatch ? v : FC_WEIGHT_REGULAR;
        out.slant = FcPatternGetInteger(m, FC_SLANT, 0, &v) == FcResultMatch ? v : FC_SLANT_ROMAN;
        out.family = FcPatternGetString(m, FC_FAMILY, 0, &family) == FcResultMatch && family
                         ? reinterpret_cast<const char*>(family)
                         : "";
    }
    FcPatternDestroy(m);
    return ok;
}

int unitsOr(int v, int fallback) { return v != 0 ? v : fallback; }

FaceEntry* loadFace(const Match& m) {
    static std::map<std::pair<std::string, int>, std::unique_ptr<FaceEntry>> faces;
    auto key = std::make_pair(m.file, m.index);
    auto it = faces.find(key);
    if (it != faces.end()) return it->second.get();
    FT_Library lib = freetype();
    if (!lib) return nullptr;
    FT_Face face = nullptr;
    if (FT_New_Face(lib, m.file.c_str(), m.index, &face) != 0) return nullptr;
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) {
        FT_Done_Face(face);
        return nullptr;
    }
    auto e = std::make_unique<FaceEntry>();
    e->face = face;
    e->file = m.file;
    e->index = m.index;
    e->family = m.family.empty() && face->family_name ? face->family_name : m.family;
    e->fcWeight = m.weight;
    e->fcSlant = m.slant;
    e->upem = face->units_per_EM;
    e->hheaAscender = face->ascender;
    e->hheaDescender = face->descender;
    e->maxAdvance = face->max_advance_width;
    e->underlinePosition = face->underline_position;
    e->underlineThickness = unitsOr(face->underline_thickness, e->upem / 20);
    e->fixedPitch = FT_IS_FIXED_WIDTH(face);
    if (auto* hhea = static_cast<TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA))) {
        e->lineGap = hhea->Line_Gap;
    } else {
        e->lineGap = std::max(0, face->height - (face->ascender - face->descender));
    }
    auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    if (os2 && os2->version != 0xFFFF) {
        e->winAscent = os2->usWinAscent;
        e->winDescent = os2->usWinDescent;
        e->avgWidth = os2->xAvgCharWidth;
        e->strikePosition = os2->yStrikeoutPosition;
        e->strikeSize = os2->yStrikeoutSize;
        e->weightClass = os2->usWeightClass;
    }
    e->winAscent = unitsOr(e->winAscent, unitsOr(e->hheaAscender, e->upem * 4 / 5));
    e->winDescent = unitsOr(e->winDescent, std::abs(unitsOr(e->hheaDescender, -e->upem / 5)));
    e->avgWidth = unitsOr(e->avgWidth, e->upem / 2);
    e->strikePosition = unitsOr(e->strikePosition, e->upem / 4);
    e->strikeSize = unitsOr(e->strikeSize, e->underlineThickness);
    e->maxAdvance = unitsOr(e->maxAdvance, e->upem);
    for (int i = 0; i < face->num_charmaps; ++i)
        if (face->charmaps[i]->encoding == FT_ENCODING_MS_SYMBOL) e->symbolMap = true;
    e->advances.assign(static_cast<size_t>(std::max<FT_Long>(face->num_glyphs, 1)), -1);
    return faces.emplace(key, std::move(e)).first->second.get();
}

const Match* matchCached(const std::string& face, BYTE pitchAndFamily, int weight, bool italic) {
    static std::map<std::string, Match> matches;
    std::string key = face;
    key += '\n';
    key += std::to_string(pitchAndFamily) + ',' + std::to_string(weight) + ',' + (italic ? '1' : '0');
    auto it = matches.find(key);
    if (it != matches.end()) return &it->second;
    Match m;
    if (!fcMatch(face, genericFamily(pitchAndFamily), weight, italic, m)) return nullptr;
    return &matches.emplace(key, m).first->second;
}

// The face for the request, falling back to the default sans-serif face
// when the match cannot be loaded.
FaceEntry* findFace(const std::string& face, BYTE pitchAndFamily, int weight, bool italic) {
    if (const Match* m = matchCached(face, pitchAndFamily, weight, italic))
        if (FaceEntry* e = loadFace(*m)) return e;
    if (const Match* m = matchCached("", FF_SWISS, weight, italic))
        if (FaceEntry* e = loadFace(*m)) return e;
    return nullptr;
}

const std::array<uint32_t, 256>& glyphMap(FaceEntry& e, BYTE charset) {
    const char* page = codePageName(charset);
    std::string key = charset == SYMBOL_CHARSET ? "symbol" : page;
    auto it = e.glyphMaps.find(key);
    if (it != e.glyphMaps.end()) return it->second;
    std::array<uint32_t, 256> map{};
    const auto& unicode = codePage(page);
    FT_Face f = e.face;
    if (charset == SYMBOL_CHARSET && e.symbolMap && FT_Select_Charmap(f, FT_ENCODING_MS_SYMBOL) == 0) {
        // Symbol faces list their glyphs at U+F000 + byte, some at the byte.
        for (int b = 0; b < 256; ++b) {
            map[b] = FT_Get_Char_Index(f, 0xF000u + b);
            if (!map[b]) map[b] = FT_Get_Char_Index(f, static_cast<FT_ULong>(b));
        }
        FT_Select_Charmap(f, FT_ENCODING_UNICODE);
    } else {
        FT_Select_Charmap(f, FT_ENCODING_UNICODE);
        for (int b = 0; b < 256; ++b) {
            if (charset == SYMBOL_CHARSET) map[b] = FT_Get_Char_Index(f, 0xF000u + b);
            if (!map[b]) map[b] = FT_Get_Char_Index(f, unicode[b]);
        }
    }
    return e.glyphMaps.emplace(key, map).first->second;
}

int32_t advanceUnits(FaceEntry& e, uint32_t glyph) {
    if (glyph >= e.advances.size()) return 0;
    int32_t& a = e.advances[glyph];
    if (a < 0) {
        FT_Fixed v = 0;
        a = FT_Get_Advance(e.face, glyph, FT_LOAD_NO_SCALE, &v) == 0 ? static_cast<int32_t>(v) : 0;
    }
    return a;
}

std::string faceNameOf(const LOGFONTA& lf) {
    size_t n = strnlen(lf.lfFaceName, LF_FACESIZE);
    const auto& page = codePage(codePageName(lf.lfCharSet == SYMBOL_CHARSET ? BYTE(ANSI_CHARSET) : lf.lfCharSet));
    std::string s;
    for (size_t i = 0; i < n; ++i) appendUtf8(s, page[static_cast<unsigned char>(lf.lfFaceName[i])]);
    return s;
}

std::shared_ptr<Realized> build(const LOGFONTA& lf) {
    int weight = lf.lfWeight <= 0 ? FW_NORMAL : std::min<LONG>(lf.lfWeight, 1000);
    bool italic = lf.lfItalic != 0;
    FaceEntry* e = findFace(faceNameOf(lf), lf.lfPitchAndFamily, weight, italic);
    if (!e) return nullptr;

    auto r = std::make_shared<Realized>();
    r->face = e;
    r->family = e->family;
    r->file = e->file;
    r->faceIndex = e->index;
    if (weight >= 600 && e->fcWeight < FC_WEIGHT_DEMIBOLD) r->embolden = std::max(1, e->upem / 24);
    if (italic && e->fcSlant == FC_SLANT_ROMAN) r->shear = kSyntheticShear;

    LONG h = lf.lfHeight;
    if (h == 0) h = kDefaultCellHeight;
    const double cellUnits = e->winAscent + e->winDescent;
    TEXTMETRICA& tm = r->tm;
    if (h > 0) {
        r->sy = h / cellUnits;
        r->ppem = r->sy * e->upem;
        tm.tmAscent = std::min<LONG>(h, roundHalfUp(e->winAscent * r->sy));
        tm.tmDescent = h - tm.tmAscent;
    } else {
        r->sy = static_cast<double>(-h) / e->upem;
        r->ppem = -h;
        tm.tmAscent = roundHalfUp(e->winAscent * r->sy);
        tm.tmDescent = roundHalfUp(e->winDescent * r->sy);
    }
    LONG width = std::abs(lf.lfWidth);
    r->sx = width ? static_cast<double>(width) / e->avgWidth : r->sy;
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = std::max<LONG>(0, tm.tmHeight - roundHalfUp(r->ppem));
    tm.tmExternalLeading = std::max<LONG>(
        0, roundHalfUp(r->sy * ((e->hheaAscender - e->hheaDescender + e->lineGap) - cellUnits)));
    tm.tmAveCharWidth = roundHalfUp(e->avgWidth * r->sx);
    tm.tmMaxCharWidth = roundHalfUp((e->maxAdvance + r->embolden) * r->sx);
    tm.tmWeight = r->embolden ? weight : e->weightClass;
    tm.tmOverhang = 0;
    tm.tmDigitizedAspectX = tm.tmDigitizedAspectY = 96;
    tm.tmFirstChar = 0x20;
    tm.tmLastChar = 0xFF;
    tm.tmDefaultChar = 0x1F;
    tm.tmBreakChar = 0x20;
    tm.tmItalic = italic ? 1 : 0;
    tm.tmUnderlined = lf.lfUnderline ? 1 : 0;
    tm.tmStruckOut = lf.lfStrikeOut ? 1 : 0;
    tm.tmPitchAndFamily = static_cast<BYTE>((lf.lfPitchAndFamily & 0xF0) |
                                            (e->fixedPitch ? FIXED_PITCH : VARIABLE_PITCH));
    tm.tmCharSet = lf.lfCharSet;

    r->underline = lf.lfUnderline != 0;
    r->strikeOut = lf.lfStrikeOut != 0;
    r->underlineThickness = std::max(1L, roundHalfUp(e->underlineThickness * r->sy));
    r->underlineTop = roundHalfUp(-e->underlinePosition * r->sy - r->underlineThickness / 2.0);
    r->strikeThickness = std::max(1L, roundHalfUp(e->strikeSize * r->sy));
    r->strikeTop = roundHalfUp(-e->strikePosition * r->sy);

    r->glyph = glyphMap(*e, lf.lfCharSet);
    for (int b = 0; b < 256; ++b) {
        int32_t units = advanceUnits(*e, r->glyph[b]) + r->embolden;
        r->advance[b] = static_cast<int32_t>(roundHalfUp(units * r->sx));
    }
    return r;
}

struct DecomposeState {
    Outline* out;
};

int onMove(const FT_Vector* to, void* user) {
    static_cast<DecomposeState*>(user)->out->push_back(
        {Segment::Move, {int32_t(to->x), 0, 0}, {int32_t(to->y), 0, 0}});
    return 0;
}
int onLine(const FT_Vector* to, void* user) {
    static_cast<DecomposeState*>(user)->out->push_back(
        {Segment::Line, {int32_t(to->x), 0, 0}, {int32_t(to->y), 0, 0}});
    return 0;
}
int onConic(const FT_Vector* c, const FT_Vector* to, void* user) {
    static_cast<DecomposeState*>(user)->out->push_back(
        {Segment::Conic, {int32_t(c->x), int32_t(to->x), 0}, {int32_t(c->y), int32_t(to->y), 0}});
    return 0;
}
int onCubic(const FT_Vector* c1, const FT_Vector* c2, const FT_Vector* to, void* user) {
    static_cast<DecomposeState*>(user)->out->push_back(
        {Segment::Cubic,
         {int32_t(c1->x), int32_t(c2->x), int32_t(to->x)},
         {int32_t(c1->y), int32_t(c2->y), int32_t(to->y)}});
    return 0;
}

}  // namespace

FT_Library freetype() {
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        return FT_Init_FreeType(&l) == 0 ? l : nullptr;
    }();
    return lib;
}

std::shared_ptr<const Realized> realize(const LOGFONTA& lf) {
    static std::unordered_map<std::string, std::shared_ptr<const Realized>> cache;
    LOGFONTA n = lf;
    n.lfHeight = std::clamp<LONG>(n.lfHeight, -kMaxHeight, kMaxHeight);
    n.lfWidth = std::clamp<LONG>(n.lfWidth, -kMaxHeight, kMaxHeight);
    // Only the name decides, not what follows its end.
    size_t len = strnlen(n.lfFaceName, LF_FACESIZE);
    std::memset(n.lfFaceName + len, 0, LF_FACESIZE - len);
    // Fields the stand-in does not use do not split the cache.
    n.lfEscapement = n.lfOrientation = 0;
    n.lfOutPrecision = n.lfClipPrecision = n.lfQuality = 0;
    std::string key(reinterpret_cast<const char*>(&n), sizeof n);
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    std::shared_ptr<const Realized> r = build(n);
    if (!r) return nullptr;
    if (cache.size() >= kRealizedCacheLimit) cache.clear();
    cache.emplace(key, r);
    return r;
}

const Outline& glyphOutline(const Realized& r, uint32_t glyph) {
    FaceEntry& e = *r.face;
    uint64_t key = glyph | (uint64_t(uint32_t(r.embolden)) << 32);
    auto it = e.outlines.find(key);
    if (it != e.outlines.end()) return it->second;
    Outline out;
    FT_Int32 flags = FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP | FT_LOAD_IGNORE_TRANSFORM;
    if (FT_Load_Glyph(e.face, glyph, flags) == 0 && e.face->glyph->format == FT_GLYPH_FORMAT_OUTLINE) {
        FT_Outline& o = e.face->glyph->outline;
        if (r.embolden) FT_Outline_EmboldenXY(&o, r.embolden, r.embolden);
        FT_Outline_Funcs funcs{};
        funcs.move_to = onMove;
        funcs.line_to = onLine;
        funcs.conic_to = onConic;
        funcs.cubic_to = onCubic;
        DecomposeState st{&out};
        if (FT_Outline_Decompose(&o, &funcs, &st) != 0) out.clear();
    }
    return e.outlines.emplace(key, std::move(out)).first->second;
}

void emitText(const Realized& r, const unsigned char* text, int count, double left,
              double baseline, OutlineSink& sink) {
    double pen = left;
    const double sx = r.sx, sy = r.sy, shear = r.shear;
    auto X = [&](double x, double y) { return pen + sx * (x + shear * y); };
    auto Y = [&](double y) { return baseline - sy * y; };
    for (int i = 0; i < count; ++i) {
        const Outline& o = glyphOutline(r, r.glyph[text[i]]);
        bool open = false;
        for (const Segment& s : o) {
            switch (s.op) {
            case Segment::Move:
                if (open) sink.closeFigure();
                sink.moveTo(X(s.x[0], s.y[0]), Y(s.y[0]));
                open = true;
                break;
            case Segment::Line:
                sink.lineTo(X(s.x[0], s.y[0]), Y(s.y[0]));
                break;
            case Segment::Conic:
                sink.conicTo(X(s.x[0], s.y[0]), Y(s.y[0]), X(s.x[1], s.y[1]), Y(s.y[1]));
                break;
            case Segment::Cubic:
                sink.cubicTo(X(s.x[0], s.y[0]), Y(s.y[0]), X(s.x[1], s.y[1]), Y(s.y[1]),
                             X(s.x[2], s.y[2]), Y(s.y[2]));
                break;
            }
        }
        if (open) sink.closeFigure();
        sink.endGlyph();
        pen += r.advance[text[i]];
    }
    auto band = [&](int top, int thickness) {
        double y0 = baseline + top, y1 = y0 + thickness;
        sink.moveTo(left, y0);
        sink.lineTo(pen, y0);
        sink.lineTo(pen, y1);
        sink.lineTo(left, y1);
        sink.lineTo(left, y0);
        sink.closeFigure();
        sink.endGlyph();
    };
    if (pen > left) {
        if (r.underline) band(r.underlineTop, r.underlineThickness);
        if (r.strikeOut) band(r.strikeTop, r.strikeThickness);
    }
}

int textWidth(const Realized& r, const unsigned char* text, int count) {
    int64_t w = 0;
    for (int i = 0; i < count; ++i) w += r.advance[text[i]];
    return static_cast<int>(std::clamp<int64_t>(w, INT32_MIN, INT32_MAX));
}

}  // namespace zolgdi

// ---------------------------------------------------------------- families

namespace zolgdi {
namespace {

struct ScriptRow {
    BYTE charset;
    const char* script;
    // Characters a face must have to show the character set; fontconfig
    // tells which it covers.
    std::vector<FcChar32> needs;
};

const std::vector<ScriptRow>& scriptRows() {
    static const std::vector<ScriptRow> rows = {
        {ANSI_CHARSET, "Western", {0x41, 0x61, 0xE9, 0xFC}},
        {EASTEUROPE_CHARSET, "Central European", {0x0141, 0x0151, 0x010D}},
        {RUSSIAN_CHARSET, "Cyrillic", {0x0410, 0x044F, 0x0401}},
        {GREEK_CHARSET, "Greek", {0x0391, 0x03C9}},
        {TURKISH_CHARSET, "Turkish", {0x011F, 0x0130, 0x015F}},
        {HEBREW_CHARSET, "Hebrew", {0x05D0, 0x05EA}},
        {ARABIC_CHARSET, "Arabic", {0x0627, 0x064A}},
        {BALTIC_CHARSET, "Baltic", {0x0100, 0x0173, 0x0117}},
        {VIETNAMESE_CHARSET, "Vietnamese", {0x01A0, 0x01AF, 0x20AB}},
        {THAI_CHARSET, "Thai", {0x0E01, 0x0E48}},
    };
    return rows;
}

// The names users know from other systems, shown when fontconfig maps them
// onto an installed face of the same metrics.
constexpr const char* kClassicFamilies[] = {"Arial", "Times New Roman", "Courier New"};

struct FamilyFace {
    std::string family;
    std::string format;  // fontconfig's font format: TrueType, CFF, Type 1, PCF, ...
    bool outline = true;
    bool fixedPitch = false;
    FcCharSet* charset = nullptr;  // owned by the pattern it came from
};

// Whether a family is one of the classic names standing in for `face`.
bool classicStandsFor(const char* classic, FcPattern* matched) {
    FcChar8* family = nullptr;
    if (FcPatternGetString(matched, FC_FAMILY, 0, &family) != FcResultMatch) return false;
    // fontconfig's metric aliases resolve these to Liberation faces.
    const std::string f = reinterpret_cast<const char*>(family);
    return f == classic || f.rfind("Liberation", 0) == 0;
}

void report(const FamilyFace& face, const LOGFONTA* filter, FONTENUMPROCA proc, LPARAM data, int& last,
            bool& go) {
    DWORD type = 0;
    DWORD flags = 0;
    if (!face.outline || face.format == "PCF" || face.format == "BDF") type = RASTER_FONTTYPE;
    else if (face.format == "TrueType") type = TRUETYPE_FONTTYPE;
    else if (face.format == "CFF") type = TRUETYPE_FONTTYPE, flags = NTM_PS_OPENTYPE;
    else if (face.format == "Type 1") flags = NTM_TYPE1;
    for (const ScriptRow& row : scriptRows()) {
        if (!go) return;
        if (filter->lfCharSet != DEFAULT_CHARSET && filter->lfCharSet != row.charset) continue;
        bool covered = face.charset != nullptr;
        for (FcChar32 c : row.needs)
            if (covered && !FcCharSetHasChar(face.charset, c)) covered = false;
        if (!covered) continue;
        ENUMLOGFONTEXA e;
        std::memset(&e, 0, sizeof e);
        e.elfLogFont.lfWeight = FW_NORMAL;
        e.elfLogFont.lfCharSet = row.charset;
        e.elfLogFont.lfPitchAndFamily = face.fixedPitch ? FIXED_PITCH : VARIABLE_PITCH;
        std::strncpy(e.elfLogFont.lfFaceName, face.family.c_str(), LF_FACESIZE - 1);
        std::strncpy(e.elfFullName, face.family.c_str(), sizeof e.elfFullName - 1);
        std::strncpy(e.elfStyle, "Regular", sizeof e.elfStyle - 1);
        std::strncpy(e.elfScript, row.script, sizeof e.elfScript - 1);
        NEWTEXTMETRICA tm;
        std::memset(&tm, 0, sizeof tm);
        tm.tm.tmCharSet = row.charset;
        // As the system reports it: the low bit set means variable pitch.
        tm.tm.tmPitchAndFamily = static_cast<BYTE>((face.fixedPitch ? 0 : 1) | (type & TRUETYPE_FONTTYPE ? 4 : 0));
        tm.ntmFlags = flags;
        last = proc(&e, &tm, type, data);
        if (last == 0) go = false;
    }
}

}  // namespace

}  // namespace zolgdi

ZOLAPI int EnumFontFamiliesExA(HDC, const LOGFONTA* filter, FONTENUMPROCA proc, LPARAM data, DWORD) {
    using namespace zolgdi;
    if (!filter || !proc) return 0;
    try {
        FcConfig* config = fontconfig();
        if (!config) return 0;
        const std::string wanted(filter->lfFaceName, strnlen(filter->lfFaceName, LF_FACESIZE));

        FcPattern* pattern = FcPatternCreate();
        FcObjectSet* objects = FcObjectSetBuild(FC_FAMILY, FC_FONTFORMAT, FC_OUTLINE, FC_SPACING, FC_CHARSET,
                                                static_cast<char*>(nullptr));
        FcFontSet* set = (pattern && objects) ? FcFontList(config, pattern, objects) : nullptr;
        // One entry per family: the first face listed decides its kind, and
        // the character sets any face of it covers are merged.
        std::map<std::string, FamilyFace> families;
        std::vector<FcCharSet*> merged;
        for (int i = 0; set && i < set->nfont; ++i) {
            FcPattern* font = set->fonts[i];
            FcChar8* family = nullptr;
            if (FcPatternGetString(font, FC_FAMILY, 0, &family) != FcResultMatch) continue;
            FamilyFace& f = families[reinterpret_cast<const char*>(family)];
            if (f.family.empty()) {
                f.family = reinterpret_cast<const char*>(family);
                FcChar8* format = nullptr;
                if (FcPatternGetString(font, FC_FONTFORMAT, 0, &format) == FcResultMatch)
                    f.format = reinterpret_cast<const char*>(format);
                FcBool outline = FcTrue;
                if (FcPatternGetBool(font, FC_OUTLINE, 0, &outline) == FcResultMatch) f.outline = outline;
                int spacing = FC_PROPORTIONAL;
                if (FcPatternGetInteger(font, FC_SPACING, 0, &spacing) == FcResultMatch)
                    f.fixedPitch = spacing == FC_MONO;
                f.charset = FcCharSetCreate();
                merged.push_back(f.charset);
            }
            FcCharSet* cs = nullptr;
            if (f.charset && FcPatternGetCharSet(font, FC_CHARSET, 0, &cs) == FcResultMatch) FcCharSetMerge(f.charset, cs, nullptr);
        }

        // The classic names, with the kind and character sets of the face
        // fontconfig gives for them.
        for (const char* classic : kClassicFamilies) {
            if (families.count(classic)) continue;
            FcPattern* p = FcNameParse(reinterpret_cast<const FcChar8*>(classic));
            if (!p) continue;
            FcConfigSubstitute(config, p, FcMatchPattern);
            FcDefaultSubstitute(p);
            FcResult result = FcResultNoMatch;
            FcPattern* match = FcFontMatch(config, p, &result);
            if (match && result == FcResultMatch && classicStandsFor(classic, match)) {
                FcChar8* family = nullptr;
                FcPatternGetString(match, FC_FAMILY, 0, &family);
                auto real = families.find(family ? reinterpret_cast<const char*>(family) : "");
                if (real != families.end()) {
                    FamilyFace copy = real->second;
                    copy.family = classic;
                    copy.charset = real->second.charset ? FcCharSetCopy(real->second.charset) : nullptr;
                    if (copy.charset) merged.push_back(copy.charset);
                    families[classic] = copy;
                }
            }
            if (match) FcPatternDestroy(match);
            FcPatternDestroy(p);
        }

        int last = 0;
        bool go = true;
        for (const auto& [name, face] : families) {
            if (!go) break;
            if (!wanted.empty() && strcasecmp(name.c_str(), wanted.c_str()) != 0) continue;
            report(face, filter, proc, data, last, go);
        }
        for (FcCharSet* cs : merged) FcCharSetDestroy(cs);
        if (set) FcFontSetDestroy(set);
        if (objects) FcObjectSetDestroy(objects);
        if (pattern) FcPatternDestroy(pattern);
        return last;
    } catch (...) {
        return 0;
    }
}
