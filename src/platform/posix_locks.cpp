// Locks and conditions of the program's threads through the POSIX thread calls.
#include <pthread.h>

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

}  // namespace kestrune::platform
