// The test side of the stand-in messenger: process control, commands and the transcript.
#include "common/messenger_client.h"

#include "base/wide_text_win32.h"
#include "common/window_search.h"

#include <mshtml.h>
#include <oleauto.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string_view>

namespace {

void appendWide(std::vector<char>& out, const std::wstring& text) {
  const char* bytes = reinterpret_cast<const char*>(text.data());
  out.insert(out.end(), bytes, bytes + text.size() * sizeof(wchar_t));
}

std::wstring ansiToWide(std::string_view text) {
  if (text.empty()) return std::wstring();
  int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &wide[0], n);
  return wide;
}

std::vector<char> openPayload(const StandInOpenHeader& head, const std::wstring& title,
                              const std::wstring& sender, const std::wstring& text) {
  StandInOpenHeader h = head;
  h.titleLength = static_cast<std::uint32_t>(title.size());
  h.senderLength = static_cast<std::uint32_t>(sender.size());
  h.textLength = static_cast<std::uint32_t>(text.size());
  std::vector<char> out(sizeof h);
  std::memcpy(out.data(), &h, sizeof h);
  appendWide(out, title);
  appendWide(out, sender);
  appendWide(out, text);
  return out;
}

bool fromHex(const std::string& hex, std::string& out) {
  out.clear();
  if (hex == "-") return true;
  if (hex.size() % 2 != 0) return false;
  for (size_t i = 0; i < hex.size(); i += 2) {
    char* end = nullptr;
    std::string pair = hex.substr(i, 2);
    unsigned long v = std::strtoul(pair.c_str(), &end, 16);
    if (end != pair.c_str() + 2) return false;
    out.push_back(static_cast<char>(v));
  }
  return true;
}

// Lets the stand-in's answers and this thread's own windows move while a test waits.
void pumpFor(DWORD ms) {
  DWORD until = GetTickCount() + ms;
  MSG msg;
  do {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    Sleep(10);
  } while (static_cast<LONG>(until - GetTickCount()) > 0);
}

bool isControlWindow(HWND window) {
  char cls[64] = {};
  return GetClassNameA(window, cls, sizeof cls) && std::strcmp(cls, STANDIN_CONTROL_CLASS) == 0;
}

bool readDocument(HWND conversation, std::wstring& text, DWORD timeoutMs) {
  typedef HRESULT(WINAPI * ObjectFromLresultFn)(LRESULT, REFIID, WPARAM, void**);
  static const IID documentIid = {
      0x332C4425, 0x26CB, 0x11D0, {0xB4, 0x83, 0x00, 0xC0, 0x4F, 0xD9, 0x01, 0x19}};
  HWND container = FindWindowExA(conversation, nullptr, "YHTMLContainer", nullptr);
  HWND view =
      container ? FindWindowExA(container, nullptr, "Internet Explorer_Server", nullptr) : nullptr;
  if (!view) return false;
  UINT message = RegisterWindowMessageA("WM_HTML_GETOBJECT");
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(view, message, 0, 0, SMTO_ABORTIFHUNG, timeoutMs, &result)) return false;
  HMODULE oleacc = LoadLibraryA("OLEACC.DLL");
  if (!oleacc) return false;
  auto objectFromLresult = reinterpret_cast<ObjectFromLresultFn>(
      reinterpret_cast<void (*)()>(GetProcAddress(oleacc, "ObjectFromLresult")));
  bool ok = false;
  IHTMLDocument2* doc = nullptr;
  if (objectFromLresult &&
      SUCCEEDED(objectFromLresult(static_cast<LRESULT>(result), documentIid, 0,
                                  reinterpret_cast<void**>(&doc))) &&
      doc) {
    IHTMLElement* body = nullptr;
    if (SUCCEEDED(doc->get_body(&body)) && body) {
      BSTR inner = nullptr;
      if (SUCCEEDED(body->get_innerText(&inner))) {
        if (inner) text.assign(inner, SysStringLen(inner));
        SysFreeString(inner);
        ok = true;
      }
      body->Release();
    }
    doc->Release();
  }
  FreeLibrary(oleacc);
  return ok;
}

bool wants32BitStandIn() {
  char bits[8] = "";
  GetEnvironmentVariableA("QV_STANDIN", bits, sizeof bits);
  return std::strcmp(bits, "32") == 0;
}

