#include "base/worker_thread.h"

#include <windows.h>

#include <cstdlib>

// GetSystemInfo is in every Windows; the 95 family has no multiprocessor support and reports 1.
int ProcessorCount() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info.dwNumberOfProcessors > 1 ? static_cast<int>(info.dwNumberOfProcessors) : 1;
}

struct WorkerThread {
    HANDLE handle;
    void (*work)(void *);
    void *context;
};

namespace {

DWORD WINAPI RunWork(void *parameter) {
    WorkerThread *thread = static_cast<WorkerThread *>(parameter);
    thread->work(thread->context);
    return 0;
}

}  // namespace

// CreateThread, not the runtime's _beginthreadex: the setup starts without the C runtime's start-up
// code, and msvcrt.dll, a DLL, makes its per-thread data (errno, stdio's state) when a thread first
// needs it and frees it when the thread ends, whichever call started the thread. CreateThread and
// MsgWaitForMultipleObjects are in every Windows from 95 and NT 3.1 on; 95 wants the thread id's
// address (null is accepted only from NT on), so one is given.
WorkerThread *StartWorkerThread(void (*work)(void *), void *context) {
    WorkerThread *thread = static_cast<WorkerThread *>(std::malloc(sizeof(WorkerThread)));
    if (!thread)
        return nullptr;
    thread->work = work;
    thread->context = context;
    DWORD id = 0;
    thread->handle = CreateThread(nullptr, 0, RunWork, thread, 0, &id);
    if (!thread->handle) {
        std::free(thread);
        return nullptr;
    }
    return thread;
}

// QS_ALLINPUT wakes the wait for posted, sent, input, paint and timer messages alike: only new
// ones since the caller last looked, so the wait is also bounded by the milliseconds given.
int WaitForWorkerThread(WorkerThread *thread, unsigned long milliseconds) {
    return MsgWaitForMultipleObjects(1, &thread->handle, FALSE, milliseconds, QS_ALLINPUT) == WAIT_OBJECT_0;
}

void CloseWorkerThread(WorkerThread *thread) {
    CloseHandle(thread->handle);
    std::free(thread);
}
