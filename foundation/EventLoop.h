#pragma once
// The application's event loop as the plain C++ core sees it. Worker threads
// hand work to the main thread by posting calls; the main thread runs them
// whenever it lets pending events run (its own loop, or the waits of long
// operations). The Qt layer installs the real pump (QCoreApplication::
// processEvents) and a poster that queues calls into Qt's event loop.
// Without them, posted calls wait in a queue of our own that the default
// pump drains, which is what the tests and the core-only builds use.
#include <exception>
#include <functional>

// Let the application's pending events (and posted calls) run once; returns
// at once when nothing is pending. Main thread only.
void ProcessPendingEvents();

// Like ProcessPendingEvents, but first sleeps until a call is posted or
// maxMs milliseconds have passed, so that a waiting loop does not spin.
// Main thread only.
void WaitForPendingEvents(int maxMs);

// The pump lets the application's own events run; posted calls waiting in
// our queue run after it in any case. An empty pump restores the default,
// which only drains that queue.
void SetEventPump(std::function<void()> pump);

// Runs `call` on the main thread some time later. Callable from any thread.
void PostToMainThread(std::function<void()> call);

// How posted calls reach the main thread. The Qt layer installs one that
// queues the call into the main thread's event loop; an empty poster
// restores the default queue.
using MainThreadPoster = std::function<void(std::function<void()>)>;
void SetMainThreadPoster(MainThreadPoster poster);

// True on the thread that started the program (the thread that ran static
// initialisation).
bool IsMainThread();

// Reports an exception that escaped a posted call, the way the application
// reports unexpected errors. The default writes its message to stderr; the
// Qt layer may install one that shows it. An empty handler restores the default.
void SetExceptionHandler(std::function<void(std::exception_ptr)> handler);
void HandleException(std::exception_ptr error);
