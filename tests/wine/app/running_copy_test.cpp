// One running copy, as only real windows show it: a second start, from the same folder or
// from a renamed copy of the program elsewhere, brings the running Quorvane forward and ends
// without a trace of its own; a start during a close runs in its place; of two copies that
// started while something else held their name, one gives way and the other takes the name
// once it is free. Every other case of the decision is a row of the native table.
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
#include "tests/support/wait_until.h"

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
    bool renamed;  // both starts from a renamed copy of quorvane.exe, in two folders
    int lite;
    bool minimised;  // otherwise only behind another program's window
  } cases[] = {
      {"same_folder_normal_look_minimised", false, 0, true},
      {"renamed_copy_other_folder_lite_look_behind", true, 1, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string name = std::string("second_start_") + c.name;
    QuorvaneApp first(name);
    const std::string renamed = first.path("Quorvane 3.1.exe");
    if (c.renamed) {
      ASSERT_TRUE(CopyFileA((std::string(QV_BUILD_DIR) + "\\quorvane.exe").c_str(), renamed.c_str(),
                            FALSE));
      first.setProgram(renamed);
    }
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
    if (c.renamed) {
      second = std::make_unique<QuorvaneApp>(name + "_elsewhere");
      second->setProgram(renamed);
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

// A start during a close waits for the closing copy to end and then runs in its place:
// quickly closing and starting again never leaves the user without one. The close either
// began before the copy was held still (it fades out, held for longer than a start waits
// for one that is starting), or waits in the held copy's queue behind the start's request:
// posted, or the taskbar's Close (Alt+F4 posts the same command).
TEST(SecondStart, StartDuringAHeldCloseRunsInItsPlace) {
  struct Case {
    const char* name;
    UINT queued;  // 0: the close began before the copy was held
    WPARAM command;
  } cases[] = {{"close begun, then held", 0, 0},
               {"held, then a close posted", WM_CLOSE, 0},
               {"held, then the taskbar's Close", WM_SYSCOMMAND, SC_CLOSE}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QuorvaneApp closing("start_while_closing");
    ASSERT_TRUE(closing.start());
    if (!c.queued) {
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
    } else {
      holdStill(closing.processId(), true);
      closing.post(c.queued, c.command);
    }
    QuorvaneApp next(QuorvaneApp::ExistingFolder{closing.folder()});
    ASSERT_TRUE(next.launch());
    EXPECT_FALSE(WaitUntil([&] { return !next.running(); }, c.queued ? 2000 : 7000))
        << "the start gave up";
    holdStill(closing.processId(), false);
    EXPECT_TRUE(next.waitForMainWindow());
    EXPECT_EQ(closing.waitForExit(5000), 0u);
    EXPECT_EQ(next.close(), 0u);
  }
}

// The one entry of the block in which copies tell their state.
LONG64 blockEntry() {
  HANDLE mapping = OpenFileMappingA(FILE_MAP_READ, FALSE, RUNNING_COPY_BLOCK_NAME);
  auto* block = mapping ? static_cast<const RunningCopyBlock*>(
                              MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, sizeof(RunningCopyBlock)))
                        : nullptr;
  const LONG64 entry = block ? block->entry : 0;
  if (block) UnmapViewOfFile(block);
  if (mapping) CloseHandle(mapping);
  return entry;
}

// Another program holds the mutex: Quorvane runs anyway, saying so. A second copy that came
// up beside it (held still right after its claim, so that the start that runs waited for its
// window in vain) gives way once its window is up: it brings the copy that stays forward and
// ends. Once the program lets go, that copy takes the mutex, and a later start brings it
// forward instead of running beside it.
TEST(SecondStart, CopyStartedWhileTheNameWasHeldTakesItOnceFree) {
  HANDLE foreign = CreateMutexA(nullptr, TRUE, QV_RUNNING_MUTEX);
  QuorvaneApp slow("name_held_elsewhere");
  ASSERT_TRUE(slow.launch());
  const LONG64 claim = (LONG64{COPY_STARTING} << 32) | slow.processId();
  ASSERT_TRUE(waitUntil([&] { return blockEntry() == claim; }, 15000, 1)) << "no claim seen";
  holdStill(slow.processId(), true);
  QuorvaneApp first(QuorvaneApp::ExistingFolder{slow.folder()});
  ASSERT_TRUE(first.launch());
  ASSERT_TRUE(first.waitForMainWindow(
      20000, "Another program uses Quorvane's name; Quorvane started anyway..."));
  holdStill(slow.processId(), false);
  EXPECT_EQ(slow.waitForExit(15000), 0u) << "the slow copy did not give way";
  EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == first.mainWindow(); }, 3000));
  ReleaseMutex(foreign);
  CloseHandle(foreign);
  EXPECT_TRUE(WaitUntil(
      [] {
        HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, QV_RUNNING_MUTEX);
        const DWORD held = mutex ? WaitForSingleObject(mutex, 0) : WAIT_FAILED;
        if (held == WAIT_OBJECT_0 || held == WAIT_ABANDONED) ReleaseMutex(mutex);
        if (mutex) CloseHandle(mutex);
        return held == WAIT_TIMEOUT;
      },
      5000))
      << "the running copy never took the mutex";
  QuorvaneApp second(QuorvaneApp::ExistingFolder{first.folder()});
  EXPECT_EQ(startAgain(second).exitCode, 0u);
  EXPECT_TRUE(first.running());
  EXPECT_EQ(first.close(), 0u);
}

}  // namespace
