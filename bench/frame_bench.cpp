// Whole frames of the typing effect through the host core, the plug-in and
// the library, as a user's render pays for them: 1920 x 1080 of "Static
// Text" with about a thousand characters, on the 4x and the 8x path and on
// the direct path.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host/core/handles.h"
#include "host/core/session.h"

namespace {

std::string thousandCharacters() {
    std::string rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1 Times New Roman;}}"
                      "{\\colortbl;\\red250\\green250\\blue250;\\red255\\green200\\blue0;}\\pard\\f0\\fs56\\cf1 ";
    const char* words[] = {"Quillarine", "typing", "morphing", "glyphs", "scrolling", "credits", "outline"};
    size_t characters = 0;
    for (int line = 0; characters < 1000; ++line) {
        rtf += line % 3 == 0 ? "\\pard\\qc\\f1\\cf2 " : "\\pard\\ql\\f0\\cf1 ";
        std::string text;
        for (int w = 0; text.size() < 56; ++w) text += std::string(words[(line + w) % 7]) + " ";
        characters += text.size();
        rtf += text + "\\par ";
    }
    return rtf + "}";
}

struct FrameFixture {
    std::unique_ptr<zolhost::Session> session;
    std::vector<uint8_t> pixels;
    PF_LayerDef world{};

    FrameFixture(bool eightTimes) {
        zolhost::Composition comp;
        comp.width = 1920;
        comp.height = 1080;
        session = zolhost::newSession("typing", comp);
        zolhost::applyAssignments(*session, {std::string("Hight Quality of Antialiasing=") + (eightTimes ? "on" : "off")});
        const std::string text = thousandCharacters();
        std::vector<uint8_t> old;
        session->instance->flatten(old);
        std::vector<uint8_t> record(24 + text.size(), 0);
        const int32_t n = static_cast<int32_t>(text.size());
        std::memcpy(record.data(), &n, 4);
        std::memcpy(record.data() + 24, text.data(), text.size());
        session->instance->resetup(zolhost::handles::newHostHandle(record));
        pixels.assign(1920 * 1080 * 4, 0);
        world = PF_LayerDef{1920, 1080, 1920 * 4, reinterpret_cast<PF_Pixel*>(pixels.data())};
    }
    PF_Err render(PF_Quality quality) {
        zolhost::CallOptions o;
        o.quality = quality;
        o.output = &world;
        return session->instance->send(PF_Cmd_RENDER, o);
    }
};

void staticTextFrame(benchmark::State& state, bool eightTimes, PF_Quality quality) {
    FrameFixture f(eightTimes);
    if (f.render(quality) != PF_Err_NONE) {  // lays the document out once, as the cache would
        state.SkipWithError("the typing effect did not render");
        return;
    }
    for (auto _ : state) {
        f.render(quality);
        benchmark::DoNotOptimize(f.pixels.data());
    }
}

void BM_StaticTextFrame4x(benchmark::State& state) { staticTextFrame(state, false, PF_Quality_HI); }
void BM_StaticTextFrame8x(benchmark::State& state) { staticTextFrame(state, true, PF_Quality_HI); }
void BM_StaticTextFrameDirect(benchmark::State& state) { staticTextFrame(state, false, PF_Quality_LO); }
BENCHMARK(BM_StaticTextFrame4x)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StaticTextFrame8x)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StaticTextFrameDirect)->Unit(benchmark::kMillisecond);

}  // namespace
