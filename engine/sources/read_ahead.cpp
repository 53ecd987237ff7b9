#include "engine/sources/read_ahead.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

#include "engine/sources/bookmark_queue.h"

namespace velkora {
namespace {

// Carries a source's events from its reading thread to the run's, a queue at a time: the
// reader fills one queue while the run hands on the one before.
class EventChannel final : public BookmarkEvents {
 public:
  // On the reading thread, as the source reports.
  void OpenFolder(std::u16string& name, const BookmarkDates& dates) override {
    filling_.OpenFolder(name, dates);
    PassIfFull();
  }
  void CloseFolder() override {
    filling_.CloseFolder();
    PassIfFull();
  }
  void Bookmark(const BookmarkRecord& bookmark) override {
    filling_.Bookmark(bookmark);
    PassIfFull();
  }
  void MalformedBookmark(std::int32_t lineNumber, std::u16string_view reason) override {
    filling_.MalformedBookmark(lineNumber, reason);
    PassIfFull();
  }
  void UnreadBookmark(const BookmarkRecord& bookmark, std::u16string_view reason) override {
    filling_.UnreadBookmark(bookmark, reason);
    PassIfFull();
  }
  void SkippedQuery() override {
    filling_.SkippedQuery();
    PassIfFull();
  }
  void ItemWithoutBookmark() override {
    filling_.ItemWithoutBookmark();
    PassIfFull();
  }
  bool StopRequested() const override { return stop_.load(std::memory_order_relaxed); }
  void WaitUntilHandled() override {
    Pass();
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return stop_ || (!queueWaiting_ && !handing_); });
  }
  // The source's reading ended: what it reported last goes over too.
  void End() {
    Pass();
    const std::lock_guard lock(mutex_);
    ended_ = true;
    changed_.notify_all();
  }

  // On the run's thread: hands every event on to events until the reading ends or
  // events asks to stop.
  void HandOnAll(BookmarkEvents& events) {
    BookmarkQueue taken;
    for (;;) {
      {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return queueWaiting_ || ended_; });
        if (!queueWaiting_) return;
        std::swap(taken, waiting_);
        queueWaiting_ = false;
        handing_ = true;
        changed_.notify_all();
      }
      taken.HandOn(events);
      const bool stop = events.StopRequested();
      const std::lock_guard lock(mutex_);
      handing_ = false;
      if (stop) stop_ = true;
      changed_.notify_all();
      if (stop) return;
    }
  }

 private:
  void PassIfFull() {
    if (filling_.Full()) Pass();
  }
  // Gives the filled queue to the run once it took the one before; after a stop, the
  // events are dropped.
  void Pass() {
    if (filling_.Empty()) return;
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return stop_ || !queueWaiting_; });
    if (stop_) {
      lock.unlock();
      BookmarkQueue dropped;
      std::swap(dropped, filling_);
      return;
    }
    std::swap(filling_, waiting_);
    queueWaiting_ = true;
    changed_.notify_all();
  }

  BookmarkQueue filling_;  // the reading thread's own
  std::mutex mutex_;
  std::condition_variable changed_;
  BookmarkQueue waiting_;  // filled, not yet taken by the run
  bool queueWaiting_ = false;
  bool handing_ = false;
  bool ended_ = false;
  std::atomic<bool> stop_ = false;
};

}  // namespace

IoResult ReadAhead(BookmarkSource& source, BookmarkEvents& events) {
  EventChannel channel;
  IoResult result;
  std::thread reader;
  try {
    reader = std::thread([&] {
      result = source.Read(channel);
      channel.End();
    });
  } catch (const std::system_error&) {
    return source.Read(events);
  }
  channel.HandOnAll(events);
  reader.join();
  return result;
}

}  // namespace velkora
