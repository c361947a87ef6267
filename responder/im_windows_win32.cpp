// Finding, reading and driving the chat client's conversation windows.
#include "responder/im_windows_win32.h"

#include <string_view>

#include <mshtml.h>
#include <objbase.h>
#include <oleauto.h>

#include "base/program_text.h"

namespace {

const IID IID_DOCUMENT = {
    0x332C4425, 0x26CB, 0x11D0, {0xB4, 0x83, 0x00, 0xC0, 0x4F, 0xD9, 0x01, 0x19}};

// A hung client must not hold the guard thread for longer than this.
constexpr UINT DOCUMENT_REQUEST_TIMEOUT_MS = 1000;

// Walking the Z order of a desktop whose windows come and go must still end.
constexpr std::size_t MOST_TOP_LEVEL_WINDOWS = 100000;

// What CoInitialize answered on this guard thread.
thread_local HRESULT threadComResult = E_FAIL;

HWND hwndOf(WindowId window) {
  return reinterpret_cast<HWND>(window);
}
WindowId idOf(HWND window) {
  return reinterpret_cast<WindowId>(window);
}

// Releases a COM interface when the read ends, whichever way it ends.
template <typename T>
struct Released {
  T* p = nullptr;
  ~Released() {
    if (p) p->Release();
  }
};

struct FreedString {
  BSTR s = nullptr;
  ~FreedString() {
    if (s) SysFreeString(s);
  }
};

// Loads a library from the system folder only: a bare name would be looked for in the
// program's own folder first, where anybody's file of that name could be waiting. Where
// the loader does not know the search flag (Windows 7 without its loader update), the
// full path into the system folder does the same.
HMODULE loadSystemLibrary(const char* name) {
  if (HMODULE module = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
  char folder[MAX_PATH];
  const UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  return LoadLibraryA((std::string(folder) + "\\" + name).c_str());
}

}  // namespace

Win32ImWindows::Win32ImWindows(const char* accessibilityLibrary) {
  comResult_ = CoInitialize(nullptr);
  accessibility_ = loadSystemLibrary(accessibilityLibrary);
  if (accessibility_) {
    objectFromLresult_ = reinterpret_cast<ObjectFromLresultFn>(
        reinterpret_cast<void*>(GetProcAddress(accessibility_, "ObjectFromLresult")));
  }
}

Win32ImWindows::~Win32ImWindows() {
  if (accessibility_) FreeLibrary(accessibility_);
  if (SUCCEEDED(comResult_)) CoUninitialize();
}

void Win32ImWindows::threadStarted() {
  threadComResult = CoInitialize(nullptr);
}

void Win32ImWindows::threadEnding() {
  if (SUCCEEDED(threadComResult)) CoUninitialize();
  threadComResult = E_FAIL;
}

WindowId Win32ImWindows::findTopConversation() {
  return idOf(FindWindowA("IMClass", nullptr));
}

std::vector<WindowId> Win32ImWindows::listConversations() {
  std::vector<WindowId> conversations;
  for (HWND w = FindWindowExA(nullptr, nullptr, "IMClass", nullptr);
       w && conversations.size() < MOST_TOP_LEVEL_WINDOWS;
       w = FindWindowExA(nullptr, w, "IMClass", nullptr)) {
    conversations.push_back(idOf(w));
  }
  return conversations;
}

std::vector<WindowId> Win32ImWindows::listTopLevelWindows(WindowId anyTopLevel) {
  std::vector<WindowId> windows;
  if (anyTopLevel == 0) return windows;
  for (HWND w = GetWindow(hwndOf(anyTopLevel), GW_HWNDFIRST);
       w && windows.size() < MOST_TOP_LEVEL_WINDOWS; w = GetWindow(w, GW_HWNDNEXT)) {
    windows.push_back(idOf(w));
  }
  return windows;
}

std::string Win32ImWindows::readTitle(WindowId window, int maxCount) {
  if (maxCount <= 0) return std::string();
  // Read in UTF-16 and cut there: the ANSI call would count bytes and could split a
  // character. Twice the units hold maxCount - 1 characters, surrogate pairs and all.
  const int room = 2 * maxCount;
  std::vector<wchar_t> buffer(static_cast<std::size_t>(room), L'\0');
  const int length = GetWindowTextW(hwndOf(window), buffer.data(), room);
  if (length <= 0) return std::string();
  std::u16string title(buffer.begin(), buffer.begin() + length);
  std::size_t kept = 0;
  for (int chars = 0; kept < title.size() && chars < maxCount - 1; ++chars) {
    const bool pair = title[kept] >= 0xD800 && title[kept] <= 0xDBFF && kept + 1 < title.size() &&
                      title[kept + 1] >= 0xDC00 && title[kept + 1] <= 0xDFFF;
    kept += pair ? 2 : 1;
  }
  title.resize(kept);
  return ProgramTextFromUtf16(title);
}

bool Win32ImWindows::readConversationText(WindowId conversation, std::string& text) {
  if (conversation == 0) return false;
  HWND container = FindWindowExA(hwndOf(conversation), nullptr, "YHTMLContainer", nullptr);
  if (!container) return false;
  HWND view = FindWindowExA(container, nullptr, "Internet Explorer_Server", nullptr);
  if (!view) return false;

  UINT request = RegisterWindowMessageA("WM_HTML_GETOBJECT");
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(view, request, 0, 0, SMTO_ABORTIFHUNG, DOCUMENT_REQUEST_TIMEOUT_MS,
                           &answer))
    return false;
  if (!objectFromLresult_) return false;

  Released<IHTMLDocument2> document;
  if (FAILED(objectFromLresult_(static_cast<LRESULT>(answer), IID_DOCUMENT, 0,
                                reinterpret_cast<void**>(&document.p))) ||
      !document.p)
    return false;
  Released<IHTMLElement> body;
  if (FAILED(document.p->get_body(&body.p)) || !body.p) return false;
  FreedString inner;
  if (FAILED(body.p->get_innerText(&inner.s))) return false;
  if (!inner.s || inner.s[0] == L'\0') {
    text.clear();
    return true;
  }

  const std::wstring_view inner16(inner.s);  // up to its first NUL, as always
  text = ProgramTextFromUtf16(std::u16string(inner16.begin(), inner16.end()));
  return !text.empty();
}

WindowId Win32ImWindows::findEntryField(WindowId conversation) {
  if (conversation == 0) return 0;
  return idOf(FindWindowExA(hwndOf(conversation), nullptr, "YIMInputWindow", nullptr));
}

WindowId Win32ImWindows::findSendButton(WindowId conversation) {
  if (conversation == 0) return 0;
  return idOf(FindWindowExA(hwndOf(conversation), nullptr, "Button", "&Send"));
}

void Win32ImWindows::setFocus(WindowId window) {
  // Another program's window: the call is usually refused, and that is fine, because
  // the characters are posted to the entry field directly.
  SetFocus(hwndOf(window));
}

bool Win32ImWindows::postChar(WindowId entryField, char16_t unit) {
  // Posted as UTF-16: a Unicode entry field gets the character itself, and the system
  // converts it for one that is not.
  return PostMessageW(hwndOf(entryField), WM_CHAR, static_cast<WPARAM>(unit), 0) != FALSE;
}

bool Win32ImWindows::postClick(WindowId button) {
  return PostMessageA(hwndOf(button), BM_CLICK, 0, 0) != FALSE;
}

bool Win32ImWindows::postClose(WindowId conversation) {
  return PostMessageA(hwndOf(conversation), WM_CLOSE, 0, 0) != FALSE;
}
