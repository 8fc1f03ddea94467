// The keychain against a real gnome-keyring, in a D-Bus session of the test's own.
#include "platform/linux/secret_service_keychain.hpp"

#include <gtest/gtest.h>
#include <libsecret/secret.h>

#include <chrono>
#include <cstddef>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>

namespace deskplay::platform {
namespace {

using Secret = Keychain::Secret;
constexpr auto kAccess = Keychain::Access::afterFirstUnlock;

Secret bytes(std::string_view text) {
  return Secret(text.begin(), text.end());
}

struct ErrorFree {
  void operator()(GError* error) const { g_error_free(error); }
};
struct ObjectUnref {
  void operator()(void* object) const { g_object_unref(object); }
};
struct TableUnref {
  void operator()(GHashTable* table) const { g_hash_table_unref(table); }
};
struct VariantUnref {
  void operator()(GVariant* variant) const { g_variant_unref(variant); }
};
struct ValueUnref {
  void operator()(SecretValue* value) const { secret_value_unref(value); }
};

std::string messageOf(GError* error) {
  return error != nullptr ? error->message : "";
}

// The session's service and its default collection, reached directly through libsecret.
struct DefaultCollection {
  std::unique_ptr<SecretService, ObjectUnref> service;
  std::unique_ptr<SecretCollection, ObjectUnref> collection;
};

void openDefaultCollection(DefaultCollection& opened) {
  GError* rawError = nullptr;
  opened.service.reset(secret_service_get_sync(SECRET_SERVICE_NONE, nullptr, &rawError));
  std::unique_ptr<GError, ErrorFree> error(rawError);
  ASSERT_NE(opened.service, nullptr) << messageOf(error.get());
  rawError = nullptr;
  opened.collection.reset(secret_collection_for_alias_sync(
      opened.service.get(), SECRET_COLLECTION_DEFAULT, SECRET_COLLECTION_NONE, nullptr, &rawError));
  error.reset(rawError);
  ASSERT_NE(opened.collection, nullptr) << messageOf(error.get());
}

// An item made behind the adapter's back: a duplicate, which the adapter never creates, or
// an item of another application's schema with the same attribute names.
void createItem(const char* schemaName, const std::string& service, const std::string& account,
                std::string_view secret) {
  SecretSchema schema{};
  schema.name = schemaName;
  schema.flags = SECRET_SCHEMA_NONE;
  schema.attributes[0] = {"service", SECRET_SCHEMA_ATTRIBUTE_STRING};
  schema.attributes[1] = {"account", SECRET_SCHEMA_ATTRIBUTE_STRING};

  DefaultCollection opened;
  ASSERT_NO_FATAL_FAILURE(openDefaultCollection(opened));

  const std::unique_ptr<GHashTable, TableUnref> attributes(secret_attributes_build(
      &schema, "service", service.c_str(), "account", account.c_str(), nullptr));
  const std::unique_ptr<SecretValue, ValueUnref> value(
      secret_value_new(secret.data(), static_cast<gssize>(secret.size()), "text/plain"));
  GError* rawError = nullptr;
  const std::unique_ptr<SecretItem, ObjectUnref> item(secret_item_create_sync(
      opened.collection.get(), &schema, attributes.get(), "made by the test", value.get(),
      SECRET_ITEM_CREATE_NONE, nullptr, &rawError));
  const std::unique_ptr<GError, ErrorFree> error(rawError);
  ASSERT_NE(item, nullptr) << messageOf(error.get());
}

// Items with this service and account under any schema, locked ones included.
std::size_t countItemsOfAnySchema(const std::string& service, const std::string& account) {
  const std::unique_ptr<GHashTable, TableUnref> attributes(
      g_hash_table_new(g_str_hash, g_str_equal));
  g_hash_table_insert(attributes.get(), const_cast<char*>("service"),
                      const_cast<char*>(service.c_str()));
  g_hash_table_insert(attributes.get(), const_cast<char*>("account"),
                      const_cast<char*>(account.c_str()));
  GError* rawError = nullptr;
  GList* found = secret_service_search_sync(nullptr, nullptr, attributes.get(), SECRET_SEARCH_ALL,
                                            nullptr, &rawError);
  const std::unique_ptr<GError, ErrorFree> error(rawError);
  EXPECT_EQ(error, nullptr) << messageOf(error.get());
  const std::size_t count = g_list_length(found);
  g_list_free_full(found, g_object_unref);
  return count;
}

class SecretServiceKeychainTest : public ::testing::Test {
 protected:
  // Each test has items of its own, so tests that share one keyring do not meet.
  std::string service =
      std::string("test.") + ::testing::UnitTest::GetInstance()->current_test_info()->name();
  std::string account = "room-server-session";
  SecretServiceKeychain keychain;
};

TEST_F(SecretServiceKeychainTest, CopyOfAMissingItemIsAbsentAndDeleteOfItFails) {
  EXPECT_EQ(keychain.copyPassword(service, account), std::nullopt);
  const Status deleted = keychain.deletePasswords(service, account);
  ASSERT_FALSE(deleted.ok());
  EXPECT_EQ(deleted.message(), kKeychainItemNotFound);
}

TEST_F(SecretServiceKeychainTest, AddingAnExistingItemFailsAndKeepsTheOldSecret) {
  ASSERT_TRUE(keychain.addPassword(service, account, bytes("old"), kAccess).ok());
  const Status again = keychain.addPassword(service, account, bytes("new"), kAccess);
  ASSERT_FALSE(again.ok());
  EXPECT_EQ(again.message(), kKeychainDuplicateItem);
  EXPECT_EQ(keychain.copyPassword(service, account), bytes("old"));
  EXPECT_EQ(countItemsOfAnySchema(service, account), 1u);
}

TEST_F(SecretServiceKeychainTest, DeleteRemovesEveryMatch) {
  createItem(SecretServiceKeychain::kSchemaName, service, account, "first");
  createItem(SecretServiceKeychain::kSchemaName, service, account, "second");
  ASSERT_EQ(countItemsOfAnySchema(service, account), 2u);
  EXPECT_NE(keychain.copyPassword(service, account), std::nullopt);

  ASSERT_TRUE(keychain.deletePasswords(service, account).ok());
  EXPECT_EQ(countItemsOfAnySchema(service, account), 0u);
  EXPECT_EQ(keychain.copyPassword(service, account), std::nullopt);
  EXPECT_EQ(keychain.deletePasswords(service, account).message(), kKeychainItemNotFound);
}

TEST_F(SecretServiceKeychainTest, DeleteThenAddReplacesTheSecret) {
  ASSERT_TRUE(keychain.addPassword(service, account, bytes("old"), kAccess).ok());
  ASSERT_TRUE(keychain.deletePasswords(service, account).ok());
  ASSERT_TRUE(keychain.addPassword(service, account, bytes("new"), kAccess).ok());
  EXPECT_EQ(keychain.copyPassword(service, account), bytes("new"));
}

TEST_F(SecretServiceKeychainTest, OnlyTheNamedItemOfOurSchemaIsTouched) {
  const std::string otherService = "other." + service;
  ASSERT_TRUE(keychain.addPassword(service, account, bytes("ours"), kAccess).ok());
  ASSERT_TRUE(keychain.addPassword(service, "other-account", bytes("other account"), kAccess).ok());
  ASSERT_TRUE(keychain.addPassword(otherService, account, bytes("other service"), kAccess).ok());
  createItem("org.example.OtherApplication", service, account, "another application's");

  ASSERT_TRUE(keychain.deletePasswords(service, account).ok());
  EXPECT_EQ(keychain.copyPassword(service, account), std::nullopt)
      << "another application's item is not ours to read";
  EXPECT_EQ(keychain.copyPassword(service, "other-account"), bytes("other account"));
  EXPECT_EQ(keychain.copyPassword(otherService, account), bytes("other service"));
  EXPECT_EQ(countItemsOfAnySchema(service, account), 1u);

  ASSERT_TRUE(keychain.addPassword(service, account, bytes("ours again"), kAccess).ok())
      << "another application's item is no duplicate";
  EXPECT_EQ(keychain.copyPassword(service, account), bytes("ours again"));
}

// Locks the default collection, as the session does when the user locks the keyring.
void lockDefaultCollection() {
  DefaultCollection opened;
  ASSERT_NO_FATAL_FAILURE(openDefaultCollection(opened));
  GList objects{opened.collection.get(), nullptr, nullptr};
  GError* rawError = nullptr;
  const gint locked =
      secret_service_lock_sync(opened.service.get(), &objects, nullptr, nullptr, &rawError);
  const std::unique_ptr<GError, ErrorFree> error(rawError);
  ASSERT_EQ(locked, 1) << messageOf(error.get());
}

// Unlocks it again with the keyring's password, as the desktop's own keyring tools do,
// without a prompt.
void unlockDefaultCollection() {
  GError* rawError = nullptr;
  const std::unique_ptr<GDBusConnection, ObjectUnref> bus(
      g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, &rawError));
  std::unique_ptr<GError, ErrorFree> error(rawError);
  ASSERT_NE(bus, nullptr) << messageOf(error.get());
  const auto call = [&](const char* interface, const char* method, GVariant* arguments) {
    rawError = nullptr;
    GVariant* reply = g_dbus_connection_call_sync(
        bus.get(), "org.freedesktop.secrets", "/org/freedesktop/secrets", interface, method,
        arguments, nullptr, G_DBUS_CALL_FLAGS_NONE, -1, nullptr, &rawError);
    error.reset(rawError);
    return std::unique_ptr<GVariant, VariantUnref>(reply);
  };

