// What each plug-in file carries besides its code: the property list a host
// reads without loading it, the about dialog and the pictures.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fake_host.h"
#include "platform/gdi/gdi.h"
#include "plugin_files.h"

namespace {

using fakehost::LoadedPlugin;

struct Picture {
    int id;
    int width, height;  // 0: any size
};

struct ResourceCase {
    EffectFile effect;
    const char* properties;
    std::vector<Picture> pictures;
};

std::ostream& operator<<(std::ostream& os, const ResourceCase& c) { return os << c.effect; }

class ResourcesTest : public ::testing::TestWithParam<ResourceCase> {};

TEST_P(ResourcesTest, PropertyListReadsWithoutLoading) {
    DWORD size = ReadFileResource(GetParam().effect.path, RT_ZOL_PROPERTIES, 1, nullptr, 0);
    ASSERT_GT(size, 0u);
    std::string text(size, '\0');
    ASSERT_EQ(ReadFileResource(GetParam().effect.path, RT_ZOL_PROPERTIES, 1, text.data(), size), size);
    EXPECT_EQ(text, GetParam().properties);
}

TEST_P(ResourcesTest, AboutDialogAndPictures) {
    LoadedPlugin plugin(GetParam().effect.path);
    ASSERT_TRUE(plugin.loaded());
    DWORD size = 0;
    EXPECT_NE(FindModuleResource(plugin.module(), RT_ZOL_DIALOG, 7771, &size), nullptr);
    EXPECT_GT(size, 0u);
    for (const Picture& p : GetParam().pictures) {
        SCOPED_TRACE("picture " + std::to_string(p.id));
        HBITMAP bitmap = LoadBitmapA(plugin.module(), p.id);
        ASSERT_NE(bitmap, nullptr);
        BITMAP info{};
        ASSERT_GT(GetObjectA(bitmap, sizeof info, &info), 0);
        if (p.width) {
            EXPECT_EQ(info.bmWidth, p.width);
            EXPECT_EQ(info.bmHeight, p.height);
        }
        DeleteObject(bitmap);
    }
}

#define COMMON_PROPERTIES "category=Quendrasil Effect\nentry=main\nversion=0x00080600\nout_flags=0x04008476\n"

const std::vector<Picture> kTypingPictures = {{102, 0, 0}, {777, 20, 24}, {781, 33, 24}, {780, 50, 24}, {779, 50, 24}};
const std::vector<Picture> kEffectPictures = {{102, 0, 0}, {777, 20, 24}, {789, 33, 24}};

INSTANTIATE_TEST_SUITE_P(
    Effects, ResourcesTest,
    ::testing::Values(ResourceCase{kTypingFile, "name=ZOL Quillarine\n" COMMON_PROPERTIES, kTypingPictures},
                      ResourceCase{kMorphingFile, "name=ZOL Morphing\n" COMMON_PROPERTIES, kEffectPictures},
                      ResourceCase{kDigitalizerFile, "name=ZOL Digitalizer\n" COMMON_PROPERTIES, kEffectPictures}),
    [](const ::testing::TestParamInfo<ResourceCase>& info) { return std::string(info.param.effect.label); });

}  // namespace
