// What the library's text dialogs share: where the library lives, the font
// family list and the scripts of a face, the face, script and size boxes,
// and the formatting commands on a rich-text control's selection. Each
// dialog kind keeps its own family list and current script for the
// library's lifetime.
#pragma once

#include <string>
#include <vector>

#include "platform/forms/forms.h"

namespace zol {

using namespace zol::forms;

// The library's folder, ending in its separator: its module file name
// (read through the module that holds this code) cut after the last
// separator.
std::string LibraryFolder();
// The help document beside the library: its file name less the 17
// characters of "ZOLQuillarine.aex", then "Quillarine.pdf".
std::string HelpDocumentPath();
// Opens the help document with the shell's "open" verb, the dialog as owner.
void OpenHelp(TForm* owner);

struct FontFamily {
    std::string name;
    int flag = 0;  // 0 a TrueType font, 1 another outline font
};
// Every family of the screen for all character sets that is a TrueType
// font, or not a bitmap font and marked as a Type 1 or digitally signed
// font; each face once, sorted.
std::vector<FontFamily> BuildFontFamilyList();

struct FaceScript {
    std::string name;  // as the platform reports it: "Western", "Cyrillic", ...
    int charset = 0;
};
// The scripts a face's TrueType entries report, sorted, each once; a face
// that reports none has the single script "Default" (1).
std::vector<FaceScript> ScriptsOfFace(const std::string& face);

// The state that outlives a dialog window.
struct FontBoxState {
    std::vector<FontFamily> families;
    bool built = false;
    int currentScript = 0;
};

// The face, script and size boxes of a dialog, working on whatever text
// the dialog says is active.
class FontBoxes {
public:
    FontBoxes(FontBoxState& state, TComboBox* face, TComboBox* script, TEdit* size, TImageList* pictures)
        : state_(state), face_(face), script_(script), size_(size), pictures_(pictures) {}

    // Opening: the family list (built at the first opening of the kind),
    // its first face selected and that face's scripts shown.
    void Fill();
    // A new face: its scripts, the current script selected (or the first,
    // which becomes current); applied to `text` only when the user chose it.
    void FaceChanged(TRichEdit* text, bool byUser);
    void ScriptChanged(TRichEdit* text, bool byUser);
    // Face name and current script onto the selection.
    void UpdateFont(TRichEdit& text);
    // The boxes follow the selection: face (the first not less than the
    // selection's, byte-wise), script (the selection's character set, else
    // the first; the current script is kept) and size in whole points.
    void Follow(TRichEdit& text);
    // The size box's text onto the selection when it is a whole number from
    // 1 to 255; anything else is ignored.
    void ApplySize(TRichEdit& text);
    // Owner drawing of the face box: items 15 pixels high, the face's
    // picture (TrueType or other, highlighted when selected) and its name.
    void DrawItem(int index, TRect rect, TOwnerDrawState state);
    static void MeasureItem(int& height) { height = 15; }

private:
    void fillScripts();
    FontBoxState& state_;
    TComboBox* face_;
    TComboBox* script_;
    TEdit* size_;
    TImageList* pictures_;
};

// How a letter is drawn on a 16 x 16 picture.
struct LetterStyle {
    COLORREF ground = RGB(240, 240, 240);
    COLORREF ink = RGB(0, 0, 0);
    const char* face = "Arial";
    int height = -11;  // a character height in pixels
    int weight = FW_BOLD;
    bool italic = false, underline = false, strike = false;
    int x = 1, y = 2;  // where the letter starts
};
// A 16 x 16 picture of `glyph`; null when the screen gives no bitmap.
HBITMAP LetterPicture(const char* glyph, const LetterStyle& style);

// The four face-list pictures: TrueType, other, and both highlighted.
void AddFacePictures(TImageList* list);
// `count` tool pictures, one letter each.
void AddToolPictures(TImageList* list, int count);

// A style on or off over the selection; the other styles stay as they are.
void SetSelectionStyle(TRichEdit& text, TFontStyle style, bool on);
void SetSelectionColor(TRichEdit& text, TColor color);
// The selection's styles and colour.
TFontStyles SelectionStyles(TRichEdit& text);

// Loads a file into the control as rich text; on failure the platform's
// message is shown and the text stays.
bool LoadRichText(TRichEdit& text, const std::string& path);
// Saves the control as rich text; false (and the message) on failure.
bool SaveRichText(TRichEdit& text, const std::string& path, bool quiet = false);

}  // namespace zol
