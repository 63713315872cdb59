// Threads through the POSIX thread calls: natively the system's, in the Windows build the
// thread library the toolchain links into every program anyway. The locks and conditions
// are each system's own (posix_locks.cpp, win_locks.cpp).
#include <pthread.h>

#include "platform/platform_error.h"
#include "platform/threads.h"

namespace kestrune::platform {

struct Thread::State {
  std::function<void()> body;
  pthread_t thread{};
};

namespace {
void* threadStart(void* state) {
  // No exception leaves the thread's start routine.
  try {
    static_cast<Thread::State*>(state)->body();
  } catch (...) {
  }
  return nullptr;
}
}  // namespace

Thread::Thread(std::function<void()> body) : state_(new State{std::move(body)}) {
  // The threads compress and inflate: zlib needs a few kilobytes of stack, and the system's
  // default reserve (megabytes) shows in the working set of a program that starts several.
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstacksize(&attributes, size_t{256} << 10);
  const int code = pthread_create(&state_->thread, &attributes, threadStart, state_);
  pthread_attr_destroy(&attributes);
  if (code) {
    delete state_;
    throwWin32("pthread_create", static_cast<unsigned long>(code));
  }
}

Thread::~Thread() {
  pthread_join(state_->thread, nullptr);
  delete state_;
}

}  // namespace kestrune::platform
