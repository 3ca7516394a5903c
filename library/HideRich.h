// The hidden document: a rich-text control laid out at a width, and one
// record per display line measured character by character.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/gdi.h"
#include "platform/richedit/richedit.h"

namespace zol {

struct TLineInfo {
    int32_t AllHeight;  // heights of every character so far, through this line
    int32_t StartPos;   // position of the line's first character
    int32_t Width;
    int32_t Height;     // tallest character plus 1
    int32_t LineIndex;
    int32_t Top;        // tallest characters of the lines above
    int32_t Left;       // indent times Scale
    int32_t Justify;    // 0 left, 1 centre, 2 right
};
static_assert(sizeof(TLineInfo) == 32);

// One character of the control and its format, as the selection reads them.
struct SelectedChar {
    char text[4] = {};  // the character, or empty at a paragraph break / the end
    int length = 0;
    CHARFORMATA format{};
};

// A form of its own later; for now the document and its control.
class THideForm {
public:
    explicit THideForm();
    ~THideForm();
    THideForm(const THideForm&) = delete;
    THideForm& operator=(const THideForm&) = delete;

    void FormCreate();

    // The control (the form's RichEdit1 component): its window, size, wrap
    // and file loading.
    HWND RichEdit1 = nullptr;
    void SetBounds(int32_t width, int32_t height);
    void SetWordWrap(bool wrap);
    bool LoadFromFile(const std::string& path);

    void CreateInfo();
    void DeleteInfo();

    // The display lines as the queries count them: the control's, less an
    // empty last one.
    int32_t LineCount();
    TLineInfo* Info(int32_t line);
    SelectedChar ReadChar(int32_t pos);
    int32_t LineLength(int32_t line);
    int32_t PixelsPerInch() const { return pixelsPerInch_; }

    HWND Parent = nullptr;
    std::string StreamFile;
    std::string Stream2File;
    int32_t RandomBase = 0;
    int32_t InvertMode = 0;
    double Reserved = 0;
    double Scale = 1;
    double InvertChance = 0;
    TLineInfo* CurrentInfo = nullptr;
    std::vector<std::unique_ptr<TLineInfo>> Infos;

private:
    int32_t pixelsPerInch_ = 96;
};

}  // namespace zol
