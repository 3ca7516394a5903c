#include "library/About.h"

#include <cstring>

namespace zol {

namespace {

constexpr int kPictureWidth = 340;
constexpr int kPictureHeight = 400;

// The product's picture: a dark field with the product's name, drawn once
// per window so nothing outlives it.
HBITMAP makePicture() {
    HDC screen = GetDC(nullptr);
    HDC dc = screen ? CreateCompatibleDC(screen) : nullptr;
    HBITMAP bitmap = screen ? CreateCompatibleBitmap(screen, kPictureWidth, kPictureHeight) : nullptr;
    if (screen) ReleaseDC(nullptr, screen);
    if (!dc || !bitmap) {
        if (dc) DeleteDC(dc);
        if (bitmap) DeleteObject(bitmap);
        return nullptr;
    }
    HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    for (int band = 0; band < 8; ++band) {
        RECT r{0, band * kPictureHeight / 8, kPictureWidth, (band + 1) * kPictureHeight / 8};
        HBRUSH brush = CreateSolidBrush(RGB(0, 0, static_cast<BYTE>(64 + band * 20)));
        if (brush) {
            FillRect(dc, &r, brush);
            DeleteObject(brush);
        }
    }
    SetBkMode(dc, TRANSPARENT);
    auto line = [&](const char* text, int height, int top, COLORREF colour) {
        HFONT font = CreateFontA(-height, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, PROOF_QUALITY, 0, "Arial");
        HGDIOBJ oldFont = font ? SelectObject(dc, font) : nullptr;
        SetTextColor(dc, colour);
        TextOutA(dc, 20, top, text, static_cast<int>(std::strlen(text)));
        if (oldFont) SelectObject(dc, oldFont);
        if (font) DeleteObject(font);
    };
    line("Quendrasil", 40, 120, RGB(255, 220, 96));
    line("ZOL Quillarine", 24, 180, RGB(255, 255, 255));
    line("ZOL Morphing", 24, 215, RGB(255, 255, 255));
    line("ZOL Digitalizer", 24, 250, RGB(255, 255, 255));
    SelectObject(dc, oldBitmap);
    DeleteDC(dc);
    return bitmap;
}

}  // namespace

TAboutFrm::TAboutFrm(TComponent* owner) : TForm(owner) {
    Name = "AboutFrm";
    Caption = "About";
    BorderStyle = bsDialog;
    SetBounds(0, 0, 370, 490);
    ClientWidth = 362;
    ClientHeight = 463;

    // The lowered frame around the picture.
    Panel1 = new TPanel(this);
    Panel1->Name = "Panel1";
    Panel1->SetParent(this);
    Panel1->SetBounds(8, 8, kPictureWidth + 6, kPictureHeight + 6);

    Picture = new TImageList(this);
    Picture->Name = "Picture";
    Picture->Width = kPictureWidth;
    Picture->Height = kPictureHeight;

    BtnClose = new TButton(this);
    BtnClose->Name = "BtnClose";
    BtnClose->Caption = "Close";
    BtnClose->SetParent(this);
    BtnClose->SetBounds(144, 424, 75, 25);
    BtnClose->ModalResult = mrOk;
    BtnClose->Default = true;
    BtnClose->Cancel = true;

    OnCreate = Bind(this, &TAboutFrm::FormCreate);
}

void TAboutFrm::FormCreate(TObject*) { Picture->Add(makePicture()); }

void ShowAboutForm() {
    TFormPtr<TAboutFrm> form = CreateForm<TAboutFrm>(Application());
    form->ShowModal();
}

}  // namespace zol
