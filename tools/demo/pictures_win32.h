// The user guide's pictures, taken by the demo program when asked for them.
#pragma once

#include <string>

// Runs Quorvane in a fresh working folder and saves main_window, tray_tooltip, tray_menu,
// message_log, groups and configuration (.bmp) into the folder; 0 when every one was taken.
int TakePictures(const std::string& pictureFolder);
