// Threads, locks and conditions through the POSIX thread calls: natively the system's, in
// the Windows build the thread library the toolchain links into every program anyway
// (which also works on systems without the system's own condition variables).
#include <pthread.h>

#include "platform/platform_error.h"
#include "platform/threads.h"

namespace kestrune::platform {

Mutex::Mutex() : impl_(new pthread_mutex_t) { pthread_mutex_init(static_cast<pthread_mutex_t*>(impl_), nullptr); }
Mutex::~Mutex() {
  pthread_mutex_destroy(static_cast<pthread_mutex_t*>(impl_));
  delete static_cast<pthread_mutex_t*>(impl_);
}
void Mutex::lock() { pthread_mutex_lock(static_cast<pthread_mutex_t*>(impl_)); }
void Mutex::unlock() { pthread_mutex_unlock(static_cast<pthread_mutex_t*>(impl_)); }

Condition::Condition() : impl_(new pthread_cond_t) { pthread_cond_init(static_cast<pthread_cond_t*>(impl_), nullptr); }
Condition::~Condition() {
  pthread_cond_destroy(static_cast<pthread_cond_t*>(impl_));
  delete static_cast<pthread_cond_t*>(impl_);
}
void Condition::wait(Mutex& mutex) {
  pthread_cond_wait(static_cast<pthread_cond_t*>(impl_), static_cast<pthread_mutex_t*>(mutex.impl_));
}
void Condition::notifyAll() { pthread_cond_broadcast(static_cast<pthread_cond_t*>(impl_)); }

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
  if (const int code = pthread_create(&state_->thread, nullptr, threadStart, state_)) {
    delete state_;
    throwWin32("pthread_create", static_cast<unsigned long>(code));
  }
}

Thread::~Thread() {
  pthread_join(state_->thread, nullptr);
  delete state_;
}

}  // namespace kestrune::platform
