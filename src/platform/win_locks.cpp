// Locks and conditions of the program's threads: the system's slim locks and condition
// variables where it has them (Windows Vista and later), which wait inside the process
// instead of on a kernel object (under Wine without a call to its server, which made every
// hand-over between the threads that extract ahead cost two process switches); on older
// systems the toolchain's thread library.
#include <windows.h>

#include <pthread.h>

#include <type_traits>

#include "platform/threads.h"

namespace kestrune::platform {

namespace {

// The slim lock and condition calls of kernel32, looked up once (they are not in the import
// table, so the programs still start on systems without them).
struct SlimCalls {
  void(WINAPI* acquire)(void** lock) = nullptr;
  void(WINAPI* release)(void** lock) = nullptr;
  BOOL(WINAPI* sleep)(void** condition, void** lock, DWORD milliseconds, ULONG flags) = nullptr;
  void(WINAPI* wakeAll)(void** condition) = nullptr;
  bool usable = false;
};

const SlimCalls& slim() {
  static const SlimCalls calls = [] {
    SlimCalls c;
    if (HMODULE kernel = GetModuleHandleW(L"kernel32.dll")) {
      auto find = [&](auto& to, const char* name) {
        to = reinterpret_cast<std::remove_reference_t<decltype(to)>>(
            reinterpret_cast<void*>(GetProcAddress(kernel, name)));
        return to != nullptr;
      };
      c.usable = find(c.acquire, "AcquireSRWLockExclusive") && find(c.release, "ReleaseSRWLockExclusive") &&
                 find(c.sleep, "SleepConditionVariableSRW") && find(c.wakeAll, "WakeAllConditionVariable");
    }
    return c;
  }();
  return calls;
}

// A slim lock and a slim condition are each one pointer, zero when unused; otherwise the
// thread library's object of type T, made with init and ended with destroy.
template <class T, class Init>
void* makeLock(Init init) {
  if (slim().usable) return new void*(nullptr);
  T* object = new T;
  init(object);
  return object;
}
template <class T, class Destroy>
void freeLock(void* impl, Destroy destroy) {
  if (slim().usable) {
    delete static_cast<void**>(impl);
  } else {
    destroy(static_cast<T*>(impl));
    delete static_cast<T*>(impl);
  }
}

}  // namespace

Mutex::Mutex() : impl_(makeLock<pthread_mutex_t>([](pthread_mutex_t* m) { pthread_mutex_init(m, nullptr); })) {}
Mutex::~Mutex() { freeLock<pthread_mutex_t>(impl_, pthread_mutex_destroy); }
void Mutex::lock() {
  if (slim().usable) slim().acquire(static_cast<void**>(impl_));
  else pthread_mutex_lock(static_cast<pthread_mutex_t*>(impl_));
}
void Mutex::unlock() {
  if (slim().usable) slim().release(static_cast<void**>(impl_));
  else pthread_mutex_unlock(static_cast<pthread_mutex_t*>(impl_));
}

Condition::Condition()
    : impl_(makeLock<pthread_cond_t>([](pthread_cond_t* c) { pthread_cond_init(c, nullptr); })) {}
Condition::~Condition() { freeLock<pthread_cond_t>(impl_, pthread_cond_destroy); }
void Condition::wait(Mutex& mutex) {
  if (slim().usable) slim().sleep(static_cast<void**>(impl_), static_cast<void**>(mutex.impl_), INFINITE, 0);
  else pthread_cond_wait(static_cast<pthread_cond_t*>(impl_), static_cast<pthread_mutex_t*>(mutex.impl_));
}
void Condition::notifyAll() {
  if (slim().usable) slim().wakeAll(static_cast<void**>(impl_));
  else pthread_cond_broadcast(static_cast<pthread_cond_t*>(impl_));
}

}  // namespace kestrune::platform
