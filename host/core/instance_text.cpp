#include "host/core/instance_text.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

#include "host/core/error.h"
#include "host/core/project.h"
#include "host/core/session.h"

namespace zolhost {

namespace {

// The record layouts the effects save (little-endian, no gaps).
constexpr size_t kTypingHeader = 24;  // textLength, cachedWidth, cachedWrap, document, reserved[2]
constexpr size_t kMorphHeader = 12;   // firstLength, secondLength, reserved
// Far beyond any text an editor writes, well within a handle.
constexpr size_t kMaxTextBytes = size_t{64} << 20;

constexpr const char* kTypingEffect = "ZOL Quillarine";
constexpr const char* kMorphingEffect = "ZOL Morphing";

int32_t load32(const std::vector<uint8_t>& b, size_t at) {
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | b[at + static_cast<size_t>(i)];
    return static_cast<int32_t>(v);
}

void store32(std::vector<uint8_t>& b, size_t at, int32_t value) {
    auto v = static_cast<uint32_t>(value);
    for (size_t i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

void append(std::vector<uint8_t>& b, const std::string& text) { b.insert(b.end(), text.begin(), text.end()); }

int32_t lengthOf(const std::string& text) {
    if (text.size() > kMaxTextBytes) throw Error("the text is too large");
    return static_cast<int32_t>(text.size());
}

// A stored text, cut where the record ends as the effects read it.
std::string storedText(const std::vector<uint8_t>& b, size_t offset, int32_t length) {
    if (length <= 0 || offset >= b.size()) return {};
    size_t n = std::min(static_cast<size_t>(length), b.size() - offset);
    return std::string(b.begin() + static_cast<std::ptrdiff_t>(offset),
                       b.begin() + static_cast<std::ptrdiff_t>(offset + n));
}

std::string readText(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) throw Error("cannot read the text " + path + ": no such file");
    auto size = std::filesystem::file_size(path, ec);
    if (ec) throw Error("cannot read the text " + path + ": " + ec.message());
    if (size > kMaxTextBytes)
        throw Error("the text " + path + " is too large (" + std::to_string(size) + " bytes, at most " +
                    std::to_string(kMaxTextBytes) + ")");
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw Error("cannot read the text " + path);
    return text;
}

}  // namespace

std::vector<uint8_t> withTypingText(const std::vector<uint8_t>& record, const std::string& text) {
    if (record.size() < kTypingHeader)
        throw Error("the typing record holds " + std::to_string(record.size()) + " bytes, fewer than its " +
                    std::to_string(kTypingHeader) + "-byte header");
    std::vector<uint8_t> out(record.begin(), record.begin() + kTypingHeader);
    store32(out, 0, lengthOf(text));
    // The cached document belongs to the old text: the next render builds anew.
    store32(out, 4, 0);
    store32(out, 8, 0);
    store32(out, 12, 0);
    append(out, text);
    return out;
}

std::vector<uint8_t> withMorphTexts(const std::vector<uint8_t>& record, const std::optional<std::string>& first,
                                    const std::optional<std::string>& second) {
    if (record.size() < kMorphHeader)
        throw Error("the morphing record holds " + std::to_string(record.size()) + " bytes, fewer than its " +
                    std::to_string(kMorphHeader) + "-byte header");
    int32_t firstLength = load32(record, 0);
    std::string oldFirst = storedText(record, kMorphHeader, firstLength);
    std::string oldSecond = storedText(record, kMorphHeader + oldFirst.size(), load32(record, 4));
    const std::string& a = first ? *first : oldFirst;
    const std::string& b = second ? *second : oldSecond;
    std::vector<uint8_t> out(record.begin(), record.begin() + kMorphHeader);
    store32(out, 0, lengthOf(a));
    store32(out, 4, lengthOf(b));
    append(out, a);
    append(out, b);
    return out;
}

void setProjectText(const std::string& project, const std::string& file,
                    const std::optional<std::string>& secondFile) {
    std::string text = readText(file);
    std::optional<std::string> second;
    if (secondFile) second = readText(*secondFile);

    // The record as the plug-in flattens it now, not as it was last saved.
    ProjectData data;
    {
        auto s = openProject(project);
        data = captureProject(*s);
    }
    const std::string& effect = data.effectName;
    if (effect != kTypingEffect && effect != kMorphingEffect)
        throw Error("project " + project + ": \"" + effect + "\" keeps no text");
    if (second && effect != kMorphingEffect)
        throw Error("project " + project + ": --second is for the morphing effect; \"" + effect +
                    "\" has one text");
    if (!data.sequenceData) throw Error("project " + project + ": the instance has no record to hold the text");
    try {
        data.sequenceData = effect == kTypingEffect ? withTypingText(*data.sequenceData, text)
                                                    : withMorphTexts(*data.sequenceData, text, second);
        auto s = openProject(data);
        saveProject(*s, project);
    } catch (const Error& e) {
        throw Error("project " + project + ": " + e.what());
    }
}

}  // namespace zolhost
