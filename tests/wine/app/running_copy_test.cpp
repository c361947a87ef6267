// One running copy: a second start, from the same folder or from a copy of the program
// elsewhere, brings the running Quorvane forward and ends without a trace of its own.
#include <gtest/gtest.h>
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/running_copy_win32.h"
#include "common/app_driver.h"
#include "common/messenger_client.h"
#include "resources/resource.h"
#include "tests/support/conf_file.h"

namespace {

constexpr DWORD SECOND_START_LIMIT_MS = 3000;

// What a second start did: how it ended, how long it took, and whether it ever showed a
// window while it ran.
struct SecondStart {
  DWORD exitCode = STILL_ACTIVE;
  DWORD tookMs = 0;
  bool showedWindow = false;
};

SecondStart startAgain(QuorvaneApp& second) {
  SecondStart result;
  const DWORD began = GetTickCount();
  if (!second.launch()) return result;
  WaitUntil(
      [&] {
        if (!second.otherWindows().empty()) result.showedWindow = true;
        return !second.running();
      },
      10000);
  result.tookMs = GetTickCount() - began;
  result.exitCode = second.waitForExit(0);
  return result;
}

// One conversation answered by the running copy: sent once, the window closed.
void expectAnswered(StandInMessenger& messenger, const std::string& id) {
  HWND conversation = messenger.openMessage(standInChatTitle(id, id), id, L"anyone there?");
  ASSERT_TRUE(conversation);
  ASSERT_TRUE(messenger.waitForClose(conversation, 10000));
  EXPECT_EQ(messenger.record(conversation).sent, std::vector<std::string>{" Hey " + id + ",Away "});
}

TEST(SecondStart, BringsTheRunningCopyForwardAndEndsLeavingNoTrace) {
  struct Case {
    const char* name;
    bool otherFolder;  // a copy of quorvane.exe in a folder of its own
    int lite;
    bool minimised;  // otherwise only behind another program's window
  } cases[] = {
      {"same_folder_normal_look_minimised", false, 0, true},
      {"other_folder_lite_look_behind", true, 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string name = std::string("second_start_") + c.name;
    QuorvaneApp first(name);
    ASSERT_TRUE(first.writeFile("conf.qvr", confFile("Away", "0", "1", std::to_string(c.lite))));
    StandInMessenger messenger;
    ASSERT_TRUE(StartWithMessenger(first, messenger));
    ASSERT_TRUE(first.waitForNoPopups(6000));

    // The first copy active, one conversation answered, its message log open, and out of
    // sight: minimised, or behind another program's window.
    first.click(IDC_ACTIVATE);
    ASSERT_TRUE(first.waitForText(IDC_STATUS, "Autoresponse is on guard"));
    expectAnswered(messenger, "ann");
    ASSERT_TRUE(first.waitForText(IDC_REPLIED_COUNT, "1"));
    first.click(IDC_MESSAGE_LOG_BUTTON);
    ASSERT_TRUE(WaitUntil([&] { return first.companion(IDC_LOG_SENDERS) != nullptr; }, 5000));
    if (c.minimised) {
      ShowWindow(first.mainWindow(), SW_MINIMIZE);
      ASSERT_TRUE(WaitUntil([&] { return IsIconic(first.mainWindow()) != FALSE; }, 3000));
    }
    HWND elsewhere = CreateWindowExA(0, "STATIC", "elsewhere", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                     100, 100, 300, 200, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(elsewhere);
    ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == elsewhere; }, 3000));

    std::unique_ptr<QuorvaneApp> second;
    if (c.otherFolder) {
      second = std::make_unique<QuorvaneApp>(name + "_copy");
      const std::string copy = second->path("quorvane.exe");
      ASSERT_TRUE(
          CopyFileA((std::string(QV_BUILD_DIR) + "\\quorvane.exe").c_str(), copy.c_str(), FALSE));
      second->setProgram(copy);
    } else {
      second = std::make_unique<QuorvaneApp>(QuorvaneApp::ExistingFolder{first.folder()});
    }
    const std::vector<std::string> filesBefore = second->files("*");
    const SecondStart run = startAgain(*second);
    std::printf("[ %s ] the second start ended after %lu ms\n", c.name, run.tookMs);
    EXPECT_EQ(run.exitCode, 0u);
    EXPECT_LT(run.tookMs, SECOND_START_LIMIT_MS);
    EXPECT_FALSE(run.showedWindow);
    EXPECT_EQ(second->files("*"), filesBefore);

    // The first copy is back on the screen, in front, as it was.
    EXPECT_TRUE(WaitUntil(
        [&] { return !IsIconic(first.mainWindow()) && IsWindowVisible(first.mainWindow()); },
        3000));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == first.mainWindow(); }, 3000));
    DestroyWindow(elsewhere);
    EXPECT_NE(first.companion(IDC_LOG_SENDERS), nullptr);
    EXPECT_TRUE(first.readOnly(IDC_DEFAULT_REPLY)) << "no longer active";
    EXPECT_EQ(first.text(IDC_RECEIVED_COUNT), "1");
    // Still answering, and alone: the next contact is answered once and counted on.
    expectAnswered(messenger, "bob");
    EXPECT_TRUE(first.waitForText(IDC_REPLIED_COUNT, "2"));
    EXPECT_EQ(first.text(IDC_RECEIVED_COUNT), "2");

    EXPECT_EQ(first.close(), 0u);
    messenger.stop();
  }
}

