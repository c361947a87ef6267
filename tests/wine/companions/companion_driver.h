// Finding and working the companion windows and their small dialogs in the running
// program, as a user would: by their control ids, with clicks, typed texts and selections.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "common/app_driver.h"

// The program's visible top-level window that holds every one of these controls.
HWND FindDialogWith(const QuorvaneApp& app, std::initializer_list<int> ids);
HWND WaitForDialogWith(const QuorvaneApp& app, std::initializer_list<int> ids,
                       DWORD timeoutMs = 5000);
bool WaitGone(HWND window, DWORD timeoutMs = 5000);

// The windows by what only they hold.
HWND GroupsWindow(const QuorvaneApp& app);      // Create, Edit, Remove, group list
HWND GroupInfoDialog(const QuorvaneApp& app);   // name and message fields
HWND MembersWindow(const QuorvaneApp& app);     // [Create User], [Remove], member list
HWND UserIdDialog(const QuorvaneApp& app);      // user ID field
HWND MessageLogWindow(const QuorvaneApp& app);  // Clear Log, Refresh, view
HWND ConfigDialog(const QuorvaneApp& app);      // message, interval, speed

std::string ItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, const std::string& text);
void Click(HWND dialog, int id);
// The control with the keyboard focus in the program that owns the window.
HWND FocusIn(HWND window);

// List boxes of another process, read through their UTF-16 messages.
std::vector<std::string> ListTexts(HWND dialog, int listId);
int ListSelection(HWND dialog, int listId);
// Selects a row as a click would: the selection, then the list's notice to its window.
void SelectRow(HWND dialog, int listId, int row);
void DoubleClickRow(HWND dialog, int listId, int row);
// Leaves the list without selection, as the program's own refill does (no notice).
void ClearSelection(HWND dialog, int listId);

RECT Frame(HWND window);
POINT ClientOrigin(HWND window);

// A whole file's bytes, or "<missing>".
std::string FileBytes(const QuorvaneApp& app, const std::string& name);
bool WaitForFile(const QuorvaneApp& app, const std::string& name, const std::string& bytes,
                 DWORD timeoutMs = 5000);

// Lines joined with CR LF after each, as the program writes its files.
std::string CrLfLines(std::initializer_list<std::string> lines);

// Screenshot of the given windows together, with a margin.
void ShotOf(const std::string& name, std::initializer_list<HWND> windows);
