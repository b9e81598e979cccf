#!/usr/bin/env bash
# Reads the import tables of built programs and fails on any DLL or function that the oldest
# system they must run on (Windows Vista) lacks. Such a function has to be looked up at run time
# (GetProcAddress) instead: a program importing it does not load at all there.
# Usage: check-imports.sh OBJDUMP PROGRAM...
set -u
objdump=$1
shift

# DLLs Vista does not have.
denied_dlls='^(shcore|api-ms-win-.*|ext-ms-win-.*|d3d12|dcomp|windows\.ui.*|combase|bcryptprimitives)\.dll$'
# Functions of Windows 7 and later in DLLs Vista does have.
denied_functions='^(SetCurrentProcessExplicitAppUserModelID|GetCurrentProcessExplicitAppUserModelID|GetDpiForWindow|GetDpiForSystem|GetDpiForMonitor|SetProcessDpiAwareness|SetProcessDpiAwarenessContext|SetThreadDpiAwarenessContext|GetThreadDpiAwarenessContext|AdjustWindowRectExForDpi|SystemParametersInfoForDpi|GetSystemMetricsForDpi|EnableNonClientDpiScaling|ChangeWindowMessageFilterEx|Shell_NotifyIconGetRect|GetSystemTimePreciseAsFileTime|CreateFile2|SetDefaultDllDirectories|AddDllDirectory|RemoveDllDirectory|RegisterTouchWindow|GetTouchInputInfo|RegisterPointerInputTarget|GetPointerInfo|SHGetPropertyStoreForWindow|SetWindowDisplayAffinity|PowerCreateRequest|CreateRemoteThreadEx|GetLogicalProcessorInformationEx|InitializeProcThreadAttributeList|UpdateProcThreadAttribute|WaitOnAddress|WakeByAddressSingle|WakeByAddressAll|TryAcquireSRWLockExclusive|TryAcquireSRWLockShared|SleepConditionVariableSRW.*Ex|DiscardVirtualMemory|PrefetchVirtualMemory|GetSystemTimeAdjustmentPrecise|QueryUnbiasedInterruptTime|SetThreadDescription|GetThreadDescription)$'

status=0
for program in "$@"; do
    name=$(basename "$program")
    if [ ! -f "$program" ]; then
        echo "$name: not built" >&2
        status=1
        continue
    fi
    table=$("$objdump" -p "$program") || { echo "$name: cannot be read" >&2; status=1; continue; }
    # DLL names from "DLL Name: X" lines, function names from the hint/name rows below them
    # (also the delay-load table's, which objdump lists the same way).
    dlls=$(printf '%s\n' "$table" | sed -n 's/^[[:space:]]*DLL Name: //p')
    functions=$(printf '%s\n' "$table" | awk '/DLL Name:/ {inside = 1; next} inside && /^[[:space:]]+[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+[A-Za-z_]/ {print $NF}')
    if [ -z "$dlls" ]; then
        echo "$name: no import table found" >&2
        status=1
        continue
    fi
    bad=$(printf '%s\n' "$dlls" | tr 'A-Z' 'a-z' | grep -E "$denied_dlls")
    if [ -n "$bad" ]; then
        echo "$name imports DLLs Windows Vista lacks:" $bad >&2
        status=1
    fi
    bad=$(printf '%s\n' "$functions" | grep -E "$denied_functions")
    if [ -n "$bad" ]; then
        echo "$name imports functions Windows Vista lacks:" $bad >&2
        status=1
    fi
    echo "$name: $(printf '%s\n' "$dlls" | wc -l) DLLs, $(printf '%s\n' "$functions" | wc -l) functions"
done
exit $status
