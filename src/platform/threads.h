// Threads of the program, with a lock and a condition to wait on (not the C++ library's,
// which would bring its system_error and runtime_error into the shipped programs).
#pragma once
#include <functional>

namespace kestrune::platform {

class Mutex {
 public:
  Mutex();
  ~Mutex();
  Mutex(const Mutex&) = delete;
  Mutex& operator=(const Mutex&) = delete;
  void lock();
  void unlock();

 private:
  friend class Condition;
  void* impl_;
};

// Waits of threads for a change that another thread announces; the waiter holds the mutex.
class Condition {
 public:
  Condition();
  ~Condition();
  Condition(const Condition&) = delete;
  Condition& operator=(const Condition&) = delete;
  // Releases the mutex while waiting (a wake may come without a change: test again).
  void wait(Mutex& mutex);
  void notifyAll();

 private:
  void* impl_;
};

// Runs body on a thread of its own, with a stack of 256 KB (the bodies compress and inflate:
// zlib's state is on the heap); the destructor waits for it (join). body must not throw.
class Thread {
 public:
  // Raises PlatformError when the system starts no thread.
  explicit Thread(std::function<void()> body);
  ~Thread();
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;

 struct State;

 private:
  State* state_;
};

}  // namespace kestrune::platform
