#include "platform/linux/secret_service_keychain.hpp"

#include <libsecret/secret.h>

#include <cstddef>
#include <memory>
#include <string_view>

namespace deskplay::platform {

namespace {

const SecretSchema& itemSchema() {
  static const SecretSchema schema = [] {
    SecretSchema built{};
    built.name = SecretServiceKeychain::kSchemaName;
    // Matching on the schema name keeps other applications' items with the same attribute
    // names out of every lookup and delete.
    built.flags = SECRET_SCHEMA_NONE;
    built.attributes[0] = {"service", SECRET_SCHEMA_ATTRIBUTE_STRING};
    built.attributes[1] = {"account", SECRET_SCHEMA_ATTRIBUTE_STRING};
    return built;
  }();
  return schema;
}

struct ObjectUnref {
  void operator()(void* object) const { g_object_unref(object); }
};
struct ValueUnref {
  void operator()(SecretValue* value) const { secret_value_unref(value); }
};
using SecretValuePtr = std::unique_ptr<SecretValue, ValueUnref>;

gboolean cancelOnTimeout(gpointer cancellable) {
  g_cancellable_cancel(static_cast<GCancellable*>(cancellable));
  return G_SOURCE_REMOVE;
}

// Runs libsecret's asynchronous calls one after the other on a main context of its own,
// for at most the timeout in all, so that a bus or a prompt that never answers cannot block
// the caller for good. The work libsecret leaves on that context (releasing the signal
// subscriptions of the item objects a search made) runs before the context goes; libsecret's
// blocking search drops that work, which leaks.
class SecretCalls {
 public:
  explicit SecretCalls(std::chrono::milliseconds timeout)
      : context_(g_main_context_new()),
        cancellable_(g_cancellable_new()),
        timeout_(g_timeout_source_new(static_cast<guint>(timeout.count()))),
        timeoutLength_(timeout) {
    g_main_context_push_thread_default(context_);
    g_source_set_callback(timeout_, cancelOnTimeout, cancellable_, nullptr);
    g_source_attach(timeout_, context_);
  }
  SecretCalls(const SecretCalls&) = delete;
  SecretCalls& operator=(const SecretCalls&) = delete;
  ~SecretCalls() {
    finished_.reset();
    g_source_destroy(timeout_);
    g_source_unref(timeout_);
    while (g_main_context_iteration(context_, FALSE) != FALSE) {
    }
    g_main_context_pop_thread_default(context_);
    g_main_context_unref(context_);
    g_object_unref(cancellable_);
  }

  GCancellable* cancellable() const { return cancellable_; }
  static GAsyncReadyCallback callback() { return onFinished; }
  gpointer userData() { return this; }

  // The result of the call just started, valid until the next wait.
  GAsyncResult* wait() {
    finished_.reset();
    while (finished_ == nullptr) g_main_context_iteration(context_, TRUE);
    return finished_.get();
  }

  bool expired() const { return g_cancellable_is_cancelled(cancellable_) != FALSE; }
  std::chrono::milliseconds timeout() const { return timeoutLength_; }

 private:
  static void onFinished(GObject*, GAsyncResult* result, gpointer self) {
    static_cast<SecretCalls*>(self)->finished_.reset(
        static_cast<GAsyncResult*>(g_object_ref(result)));
  }

  GMainContext* context_;
  GCancellable* cancellable_;
  GSource* timeout_;
  std::chrono::milliseconds timeoutLength_;
  std::unique_ptr<GAsyncResult, ObjectUnref> finished_;
};

// The error a libsecret call leaves behind, freed with its holder.
class ErrorSlot {
 public:
  ErrorSlot() = default;
  ErrorSlot(const ErrorSlot&) = delete;
  ErrorSlot& operator=(const ErrorSlot&) = delete;
  ~ErrorSlot() {
    if (error_ != nullptr) g_error_free(error_);
  }

  GError** out() { return &error_; }
  bool isSet() const { return error_ != nullptr; }
  bool isCancellation() const {
    return g_error_matches(error_, G_IO_ERROR, G_IO_ERROR_CANCELLED) != FALSE;
  }
  std::string_view message() const {
    return error_ != nullptr ? error_->message : "no reason given";
  }

