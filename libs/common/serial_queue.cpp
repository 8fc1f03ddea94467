#include "common/serial_queue.hpp"

#include <latch>

#include "common/thread_name.hpp"

namespace deskplay {

SerialQueue::SerialQueue(std::string_view label, Task atExit)
    : label_(label), atExit_(std::move(atExit)), worker_([this] { run(); }) {}

void SerialQueue::asyncAfter(Delay delay, Task task) {
  {
    const std::lock_guard lock(mutex_);
    tasks_.emplace(Due{std::chrono::steady_clock::now() + delay, handedOver_++}, std::move(task));
  }
  wake_.notify_one();
}

void SerialQueue::sync(const Task& task) {
  std::latch done(1);
  async([&task, &done] {
    task();
    done.count_down();
  });
  done.wait();
}

void SerialQueue::finish() {
  {
    const std::lock_guard lock(mutex_);
    ending_ = true;
  }
  wake_.notify_one();
  if (worker_.joinable()) worker_.join();
}

void SerialQueue::run() {
  // Named from inside: some systems name only the calling thread.
  nameCurrentThread(label_);
  std::unique_lock lock(mutex_);
  while (true) {
    if (tasks_.empty()) {
      if (ending_) break;
      wake_.wait(lock);
      continue;
    }
    const auto next = tasks_.begin();
    if (next->first.first > std::chrono::steady_clock::now()) {
      // A task handed over meanwhile may be due earlier: look again after any wake.
      wake_.wait_until(lock, next->first.first);
      continue;
    }
    Task task = std::move(next->second);
    tasks_.erase(next);
    lock.unlock();
    task();
    lock.lock();
  }
  lock.unlock();
  if (atExit_) atExit_();
}

}  // namespace deskplay
