# Fails the build when the program imports a DLL or a function that Windows
# Vista lacks: the loader refuses to start a program with such an import, so
# the lowest Windows the program starts on is only true while this passes.
# A call newer than Vista is looked up at run time, with an older road.
#   cmake -DOBJDUMP=<objdump> -DPROGRAM=<exe> -P CheckImports.cmake
cmake_minimum_required(VERSION 3.20)

# Every DLL the program imports, each one on Vista. Before adding one, check
# the Windows that brought it.
set(known_dlls ADVAPI32 COMCTL32 COMDLG32 GDI32 KERNEL32 MSIMG32 MSVCRT NTDLL OLE32 SHELL32 USER32 USERENV WININET)

# Functions of those DLLs that came after Vista and that code of this kind
# reaches for: Windows 7, 8, 8.1 and 10.
set(newer_functions
  # kernel32
  AddDllDirectory CopyFile2 CreateFile2 CreateRemoteThreadEx DiscardVirtualMemory GetActiveProcessorCount
  GetCurrentThreadStackLimits GetFirmwareType GetLogicalProcessorInformationEx GetMaximumProcessorCount
  GetOverlappedResultEx GetProcessInformation GetProcessMitigationPolicy GetSystemTimePreciseAsFileTime
  GetTempPath2W GetThreadDescription GetThreadErrorMode GetThreadInformation OfferVirtualMemory
  PowerCreateRequest PowerSetRequest PrefetchVirtualMemory QueryUnbiasedInterruptTime RemoveDllDirectory
  ResolveLocaleName SetDefaultDllDirectories SetProcessMitigationPolicy SetThreadDescription SetThreadErrorMode
  SetThreadGroupAffinity SetThreadInformation TryAcquireSRWLockExclusive TryAcquireSRWLockShared
  WaitOnAddress WakeByAddressAll WakeByAddressSingle
  # user32
  AdjustWindowRectExForDpi CalculatePopupWindowPosition ChangeWindowMessageFilterEx EnableMouseInPointer
  EnableNonClientDpiScaling GetDpiForSystem GetDpiForWindow GetPointerInfo GetSystemMetricsForDpi
  RegisterTouchWindow SetProcessDpiAwarenessContext SetThreadDpiAwarenessContext SystemParametersInfoForDpi
  # shell32, ole32, advapi32
  SetCurrentProcessExplicitAppUserModelID Shell_NotifyIconGetRect SHGetPropertyStoreForWindow
  CoGetApartmentType EventSetInformation EventWriteEx)

execute_process(COMMAND ${OBJDUMP} -p ${PROGRAM} OUTPUT_VARIABLE dump RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "${OBJDUMP} could not read ${PROGRAM}")
endif()

set(found "")
string(REGEX MATCHALL "DLL Name: [^\n]+" dlls "${dump}")
foreach(line IN LISTS dlls)
  string(REGEX REPLACE "DLL Name: ([^ ]+)\\.[dD][lL][lL].*" "\\1" name "${line}")
  string(TOUPPER "${name}" upper)
  if(NOT upper IN_LIST known_dlls)
    list(APPEND found "${name}.dll (a DLL not checked against Vista)")
  endif()
endforeach()
# An import line: address, hint, name.
string(REGEX MATCHALL "\n\t[0-9a-f]+\t *[0-9]+ +[A-Za-z_][A-Za-z0-9_]*" imports "${dump}")
foreach(line IN LISTS imports)
  string(REGEX REPLACE ".* " "" name "${line}")
  if(name IN_LIST newer_functions)
    list(APPEND found "${name} (newer than Vista)")
  endif()
endforeach()
if(found)
  list(JOIN found "\n  " text)
  message(FATAL_ERROR "${PROGRAM} would not start on Windows Vista; it imports\n  ${text}\n"
                      "Look such a call up at run time, with an older road.")
endif()