bool is32BitProcess(HANDLE process) {
  BOOL wow64 = FALSE;
  return IsWow64Process(process, &wow64) && wow64;
}

}  // namespace

bool parseStandInEvent(const std::string& line, StandInEvent& event) {
  std::istringstream in(line);
  std::string window, argument;
  event = StandInEvent();
  if (!(in >> event.ms >> event.kind >> window)) return false;
  event.window = reinterpret_cast<HWND>(
      static_cast<std::uintptr_t>(std::strtoull(window.c_str(), nullptr, 16)));
  in >> argument;
  if (event.kind == "char" || event.kind == "start") {
    event.code = static_cast<unsigned>(std::strtoul(argument.c_str(), nullptr, 10));
    if (event.kind == "char") event.text.assign(1, static_cast<char>(event.code));
    return true;
  }
  if (event.kind == "open" || event.kind == "click") {
    std::string flag;
    event.unicode = event.kind == "open" && (in >> flag) && flag == "utf16";
    return fromHex(argument, event.text);
  }
  return event.kind == "close" || event.kind == "quit";
}

std::vector<StandInWindowRecord> gatherStandInRecords(const std::vector<StandInEvent>& events) {
  std::vector<StandInWindowRecord> records;
  auto find = [&records](HWND window) -> StandInWindowRecord& {
    // Handles are reused after a window is destroyed, so the latest window wins.
    for (auto it = records.rbegin(); it != records.rend(); ++it)
      if (it->window == window) return *it;
    records.push_back(StandInWindowRecord());
    records.back().window = window;
    return records.back();
  };
  for (const StandInEvent& e : events) {
    if (e.kind == "open") {
      records.push_back(StandInWindowRecord());
      records.back().window = e.window;
      records.back().unicode = e.unicode;
      records.back().title = e.text;
      records.back().openedMs = e.ms;
    } else if (e.kind == "char") {
      StandInWindowRecord& r = find(e.window);
      if (r.typedUnits.empty()) r.firstCharMs = e.ms;
      r.typedUnits += static_cast<wchar_t>(e.code);
      // A pair of UTF-16 units is one character: made into UTF-8 as a whole.
      r.typed = r.unicode ? Utf8FromWide(r.typedUnits) : r.typed + e.text;
    } else if (e.kind == "click") {
      StandInWindowRecord& r = find(e.window);
      r.sent.push_back(e.text);
      r.clickMs.push_back(e.ms);
    } else if (e.kind == "close") {
      StandInWindowRecord& r = find(e.window);
      r.closed = true;
      r.closedMs = e.ms;
    }
  }
  return records;
}

std::string standInChatTitle(const std::string& name, const std::string& id) {
  return name + " (" + id + ") - chat";
}

StandInMessenger::~StandInMessenger() {
  if (running()) stop();
  if (pi_.hProcess) CloseHandle(pi_.hProcess);
  if (job_) CloseHandle(job_);
}

