#include "serial_queue.hpp"

#include <pthread.h>

#include <latch>
#include <utility>

namespace deskplay::sonette {

SerialQueue::SerialQueue(const std::string& label, Task atExit)
    : atExit_(std::move(atExit)), worker_([this] { run(); }) {
  ::pthread_setname_np(worker_.native_handle(), label.substr(0, 15).c_str());
}

void SerialQueue::finish() {
  {
    const std::lock_guard lock(mutex_);
    ending_ = true;
  }
  wake_.notify_one();
  if (worker_.joinable()) worker_.join();
}

void SerialQueue::async(Task task) {
  {
    const std::lock_guard lock(mutex_);
    tasks_.push_back(std::move(task));
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

void SerialQueue::run() {
  while (true) {
    Task task;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [this] { return ending_ || !tasks_.empty(); });
      if (tasks_.empty()) break;
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
  }
  if (atExit_) atExit_();
}

}  // namespace deskplay::sonette
