// Any bytes, read as the control reads a stream: the reader must not crash,
// hang or grow without bound, and what it read must survive being written
// and read again unchanged.
#include <cstdint>
#include <cstdlib>
#include <cstdio>
#include <string_view>

#include "platform/richedit/document.h"
#include "platform/richedit/layout.h"
#include "platform/richedit/rtf.h"

namespace {

class Widths : public zolrich::Measurer {
public:
    int32_t advance(uint32_t, const zolrich::CharFormat& f, unsigned char c) override {
        return c == ' ' ? 3 : 1 + (c + f.height / 20) % 17;
    }
    zolrich::FontMetrics metrics(uint32_t, const zolrich::CharFormat& f) override {
        return {f.height / 20, f.height / 80};
    }
};

void fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view in(reinterpret_cast<const char*>(data), size);
    zolrich::CharFormat def;
    def.setFace("Arial");
    def.colour = 0x0000FF;
    def.charset = 204;
    zolrich::Document doc = zolrich::readDocument(in, def);
    // A plain-text line feed is one byte and two positions; nothing costs more.
    if (static_cast<size_t>(doc.length()) > 2 * size) fail("more positions than twice the input bytes");
    if (doc.formats.size() > size + 2) fail("more formats than input bytes");

    std::string written = zolrich::writeRichText(doc);
    zolrich::CharFormat other;
    other.setFace("Other");
    other.height = 480;
    zolrich::Document again = zolrich::readRichText(written, other);
    if (!zolrich::sameContent(doc, again)) fail("written text reads back different");
    if (zolrich::writeRichText(again) != written) fail("writing is not stable");

    Widths w;
    zolrich::Layout layout = zolrich::layoutDocument(doc, static_cast<int32_t>(size % 300), size % 2 == 0, w);
    int64_t positions = 0;
    for (const zolrich::Line& l : layout.lines) positions += l.count;
    positions += 2 * static_cast<int64_t>(doc.paras.size() - 1);
    if (positions != doc.length()) fail("lines do not cover the positions");
    return 0;
}