bool StandInMessenger::running() const {
  return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

bool StandInMessenger::start(const std::string& transcriptPath, DWORD timeoutMs) {
  if (running()) stop();
  if (pi_.hProcess) CloseHandle(pi_.hProcess);
  pi_ = PROCESS_INFORMATION();
  control_ = nullptr;
  transcript_ = transcriptPath;
  DeleteFileA(transcriptPath.c_str());

  const bool bits32 = wants32BitStandIn();
  std::string exe =
      std::string(QV_BUILD_DIR) + (bits32 ? STANDIN32_EXE_RELATIVE : STANDIN_EXE_RELATIVE);
  std::string cmd = "\"" + exe + "\" " + STANDIN_TRANSCRIPT_SWITCH + " \"" + transcriptPath + "\"";
  std::vector<char> cmdLine(cmd.begin(), cmd.end());
  cmdLine.push_back('\0');
  STARTUPINFOA si{};
  si.cb = sizeof si;
  if (!CreateProcessA(exe.c_str(), cmdLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                      nullptr, nullptr, &si, &pi_)) {
    std::fprintf(stderr, "could not start the stand-in %s: error %lu\n", exe.c_str(),
                 GetLastError());
    return false;
  }
  // A test program that dies without stop() must not leave conversation windows behind
  // for the next program to find: the stand-in lives in a job that ends with this process.
  if (!job_) {
    job_ = CreateJobObjectA(nullptr, nullptr);
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (job_)
      SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits);
  }
  if (job_) AssignProcessToJobObject(job_, pi_.hProcess);
  const bool rightBitness = is32BitProcess(pi_.hProcess) == bits32;
  if (rightBitness)
    ResumeThread(pi_.hThread);
  else
    TerminateProcess(pi_.hProcess, 1);
  CloseHandle(pi_.hThread);
  pi_.hThread = nullptr;
  if (!rightBitness) {
    std::fprintf(stderr, "the stand-in %s is not a %s-bit program\n", exe.c_str(),
                 bits32 ? "32" : "64");
    return false;
  }

  DWORD begin = GetTickCount();
  while (GetTickCount() - begin < timeoutMs) {
    if (!running()) {
      DWORD code = 0;
      GetExitCodeProcess(pi_.hProcess, &code);
      std::fprintf(stderr, "the stand-in %s ended at its start with code 0x%lx\n", exe.c_str(),
                   code);
      return false;
    }
    std::vector<HWND> found = TopWindowsOf(pi_.dwProcessId, isControlWindow);
    if (!found.empty()) {
      control_ = found.front();
      return true;
    }
    pumpFor(20);
  }
  std::fprintf(stderr, "the stand-in %s showed no window within %lu ms\n", exe.c_str(), timeoutMs);
  TerminateProcess(pi_.hProcess, 1);
  return false;
}

void StandInMessenger::stop(DWORD timeoutMs) {
  if (!pi_.hProcess) return;
  if (running() && control_) {
    DWORD_PTR answer = 0;
    COPYDATASTRUCT cds{STANDIN_CMD_QUIT, 0, nullptr};
    SendMessageTimeoutA(control_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_ABORTIFHUNG,
                        timeoutMs, &answer);
  }
  if (WaitForSingleObject(pi_.hProcess, timeoutMs) != WAIT_OBJECT_0) {
    TerminateProcess(pi_.hProcess, 1);
    WaitForSingleObject(pi_.hProcess, timeoutMs);
  }
  control_ = nullptr;
}

void StandInMessenger::kill() {
  if (!running()) return;
  TerminateProcess(pi_.hProcess, 1);
  WaitForSingleObject(pi_.hProcess, 5000);
  control_ = nullptr;
}

LRESULT StandInMessenger::command(std::uint32_t code, const std::vector<char>& payload) {
  if (!control_) return 0;
  COPYDATASTRUCT cds{};
  cds.dwData = code;
  cds.cbData = static_cast<DWORD>(payload.size());
  cds.lpData = payload.empty() ? nullptr : const_cast<char*>(payload.data());
  DWORD_PTR answer = 0;
  // A hung view keeps the stand-in busy for its hang time; allow for it.
  if (!SendMessageTimeoutA(control_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), 0, 30000,
                           &answer))
    return 0;
  return static_cast<LRESULT>(answer);
}

HWND StandInMessenger::openConversation(const StandInConversation& c) {
  StandInOpenHeader head;
  head.options = c.options;
  head.textMode = c.textMode;
  head.hangMilliseconds = c.hangMilliseconds;
  std::string title = c.title;
  if (title.empty() && !c.titleExact && !c.sender.empty()) title = c.sender + " - chat";
  if (c.unicode) head.options |= STANDIN_UNICODE;
  auto wide = c.unicode ? WideFromUtf8 : ansiToWide;
  std::vector<char> payload = openPayload(head, wide(title), wide(c.sender), c.text);
  return reinterpret_cast<HWND>(command(STANDIN_CMD_OPEN, payload));
}

HWND StandInMessenger::openMessage(const std::string& title, const std::string& sender,
                                   const std::wstring& message) {
  StandInConversation c;
  c.title = title;
  c.sender = sender;
  c.text = message;
  return openConversation(c);
}

HWND StandInMessenger::openEmpty(const std::string& title) {
  StandInConversation c;
  c.title = title;
  c.textMode = STANDIN_TEXT_EMPTY;
  c.titleExact = true;
  return openConversation(c);
}

