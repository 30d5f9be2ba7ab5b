/* Kernel operations: module handles, strings, time and errors. */
#ifndef WINLAYER_WINBASE_H
#define WINLAYER_WINBASE_H

#include "windef.h"

#define ERROR_SUCCESS 0L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_INVALID_DATA 13L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_BUSY 170L

WINBASEAPI DWORD WINAPI GetTickCount(void);
WINBASEAPI HMODULE WINAPI GetModuleHandleA(LPCSTR lpModuleName);
WINBASEAPI int WINAPI lstrlenA(LPCSTR lpString);
WINBASEAPI DWORD WINAPI GetLastError(void);
WINBASEAPI void WINAPI SetLastError(DWORD dwErrCode);
WINBASEAPI void WINAPI Sleep(DWORD dwMilliseconds);

#endif /* WINLAYER_WINBASE_H */
