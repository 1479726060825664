#pragma once
// A callable that holds any function object of a given signature: the
// program's event handlers, answers and jobs. Stored in place of
// std::function because every function object a std::function holds brings
// its own manager (type information, copy, destroy) beside its invoker, each
// with its unwind table, and the program has a few hundred of them. Here a
// small trivially copyable function object (the usual `[this]` or
// `[this, row]` lambda) is kept inside the callable itself and brings only
// its invoker: copying and destroying it is copying and forgetting bytes.
// Any other function object is kept on the heap with a manager of its own,
// as std::function would.
//
// Used as std::function is: assigned from a lambda or nullptr, tested with
// `if (handler)`, called with `handler(args…)`. Calling an empty one throws
// std::bad_function_call.
#include <cstddef>
#include <new>
#include <type_traits>
#include <utility>

namespace korvane {

[[noreturn]] void ThrowEmptyCallback();

template <class Signature>
class Callback;

template <class R, class... Args>
class Callback<R(Args...)> {
  // Room for three pointers: `this` and two more captured words.
  union Store {
    void* heap;
    alignas(void*) unsigned char local[3 * sizeof(void*)];
  };
  using Invoker = R (*)(Store& store, Args&&... args);
  // Copies `from` into `to` (an empty store), or destroys `to` when `from`
  // is null.
  using Manager = void (*)(Store& to, const Store* from);

  template <class F>
  static constexpr bool kLocal = sizeof(F) <= sizeof(Store) && alignof(F) <= alignof(Store) &&
                                 std::is_trivially_copyable_v<F> && std::is_trivially_destructible_v<F>;

  template <class F>
  static F& Target(Store& store) {
    if constexpr (kLocal<F>) {
      return *std::launder(reinterpret_cast<F*>(store.local));
    } else {
      return *static_cast<F*>(store.heap);
    }
  }

  template <class F>
  static R Invoke(Store& store, Args&&... args) {
    if constexpr (std::is_void_v<R>) {
      static_cast<void>(Target<F>(store)(std::forward<Args>(args)...));
    } else {
      return Target<F>(store)(std::forward<Args>(args)...);
    }
  }

  template <class F>
  static void Manage(Store& to, const Store* from) {
    if (from) {
      to.heap = new F(*static_cast<const F*>(from->heap));
    } else {
      delete static_cast<F*>(to.heap);
    }
  }

  template <class F>
  static bool IsNull(const F& f) {
    if constexpr (std::is_pointer_v<F> || std::is_member_pointer_v<F>) {
      return f == nullptr;
    } else {
      return false;
    }
  }

 public:
  Callback() noexcept = default;
  Callback(std::nullptr_t) noexcept {}

  template <class F, class D = std::decay_t<F>>
    requires(!std::is_same_v<D, Callback> && std::is_invocable_r_v<R, D&, Args...>)
  Callback(F&& f) {
    if (IsNull(f)) {
      return;
    }
    if constexpr (kLocal<D>) {
      ::new (static_cast<void*>(store_.local)) D(std::forward<F>(f));
    } else {
      store_.heap = new D(std::forward<F>(f));
      manager_ = &Manage<D>;
    }
    invoker_ = &Invoke<D>;
  }

  Callback(const Callback& other) : invoker_(other.invoker_), manager_(other.manager_) {
    if (manager_) {
      manager_(store_, &other.store_);
    } else {
      store_ = other.store_;
    }
  }
  Callback(Callback&& other) noexcept
      : store_(other.store_), invoker_(other.invoker_), manager_(other.manager_) {
    other.invoker_ = nullptr;
    other.manager_ = nullptr;
  }
  ~Callback() {
    if (manager_) {
      manager_(store_, nullptr);
    }
  }

  Callback& operator=(const Callback& other) {
    if (this != &other) {
      Callback copy(other);
      Swap(copy);
    }
    return *this;
  }
  Callback& operator=(Callback&& other) noexcept {
    Callback moved(std::move(other));
    Swap(moved);
    return *this;
  }
  Callback& operator=(std::nullptr_t) noexcept {
    Callback empty;
    Swap(empty);
    return *this;
  }
  template <class F, class D = std::decay_t<F>>
    requires(!std::is_same_v<D, Callback> && std::is_invocable_r_v<R, D&, Args...>)
  Callback& operator=(F&& f) {
    Callback made(std::forward<F>(f));
    Swap(made);
    return *this;
  }

  explicit operator bool() const noexcept { return invoker_ != nullptr; }
  friend bool operator==(const Callback& callback, std::nullptr_t) noexcept { return !callback; }

  R operator()(Args... args) const {
    if (!invoker_) {
      ThrowEmptyCallback();
    }
    return invoker_(store_, std::forward<Args>(args)...);
  }

 private:
  void Swap(Callback& other) noexcept {
    std::swap(store_, other.store_);
    std::swap(invoker_, other.invoker_);
    std::swap(manager_, other.manager_);
  }

  mutable Store store_{};
  Invoker invoker_ = nullptr;
  Manager manager_ = nullptr;
};

}  // namespace korvane
