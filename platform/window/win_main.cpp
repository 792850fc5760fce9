// The program entry of a Windows GUI program: the C runtime's main calls
// wWinMain with the process's module, no previous instance, the command
// line (not passed on: programs here take none) and SW_SHOWDEFAULT.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nShowCmd);

int main() {
  wchar_t empty_command_line[] = L"";
  return wWinMain(GetModuleHandleW(nullptr), nullptr, empty_command_line, SW_SHOWDEFAULT);
}
