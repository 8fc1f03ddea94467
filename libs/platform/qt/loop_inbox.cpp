#include "platform/qt/loop_inbox.hpp"

#include <QMetaObject>
#include <QObject>
#include <QThread>
#include <latch>
#include <utility>

namespace deskplay::platform {

// Lives on the inbox's thread and drains the inbox there when woken.
class LoopInbox::Receiver final : public QObject {
  Q_OBJECT

 public:
  explicit Receiver(LoopInbox& inbox) : inbox_(inbox) {}

  // Called by name, so that nothing of ours travels in Qt's event: only the wake-up does.
  Q_INVOKABLE void drain() { inbox_.drain(); }

 private:
  LoopInbox& inbox_;
};

LoopInbox::LoopInbox(QThread& thread) : receiver_(std::make_unique<Receiver>(*this)) {
  receiver_->moveToThread(&thread);
}

LoopInbox::~LoopInbox() {
  // The thread's last drain let go of the mutex as it ended: taking it once more orders all
  // that drain did before this goes. QThread::wait orders it as well, but through a futex that
  // ThreadSanitizer cannot see.
  const MutexLock lock(mutex_);
}

void LoopInbox::post(Task task) {
  {
    const MutexLock lock(mutex_);
    tasks_.push_back(std::move(task));
    if (wakePending_) return;
    wakePending_ = true;
  }
  QMetaObject::invokeMethod(receiver_.get(), "drain", Qt::QueuedConnection);
}

void LoopInbox::postAndWait(const Task& task) {
  std::latch done(1);
  post([&task, &done] {
    task();
    done.count_down();
  });
  done.wait();
}

void LoopInbox::drain() {
  while (true) {
    Task task;
    {
      const MutexLock lock(mutex_);
      if (tasks_.empty()) {
        wakePending_ = false;
        return;
      }
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
  }
}

}  // namespace deskplay::platform

#include "loop_inbox.moc"
