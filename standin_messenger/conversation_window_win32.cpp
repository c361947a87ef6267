// Conversation windows of the stand-in messenger.
#include "standin_messenger/conversation_window_win32.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "standin_messenger/html_document_win32.h"

namespace {

constexpr int SEND_BUTTON_ID = 2;
constexpr int CONVERSATION_WIDTH = 440;
constexpr int CONVERSATION_HEIGHT = 380;
constexpr int MARGIN = 8;
constexpr int ENTRY_HEIGHT = 26;
constexpr int SEND_WIDTH = 76;
// Wine raises a new window again once the X server has mapped it; letting that happen
// before the command returns keeps the Z order a test sets afterwards.
constexpr DWORD MAP_SETTLE_MS = 150;

struct Conversation {
  HWND window = nullptr;
  HWND container = nullptr;
  HWND view = nullptr;
  HWND history = nullptr;  // the read-only edit inside the view that shows the text
  HWND entry = nullptr;
  HWND send = nullptr;
  SharedText text = std::make_shared<std::wstring>();
  std::uint32_t options = 0;
  DWORD hangMs = STANDIN_DEFAULT_HANG_MS;
};

HINSTANCE g_instance = nullptr;
Transcript* g_transcript = nullptr;
WNDPROC g_editProc = nullptr;
WNDPROC g_editProcW = nullptr;
std::vector<HWND> g_open;  // in the order opened
int g_cascade = 0;

std::uintptr_t id(HWND window) {
  return reinterpret_cast<std::uintptr_t>(window);
}

Conversation* conversationOf(HWND window) {
  return reinterpret_cast<Conversation*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

std::string utf8(const std::wstring& text) {
  if (text.empty()) return std::string();
  int n = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), &out[0], n, nullptr,
                      nullptr);
  return out;
}

std::wstring windowTextW(HWND window) {
  int n = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  n = GetWindowTextW(window, &text[0], n + 1);
  text.resize(static_cast<size_t>(std::max(n, 0)));
  return text;
}

std::string windowTextA(HWND window) {
  int n = GetWindowTextLengthA(window);
  std::string text(static_cast<size_t>(n) + 1, '\0');
  n = GetWindowTextA(window, &text[0], n + 1);
  text.resize(static_cast<size_t>(std::max(n, 0)));
  return text;
}

void record(const char* event, HWND window, const std::string& argument = std::string()) {
  if (g_transcript) g_transcript->write(transcriptClock(), event, id(window), argument);
}

void pumpFor(DWORD ms) {
  ULONGLONG until = GetTickCount64() + ms;
  MSG msg;
  while (GetTickCount64() < until) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(10);
  }
}

// The edit control wants CR LF; the document may hold bare line feeds.
void showText(Conversation& c) {
  if (!c.history) return;
  std::wstring shown;
  for (size_t i = 0; i < c.text->size(); ++i) {
    wchar_t ch = (*c.text)[i];
    if (ch == L'\n' && (i == 0 || (*c.text)[i - 1] != L'\r')) shown += L'\r';
    shown += ch;
  }
  SetWindowTextW(c.history, shown.c_str());
  int end = GetWindowTextLengthW(c.history);
  SendMessageW(c.history, EM_SETSEL, end, end);
  SendMessageW(c.history, EM_SCROLLCARET, 0, 0);
}

void layout(Conversation& c) {
  RECT r;
  GetClientRect(c.window, &r);
  int w = r.right, h = r.bottom;
  int bottomY = h - MARGIN - ENTRY_HEIGHT;
  int historyH = std::max(bottomY - 2 * MARGIN, 0);
  if (c.container) MoveWindow(c.container, MARGIN, MARGIN, w - 2 * MARGIN, historyH, TRUE);
  if (c.entry)
    MoveWindow(c.entry, MARGIN, bottomY, w - 3 * MARGIN - SEND_WIDTH, ENTRY_HEIGHT, TRUE);
  if (c.send) MoveWindow(c.send, w - MARGIN - SEND_WIDTH, bottomY, SEND_WIDTH, ENTRY_HEIGHT, TRUE);
}

