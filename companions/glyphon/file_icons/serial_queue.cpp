#include "file_icons/serial_queue.hpp"

#include <pthread.h>

namespace deskplay::glyphon {

SerialQueue::SerialQueue(std::string_view label) : worker_([this] { run(); }) {
  ::pthread_setname_np(worker_.native_handle(), std::string(label.substr(0, 15)).c_str());
}

void SerialQueue::asyncAfter(Delay delay, Task task) {
  {
    const std::lock_guard lock(mutex_);
    tasks_.emplace(Due{std::chrono::steady_clock::now() + delay, handedOver_++}, std::move(task));
  }
  wake_.notify_one();
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
  std::unique_lock lock(mutex_);
  while (true) {
    if (tasks_.empty()) {
      if (ending_) return;
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
}

}  // namespace deskplay::glyphon
