// EditProperties: the single-text editor over the first interchange file.
#include "library/TypeEditDlg.h"

#include <algorithm>

#include "library/ConstAEFF.h"

#define ZOLEXPORT extern "C" __attribute__((visibility("default")))

namespace zol {

namespace {

EditorState& editorState() {
    static EditorState state;
    return state;
}

int clampChannel(int v) { return std::clamp(v, 0, 255); }

}  // namespace

TEditForm::TEditForm(TComponent* owner) : TTypeEditBase(owner, editorState()) {
    Name = "EditForm";
    Width = 842;
    Height = 453;

    ToolBar2 = new TToolBar(this);
    ToolBar2->Name = "ToolBar2";
    ToolBar2->SetParent(this);
    ApplayList = new TComboBox(this);
    ApplayList->Name = "ApplayList";
    ApplayList->Hint = "Apply Random to ...";
    ApplayList->Style = csDropDownList;
    for (const char* item : {"Apply to Lines", "Apply to Words", "Apply to Letters"}) ApplayList->AddItem(item);
    ApplayList->SetParent(ToolBar2);
    auto tool = [this](const char* name, const char* hint, int image) {
        auto* b = new TToolButton(this);
        b->Name = name;
        b->Hint = hint;
        b->ImageIndex = image;
        b->SetParent(ToolBar2);
        return b;
    };
    ToolRColor = tool("ToolRColor", "Random Color", 15);
    ToolRSize = tool("ToolRSize", "Random Size", 16);
    ToolRFont = tool("ToolRFont", "Random Font", 17);
    auto spin = [this](const char* name, const char* hint, int maxValue, int value) {
        auto* s = new TSpinEdit(this);
        s->Name = name;
        s->Hint = hint;
        s->MinValue = 0;
        s->MaxValue = maxValue;
        s->SetValue(value);
        s->SetParent(ToolBar2);
        return s;
    };
    SpinRandSeed = spin("SpinRandSeed", "Random Seed", 1000, 0);
    SpinColor = spin("SpinColor", "Color Dispersion", 1024, 255);
    SpinSize = spin("SpinSize", "Size Dispersion", 100, 10);
    CheckBoxBZ = new TCheckBox(this);
    CheckBoxBZ->Name = "CheckBoxBZ";
    CheckBoxBZ->Caption = ">0";
    CheckBoxBZ->Hint = "Random Increment Always >0";
    CheckBoxBZ->SetParent(ToolBar2);
    FontsListTxt = new TComboBox(this);
    FontsListTxt->Name = "FontsListTxt";
    FontsListTxt->Style = csDropDownList;
    FontsListTxt->SetParent(ToolBar2);
    ToolPlus = tool("ToolPlus", "Add Font to List", 18);
    ToolMinus = tool("ToolMinus", "Remove From Fonts List", 19);
    FontDialog1 = new TFontDialog(this);
    FontDialog1->Name = "FontDialog1";
    FontDialog1->ShowEffects = true;

    RichEdit1 = MakeText("RichEdit1", clRed);
    RichEdit1->OnSelectionChange = Bind(static_cast<TTypeEditBase*>(this), &TTypeEditBase::RichEdit1SelectionChange);
    Wrap->SetChecked(true);

    ToolRColor->OnClick = Bind(this, &TEditForm::ToolRColorClick);
    ToolRSize->OnClick = Bind(this, &TEditForm::ToolRSizeClick);
    ToolRFont->OnClick = Bind(this, &TEditForm::ToolRFontClick);
    ToolPlus->OnClick = Bind(this, &TEditForm::ToolPlusClick);
    ToolMinus->OnClick = Bind(this, &TEditForm::ToolMinusClick);
    OnCreate = Bind(this, &TEditForm::FormCreate);
}

void TEditForm::FormCreate(TObject*) {
    ApplayList->SetItemIndex(2);
    state_.lastFileName.clear();
    streamFile_ = LibraryFolder() + kStreamFileName;
    LoadInterchange(*RichEdit1, streamFile_);
    SetupFontBoxes();
}

void TEditForm::SaveTexts() {
    SaveRichText(*RichEdit1, streamFile_);
    randomFonts_.clear();
    FontsListTxt->Clear();
}

// ---------------------------------------------------------------- random tools

void TEditForm::ToolRColorClick(TObject*) { run(Tool::Color); }
void TEditForm::ToolRSizeClick(TObject*) { run(Tool::Size); }

void TEditForm::ToolRFontClick(TObject*) {
    if (randomFonts_.size() < 2) {
        Application()->MessageBox("The Font List must has 2 and more items", "Warning", MB_OK | MB_ICONWARNING);
        BtnStop->Visible = false;
        return;
    }
    run(Tool::Font);
}

void TEditForm::ToolPlusClick(TObject*) {
    if (!FontDialog1->Execute()) return;
    randomFonts_.push_back(FontDialog1->Font);
    FontsListTxt->AddItem(FontDialog1->Font.Name);
    FontsListTxt->SetItemIndex(static_cast<int>(FontsListTxt->Items.size()) - 1);
}

void TEditForm::ToolMinusClick(TObject*) {
    const int i = FontsListTxt->ItemIndex();
    if (FontsListTxt->Items.empty() || i < 0 || i >= static_cast<int>(randomFonts_.size())) return;
    randomFonts_.erase(randomFonts_.begin() + i);
    FontsListTxt->Items.erase(FontsListTxt->Items.begin() + i);
    if (i < static_cast<int>(FontsListTxt->Objects.size())) FontsListTxt->Objects.erase(FontsListTxt->Objects.begin() + i);
    FontsListTxt->SetItemIndex(-1);
}

void TEditForm::treat(Tool tool) {
    TTextAttributes sel = RichEdit1->SelAttributes();
    switch (tool) {
        case Tool::Color: {
            const int D = SpinColor->Value();
            const TColor c = sel.Color();
            int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
            r += static_cast<int>(Random(static_cast<uint32_t>(2 * D))) - D;
            g += static_cast<int>(Random(static_cast<uint32_t>(2 * D))) - D;
            b += static_cast<int>(Random(static_cast<uint32_t>(2 * D))) - D;
            r = clampChannel(r), g = clampChannel(g), b = clampChannel(b);
            // A pure white result would vanish on the editor's ground.
            if (r == 255 && g == 255 && b == 255) r = g = b = 128;
            sel.SetColor(RGB(r, g, b));
            break;
        }
        case Tool::Size: {
            const int S = SpinSize->Value();
            const int draw = CheckBoxBZ->Checked() ? static_cast<int>(Random(static_cast<uint32_t>(S)))
                                                   : static_cast<int>(Random(static_cast<uint32_t>(2 * S))) - S;
            sel.SetSize(sel.Size() + draw);
            break;
        }
        case Tool::Font: {
            const TFont& f = randomFonts_[Random(static_cast<uint32_t>(randomFonts_.size()))];
            sel.Assign(f);
            break;
        }
    }
}

// Walks the display lines from the one holding the range start, visiting
// each segment once, in order; every segment is selected (the tool bars
// follow it) and the pending input is let through, so Stop, Ok and Cancel
// reach a long run.
void TEditForm::run(Tool tool) {
    BtnStop->Visible = true;
    stop_ = false;
    RandSeed = static_cast<uint32_t>(SpinRandSeed->Value());
    const int selStart = RichEdit1->SelStart(), selLength = RichEdit1->SelLength();
    const int textLength = RichEdit1->GetTextLen();
    const int rangeStart = selLength > 0 ? selStart : 0;
    const int rangeEnd = selLength > 0 ? selStart + selLength : (tool == Tool::Color ? textLength : 6 * textLength);
    const int mode = ApplayList->ItemIndex();
    HWND w = RichEdit1->Handle();

    auto visit = [&](int start, int end) {
        RichEdit1->Select(start, end);
        Application()->ProcessMessages();
        return !stop_;
    };

    if (mode >= 0 && mode <= 2) {
        const int lineCount = static_cast<int>(SendMessageA(w, EM_GETLINECOUNT, 0, 0));
        const int firstLine = static_cast<int>(SendMessageA(w, EM_EXLINEFROMCHAR, 0, rangeStart));
        bool going = true;
        for (int line = std::max(firstLine, 0); going && line < lineCount; ++line) {
            const int start = static_cast<int>(SendMessageA(w, EM_LINEINDEX, line, 0));
            if (start < 0) break;
            const int length = static_cast<int>(SendMessageA(w, EM_LINELENGTH, start, 0));
            const int end = start + length;
            if (mode == 0) {
                if (!visit(start, end)) break;
                if (start >= rangeStart - 1 && end <= rangeEnd + 1)
                    treat(tool);
                else if (end > (tool == Tool::Color ? rangeEnd + 1 : rangeEnd))
                    going = false;
            } else if (mode == 1) {
                std::string text(static_cast<size_t>(length) + 1, '\0');
                TEXTRANGEA tr{{start, end}, text.data(), static_cast<DWORD>(text.size())};
                SendMessageA(w, EM_GETTEXTRANGE, 0, reinterpret_cast<LPARAM>(&tr));
                int p = start;
                while (going && p <= end) {
                    // A run of characters other than the space; a space at
                    // the start or after another space is an empty segment.
                    int q = p;
                    while (q < end && text[static_cast<size_t>(q - start)] != ' ') ++q;
                    if (q == p && p == end) break;
                    if (!visit(p, q)) {
                        going = false;
                        break;
                    }
                    if (p >= rangeStart && q <= rangeEnd)
                        treat(tool);
                    else if (q + (q - p) > rangeEnd)
                        going = false;
                    p = q + 1;  // past the space that ended it
                }
            } else {
                for (int p = start; going && p < end; ++p) {
                    if (!visit(p, p + 1)) {
                        going = false;
                        break;
                    }
                    if (p >= rangeEnd)
                        going = false;
                    else if (p >= rangeStart)
                        treat(tool);
                }
            }
            if (stop_) break;
            ProgressBar1->SetPosition(RoundEven(line * 100.0 / lineCount));
        }
    }
    ProgressBar1->SetPosition(0);
    BtnStop->Visible = false;
    stop_ = false;
}

}  // namespace zol

ZOLEXPORT int32_t EditProperties(HWND) {
    try {
        auto form = zol::forms::CreateForm<zol::TEditForm>(zol::forms::Application());
        return form->ShowModal() == zol::forms::mrOk ? -1 : 0;
    } catch (...) {
        return 0;
    }
}
