/* A program the import check is tried on: with nothing planted it imports
   only what Windows Vista has; each PLANT_ adds one import Vista lacks. */
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR line, int show) {
  DWORD result = GetTickCount();
#ifdef PLANT_KERNEL32_CALL
  ULONGLONG since = 0;
  QueryUnbiasedInterruptTime(&since); /* Windows 7 */
  result += (DWORD)since;
#endif
#ifdef PLANT_USER32_CALL
  result += (DWORD)ChangeWindowMessageFilterEx(NULL, WM_USER, MSGFLT_ALLOW, NULL); /* Windows 7 */
#endif
#ifdef PLANT_UNKNOWN_DLL
  result += GetFileVersionInfoSizeW(L"x", NULL); /* version.dll, not checked against Vista */
#endif
  return (int)result;
}
