// The library's about window, shown by the editors' About buttons and the
// symbol-set dialog's hidden one.
#pragma once

#include "platform/forms/forms.h"

namespace zol {

using namespace zol::forms;

// A picture of the product in a lowered frame and a Close button that
// Enter and Escape both press.
class TAboutFrm : public TForm {
public:
    explicit TAboutFrm(TComponent* owner);

    TPanel* Panel1;
    // Holds the picture (made when the window is built, released with it).
    TImageList* Picture;
    TButton* BtnClose;  // its result closes the window

    void FormCreate(TObject* Sender);
};

// Shows the about window modally (owned by the application, no parent
// window) and frees it.
void ShowAboutForm();

}  // namespace zol
