// The program's UTF-8 text in and out of the system's wide (UTF-16) calls.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

std::wstring WideFromUtf8(std::string_view text);
std::string Utf8FromWide(std::wstring_view text);

// A window's whole text (a title, a control's contents) as UTF-8, and back.
std::string WindowTextUtf8(HWND window);
bool SetWindowTextUtf8(HWND window, std::string_view text);