 private:
  GError* error_ = nullptr;
};

Error failure(std::string_view action, const ErrorSlot& error, const SecretCalls& calls) {
  std::string message;
  // Nothing but a timeout cancels; a connection attempt that an earlier call gave up on
  // fails with that call's cancellation.
  if (calls.expired() || error.isCancellation()) {
    message = "The keychain did not answer within " + std::to_string(calls.timeout().count()) +
              " ms when asked to " + std::string(action);
  } else {
    message = "The keychain could not " + std::string(action);
  }
  message += ": ";
  message += error.message();
  return Error{message};
}

// How many of our items carry this service and account, locked ones included.
Result<std::size_t> countItems(SecretCalls& calls, const std::string& service,
                               const std::string& account, SecretSearchFlags flags) {
  secret_password_search(&itemSchema(), flags, calls.cancellable(), SecretCalls::callback(),
                         calls.userData(), "service", service.c_str(), "account", account.c_str(),
                         nullptr);
  ErrorSlot error;
  GList* found = secret_password_search_finish(calls.wait(), error.out());
  const std::size_t count = g_list_length(found);
  g_list_free_full(found, g_object_unref);
  if (error.isSet()) return failure("search for the item", error, calls);
  return count;
}

SecretSearchFlags allItems(SecretSearchFlags extra) {
  return static_cast<SecretSearchFlags>(SECRET_SEARCH_ALL | extra);
}

}  // namespace

SecretServiceKeychain::SecretServiceKeychain(std::chrono::milliseconds answerTimeout)
    : answerTimeout_(answerTimeout) {}

std::optional<Keychain::Secret> SecretServiceKeychain::copyPassword(const std::string& service,
                                                                    const std::string& account) {
  SecretCalls calls(answerTimeout_);
  secret_password_lookup(&itemSchema(), calls.cancellable(), SecretCalls::callback(),
                         calls.userData(), "service", service.c_str(), "account", account.c_str(),
                         nullptr);
  // Whatever keeps the secret from us (no item, a locked collection, no service) reads as no
  // item, so the error is dropped.
  ErrorSlot error;
  const SecretValuePtr value(secret_password_lookup_binary_finish(calls.wait(), error.out()));
  if (value == nullptr) return std::nullopt;
  gsize length = 0;
  const auto* bytes =
      reinterpret_cast<const unsigned char*>(secret_value_get(value.get(), &length));
  return Secret(bytes, bytes + length);
}

Status SecretServiceKeychain::addPassword(const std::string& service, const std::string& account,
                                          const Secret& secret, Access) {
  // The Secret Service has no access classes: any item is readable while its collection is
  // unlocked, which covers "after the first unlock".
  SecretCalls calls(answerTimeout_);
  // Storing replaces an item with the same attributes, so an existing one is looked for first;
  // it counts even while locked.
  const Result<std::size_t> existing =
      countItems(calls, service, account, allItems(SECRET_SEARCH_NONE));
  if (!existing.ok()) return existing.error();
  if (existing.value() > 0) return Error{kKeychainDuplicateItem};

  const SecretValuePtr value(secret_value_new(reinterpret_cast<const gchar*>(secret.data()),
                                              static_cast<gssize>(secret.size()),
                                              "application/octet-stream"));
  const std::string label = service + " (" + account + ")";
  secret_password_store_binary(&itemSchema(), SECRET_COLLECTION_DEFAULT, label.c_str(), value.get(),
                               calls.cancellable(), SecretCalls::callback(), calls.userData(),
                               "service", service.c_str(), "account", account.c_str(), nullptr);
  ErrorSlot error;
  if (secret_password_store_finish(calls.wait(), error.out()) == FALSE) {
    return failure("store the item", error, calls);
  }
  return Status::success();
}

Status SecretServiceKeychain::deletePasswords(const std::string& service,
                                              const std::string& account) {
  SecretCalls calls(answerTimeout_);
  // Only unlocked items can be deleted: unlocking them first may ask the user.
  const Result<std::size_t> found =
      countItems(calls, service, account, allItems(SECRET_SEARCH_UNLOCK));
  if (!found.ok()) return found.error();
  if (found.value() == 0) return Error{kKeychainItemNotFound};

  secret_password_clear(&itemSchema(), calls.cancellable(), SecretCalls::callback(),
                        calls.userData(), "service", service.c_str(), "account", account.c_str(),
                        nullptr);
  ErrorSlot error;
  secret_password_clear_finish(calls.wait(), error.out());
  if (error.isSet()) return failure("delete the item", error, calls);

  const Result<std::size_t> left =
      countItems(calls, service, account, allItems(SECRET_SEARCH_NONE));
  if (!left.ok()) return left.error();
  if (left.value() > 0) {
    return Error{"The keychain kept " + std::to_string(left.value()) +
                 " locked item(s) that it could not unlock for deletion."};
  }
  return Status::success();
}

}  // namespace deskplay::platform
