#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

#include "common/mutex.hpp"

namespace deskplay {

// One worker thread running tasks one after another: each at the earliest when it is due,
// tasks due at the same time in the order they were handed over. The queue is a capability:
// state that only its tasks touch is GUARDED_BY it, and a task says where it runs with
// assertOnQueue().
class CAPABILITY("serial queue") SerialQueue {
 public:
  using Task = std::function<void()>;
  using Delay = std::chrono::steady_clock::duration;

  // `label` names the thread (as nameCurrentThread does); `atExit` runs on the worker as it
  // ends.
  explicit SerialQueue(std::string_view label, Task atExit = {});
  SerialQueue(const SerialQueue&) = delete;
  SerialQueue& operator=(const SerialQueue&) = delete;
  ~SerialQueue() { finish(); }

  // Queues `task` and returns at once. Any thread.
  void async(Task task) { asyncAfter(Delay::zero(), std::move(task)); }
  // Queues `task` to run `delay` from now and returns at once. Any thread.
  void asyncAfter(Delay delay, Task task) EXCLUDES(mutex_);
  // Queues `task` and waits until it has run. Neither on the worker itself nor after finish().
  void sync(const Task& task);
  // Runs everything queued, each task when it is due, then `atExit`, and ends the thread;
  // tasks handed over after it returns never run. Not on the worker itself.
  void finish() EXCLUDES(mutex_);

  // Stops a debug build unless the caller is this queue's worker.
  void assertOnQueue() const ASSERT_CAPABILITY(this);

 private:
  using Due = std::pair<std::chrono::steady_clock::time_point, std::uint64_t>;

  void run() EXCLUDES(mutex_);

  Mutex mutex_;
  ConditionVariable wake_;
  std::map<Due, Task> tasks_ GUARDED_BY(mutex_);
  std::uint64_t handedOver_ GUARDED_BY(mutex_) = 0;
  bool ending_ GUARDED_BY(mutex_) = false;
  // Set before the worker starts, then only read.
  const std::string label_;
  const Task atExit_;
  // Last: it starts at once and uses everything above.
  std::thread worker_;
};

}  // namespace deskplay
