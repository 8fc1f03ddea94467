#include "common/serial_queue.hpp"

#include <cassert>
#include <latch>

#include "common/thread_name.hpp"

namespace deskplay {

SerialQueue::SerialQueue(std::string_view label, Task atExit)
    : label_(label), atExit_(std::move(atExit)), worker_([this] { run(); }) {}

void SerialQueue::asyncAfter(Delay delay, Task task) {
  {
    const MutexLock lock(mutex_);
    tasks_.emplace(Due{std::chrono::steady_clock::now() + delay, handedOver_++}, std::move(task));
  }
  wake_.notifyOne();
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
    const MutexLock lock(mutex_);
    ending_ = true;
  }
  wake_.notifyOne();
  if (worker_.joinable()) worker_.join();
}

void SerialQueue::assertOnQueue() const {
  assert(std::this_thread::get_id() == worker_.get_id());
}

void SerialQueue::run() {
  // Named from inside: some systems name only the calling thread.
  nameCurrentThread(label_);
  mutex_.lock();
  while (true) {
    if (tasks_.empty()) {
      if (ending_) break;
      wake_.wait(mutex_);
      continue;
    }
    const auto next = tasks_.begin();
    if (next->first.first > std::chrono::steady_clock::now()) {
      // A task handed over meanwhile may be due earlier: look again after any wake.
      (void)wake_.waitUntil(mutex_, next->first.first);
      continue;
    }
    Task task = std::move(next->second);
    tasks_.erase(next);
    mutex_.unlock();
    task();
    mutex_.lock();
  }
  mutex_.unlock();
  if (atExit_) atExit_();
}

}  // namespace deskplay
