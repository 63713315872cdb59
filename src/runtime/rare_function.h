// An event field that is rarely set, in one pointer: a std::function takes four (16 bytes
// on Win32) in every object even when empty, and the install objects that a script makes
// by the thousand carry a dozen such events that hardly any program sets.
#pragma once
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

namespace kestrune {

template <class Signature>
class RareFunction;

template <class R, class... Args>
class RareFunction<R(Args...)> {
 public:
  using Function = std::function<R(Args...)>;

  RareFunction() = default;
  RareFunction(std::nullptr_t) {}
  template <class F, class = std::enable_if_t<!std::is_same_v<std::decay_t<F>, RareFunction> &&
                                              std::is_constructible_v<Function, F&&>>>
  RareFunction(F&& f) {
    assign(Function(std::forward<F>(f)));
  }
  RareFunction(const RareFunction& other) { assign(other.get()); }
  RareFunction(RareFunction&&) noexcept = default;
  RareFunction& operator=(const RareFunction& other) {
    if (this != &other) assign(other.get());
    return *this;
  }
  RareFunction& operator=(RareFunction&&) noexcept = default;
  RareFunction& operator=(std::nullptr_t) {
    f_.reset();
    return *this;
  }
  template <class F, class = std::enable_if_t<!std::is_same_v<std::decay_t<F>, RareFunction> &&
                                              std::is_constructible_v<Function, F&&>>>
  RareFunction& operator=(F&& f) {
    assign(Function(std::forward<F>(f)));
    return *this;
  }

  explicit operator bool() const { return f_ != nullptr; }
  // As std::function: calling an empty one raises std::bad_function_call.
  R operator()(Args... args) const {
    if (!f_) throw std::bad_function_call();
    return (*f_)(std::forward<Args>(args)...);
  }
  // A copy as a std::function (empty when unset).
  Function get() const { return f_ ? *f_ : Function(); }

 private:
  void assign(Function f) {
    if (f) f_ = std::make_unique<Function>(std::move(f));
    else f_.reset();
  }

  std::unique_ptr<Function> f_;
};

template <class F>
struct SignatureOf;
template <class Signature>
struct SignatureOf<std::function<Signature>> {
  using type = Signature;
};
// The RareFunction of an event type declared as a std::function.
template <class Event>
using RareEvent = RareFunction<typename SignatureOf<Event>::type>;

}  // namespace kestrune
