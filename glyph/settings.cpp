#include "glyph/settings.h"

namespace glyph {

GlyphRenderSettings& glyphSettings() {
    static GlyphRenderSettings settings;
    return settings;
}

}  // namespace glyph