// While the running copy shows a dialog of its own, that dialog comes to the front: the
// main window behind it takes no input.
TEST(SecondStart, DialogOpenInTheRunningCopyComesForward) {
  QuorvaneApp first("second_start_dialog_open");
  ASSERT_TRUE(first.start());
  first.click(IDC_CONFIG_BUTTON);
  HWND config = nullptr;
  ASSERT_TRUE(
      WaitUntil([&] { return (config = first.companion(IDC_CONFIG_MESSAGE)) != nullptr; }, 5000));
  HWND elsewhere = CreateWindowExA(0, "STATIC", "elsewhere", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100,
                                   100, 300, 200, nullptr, nullptr, nullptr, nullptr);
  SetForegroundWindow(elsewhere);
  ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == elsewhere; }, 3000));

  QuorvaneApp second(QuorvaneApp::ExistingFolder{first.folder()});
  EXPECT_EQ(startAgain(second).exitCode, 0u);
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == config; }, 3000));
  DestroyWindow(elsewhere);
  PostMessageA(config, WM_COMMAND, IDCANCEL, 0);
  EXPECT_EQ(first.close(), 0u);
}

// Two starts at once: whichever takes the running mutex first opens the main window, the
// other ends by itself even though there was no main window yet when it looked.
TEST(SecondStart, TwoStartsAtOnceLeaveOneRunningCopy) {
  QuorvaneApp one("two_starts_at_once");
  QuorvaneApp other(QuorvaneApp::ExistingFolder{one.folder()});
  ASSERT_TRUE(one.launch());
  ASSERT_TRUE(other.launch());
  ASSERT_TRUE(WaitUntil([&] { return !one.running() || !other.running(); }, 10000));
  QuorvaneApp& ended = one.running() ? other : one;
  QuorvaneApp& running = one.running() ? one : other;
  EXPECT_EQ(ended.waitForExit(0), 0u);
  ASSERT_TRUE(running.waitForMainWindow());
  Sleep(500);
  EXPECT_TRUE(running.running());
  EXPECT_TRUE(one.files("*").empty());
  EXPECT_EQ(running.close(), 0u);
}

// Suspends or resumes every thread of a process.
void holdStill(DWORD processId, bool hold) {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 entry{sizeof(THREADENTRY32), 0, 0, 0, 0, 0, 0};
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID != processId) continue;
    HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID);
    hold ? SuspendThread(thread) : ResumeThread(thread);
    CloseHandle(thread);
  }
  CloseHandle(snapshot);
}

