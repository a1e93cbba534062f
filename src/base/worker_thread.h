// A second thread for work that needs no window, where the machine has a second processor.
#pragma once

// The processors the system runs the setup on: 1 on the 95 family, which runs on one only.
int ProcessorCount();

// Starts work(context) on a thread of its own; null when none could be started (the caller then
// does the work itself). The work must never touch a window: only the wizard's thread does.
struct WorkerThread;
WorkerThread *StartWorkerThread(void (*work)(void *), void *context);
// Waits until the thread has ended (1), or until the given milliseconds have passed or a message
// has arrived for the caller's thread (0), so that the caller can answer its windows meanwhile.
int WaitForWorkerThread(WorkerThread *thread, unsigned long milliseconds);
// Once it has ended.
void CloseWorkerThread(WorkerThread *thread);
