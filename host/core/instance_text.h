// Putting a text into an instance from the host's side, until the effects'
// own editors run here: the saved record's bytes are rewritten and the
// instance is reset up on them, as if the project had been saved that way.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zolhost {

// The typing record with `text` in place of its text: the length set, the
// document cache (width, wrap, document) cleared, the reserved words kept.
// Throws Error for a record too short to be one.
std::vector<uint8_t> withTypingText(const std::vector<uint8_t>& record, const std::string& text);
// The morphing record with either text replaced; a text not given is kept.
std::vector<uint8_t> withMorphTexts(const std::vector<uint8_t>& record, const std::optional<std::string>& first,
                                    const std::optional<std::string>& second);

// Reads the files, rewrites the project's record and saves the project.
// `secondFile` only for the morphing effect. Throws Error.
void setProjectText(const std::string& project, const std::string& file,
                    const std::optional<std::string>& secondFile);

}  // namespace zolhost