// A start while the running copy fades out on closing waits for it to end and then runs
// in its place: quickly closing and starting again never leaves the user without one.
// The closing copy is held still for longer than a start waits for one that is starting.
TEST(SecondStart, StartWhileTheRunningCopyClosesRunsInItsPlace) {
  QuorvaneApp closing("start_while_closing");
  ASSERT_TRUE(closing.start());
  closing.post(WM_CLOSE);
  ASSERT_TRUE(WaitUntil(
      [&] {
        BYTE alpha = 255;
        return GetLayeredWindowAttributes(closing.mainWindow(), nullptr, &alpha, nullptr) &&
               alpha < 255;
      },
      5000))
      << "the window never faded out";
  holdStill(closing.processId(), true);
  QuorvaneApp next(QuorvaneApp::ExistingFolder{closing.folder()});
  ASSERT_TRUE(next.launch());
  EXPECT_FALSE(WaitUntil([&] { return !next.running(); }, 7000)) << "the start gave up";
  holdStill(closing.processId(), false);
  EXPECT_TRUE(next.waitForMainWindow());
  EXPECT_EQ(closing.waitForExit(0), 0u);
  EXPECT_EQ(next.close(), 0u);
}

// A copy that this start may not reach (another user's) holds the mutex: the start says
// so and ends, it never runs beside that copy.
TEST(SecondStart, MutexRefusedEndsTheStartWithAMessage) {
  HANDLE other = HoldUnreachableMutex(QV_RUNNING_MUTEX);
  QuorvaneApp refused("mutex_refused");
  ASSERT_TRUE(refused.launch());
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = refused.companion(IDOK)) != nullptr; }, 5000));
  EXPECT_EQ(WindowText(box), "Quorvane");
  EXPECT_EQ(WindowText(GetDlgItem(box, 0xFFFF)),
            "Quorvane is already running with other rights (as administrator, or as another "
            "user). Close it first.");
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  EXPECT_EQ(refused.waitForExit(5000), static_cast<DWORD>(EXIT_OTHER_RIGHTS));
  CloseHandle(other);
}

// Another program holds the mutex and writes the block: its own window built like the main
// window, or itself as a closing copy. The start sends that window nothing, does not wait
// for that process, and runs, saying so.
TEST(SecondStart, ForeignObjectsAreNotTrusted) {
  static int comeForwardCalls = 0;
  HWND foreign = CreateWindowA("#32770", "", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
  for (int id : {IDC_STATUS, IDC_DEFAULT_REPLY})
    CreateWindowA("STATIC", "", WS_CHILD, 0, 0, 0, 0, foreign,
                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  SetWindowLongPtrA(foreign, DWLP_DLGPROC,
                    reinterpret_cast<LONG_PTR>(+[](HWND, UINT message, WPARAM, LPARAM) -> INT_PTR {
                      comeForwardCalls += message == UM_COME_FORWARD;
                      return FALSE;
                    }));
  HANDLE mutex = CreateMutexA(nullptr, TRUE, QV_RUNNING_MUTEX);
  HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(RunningCopyBlock), RUNNING_COPY_BLOCK_NAME);
  auto* block = static_cast<RunningCopyBlock*>(
      MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(RunningCopyBlock)));
  ASSERT_TRUE(block);
  for (LONG64 state : {COPY_RUNNING, COPY_CLOSING}) {
    block->window = reinterpret_cast<LONG_PTR>(foreign);
    block->copy = state << 32 | GetCurrentProcessId();
    QuorvaneApp app("foreign_objects");
    ASSERT_TRUE(app.launch());
    EXPECT_TRUE(app.waitForMainWindow(
        15000, "Another program uses Quorvane's name; Quorvane started anyway..."))
        << "state " << state;
    EXPECT_EQ(app.close(), 0u);
  }
  EXPECT_EQ(comeForwardCalls, 0);
  UnmapViewOfFile(block);
  CloseHandle(mapping);
  CloseHandle(mutex);
  DestroyWindow(foreign);
}

}  // namespace
