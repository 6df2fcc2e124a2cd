// Host utility library: interned symbols, counted references, localization and tracing.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <type_traits>
#include <utility>

// What the host libraries export: a DLL's exports and imports on Windows, default visibility
// elsewhere. CMake defines qmhost_EXPORTS while it builds the stand-in library itself.
#if defined(_WIN32) && defined(qmhost_EXPORTS)
#define QM_HOST_API __declspec(dllexport)
#elif defined(_WIN32)
#define QM_HOST_API __declspec(dllimport)
#else
#define QM_HOST_API __attribute__((visibility("default")))
#endif

// Marks what only the stand-in offers: the calls with which illhost and the tests build and
// inspect a host, which the real host's interface does not have. The module is compiled with
// ILLANIMATION_MODULE_BUILD and -Werror=deprecated-declarations, so it cannot call them.
#ifdef ILLANIMATION_MODULE_BUILD
#define QM_STANDIN_ONLY [[deprecated("stand-in only: the host's interface has no such call")]]
#else
#define QM_STANDIN_ONLY
#endif

namespace du {

// Interned, immutable text. Two symbols with the same bytes share one stored text.
class QM_HOST_API Symbol {
 public:
  Symbol() noexcept;
  Symbol(char const* text);         // NOLINT(google-explicit-constructor)
  Symbol(std::string const& text);  // NOLINT(google-explicit-constructor)

  char const* c_str() const noexcept { return text_->c_str(); }
  char const* safe_c_str() const noexcept { return text_->c_str(); }
  std::size_t length() const noexcept { return text_->size(); }
  bool empty() const noexcept { return text_->empty(); }
  std::string substr(std::size_t pos, std::size_t count = std::string::npos) const {
    return text_->substr(pos, count);
  }
  void Print(std::ostream& out) const;
  operator std::string() const { return *text_; }  // NOLINT(google-explicit-constructor)
  std::string const& str() const noexcept { return *text_; }

  friend bool operator==(Symbol const& a, Symbol const& b) noexcept { return a.text_ == b.text_; }
  friend bool operator!=(Symbol const& a, Symbol const& b) noexcept { return a.text_ != b.text_; }

  static const Symbol EMPTY;

 private:
  std::string const* text_;
};

inline bool operator==(Symbol const& a, std::string const& b) noexcept { return a.str() == b; }
inline bool operator==(std::string const& a, Symbol const& b) noexcept { return a == b.str(); }
inline bool operator!=(Symbol const& a, std::string const& b) noexcept { return !(a == b); }
inline bool operator!=(std::string const& a, Symbol const& b) noexcept { return !(a == b); }
QM_HOST_API std::ostream& operator<<(std::ostream& out, Symbol const& symbol);

// Intrusive reference count. Every reference is taken and released on behalf of a holder
// (the address of the smart pointer that holds it), which lets the host account for them.
class QM_HOST_API RefCounted {
 public:
  RefCounted() noexcept;
  RefCounted(RefCounted const& other) noexcept;
  RefCounted& operator=(RefCounted const&) noexcept { return *this; }
  virtual ~RefCounted();
  // Asked when a release takes the count to zero; the release has taken that reference back.
  // Answering false keeps the object alive with it, and whoever then owns the object gives it
  // back before destroying it.
  virtual bool ZeroReferenceCountHook() const;

  void AddReference(void const* holder) const noexcept;
  int RemoveReference(void const* holder) const noexcept;
  // A reference changes holder without changing the count (a moved smart pointer).
  void MoveReference(void const* from, void const* to) const noexcept;
  int GetReferenceCount() const noexcept { return count_; }

 private:
  mutable int count_ = 0;
};

namespace detail {
// Releases the reference that `holder` holds on `object`, following the host's protocol.
QM_HOST_API void Release(RefCounted const* object, void const* holder) noexcept;
}  // namespace detail

template <class T>
class SmartPtr {
 public:
  SmartPtr() noexcept = default;
  SmartPtr(std::nullptr_t) noexcept {}                   // NOLINT(google-explicit-constructor)
  SmartPtr(T* object) noexcept : p_(object) { Take(); }  // NOLINT(google-explicit-constructor)
  SmartPtr(SmartPtr const& other) noexcept : p_(other.p_) { Take(); }
  SmartPtr(SmartPtr&& other) noexcept : p_(other.p_) {
    if (p_) p_->MoveReference(&other, this);
    other.p_ = nullptr;
  }
  // From a pointer to a derived class only: the constraint keeps a down-cast or a cast to an
  // unrelated class out of overload resolution, where the type traits can see it.
  template <class U, class = std::enable_if_t<std::is_convertible_v<U*, T*>>>
  SmartPtr(SmartPtr<U> const& other) noexcept : p_(other.get()) {  // NOLINT
    Take();
  }
  ~SmartPtr() { Drop(); }

