#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

namespace deskplay::sonette {

// One worker thread running tasks one after another, in the order they were handed over.
class SerialQueue {
 public:
  using Task = std::function<void()>;

  // `label` names the thread (the first 15 bytes show in ps and debuggers); `atExit` runs
  // on the worker as it ends.
  explicit SerialQueue(const std::string& label, Task atExit = {});
  SerialQueue(const SerialQueue&) = delete;
  SerialQueue& operator=(const SerialQueue&) = delete;
  ~SerialQueue() { finish(); }

  // Queues `task` and returns at once. Any thread.
  void async(Task task);
  // Queues `task` and waits until it has run. Never on the worker itself.
  void sync(const Task& task);
  // Runs what is queued, then ends the thread; tasks handed over after it returns never
  // run. Not on the worker itself.
  void finish();

 private:
  void run();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<Task> tasks_;
  bool ending_ = false;
  Task atExit_;
  std::thread worker_;
};

}  // namespace deskplay::sonette
