#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

namespace deskplay {

// One worker thread running tasks one after another: each at the earliest when it is due,
// tasks due at the same time in the order they were handed over.
class SerialQueue {
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
  void asyncAfter(Delay delay, Task task);
  // Queues `task` and waits until it has run. Neither on the worker itself nor after finish().
  void sync(const Task& task);
  // Runs everything queued, each task when it is due, then `atExit`, and ends the thread;
  // tasks handed over after it returns never run. Not on the worker itself.
  void finish();

 private:
  using Due = std::pair<std::chrono::steady_clock::time_point, std::uint64_t>;

  void run();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::map<Due, Task> tasks_;
  std::uint64_t handedOver_ = 0;
  bool ending_ = false;
  std::string label_;
  Task atExit_;
  // Last: it starts at once and uses everything above.
  std::thread worker_;
};

}  // namespace deskplay
