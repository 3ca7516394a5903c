// The single-text editor of the typing effect, `TEditForm`, with the random
// styling tools of its second tool bar.
#pragma once

#include <vector>

#include "library/EditorForm.h"

namespace zol {

class TEditForm : public TTypeEditBase {
public:
    explicit TEditForm(TComponent* owner);

    // ---- tool bar 2: the random styling tools
    TToolBar* ToolBar2;
    TComboBox* ApplayList;
    TToolButton *ToolRColor, *ToolRSize, *ToolRFont;
    TSpinEdit *SpinRandSeed, *SpinColor, *SpinSize;
    TCheckBox* CheckBoxBZ;
    TComboBox* FontsListTxt;
    TToolButton *ToolPlus, *ToolMinus;
    TFontDialog* FontDialog1;

    void FormCreate(TObject* Sender);
    void ToolRColorClick(TObject* Sender);
    void ToolRSizeClick(TObject* Sender);
    void ToolRFontClick(TObject* Sender);
    void ToolPlusClick(TObject* Sender);
    void ToolMinusClick(TObject* Sender);

    // The random font list, in the order of FontsListTxt.
    const std::vector<TFont>& RandomFonts() const { return randomFonts_; }

protected:
    void SaveTexts() override;

private:
    enum class Tool { Color, Size, Font };
    void run(Tool tool);
    void treat(Tool tool);

    std::string streamFile_;
    std::vector<TFont> randomFonts_;
};

}  // namespace zol
