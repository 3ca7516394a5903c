#include "platform/richedit/codepage.h"

#include <iconv.h>

#include <array>
#include <cstring>
#include <map>

namespace zolrich {

namespace {

struct Page {
    std::array<uint32_t, 256> forward{};
    std::map<uint32_t, uint8_t> back;
};

const char* iconvName(int codePage) {
    switch (codePage) {
        case 437: return "CP437";
        case 874: return "CP874";
        case 1250: return "CP1250";
        case 1251: return "CP1251";
        case 1253: return "CP1253";
        case 1254: return "CP1254";
        case 1255: return "CP1255";
        case 1256: return "CP1256";
        case 1257: return "CP1257";
        case 1258: return "CP1258";
        case 10000: return "MACINTOSH";
        default: return "CP1252";
    }
}

// Built once per code page from the C library's converters.
const Page& page(int codePage) {
    static std::map<int, Page> pages;
    auto it = pages.find(codePage);
    if (it != pages.end()) return it->second;
    Page& pg = pages[codePage];
    iconv_t cd = iconv_open("UTF-32LE", iconvName(codePage));
    for (int b = 0; b < 256; ++b) {
        uint32_t u = b < 0x80 ? static_cast<uint32_t>(b) : 0xFFFD;
        if (cd != reinterpret_cast<iconv_t>(-1) && b >= 0x80) {
            char in = static_cast<char>(b);
            char out[8];
            char* ip = &in;
            char* op = out;
            size_t il = 1, ol = sizeof out;
            iconv(cd, nullptr, nullptr, nullptr, nullptr);
            if (iconv(cd, &ip, &il, &op, &ol) != static_cast<size_t>(-1) && ol == 4)
                std::memcpy(&u, out, 4);
        }
        pg.forward[b] = u;
        if (u != 0xFFFD) pg.back.emplace(u, static_cast<uint8_t>(b));
    }
    if (cd != reinterpret_cast<iconv_t>(-1)) iconv_close(cd);
    return pg;
}

constexpr uint8_t kSymbol = 2;

}  // namespace

int codePageOf(uint8_t charset) {
    switch (charset) {
        case 77: return 10000;
        case 161: return 1253;
        case 162: return 1254;
        case 163: return 1258;
        case 177: return 1255;
        case 178: return 1256;
        case 186: return 1257;
        case 204: return 1251;
        case 222: return 874;
        case 238: return 1250;
        case 255: return 437;
        default: return 1252;
    }
}

uint8_t charsetOfCodePage(int codePage) {
    switch (codePage) {
        case 10000: return 77;
        case 1253: return 161;
        case 1254: return 162;
        case 1258: return 163;
        case 1255: return 177;
        case 1256: return 178;
        case 1257: return 186;
        case 1251: return 204;
        case 874: return 222;
        case 1250: return 238;
        case 437: return 255;
        default: return 0;
    }
}

uint32_t toUnicode(uint8_t charset, uint8_t byte) {
    // Symbol faces map their bytes to the private-use block, as their fonts do.
    if (charset == kSymbol) return byte < 0x20 ? byte : 0xF000u + byte;
    return page(codePageOf(charset)).forward[byte];
}

int fromUnicode(uint8_t charset, uint32_t codePoint) {
    if (codePoint < 0x80) return static_cast<int>(codePoint);
    if (charset == kSymbol)
        return codePoint >= 0xF000 && codePoint <= 0xF0FF ? static_cast<int>(codePoint - 0xF000) : -1;
    const Page& pg = page(codePageOf(charset));
    auto it = pg.back.find(codePoint);
    return it == pg.back.end() ? -1 : it->second;
}

}  // namespace zolrich