// Children fill their parent: the view its container, the history edit the view.
void fillWithFirstChild(HWND parent) {
  HWND child = GetWindow(parent, GW_CHILD);
  if (!child) return;
  RECT r;
  GetClientRect(parent, &r);
  MoveWindow(child, 0, 0, r.right, r.bottom, TRUE);
}

// A Unicode window's texts go to the transcript as UTF-8, an ANSI window's as they are.
std::string transcriptText(const Conversation& c, HWND window) {
  return transcriptHex((c.options & STANDIN_UNICODE) ? utf8(windowTextW(window))
                                                     : windowTextA(window));
}

void pressSend(Conversation& c) {
  record("click", c.window, c.entry ? transcriptText(c, c.entry) : transcriptHex(""));
  std::wstring entered = c.entry ? windowTextW(c.entry) : std::wstring();
  // Like the client, an empty entry sends nothing.
  if (entered.empty()) return;
  *c.text = appendConversationLine(*c.text, STANDIN_OWN_PREFIX + entered);
  showText(c);
  SetWindowTextW(c.entry, L"");
}

LRESULT CALLBACK conversationProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  Conversation* c = conversationOf(window);
  switch (msg) {
    case WM_SIZE:
      if (c) layout(*c);
      return 0;
    case WM_COMMAND:
      if (c && LOWORD(wParam) == SEND_BUTTON_ID && HIWORD(wParam) == BN_CLICKED) pressSend(*c);
      return 0;
    case WM_CLOSE:
      record("close", window);
      DestroyWindow(window);
      return 0;
    case WM_NCDESTROY:
      g_open.erase(std::remove(g_open.begin(), g_open.end(), window), g_open.end());
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      delete c;
      break;
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

LRESULT CALLBACK containerProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_SIZE) fillWithFirstChild(window);
  return DefWindowProcW(window, msg, wParam, lParam);
}

LRESULT CALLBACK viewProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  static const UINT documentRequest = RegisterWindowMessageA("WM_HTML_GETOBJECT");
  if (msg == documentRequest) {
    auto* c = reinterpret_cast<Conversation*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!c) return 0;
    SharedText text = c->text;
    // A hung client: the caller's time-out runs out while this thread sleeps.
    if (c->options & STANDIN_HUNG_VIEW) Sleep(c->hangMs);
    return answerDocumentRequest(text, wParam);
  }
  if (msg == WM_SIZE) fillWithFirstChild(window);
  // A read-only edit paints itself grey; a chat history reads better on white.
  if (msg == WM_CTLCOLORSTATIC) {
    SetBkColor(reinterpret_cast<HDC>(wParam), GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
  }
  return DefWindowProcW(window, msg, wParam, lParam);
}

// The entry field is an ANSI edit control that writes down every character it gets.
LRESULT CALLBACK entryProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CHAR) record("char", GetParent(window), std::to_string(wParam));
  return CallWindowProcA(g_editProc, window, msg, wParam, lParam);
}

// A Unicode window's entry field: the same edit control with a wide procedure, so each
// character arrives as one UTF-16 unit (two for a character beyond U+FFFF).
LRESULT CALLBACK entryProcW(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_CHAR) record("char", GetParent(window), std::to_string(wParam));
  return CallWindowProcW(g_editProcW, window, msg, wParam, lParam);
}

bool registerWide(const wchar_t* name, WNDPROC proc, int background) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = g_instance;
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.hbrBackground = GetSysColorBrush(background);
  wc.lpszClassName = name;
  if (proc == conversationProc)
    wc.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
  return RegisterClassExW(&wc) != 0;
}

HWND child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int id = 0,
           DWORD exStyle = 0) {
  HWND w = CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), g_instance, nullptr);
  if (w) SendMessageW(w, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  return w;
}

}  // namespace

std::uint64_t transcriptClock() {
  return GetTickCount64();
}

