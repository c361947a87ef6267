// How fast the engine answers and what it costs while it waits: reply latency from the
// moment a conversation window appears to the moment its close request arrives, the
// guard thread's own CPU time while active with no conversation window, and the whole
// program's CPU time while it waits, with and without the away watch.
//
//   engine_bench.exe [conversations (20)] [idle seconds (60)]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "common/app_driver.h"
#include "common/messenger_client.h"
#include "common/observed_im_windows.h"
#include "resources/resource.h"
#include "responder/guard.h"
#include "responder/im_windows_win32.h"
#include "tests/support/conf_file.h"

namespace {

class SilentPort : public MainWindowPort {
 public:
  void setItemText(int, const std::string&) override {}
  void setTitle(const std::string&) override {}
  bool postMessage(unsigned) override { return false; }  // no popups to show
};

// Kernel and user time together, in milliseconds.
double cpuMs(const FILETIME& kernel, const FILETIME& user) {
  auto ticks = [](const FILETIME& t) {
    return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return static_cast<double>(ticks(kernel) + ticks(user)) / 10000.0;
}

double threadCpuMs(HANDLE thread) {
  FILETIME created, exited, kernel, user;
  return GetThreadTimes(thread, &created, &exited, &kernel, &user) ? cpuMs(kernel, user) : -1;
}

double processCpuMs(HANDLE process) {
  FILETIME created, exited, kernel, user;
  return GetProcessTimes(process, &created, &exited, &kernel, &user) ? cpuMs(kernel, user) : -1;
}

// quorvane.exe's CPU time over the idle seconds, off guard and on guard (no conversation
// comes), started with these away settings: "" for none, the watch off.
bool benchProgramIdle(const std::string& awayFile, int idleSeconds) {
  QuorvaneApp app("bench_program_idle");
  app.writeFile("conf.qvr", confFile("Away", "0", "1", "1"));  // the lite look: no fades
  if (!awayFile.empty()) app.writeFile("away.qvr", awayFile);
  if (!app.start() || !app.waitForNoPopups(10000)) return false;
  auto measure = [&](const char* state) {
    const double before = processCpuMs(app.process());
    const DWORD begin = GetTickCount();
    Sleep(static_cast<DWORD>(idleSeconds) * 1000);
    const double used = processCpuMs(app.process()) - before;
    const DWORD elapsed = GetTickCount() - begin;
    std::printf("  %-9s %s: CPU %.1f ms in %.1f s (%.4f%% of one core)\n", state,
                awayFile.empty() ? "watch off" : "watch on ", used, elapsed / 1000.0,
                100.0 * used / elapsed);
  };
  measure("off guard");
  app.click(IDC_ACTIVATE);
  if (!app.waitForText(IDC_STATUS, "Autoresponse is on guard") || !app.waitForNoPopups(10000))
    return false;
  measure("on guard");
  return app.close() == 0;
}

bool waitUntilLooks(const ObservedImWindows& windows, int looks, DWORD timeoutMs) {
  DWORD begin = GetTickCount();
  while (windows.looks() < looks) {
    if (GetTickCount() - begin > timeoutMs) return false;
    Sleep(10);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  int conversations = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
  int idleSeconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 60;

  std::string scratch = std::string(QV_BUILD_DIR) + "\\bench_scratch";
  CreateDirectoryA(scratch.c_str(), nullptr);
  SetCurrentDirectoryA(scratch.c_str());

  StandInMessenger messenger;
  if (!messenger.start(scratch + "\\transcript.txt")) {
    std::fprintf(stderr, "the stand-in messenger did not start\n");
    return 1;
  }
  Win32ImWindows real;
  ObservedImWindows windows(real);
  Responder responder(windows);
  ReplyPolicy policy;
  GroupStore groups(scratch + "\\Groups.lst");
  MessageLog log;
  SilentPort port;
  setMainWindowPort(&port);
  GuardThread guard(responder, policy, groups, log);
  guard.StartGuard(1000, "Away from the keyboard", port);
  AutoresponseActive = true;
  if (!waitUntilLooks(windows, 1, 5000)) {
    std::fprintf(stderr, "the guard thread did not start\n");
    return 1;
  }

  // Windows appear at different moments of the one-second poll period, spread evenly
  // and the same way on every run.
  std::vector<double> latencies, untilTyping;
  for (int i = 0; i < conversations; ++i) {
    Sleep(static_cast<DWORD>((i * 379) % 1000));
    std::string id = "bench" + std::to_string(i);
    HWND w = messenger.openMessage(id + " - chat", id, L"are you there?");
    if (!w || !messenger.waitForClose(w, 10000)) {
      std::fprintf(stderr, "conversation %d was not answered\n", i);
      return 1;
    }
    StandInWindowRecord r = messenger.record(w);
    latencies.push_back(static_cast<double>(r.closedMs - r.openedMs));
    untilTyping.push_back(static_cast<double>(r.firstCharMs - r.openedMs));
  }
  auto report = [](const char* what, std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    double median = n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
    std::printf("  %s: min %.0f ms, median %.0f ms, max %.0f ms\n", what, values.front(), median,
                values.back());
  };
  std::printf("reply latency over %zu conversations:\n", latencies.size());
  report("window shown to close request received", latencies);
  report("window shown to first character received", untilTyping);

  messenger.closeAll();
  Sleep(2500);  // let the last pass end
  HANDLE thread = windows.guardThread();
  int looksBefore = windows.looks();
  double cpuBefore = threadCpuMs(thread);
  DWORD begin = GetTickCount();
  Sleep(static_cast<DWORD>(idleSeconds) * 1000);
  double cpuAfter = threadCpuMs(thread);
  DWORD elapsed = GetTickCount() - begin;
  int passes = windows.looks() - looksBefore;
  std::printf("guard thread idle, no conversation window, %.1f s:\n", elapsed / 1000.0);
  std::printf("  CPU %.1f ms (%.4f%% of one core), %d passes, %.1f us per pass\n",
              cpuAfter - cpuBefore, 100.0 * (cpuAfter - cpuBefore) / elapsed, passes,
              passes ? 1000.0 * (cpuAfter - cpuBefore) / passes : 0.0);

  AutoresponseActive = false;
  DWORD stopBegin = GetTickCount();
  while (guard.running() && GetTickCount() - stopBegin < 10000) Sleep(10);

  // The work of one pass without its waits, on this thread (which the window access
  // initialised COM for) now that the guard thread has ended.
  GuardParams params = guard.params;
  params.sleep = [](uint32_t) {};
  std::vector<double> work;
  for (int i = 0; i < 10; ++i) {
    std::string id = "work" + std::to_string(i);
    HWND w = messenger.openMessage(id + " - chat", id, L"are you there?");
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&a);
    PassOutcome outcome = ProcessTopConversation(params, params.replyText);
    QueryPerformanceCounter(&b);
    if (!w || outcome != PassOutcome::Processed) {
      std::fprintf(stderr, "pass %d did not process its window\n", i);
      return 1;
    }
    work.push_back(1000.0 * static_cast<double>(b.QuadPart - a.QuadPart) / f.QuadPart);
    messenger.waitForClose(w, 5000);
  }
  std::printf("one pass over a new window, waits left out, %zu passes:\n", work.size());
  std::sort(work.begin(), work.end());
  std::printf("  min %.1f ms, median %.1f ms, max %.1f ms\n", work.front(), work[work.size() / 2],
              work.back());

  setMainWindowPort(nullptr);

  // The program waiting for a minute of 999 idle minutes, or a lock, that never comes.
  std::printf("quorvane.exe idle, the stand-in without conversations:\n");
  if (!benchProgramIdle("", idleSeconds) ||
      !benchProgramIdle("IdleMinutes=999\r\nWhenLocked=1\r\n", idleSeconds)) {
    std::fprintf(stderr, "the program did not start, activate or close\n");
    return 1;
  }
  messenger.stop();
  return 0;
}
