// The installed font families as an enumeration reports them: which
// families, which character sets each shows, what kind of font each is.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"

namespace {

struct Seen {
    std::string face;
    BYTE charset;
    std::string script;
    DWORD type;
    DWORD flags;
};

int collect(const ENUMLOGFONTEXA* f, const NEWTEXTMETRICA* tm, DWORD type, LPARAM data) {
    reinterpret_cast<std::vector<Seen>*>(data)->push_back(
        {f->elfLogFont.lfFaceName, f->elfLogFont.lfCharSet, f->elfScript, type, tm->ntmFlags});
    return 1;
}

std::vector<Seen> enumerate(const char* face, BYTE charset = DEFAULT_CHARSET) {
    LOGFONTA filter{};
    filter.lfCharSet = charset;
    std::snprintf(filter.lfFaceName, LF_FACESIZE, "%s", face);
    std::vector<Seen> seen;
    HDC dc = GetDC(nullptr);
    EnumFontFamiliesExA(dc, &filter, collect, reinterpret_cast<LPARAM>(&seen), 0);
    ReleaseDC(nullptr, dc);
    return seen;
}

std::set<std::string> scriptsOf(const std::vector<Seen>& seen) {
    std::set<std::string> s;
    for (const Seen& x : seen) s.insert(x.script);
    return s;
}

TEST(FontFamilies, ListEveryFamilyWithTheClassicNamesOnce) {
    const std::vector<Seen> all = enumerate("");
    std::map<std::string, int> westernEntries;
    for (const Seen& s : all)
        if (s.charset == ANSI_CHARSET) ++westernEntries[s.face];
    for (const char* face : {"Arial", "Times New Roman", "Courier New", "Liberation Sans", "DejaVu Sans"})
        EXPECT_EQ(westernEntries[face], 1) << face;
    for (const Seen& s : all)
        if (s.face == "Arial") {
            EXPECT_EQ(s.type & TRUETYPE_FONTTYPE, DWORD{TRUETYPE_FONTTYPE});
        }
}

struct ScriptCase {
    const char* face;
    std::vector<std::string> includes;
    std::vector<std::string> excludes;
};

class FaceScripts : public ::testing::TestWithParam<ScriptCase> {};

TEST_P(FaceScripts, FollowWhatTheFaceCovers) {
    const std::vector<Seen> seen = enumerate(GetParam().face);
    ASSERT_FALSE(seen.empty());
    const std::set<std::string> scripts = scriptsOf(seen);
    for (const std::string& s : GetParam().includes) EXPECT_TRUE(scripts.count(s)) << GetParam().face << " " << s;
    for (const std::string& s : GetParam().excludes) EXPECT_FALSE(scripts.count(s)) << GetParam().face << " " << s;
    // Every entry names the face asked for, in any case.
    for (const Seen& s : seen) EXPECT_STRCASEEQ(s.face.c_str(), GetParam().face);
}

INSTANTIATE_TEST_SUITE_P(Table, FaceScripts,
                         ::testing::Values(ScriptCase{"Arial", {"Western", "Cyrillic", "Greek", "Central European"}, {"Thai"}},
                                           ScriptCase{"arial", {"Western"}, {}},
                                           ScriptCase{"DejaVu Sans Mono", {"Western", "Cyrillic"}, {}}));

TEST(FontFamilies, OneCharacterSetOrNone) {
    const std::vector<Seen> cyrillic = enumerate("Arial", RUSSIAN_CHARSET);
    ASSERT_EQ(cyrillic.size(), 1u);
    EXPECT_EQ(cyrillic[0].script, "Cyrillic");
    EXPECT_TRUE(enumerate("No Such Family Anywhere").empty());
}

int stopAtOnce(const ENUMLOGFONTEXA*, const NEWTEXTMETRICA*, DWORD, LPARAM data) {
    ++*reinterpret_cast<int*>(data);
    return 0;
}

TEST(FontFamilies, StopsWhenTheCallbackSaysSo) {
    LOGFONTA filter{};
    filter.lfCharSet = DEFAULT_CHARSET;
    int calls = 0;
    EXPECT_EQ(EnumFontFamiliesExA(nullptr, &filter, stopAtOnce, reinterpret_cast<LPARAM>(&calls), 0), 0);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(EnumFontFamiliesExA(nullptr, nullptr, stopAtOnce, 0, 0), 0);
}

}  // namespace
