// The transformers of the run, and the sources run on them on several threads.
#include "WorkerPool.hpp"

#include "CommandLine.hpp"
#include "LibraryEntries.hpp"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

namespace prsm::cli
{
namespace
{

struct Slot
{
    bool isDone = false;
    Outcome outcome;
};

// Shared by the threads and the caller for the length of one runInOrder.
class Board
{
public:
    explicit Board(std::size_t count) : m_slots(count) {}

    // The index of the next source to run, or none once every source is taken or after stop().
    std::optional<std::size_t> take()
    {
        if (m_isStopped.load())
            return std::nullopt;
        const std::size_t index = m_next.fetch_add(1);
        return index < m_slots.size() ? std::optional<std::size_t>(index) : std::nullopt;
    }

    void stop() { m_isStopped.store(true); }

    void finish(std::size_t index, Outcome outcome)
    {
        {
            const std::lock_guard<std::mutex> guard(m_lock);
            m_slots[index].outcome = std::move(outcome);
            m_slots[index].isDone = true;
        }
        m_doneSignal.notify_all();
    }

    Outcome wait(std::size_t index)
    {
        std::unique_lock<std::mutex> guard(m_lock);
        m_doneSignal.wait(guard, [&] { return m_slots[index].isDone; });
        return std::move(m_slots[index].outcome);
    }

    // The outcome of `index` if it is done, without waiting.
    std::optional<Outcome> poll(std::size_t index)
    {
        const std::lock_guard<std::mutex> guard(m_lock);
        if (!m_slots[index].isDone)
            return std::nullopt;
        return std::move(m_slots[index].outcome);
    }

private:
    std::atomic<std::size_t> m_next{0};
    std::atomic<bool> m_isStopped{false};
    std::mutex m_lock;
    std::condition_variable m_doneSignal;
    std::vector<Slot> m_slots;
};

// Stops the board and joins every thread, however the caller leaves: a thread still running
// finishes its source first.
class Threads
{
public:
    explicit Threads(Board& board) : m_board(board) {}
    Threads(const Threads&) = delete;
    Threads& operator=(const Threads&) = delete;
    ~Threads()
    {
        m_board.stop();
        for (std::thread& thread : m_threads)
            thread.join();
    }

    template <typename Body>
    void start(Body body)
    {
        m_threads.emplace_back(std::move(body));
    }

private:
    Board& m_board;
    std::vector<std::thread> m_threads;
};

} // namespace

Worker::Worker(const Options& options, const Console& console)
    : m_messages(console, options.isQuiet)
{
    applyCompileSettings(m_transformer, options);
    setParameters(m_transformer, options.parameters);
    attachMessageSink(m_transformer, m_messages);
}

// The calling thread is the first worker: it runs sources itself and hands on each outcome once
// it and all before it are done, waiting only when nothing is left to start. With one worker no
// thread is started at all.
void runInOrder(const std::vector<std::unique_ptr<Worker>>& workers,
                const std::vector<std::string>& sources,
                const std::function<Outcome(Worker&, const std::string&)>& run,
                const std::function<bool(Outcome&)>& emit)
{
    Board board(sources.size());
    Threads threads(board);
    for (std::size_t w = 1; w < workers.size(); ++w)
    {
        threads.start(
            [&board, &sources, &run, &worker = *workers[w]]
            {
                while (const std::optional<std::size_t> index = board.take())
                    board.finish(*index, run(worker, sources[*index]));
            });
    }
    Worker& own = *workers.front();
    for (std::size_t next = 0; next < sources.size();)
    {
        std::optional<Outcome> outcome = board.poll(next);
        if (!outcome)
        {
            if (const std::optional<std::size_t> index = board.take())
            {
                board.finish(*index, run(own, sources[*index]));
                continue;
            }
            outcome = board.wait(next);
        }
        ++next;
        if (!emit(*outcome))
            return;
    }
}

} // namespace prsm::cli
