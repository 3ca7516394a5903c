// Sequence data travels inside the JSON project as base64 (standard
// alphabet, padded).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zolhost {

std::string base64Encode(const std::vector<uint8_t>& bytes);
// Nothing when the text is not well-formed base64 (a character outside the
// alphabet, a length that is not a multiple of four, misplaced padding).
std::optional<std::vector<uint8_t>> base64Decode(std::string_view text);

}  // namespace zolhost