  const auto opened = call("org.freedesktop.Secret.Service", "OpenSession",
                           g_variant_new("(sv)", "plain", g_variant_new_string("")));
  ASSERT_NE(opened, nullptr) << messageOf(error.get());
  const char* session = nullptr;
  g_variant_get(opened.get(), "(v&o)", nullptr, &session);
  // The password the test session's login keyring was created with.
  const std::string_view password = "password";
  const auto unlocked =
      call("org.gnome.keyring.InternalUnsupportedGuiltRiddenInterface", "UnlockWithMasterPassword",
           g_variant_new(
               "(o(o@ay@ays))", "/org/freedesktop/secrets/collection/login", session,
               g_variant_new_fixed_array(G_VARIANT_TYPE("y"), nullptr, 0, 1),
               g_variant_new_fixed_array(G_VARIANT_TYPE("y"), password.data(), password.size(), 1),
               "text/plain"));
  ASSERT_NE(unlocked, nullptr) << messageOf(error.get());
}

TEST_F(SecretServiceKeychainTest, ALockedItemThatNobodyUnlocksIsUnreadableButStays) {
  ASSERT_TRUE(keychain.addPassword(service, account, bytes("old"), kAccess).ok());
  lockDefaultCollection();
  SecretServiceKeychain waiting{std::chrono::seconds(5)};

  EXPECT_EQ(waiting.copyPassword(service, account), std::nullopt);
  EXPECT_EQ(waiting.addPassword(service, account, bytes("new"), kAccess).message(),
            kKeychainDuplicateItem);
  const Status deleted = waiting.deletePasswords(service, account);
  EXPECT_FALSE(deleted.ok());
  EXPECT_NE(deleted.message(), kKeychainItemNotFound);

  unlockDefaultCollection();
  EXPECT_EQ(keychain.copyPassword(service, account), bytes("old"));
}

// Secrets are bytes: nothing may be cut at a zero byte or re-encoded as text.
struct SecretCase {
  std::string name;
  Secret secret;
};

void PrintTo(const SecretCase& secretCase, std::ostream* out) {
  *out << secretCase.name;
}

Secret everyByteValue() {
  Secret all;
  for (int round = 0; round < 4; ++round) {
    for (int value = 0; value < 256; ++value) all.push_back(static_cast<unsigned char>(value));
  }
  return all;
}

class StoredSecret : public SecretServiceKeychainTest,
                     public ::testing::WithParamInterface<SecretCase> {};

TEST_P(StoredSecret, ComesBackByteForByte) {
  ASSERT_TRUE(keychain.addPassword(service, account, GetParam().secret, kAccess).ok());
  EXPECT_EQ(keychain.copyPassword(service, account), GetParam().secret);
}

INSTANTIATE_TEST_SUITE_P(
    Secrets, StoredSecret,
    ::testing::Values(SecretCase{"Utf8Token", bytes("t\xc3\xb6ken-0123")},
                      SecretCase{"ZeroBytes", Secret{'a', 0, 0, 'b', 0}},
                      SecretCase{"NotUtf8", Secret{0xff, 0xfe, 0xc3, 0x28, 0x80}},
                      SecretCase{"EveryByteValue", everyByteValue()},
                      SecretCase{"Empty", Secret{}}),
    [](const ::testing::TestParamInfo<SecretCase>& param) { return param.param.name; });

}  // namespace
}  // namespace deskplay::platform
