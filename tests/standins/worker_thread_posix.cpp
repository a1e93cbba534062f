// The second thread on Linux, for the host tests and the native benchmark: POSIX threads. There are
// no windows to answer, so a wait lasts until the thread has ended.
#include "base/worker_thread.h"

#include <pthread.h>
#include <unistd.h>

#include <cstdlib>

int ProcessorCount() {
    long count = sysconf(_SC_NPROCESSORS_ONLN);
    return count > 1 ? static_cast<int>(count) : 1;
}

struct WorkerThread {
    pthread_t thread;
    void (*work)(void *);
    void *context;
};

namespace {

void *RunWork(void *parameter) {
    WorkerThread *thread = static_cast<WorkerThread *>(parameter);
    thread->work(thread->context);
    return nullptr;
}

}  // namespace

WorkerThread *StartWorkerThread(void (*work)(void *), void *context) {
    WorkerThread *thread = static_cast<WorkerThread *>(std::malloc(sizeof(WorkerThread)));
    if (!thread)
        return nullptr;
    thread->work = work;
    thread->context = context;
    if (pthread_create(&thread->thread, nullptr, RunWork, thread) != 0) {
        std::free(thread);
        return nullptr;
    }
    return thread;
}

int WaitForWorkerThread(WorkerThread *thread, unsigned long) {
    return pthread_join(thread->thread, nullptr) == 0;
}

void CloseWorkerThread(WorkerThread *thread) { std::free(thread); }