bool registerConversationClasses(HINSTANCE instance, Transcript& transcript) {
  g_instance = instance;
  g_transcript = &transcript;
  WNDCLASSEXA edit{};
  edit.cbSize = sizeof edit;
  if (!GetClassInfoExA(nullptr, "EDIT", &edit)) return false;
  g_editProc = edit.lpfnWndProc;
  WNDCLASSEXW editW{};
  editW.cbSize = sizeof editW;
  if (!GetClassInfoExW(nullptr, L"EDIT", &editW)) return false;
  g_editProcW = editW.lpfnWndProc;
  edit.lpfnWndProc = entryProc;
  edit.hInstance = instance;
  edit.lpszClassName = "YIMInputWindow";
  // A system class carries CS_GLOBALCLASS; ours belongs to this module alone.
  edit.style &= ~CS_GLOBALCLASS;
  return RegisterClassExA(&edit) && registerWide(L"IMClass", conversationProc, COLOR_BTNFACE) &&
         registerWide(L"YHTMLContainer", containerProc, COLOR_WINDOW) &&
         registerWide(L"Internet Explorer_Server", viewProc, COLOR_WINDOW);
}

HWND openConversationWindow(const OpenRequest& request) {
  auto c = std::make_unique<Conversation>();
  c->options = request.head.options;
  if (request.head.hangMilliseconds) c->hangMs = request.head.hangMilliseconds;
  *c->text = initialConversationText(request);

  int step = g_cascade++ % 10;
  HWND window =
      CreateWindowExW(0, L"IMClass", request.title.c_str(), WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                      40 + step * 32, 30 + step * 32, CONVERSATION_WIDTH, CONVERSATION_HEIGHT,
                      nullptr, nullptr, g_instance, nullptr);
  if (!window) return nullptr;
  c->window = window;
  const std::uint32_t o = request.head.options;
  if (!(o & STANDIN_NO_CONTAINER)) {
    c->container = child(window, L"YHTMLContainer", L"", WS_CLIPCHILDREN, 0, WS_EX_CLIENTEDGE);
    if (c->container && !(o & STANDIN_NO_VIEW)) {
      c->view = child(c->container, L"Internet Explorer_Server", L"", WS_CLIPCHILDREN);
      if (c->view) {
        SetWindowLongPtrW(c->view, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(c.get()));
        c->history =
            child(c->view, L"EDIT", L"", WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL);
      }
    }
  }
  if (!(o & STANDIN_NO_ENTRY))
    c->entry =
        child(window, L"YIMInputWindow", L"", WS_TABSTOP | ES_AUTOHSCROLL, 1, WS_EX_CLIENTEDGE);
  if (c->entry && (o & STANDIN_UNICODE))
    SetWindowLongPtrW(c->entry, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(entryProcW));
  if (!(o & STANDIN_NO_SEND))
    c->send = child(window, L"Button", L"&Send", WS_TABSTOP | BS_PUSHBUTTON, SEND_BUTTON_ID);

  Conversation* raw = c.release();
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(raw));
  g_open.push_back(window);
  layout(*raw);
  showText(*raw);
  ShowWindow(window, SW_SHOWNORMAL);
  UpdateWindow(window);
  if (raw->entry) SetFocus(raw->entry);
  record("open", window,
         (o & STANDIN_UNICODE) ? transcriptText(*raw, window) + " utf16"
                               : transcriptText(*raw, window));
  pumpFor(MAP_SETTLE_MS);
  if ((o & STANDIN_BEHIND) && IsWindow(window))
    SetWindowPos(window, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return IsWindow(window) ? window : nullptr;
}

bool isConversationWindow(HWND window) {
  return window && std::find(g_open.begin(), g_open.end(), window) != g_open.end();
}

bool appendConversationText(HWND window, const std::wstring& line) {
  if (!isConversationWindow(window)) return false;
  Conversation* c = conversationOf(window);
  *c->text = appendConversationLine(*c->text, line);
  showText(*c);
  return true;
}

bool raiseConversationWindow(HWND window) {
  if (!isConversationWindow(window)) return false;
  return SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE) != 0;
}

int destroyAllConversationWindows() {
  std::vector<HWND> all = g_open;
  for (HWND w : all) DestroyWindow(w);
  return static_cast<int>(all.size());
}
