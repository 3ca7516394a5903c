#include "host/core/base64.h"

#include <gtest/gtest.h>

namespace {

struct Vector {
    const char* plain;
    const char* encoded;
};

class Base64Vectors : public ::testing::TestWithParam<Vector> {};

TEST_P(Base64Vectors, EncodesAndDecodes) {
    std::string plain = GetParam().plain;
    std::vector<uint8_t> bytes(plain.begin(), plain.end());
    EXPECT_EQ(zolhost::base64Encode(bytes), GetParam().encoded);
    auto back = zolhost::base64Decode(GetParam().encoded);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, bytes);
}

INSTANTIATE_TEST_SUITE_P(Rfc, Base64Vectors,
                         ::testing::Values(Vector{"", ""}, Vector{"f", "Zg=="}, Vector{"fo", "Zm8="},
                                           Vector{"foo", "Zm9v"}, Vector{"foob", "Zm9vYg=="},
                                           Vector{"fooba", "Zm9vYmE="}, Vector{"foobar", "Zm9vYmFy"}));

TEST(Base64, EveryByteValueSurvives) {
    std::vector<uint8_t> all;
    for (int round = 0; round < 3; ++round)
        for (int b = 0; b < 256; ++b) all.push_back(static_cast<uint8_t>(b));
    for (size_t cut = 0; cut < 4; ++cut) {
        std::vector<uint8_t> part(all.begin(), all.end() - static_cast<long>(cut));
        auto back = zolhost::base64Decode(zolhost::base64Encode(part));
        ASSERT_TRUE(back);
        EXPECT_EQ(*back, part);
    }
}

class Base64Malformed : public ::testing::TestWithParam<const char*> {};

TEST_P(Base64Malformed, IsRefused) { EXPECT_FALSE(zolhost::base64Decode(GetParam())); }

INSTANTIATE_TEST_SUITE_P(Cases, Base64Malformed,
                         ::testing::Values("Zg=",       // length not a multiple of four
                                           "Zg",        // padding left out
                                           "Z===",      // too much padding
                                           "=Zg=",      // padding first
                                           "Zg==Zg==",  // padding inside
                                           "Zm9v\n",    // line break
                                           "Zm-v",      // URL alphabet
                                           "Zh==",      // stray bits below the last byte
                                           "Zm9="));    // stray bits below the last two bytes

}  // namespace