HWND StandInMessenger::openUnicodeMessage(const std::string& title, const std::string& sender,
                                          const std::string& message) {
  StandInConversation c;
  c.unicode = true;
  c.title = title;
  c.sender = sender;
  c.text = WideFromUtf8(message);
  return openConversation(c);
}

bool StandInMessenger::appendMessage(HWND window, const std::string& sender,
                                     const std::wstring& message) {
  StandInOpenHeader head;
  head.targetWindow = reinterpret_cast<std::uintptr_t>(window);
  std::vector<char> payload = openPayload(head, L"", ansiToWide(sender), message);
  return command(STANDIN_CMD_APPEND, payload) != 0;
}

bool StandInMessenger::raise(HWND window) {
  StandInOpenHeader head;
  head.targetWindow = reinterpret_cast<std::uintptr_t>(window);
  bool ok = command(STANDIN_CMD_RAISE, openPayload(head, L"", L"", L"")) != 0;
  pumpFor(200);  // the X server maps and restacks a moment later
  return ok;
}

int StandInMessenger::closeAll() {
  return static_cast<int>(command(STANDIN_CMD_CLOSE_ALL, {}));
}

std::vector<StandInEvent> StandInMessenger::events() const {
  std::vector<StandInEvent> events;
  // The stand-in keeps the file open for writing; share it while reading.
  HANDLE file = CreateFileA(transcript_.c_str(), GENERIC_READ,
                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return events;
  std::string content;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
    content.append(buffer, got);
  CloseHandle(file);
  size_t pos = 0;
  while (pos < content.size()) {
    size_t end = content.find('\n', pos);
    if (end == std::string::npos) break;  // a line still being written
    std::string line = content.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    StandInEvent e;
    if (parseStandInEvent(line, e)) events.push_back(e);
    pos = end + 1;
  }
  return events;
}

std::vector<StandInWindowRecord> StandInMessenger::records() const {
  return gatherStandInRecords(events());
}

StandInWindowRecord StandInMessenger::record(HWND window) const {
  std::vector<StandInWindowRecord> all = records();
  for (auto it = all.rbegin(); it != all.rend(); ++it)
    if (it->window == window) return *it;
  return StandInWindowRecord();
}

bool StandInMessenger::waitFor(HWND window, DWORD timeoutMs,
                               bool (*done)(const StandInWindowRecord&, size_t), size_t count) {
  DWORD begin = GetTickCount();
  for (;;) {
    if (done(record(window), count)) return true;
    if (GetTickCount() - begin >= timeoutMs) return false;
    pumpFor(20);
  }
}

bool StandInMessenger::waitForClose(HWND window, DWORD timeoutMs) {
  // The window destroys itself right after recording the request.
  return waitFor(
      window, timeoutMs,
      [](const StandInWindowRecord& r, size_t) { return r.closed && !IsWindow(r.window); }, 0);
}

bool StandInMessenger::waitForChars(HWND window, size_t count, DWORD timeoutMs) {
  return waitFor(
      window, timeoutMs,
      [](const StandInWindowRecord& r, size_t n) { return r.typedUnits.size() >= n; }, count);
}

bool StandInMessenger::waitForClicks(HWND window, size_t count, DWORD timeoutMs) {
  return waitFor(
      window, timeoutMs, [](const StandInWindowRecord& r, size_t n) { return r.sent.size() >= n; },
      count);
}

std::string standInEntryText(HWND conversation) {
  HWND entry = FindWindowExA(conversation, nullptr, "YIMInputWindow", nullptr);
  if (!entry) return std::string();
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutA(entry, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length))
    return std::string();
  std::string text(length + 1, '\0');
  DWORD_PTR got = 0;
  SendMessageTimeoutA(entry, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                      SMTO_ABORTIFHUNG, 5000, &got);
  text.resize(got <= length ? got : length);
  return text;
}

bool readStandInDocumentText(HWND conversation, std::wstring& text, DWORD timeoutMs) {
  text.clear();
  // ObjectFromLresult needs COM on the calling thread; keep it balanced.
  HRESULT com = CoInitialize(nullptr);
  bool ok = readDocument(conversation, text, timeoutMs);
  if (SUCCEEDED(com)) CoUninitialize();
  return ok;
}
