// Free-text fonts, one per pixel height, made once and kept for the program's life.
#include "base/free_text_font_win32.h"

#include <map>

#include "base/display_scale_win32.h"

namespace {

// Large enough that Chinese, Japanese and Korean characters stay legible; the labels'
// 7 pt bitmap font is too small for them.
constexpr int FREE_TEXT_POINTS = 8;

int CALLBACK noteFound(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

bool installed(const wchar_t* face) {
  LOGFONTW wanted{};
  wanted.lfCharSet = DEFAULT_CHARSET;
  lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
  bool found = false;
  HDC screen = GetDC(nullptr);
  EnumFontFamiliesExW(screen, &wanted, noteFound, reinterpret_cast<LPARAM>(&found), 0);
  ReleaseDC(nullptr, screen);
  return found;
}

// Windows links Segoe UI to its Chinese, Japanese, Korean and symbol fonts, and draws the
// characters none of them has from the fonts its text layout falls back to. Where it is
// missing, Tahoma, which a system can link the same way.
const wchar_t* freeTextFace() {
  static const wchar_t* face = installed(L"Segoe UI") ? L"Segoe UI" : L"Tahoma";
  return face;
}

std::map<int, HFONT>& fontsByHeight() {
  static std::map<int, HFONT> fonts;
  return fonts;
}

HFONT fontFor(HWND dialog) {
  const int height = -MulDiv(FREE_TEXT_POINTS, WindowDpi(dialog), 72);
  HFONT& font = fontsByHeight()[height];
  if (!font) {
    LOGFONTW look{};
    look.lfHeight = height;
    look.lfWeight = FW_NORMAL;
    look.lfCharSet = DEFAULT_CHARSET;
    look.lfQuality = DEFAULT_QUALITY;
    lstrcpynW(look.lfFaceName, freeTextFace(), LF_FACESIZE);
    font = CreateFontIndirectW(&look);
  }
  return font;
}

bool isFreeTextFont(HFONT font) {
  for (const auto& made : fontsByHeight())
    if (made.second == font) return true;
  return false;
}

BOOL CALLBACK rescaleOne(HWND control, LPARAM font) {
  if (isFreeTextFont(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0))))
    SendMessageW(control, WM_SETFONT, static_cast<WPARAM>(font), TRUE);
  return TRUE;
}

}  // namespace

void UseFreeTextFont(HWND dialog, std::initializer_list<int> controlIds) {
  HFONT font = fontFor(dialog);
  if (!font) return;
  for (int id : controlIds)
    if (HWND control = GetDlgItem(dialog, id))
      SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void RescaleFreeTextFonts(HWND dialog) {
  HFONT font = fontFor(dialog);
  if (font) EnumChildWindows(dialog, rescaleOne, reinterpret_cast<LPARAM>(font));
}