  SmartPtr& operator=(SmartPtr const& other) noexcept { return Assign(other.p_); }
  SmartPtr& operator=(T* object) noexcept { return Assign(object); }
  SmartPtr& operator=(SmartPtr&& other) noexcept {
    if (this != &other) {
      Drop();
      p_ = other.p_;
      if (p_) p_->MoveReference(&other, this);
      other.p_ = nullptr;
    }
    return *this;
  }

  T* get() const noexcept { return p_; }
  T* operator->() const noexcept { return p_; }
  T& operator*() const noexcept { return *p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }
  void reset() noexcept { Drop(); }

  template <class U>
  SmartPtr<U> DynamicCast() const noexcept {
    return SmartPtr<U>(dynamic_cast<U*>(p_));
  }
  template <class U>
  SmartPtr<U> StaticCast() const noexcept {
    return SmartPtr<U>(static_cast<U*>(p_));
  }

 private:
  SmartPtr& Assign(T* object) noexcept {
    if (object) object->AddReference(this);
    T* old = p_;
    p_ = object;
    if (old) detail::Release(old, this);
    return *this;
  }
  void Take() noexcept {
    if (p_) p_->AddReference(this);
  }
  void Drop() noexcept {
    if (p_) {
      T* old = p_;
      p_ = nullptr;
      detail::Release(old, this);
    }
  }
  T* p_ = nullptr;
};

template <class T>
class ConstSmartPtr {
 public:
  ConstSmartPtr() noexcept = default;
  ConstSmartPtr(std::nullptr_t) noexcept {}  // NOLINT(google-explicit-constructor)
  ConstSmartPtr(T const* object) noexcept : p_(object) { Take(); }                // NOLINT
  ConstSmartPtr(SmartPtr<T> const& other) noexcept : p_(other.get()) { Take(); }  // NOLINT
  ConstSmartPtr(ConstSmartPtr const& other) noexcept : p_(other.p_) { Take(); }
  ConstSmartPtr(ConstSmartPtr&& other) noexcept : p_(other.p_) {
    if (p_) p_->MoveReference(&other, this);
    other.p_ = nullptr;
  }
  ~ConstSmartPtr() { Drop(); }
  ConstSmartPtr& operator=(ConstSmartPtr other) noexcept {
    Drop();
    p_ = other.p_;
    if (p_) p_->MoveReference(&other, this);
    other.p_ = nullptr;
    return *this;
  }

  T const* get() const noexcept { return p_; }
  T const* operator->() const noexcept { return p_; }
  T const& operator*() const noexcept { return *p_; }
  explicit operator bool() const noexcept { return p_ != nullptr; }

 private:
  void Take() noexcept {
    if (p_) p_->AddReference(this);
  }
  void Drop() noexcept {
    if (p_) {
      T const* old = p_;
      p_ = nullptr;
      detail::Release(old, this);
    }
  }
  T const* p_ = nullptr;
};

// Looks messages up in the host's message catalogues.
class QM_HOST_API Localizer {
 public:
  enum ActionOnFailure { ReturnMessageId = 0, ReturnEmpty = 1 };
  explicit Localizer(std::string const& catalogue);
  ~Localizer();
  std::string LocalizeMessage(std::string const& id, ActionOnFailure action) const;

  // The text of a catalogue message.
  QM_STANDIN_ONLY static void SetMessage(std::string const& catalogue, std::string const& id,
                                         std::string text);
  // Takes a message out of its catalogue: LocalizeMessage then answers as its action says.
  QM_STANDIN_ONLY static void RemoveMessage(std::string const& catalogue, std::string const& id);

 private:
  std::string catalogue_;
};

}  // namespace du

namespace dp {

// Writes trace messages tagged with a module and a category name.
class QM_HOST_API QMTracer {
 public:
  QMTracer(char const* module, char const* category);
  ~QMTracer();
  void operator()(char const* message) const;

 private:
  char const* module_;
  char const* category_;
};

}  // namespace dp
