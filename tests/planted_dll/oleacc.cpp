// A stranger's OLEACC.DLL, as it might lie beside the program in a downloads folder. It
// does nothing but leave the file OLEACC_LOADED.txt beside itself when it is loaded.
#include <windows.h>

#include <string>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  char path[MAX_PATH] = "";
  const DWORD length = GetModuleFileNameA(self, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return TRUE;
  std::string marker(path);
  marker.replace(marker.find_last_of('\\') + 1, std::string::npos, "OLEACC_LOADED.txt");
  const HANDLE file = CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
  return TRUE;
}
