#pragma once

// A small stand-in for the few Win32 services that the suite's Linux build needs: system
// error texts, the debugger output, and window messages between objects of one process.
// Only what callers use is here; names follow Win32 where a Win32 function exists.

#include <cstdint>
#include <functional>
#include <string>

typedef uint32_t DWORD;
typedef uint32_t UINT;
typedef int32_t HRESULT;
typedef uintptr_t WPARAM;
typedef intptr_t LPARAM;
typedef intptr_t LRESULT;
typedef struct HWND__* HWND;
typedef LRESULT (*WNDPROC)(HWND, UINT, WPARAM, LPARAM);

// ---- Error texts ----

// The system text of a Win32 error code, or of an HRESULT (0x8007xxxx reads as Win32 code
// xxxx), in English and ending with "\r\n" as system texts do; "" when the code is unknown.
std::string SystemErrorText(DWORD code);

// ---- Debugger output ----

// Writes to the debug sink: stderr (UTF-8) unless a sink was installed.
void OutputDebugStringW(const wchar_t* text);
void OutputDebugStringA(const char* text);
// Installs a sink for debugger output (tests capture it); an empty function restores stderr.
void SetDebugOutputSink(std::function<void(const std::wstring&)> sink);

// ---- Windows and messages ----
//
// A window is a procedure registered by a thread, which owns it. SendMessageW calls the
// procedure directly on the owner thread; from another thread it queues the call and waits
// until the owner runs DispatchSentMessages (which a waiting sender also does for its own
// windows, so two threads sending to each other do not deadlock).

// Registers a window owned by the calling thread; never returns null.
HWND CreateMessageWindow(WNDPROC proc);
// Unregisters the window; false when the handle is unknown. Pending sends to it return 0.
bool DestroyWindow(HWND window);
bool IsWindow(HWND window);
DWORD GetCurrentProcessId();
DWORD GetCurrentThreadId();
// Thread id of the owner (0 for an unknown window); the process id goes to *processId.
DWORD GetWindowThreadProcessId(HWND window, DWORD* processId);
// 0 for an unknown or destroyed window.
LRESULT SendMessageW(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
// Runs the messages that other threads sent to this thread's windows; returns how many ran.
unsigned DispatchSentMessages();
