#pragma once
// For fuzz tests: ends the test program with a message naming the input
// (qFatal) when one input is still being read after the limit, so that a
// reader that hangs fails at once instead of waiting for CTest's time-out.
// It measures nothing: the limit lies far above any sound reading.

#include <QString>
#include <QtGlobal>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace torvika::test {

class HangGuard {
public:
    explicit HangGuard(std::chrono::milliseconds limit) : limit_(limit), watcher_([this] { watch(); }) {}
    ~HangGuard() {
        {
            const std::lock_guard lock(m_);
            stop_ = true;
        }
        cv_.notify_all();
        watcher_.join();
    }
    HangGuard(const HangGuard&) = delete;
    HangGuard& operator=(const HangGuard&) = delete;

    // The input about to be read, and the end of its reading.
    void begin(const QString& input) {
        {
            const std::lock_guard lock(m_);
            input_ = input.left(120);
            busy_ = true;
            ++serial_;
        }
        cv_.notify_all();
    }
    void end() {
        {
            const std::lock_guard lock(m_);
            busy_ = false;
        }
        cv_.notify_all();
    }

private:
    void watch() {
        std::unique_lock lock(m_);
        while (!stop_) {
            cv_.wait(lock, [this] { return stop_ || busy_; });
            if (stop_)
                return;
            const quint64 serial = serial_;
            if (!cv_.wait_for(lock, limit_, [&] { return stop_ || !busy_ || serial_ != serial; }))
                qFatal("input not read within %lld ms: %s", qlonglong(limit_.count()), qPrintable(input_));
            cv_.wait(lock, [&] { return stop_ || !busy_ || serial_ != serial; });
        }
    }

    std::chrono::milliseconds limit_;
    std::mutex m_;
    std::condition_variable cv_;
    QString input_;
    quint64 serial_ = 0;
    bool busy_ = false;
    bool stop_ = false;
    std::thread watcher_;
};

} // namespace torvika::test
