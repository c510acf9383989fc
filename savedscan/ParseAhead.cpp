#include "savedscan/ParseAhead.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace {

constexpr size_t kBatchEvents = 1024;
constexpr size_t kBatchesAhead = 4;

enum class EventKind : uint8_t { Header, FolderBegin, Files, Item, FolderEnd };

struct Event {
    EventKind Kind = EventKind::Item;
    uint64_t Offset = 0;
    SavedItem Item;
    SavedFileRun Files;
};

// Events are kept, names and all, when a batch comes back for reuse.
struct Batch {
    std::vector<Event> Events;
    size_t Used = 0;
};

struct Abandoned {};

class Channel {
public:
    std::unique_ptr<Batch> Empty()
    {
        std::lock_guard lock(mutex_);
        if (free_.empty())
            return std::make_unique<Batch>();
        std::unique_ptr<Batch> b = std::move(free_.back());
        free_.pop_back();
        return b;
    }

    void Push(std::unique_ptr<Batch> batch)
    {
        std::unique_lock lock(mutex_);
        room_.wait(lock, [&] { return abandoned_ || full_.size() < kBatchesAhead; });
        if (abandoned_)
            throw Abandoned();
        full_.push_back(std::move(batch));
        ready_.notify_one();
    }

    void Finish(std::exception_ptr fault)
    {
        std::lock_guard lock(mutex_);
        done_ = true;
        fault_ = std::move(fault);
        ready_.notify_one();
    }

    // The next batch; null at the end.
    std::unique_ptr<Batch> Pop()
    {
        std::unique_lock lock(mutex_);
        ready_.wait(lock, [&] { return done_ || !full_.empty(); });
        if (full_.empty())
            return nullptr;
        std::unique_ptr<Batch> b = std::move(full_.front());
        full_.pop_front();
        room_.notify_one();
        return b;
    }

    void Recycle(std::unique_ptr<Batch> batch)
    {
        batch->Used = 0;
        std::lock_guard lock(mutex_);
        free_.push_back(std::move(batch));
    }

    void Abandon()
    {
        std::lock_guard lock(mutex_);
        abandoned_ = true;
        room_.notify_one();
    }

    std::exception_ptr Fault()
    {
        std::lock_guard lock(mutex_);
        return fault_;
    }

    SavedHeader Header;  // written before the batch with its event is pushed

private:
    std::mutex mutex_;
    std::condition_variable room_;
    std::condition_variable ready_;
    std::deque<std::unique_ptr<Batch>> full_;
    std::vector<std::unique_ptr<Batch>> free_;
    bool done_ = false;
    bool abandoned_ = false;
    std::exception_ptr fault_;
};

// The parsing thread's sink: events into batches.
class BatchingSink : public SavedScanSink {
public:
    explicit BatchingSink(Channel& channel) : channel_(channel) {}

    void Header(const SavedHeader& header) override
    {
        channel_.Header = header;
        Next(EventKind::Header, 0);
        Added();
    }
    void FolderBegin(const SavedItem& info, uint64_t offset) override
    {
        Next(EventKind::FolderBegin, offset).Item = info;
        Added();
    }
    void Files(const SavedFileRun& run) override
    {
        Next(EventKind::Files, 0).Files = run;
        Added();
    }
    void Item(const SavedItem& item, uint64_t offset) override
    {
        Next(EventKind::Item, offset).Item = item;
        Added();
    }
    void FolderEnd() override
    {
        Next(EventKind::FolderEnd, 0);
        Added();
    }

    void Flush()
    {
        if (batch_ && batch_->Used > 0)
            channel_.Push(std::move(batch_));
    }

private:
    Event& Next(EventKind kind, uint64_t offset)
    {
        if (!batch_)
            batch_ = channel_.Empty();
        if (batch_->Used == batch_->Events.size())
            batch_->Events.emplace_back();
        Event& e = batch_->Events[batch_->Used++];
        e.Kind = kind;
        e.Offset = offset;
        return e;
    }
    // A full batch goes over.
    void Added()
    {
        if (batch_->Used == kBatchEvents)
            channel_.Push(std::move(batch_));
    }

    Channel& channel_;
    std::unique_ptr<Batch> batch_;
};

}  // namespace

void ParseSavedScanAhead(JsonCursor& in, SavedScanSink& sink)
{
    Channel channel;
    std::thread parser([&] {
        std::exception_ptr fault;
        try {
            BatchingSink batches(channel);
            ParseSavedScan(in, batches);
            batches.Flush();
        } catch (const Abandoned&) {
            // The sink gave up; its exception is thrown on the other side.
        } catch (...) {
            fault = std::current_exception();
        }
        channel.Finish(std::move(fault));
    });
    struct Joined {
        std::thread& Thread;
        ~Joined() { Thread.join(); }
    } joined{parser};
    try {
        while (std::unique_ptr<Batch> batch = channel.Pop()) {
            for (size_t i = 0; i < batch->Used; ++i) {
                const Event& e = batch->Events[i];
                switch (e.Kind) {
                case EventKind::Header:
                    sink.Header(channel.Header);
                    break;
                case EventKind::FolderBegin:
                    sink.FolderBegin(e.Item, e.Offset);
                    break;
                case EventKind::Files:
                    sink.Files(e.Files);
                    break;
                case EventKind::Item:
                    sink.Item(e.Item, e.Offset);
                    break;
                case EventKind::FolderEnd:
                    sink.FolderEnd();
                    break;
                }
            }
            channel.Recycle(std::move(batch));
        }
    } catch (...) {
        channel.Abandon();
        throw;
    }
    if (std::exception_ptr fault = channel.Fault())
        std::rethrow_exception(fault);
}
