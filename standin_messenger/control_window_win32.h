// The stand-in's control window: a person makes a contact write from it, and tests send
// it the scripted commands of the protocol header.
#pragma once

#include <windows.h>

HWND createControlWindow(HINSTANCE instance);
