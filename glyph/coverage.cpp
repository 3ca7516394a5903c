#include "glyph/coverage.h"

#include <algorithm>
#include <cmath>

#include "glyph/internal.h"
#include "glyph/samples.h"
#include "glyph/settings.h"

namespace glyph {

namespace {

using detail::BitmapSamples;
using detail::WorkMemory;

// Set bits of every nibble value.
constexpr uint8_t kBitsInNibble[16] = {0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4};

// Where the reveal of a line has got to. Without a limit every sample passes.
struct RevealLimit {
    bool active = false;
    int destX = 0;
    int destY = 0;
    int revealOffset = 0;
    int lineTop = 0;
    int lineWidth = 0;
    float slope = 0.0f;
    int samplesPerPixel = 1;
    int64_t threshold = 0;

    RevealLimit() = default;
    RevealLimit(int dx, int dy, float progress, int u, int t, int L, int K, float s, int D)
        : active(true), destX(dx), destY(dy), revealOffset(u), lineTop(t), lineWidth(L), slope(s),
          samplesPerPixel(D) {
        threshold = detail::trunc(
            static_cast<float>(static_cast<int64_t>(L) * detail::trunc(static_cast<float>(K) * s)) *
            progress);
    }
    // Part of the test that depends on the sample row only.
    int64_t rowBase(int i) const {
        const float rowInLine = static_cast<float>(destY - lineTop) +
                                static_cast<float>(i) / static_cast<float>(samplesPerPixel);
        return static_cast<int64_t>(destX) +
               static_cast<int64_t>(lineWidth) * detail::trunc(slope * rowInLine) - revealOffset;
    }
    bool passes(int64_t base, int j) const { return base + j / samplesPerPixel < threshold; }
};

// Calls take(j) for every ink sample of row i among columns 0..count-1.
template <class Take>
void forEachInk(const BitmapSamples& samples, int i, int count, Take&& take) {
    const unsigned char* row = samples.row(i);
    if (!row) {
        for (int j = 0; j < count; ++j)
            if (samples.isSet(j, i)) take(j);
        return;
    }
    const int inside = std::min(count, samples.width());
    if (samples.bitsPerPixel() == 1) {
        for (int j = 0; j < inside; ++j)
            if (!(row[j >> 3] & (0x80u >> (j & 7)))) take(j);
    } else {
        const auto* words = reinterpret_cast<const uint32_t*>(row);
        for (int j = 0; j < inside; ++j)
            if ((words[j] & 0x00FFFFFFu) != 0x00FFFFFFu) take(j);
    }
    // Past the store's edge GetPixel has no colour, which is not white.
    for (int j = inside; j < count; ++j) take(j);
}

void blendFor(uint8_t* pixel, int coverage, float opacity, COLORREF colour, int normal) {
    if (glyphSettings().rules == EngineRules::Morphing)
        blendCoverageMixed(pixel, coverage, opacity, colour, normal);
    else
        blendCoverage(pixel, coverage, opacity, colour, normal);
}

void rasterize8(HDC dc, int W, int H, int destX, int destY, const OutputImage& image,
                COLORREF colour, int normal, float opacity, const RevealLimit& limit) {
    constexpr int D = 8;
    WorkMemory buffer(detail::bytesFor(static_cast<int64_t>(W) * H, 1));
    if (!buffer) return;
    uint8_t* bytes = buffer.as();
    BitmapSamples samples(dc);
    for (int i = 0; i < H; ++i) {
        uint8_t* row = bytes + static_cast<size_t>(i) * W;
        const int64_t base = limit.active ? limit.rowBase(i) : 0;
        forEachInk(samples, i, W, [&](int j) {
            if (!limit.active || limit.passes(base, j)) row[j] = 255;
        });
    }
    const int w = W / D;
    const int h = H / D;
    for (int r = 0; r < h; ++r) {
        const int64_t y = static_cast<int64_t>(destY) + r;
        for (int c = 0; c < w; ++c) {
            int sum = 0;
            for (int k = 0; k < D; ++k) {
                const uint8_t* p = bytes + static_cast<size_t>(r * D + k) * W + c * D;
                for (int m = 0; m < D; ++m) sum += p[m];
            }
            int a = detail::toByte(sum * 0.015625);
            if (!normal) a = 255 - a;
            const int64_t x = static_cast<int64_t>(destX) + c;
            if (x < 0 || y < 0 || x >= image.width || y >= image.height) continue;
            blendFor(image.at(static_cast<int>(x), static_cast<int>(y)), a, opacity, colour, normal);
        }
    }
}

void rasterize4(HDC dc, int W, int H, int destX, int destY, const OutputImage& image,
                COLORREF colour, int normal, float opacity, const RevealLimit& limit) {
    constexpr int D = 4;
    const int w = W / D;
    const int h = H / D;
    // Two output pixels share a mask byte. Samples beyond the last whole
    // byte column are dropped; the rows are kept wide enough for the columns
    // the counting reads, which then hold no samples.
    const int R = w / 2 + W % 2;
    const int columns = downsampleColumns(w);
    const int stride = std::max({R, columns, 1});
    WorkMemory mask(detail::bytesFor(static_cast<int64_t>(4) * h * stride, 1));
    WorkMemory pairs(detail::bytesFor(static_cast<int64_t>(h) * stride, 1));
    if (!mask || !pairs) return;
    uint8_t* bits = mask.as();
    BitmapSamples samples(dc);
    const int sampleColumns = std::min(W, R * 8);
    for (int i = 0; i < 4 * h && i < H; ++i) {
        uint8_t* row = bits + static_cast<size_t>(i) * stride;
        const int64_t base = limit.active ? limit.rowBase(i) : 0;
        forEachInk(samples, i, sampleColumns, [&](int j) {
            if (!limit.active || limit.passes(base, j))
                row[j >> 3] = static_cast<uint8_t>(row[j >> 3] | (1u << (j & 7)));
        });
    }
    downsampleBitmask(bits, stride, pairs.as(), stride, columns, h);

    const uint8_t* pair = pairs.as();
    for (int r = 0; r <= h - 3; ++r) {
        const int64_t y = static_cast<int64_t>(destY) + r;
        for (int k = 0; k < w - 2; k += 2) {
            const int64_t x = static_cast<int64_t>(destX) + k;
            if (x < 0 || y < 0 || x >= image.width || y >= image.height) continue;
            const uint8_t p = pair[static_cast<size_t>(r) * stride + k / 2];
            int left = (p & 0x0F) * 17;
            int right = (p >> 4) * 17;
            if (!normal) {
                left = 255 - left;
                right = 255 - right;
            }
            const auto put = [&](int64_t px, int coverage) {
                uint8_t* pixel = image.at(static_cast<int>(px), static_cast<int>(y));
                if (coverage > 0)
                    blendFor(pixel, coverage, opacity, colour, normal);
                else if (!normal)
                    pixel[0] = 0;
            };
            put(x, left);
            if (x + 1 < image.width) put(x + 1, right);
        }
    }
}

void rasterize(HDC dc, int W, int H, int destX, int destY, const OutputImage& image,
               COLORREF colour, int normal, float opacity, const RevealLimit& limit) {
    if (!dc || !image.pixels || !detail::workBitmapFits(W, H)) return;
    if (glyphSettings().oversampling == 8)
        rasterize8(dc, W, H, destX, destY, image, colour, normal, opacity, limit);
    else
        rasterize4(dc, W, H, destX, destY, image, colour, normal, opacity, limit);
}

}  // namespace

void buildNibbleCountTable() {
    uint16_t* table = glyphSettings().nibbleCounts;
    for (int b = 0; b < 256; ++b)
        table[b] = static_cast<uint16_t>(kBitsInNibble[b >> 4] * 256 + kBitsInNibble[b & 0x0F]);
}

int downsampleColumns(int w) {
    if (glyphSettings().rules == EngineRules::Morphing) return w > 0 ? (w + 1) / 2 : 0;
    return std::max(w / 2, 1);
}

void downsampleBitmask(const uint8_t* mask, int maskStride, uint8_t* pairs, int pairStride,
                       int columns, int h) {
    const uint16_t* table = glyphSettings().nibbleCounts;
    for (int r = 0; r < h; ++r) {
        const uint8_t* rows = mask + static_cast<size_t>(4 * r) * maskStride;
        uint8_t* out = pairs + static_cast<size_t>(r) * pairStride;
        for (int b = 0; b < columns; ++b) {
            const int sum = table[rows[b]] + table[rows[maskStride + b]] +
                            table[rows[2 * maskStride + b]] + table[rows[3 * maskStride + b]];
            // 16 samples would not fit a nibble; a full pixel reads as 15.
            const int right = std::min(sum >> 8, 15);
            const int left = std::min(sum & 0xFF, 15);
            out[b] = static_cast<uint8_t>(right * 16 + left);
        }
    }
}

void rasterizeGlyphBitmap(HDC dc, int width, int height, int destX, int destY,
                          const OutputImage& image, COLORREF colour, int normal, float opacity) {
    rasterize(dc, width, height, destX, destY, image, colour, normal, opacity, RevealLimit{});
}

void rasterizeGlyphBitmapLimited(HDC dc, int width, int height, int destX, int destY,
                                 const OutputImage& image, COLORREF colour, int normal,
                                 float opacity, int revealOffset, int lineTop, int lineWidth,
                                 int lineHeight, float slope) {
    const int D = glyphSettings().oversampling == 8 ? 8 : 4;
    RevealLimit limit(destX, destY, std::fabs(opacity), revealOffset, lineTop, lineWidth,
                      lineHeight, slope, D);
    rasterize(dc, width, height, destX, destY, image, colour, normal, 1.0f, limit);
}

}  // namespace glyph
