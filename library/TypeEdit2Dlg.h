// The two-text editor of the morphing effect, `TEdit2Form`: two texts, one
// above the other, and one set of tools acting on the text worked in last.
#pragma once

#include "library/EditorForm.h"

namespace zol {

class TEdit2Form : public TTypeEditBase {
public:
    explicit TEdit2Form(TComponent* owner);

    TSplitter* Splitter1;
    TRichEdit* RichEdit2;

    void FormCreate(TObject* Sender);
    void RichEdit2SelectionChange(TObject* Sender);
    void FontSizeChange(TObject* Sender);

protected:
    // The text worked in last: where the user selected or clicked.
    TRichEdit& Target() override;
    // Either text's selection change makes it the active text.
    void TextSelected(TRichEdit& text) override;
    void SaveTexts() override;

private:
    std::string streamFile_, stream2File_;
};

}  // namespace zol
