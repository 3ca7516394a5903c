// Edit2Properties: the two-text editor over both interchange files.
#include "library/TypeEdit2Dlg.h"

#include "library/ConstAEFF.h"

#define ZOLEXPORT extern "C" __attribute__((visibility("default")))

namespace zol {

namespace {

EditorState& editor2State() {
    static EditorState state;
    return state;
}

}  // namespace

TEdit2Form::TEdit2Form(TComponent* owner) : TTypeEditBase(owner, editor2State()) {
    Name = "Edit2Form";
    Width = 868;
    Height = 426;
    RichEdit1 = MakeText("RichEdit1", RGB(128, 255, 0));
    RichEdit1->SetBounds(0, 56, 860, 158);
    Splitter1 = new TSplitter(this);
    Splitter1->Name = "Splitter1";
    Splitter1->SetParent(this);
    Splitter1->SetBounds(0, 214, 860, 1);
    RichEdit2 = MakeText("RichEdit2", clRed);
    RichEdit2->SetBounds(0, 215, 860, 150);
    SetActiveText(RichEdit1);
    Wrap->SetChecked(false);

    RichEdit1->OnSelectionChange = Bind(static_cast<TTypeEditBase*>(this), &TTypeEditBase::RichEdit1SelectionChange);
    RichEdit2->OnSelectionChange = Bind(this, &TEdit2Form::RichEdit2SelectionChange);
    FontSize->OnChange = Bind(this, &TEdit2Form::FontSizeChange);
    OnCreate = Bind(this, &TEdit2Form::FormCreate);
}

void TEdit2Form::FormCreate(TObject*) {
    state_.lastFileName.clear();
    const std::string folder = LibraryFolder();
    streamFile_ = folder + kStreamFileName;
    stream2File_ = folder + kStream2FileName;
    // Without the first text the second is not read either: both start
    // with "No Data".
    if (LoadInterchange(*RichEdit1, streamFile_)) LoadInterchange(*RichEdit2, stream2File_);
    SetActiveText(RichEdit1);
    SetupFontBoxes();
}

TRichEdit& TEdit2Form::Target() {
    TRichEdit* active = ActiveText();
    return active == RichEdit2 ? *RichEdit2 : *RichEdit1;
}

void TEdit2Form::TextSelected(TRichEdit& text) {
    SetActiveText(&text);
    // Quietly: the box shows the active text's wrapping, it does not set it.
    auto handler = Wrap->OnClick;
    Wrap->OnClick = nullptr;
    Wrap->SetChecked(text.WordWrap());
    Wrap->OnClick = handler;
    FollowSelection(text);
}

void TEdit2Form::RichEdit2SelectionChange(TObject*) { TextSelected(*RichEdit2); }

void TEdit2Form::FontSizeChange(TObject* Sender) { FontSizeExit(Sender); }

void TEdit2Form::SaveTexts() {
    SaveRichText(*RichEdit1, streamFile_);
    SaveRichText(*RichEdit2, stream2File_);
}

}  // namespace zol

ZOLEXPORT int32_t Edit2Properties(HWND) {
    try {
        auto form = zol::forms::CreateForm<zol::TEdit2Form>(zol::forms::Application());
        return form->ShowModal() == zol::forms::mrOk ? -1 : 0;
    } catch (...) {
        return 0;
    }
}
