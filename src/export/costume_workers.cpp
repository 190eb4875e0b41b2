#include "export/costume_workers.h"

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace {

constexpr size_t kProgressBytesShownAtOnce = 16 << 10;

// A message a costume said, or one of its progress lines (the text alone).
struct Said {
    bool progress = false;
    ExportMessage message;
};

// One costume's outcome, kept until it is shown.
struct CostumeOutput {
    std::vector<Said> said;  // not shown yet
    size_t bytes = 0;        // what `said` holds, near enough
    std::string page;
    bool finished = false;
    bool spent = false;  // it reached the command's limit: no costume after it is tried
    bool stopped = false;  // the folder refused one of its files: the command stops there
    std::exception_ptr failure;
    std::string failureSubject;
    uint64_t filesWritten = 0;  // for the command's summary
    uint64_t bytesWritten = 0;
};

void WorkInTurn(CostumeJob& job, const std::vector<uint32_t>& numbers, const CostumeWork& work,
                const PageSink& page) {
    for (size_t index = 0; index < numbers.size(); ++index) {
        job.costumesDone = index;
        ExportCostume costume;
        costume.Load(job.game, numbers[index], job.report);
        std::string text;
        work(job, costume, &text);
        if (page) page(text);
        if (job.budget.spent || job.report.stopped) return;
    }
}

// The command's limit once the costume is planned from `before`, as working it will charge
// it: planned here on a report of its own, which says nothing, and again when it is worked.
RunBudget ChargeOf(const CostumeJob& job, ExportCostume& costume, const RunBudget& before) {
    if (costume.result != CostumeLoadResult::Loaded || job.options.paletteOnly) return before;
    ExportReport unheard;
    unheard.quiet = true;
    const CurrentReportScope current(unheard);
    CostumeJob planning{job.options, job.game, unheard};
    planning.severalCostumes = job.severalCostumes;
    planning.budget = before;
    CostumePlan plan;
    PlanCostume(planning, costume.number, *costume.loaded.costume, &plan);
    return planning.budget;
}

// The workers and the thread that shows what they say. Workers take costumes in order; each
// loads its costume, waits for its turn to charge the limit, then writes it. Everything below
// `lock` is shared.
struct Workers {
    const CostumeJob& command;
    const std::vector<uint32_t>& numbers;
    const CostumeWork& work;
    const size_t ahead;  // costumes taken past the one being shown, at most: twice the workers
    const bool progressWanted;

    std::mutex lock;
    std::condition_variable toShower;   // the costume being shown said more, or finished
    std::condition_variable toWorkers;  // a costume was shown, a turn passed, or all stop
    std::deque<CostumeOutput> outputs;  // from the costume being shown to the last one taken
    size_t shown = 0;                   // the costume being shown: outputs.front()
    size_t taken = 0;
    size_t turn = 0;     // the costume that charges the limit next
    RunBudget budget;    // charged in costume order
    bool noMore = false;     // take no more costumes: the limit is reached, or one failed
    bool abandoned = false;  // nothing more is shown: write nothing more, wait for nothing

    Workers(const CostumeJob& job, const std::vector<uint32_t>& costumes, const CostumeWork& each,
            size_t count)
        : command(job),
          numbers(costumes),
          work(each),
          ahead(2 * count),
          progressWanted(static_cast<bool>(job.report.onProgress)),
          budget(job.budget) {}

    void Run() {
        for (;;) {
            std::unique_lock<std::mutex> held(lock);
            toWorkers.wait(held, [&] {
                return noMore || abandoned || taken == numbers.size() || taken < shown + ahead;
            });
            if (noMore || abandoned || taken == numbers.size()) return;
            const size_t index = taken++;
            CostumeOutput& output = outputs.emplace_back();
            held.unlock();
            Work(index, output);
        }
    }

    void Work(size_t index, CostumeOutput& output) {
        ExportReport report;
        report.onMessage = [&](const ExportMessage& message) { Hold(index, output, {false, message}); };
        if (progressWanted) {
            report.onProgress = [&](const std::string& line) {
                Hold(index, output, {true, {ExportMessageKind::Note, line, ""}});
            };
        }
        // A game file's message names it as the command's report would.
        report.gameDirectory = command.report.gameDirectory;
        report.gameDirectoryNamed = command.report.gameDirectoryNamed;
        const CurrentReportScope current(report);
        CostumeJob job{command.options, command.game, report};
        job.severalCostumes = command.severalCostumes;
        job.costumesTotal = command.costumesTotal;
        job.costumesDone = index;
        bool charged = false, spent = false;
        std::string page;
        std::exception_ptr failure;
        try {
            ExportCostume costume;
            costume.Load(job.game, numbers[index], report);
            bool tried = false;
            const RunBudget before = TakeTurn(index, &tried);
            const RunBudget after = tried ? ChargeOf(job, costume, before) : before;
            PassTurn(after, !tried || after.spent);
            charged = true;
            if (tried) {
                job.budget = before;
                work(job, costume, &page);
                spent = after.spent;
            }
        } catch (...) {
            failure = std::current_exception();
        }
        std::unique_lock<std::mutex> held(lock);
        if (!charged) {  // failed before its turn passed: the costumes after it wait for it
            toWorkers.wait(held, [&] { return turn == index; });
            ++turn;
            noMore = true;
            toWorkers.notify_all();
        }
        if (failure || report.stopped) noMore = true;
        output.page = std::move(page);
        output.spent = spent;
        output.stopped = report.stopped;
        output.failure = failure;
        output.failureSubject = report.subject;
        output.filesWritten = report.filesWritten;
        output.bytesWritten = report.bytesWritten;
        output.finished = true;
        toShower.notify_one();
    }

    // Waits for the costume's turn; the limit as the costumes before it left it. Not tried
    // when one of them reached it, or nothing more is shown.
    RunBudget TakeTurn(size_t index, bool* tried) {
        std::unique_lock<std::mutex> held(lock);
        toWorkers.wait(held, [&] { return turn == index; });
        *tried = !budget.spent && !abandoned;
        return budget;
    }

    void PassTurn(const RunBudget& after, bool last) {
        const std::lock_guard<std::mutex> held(lock);
        budget = after;
        ++turn;
        if (last) noMore = true;
        toWorkers.notify_all();
    }

    // Keeps what the costume said; a costume that has said much and is not being shown
    // waits until it is.
    void Hold(size_t index, CostumeOutput& output, Said said) {
        std::unique_lock<std::mutex> held(lock);
        output.bytes += sizeof said + said.message.text.size() + said.message.subject.size();
        // The thread that shows is woken for a message, but for progress lines only by the
        // few kilobytes: a line a frame, each waking it, would cost more than the frames.
        const bool wake = !said.progress || output.bytes >= kProgressBytesShownAtOnce;
        output.said.push_back(std::move(said));
        if (index == shown && wake) toShower.notify_one();
        toWorkers.wait(held, [&] {
            return abandoned || index == shown || output.bytes <= kHeldMessageBytes;
        });
    }

    // On the command's thread: every costume's messages in order, as they come for the one
    // being shown, until the last or the one that reached the limit.
    void ShowAll(CostumeJob& job, const PageSink& page) {
        for (size_t index = 0; index < numbers.size(); ++index) {
            const CostumeOutput done = ShowOne(job.report);
            job.report.filesWritten += done.filesWritten;
            job.report.bytesWritten += done.bytesWritten;
            if (done.failure) {
                job.report.subject = done.failureSubject;
                std::rethrow_exception(done.failure);
            }
            if (page) page(done.page);
            if (done.spent) job.budget.spent = true;
            if (done.stopped) job.report.stopped = true;
            if (done.spent || done.stopped) return;
        }
    }

    // Once the workers are joined after a stop: the files of the costumes after the one that
    // stopped, written before the workers heard of it, are on disk and in the summary too
    // (what they said is not shown: one by one, they would not have been tried).
    void CountUnshown(ExportReport& report) {
        for (const CostumeOutput& output : outputs) {
            report.filesWritten += output.filesWritten;
            report.bytesWritten += output.bytesWritten;
        }
    }

    CostumeOutput ShowOne(ExportReport& report) {
        for (;;) {
            std::unique_lock<std::mutex> held(lock);
            toShower.wait(held, [&] {
                return !outputs.empty() && (outputs.front().finished || !outputs.front().said.empty());
            });
            CostumeOutput& head = outputs.front();
            std::vector<Said> said;
            said.swap(head.said);
            head.bytes = 0;
            CostumeOutput done;
            const bool finished = head.finished;
            if (finished) {
                done = std::move(head);
                outputs.pop_front();
                ++shown;
                toWorkers.notify_all();
            }
            held.unlock();
            for (const Said& each : said) {
                if (each.progress) {
                    report.Progress(each.message.text);
                } else {
                    report.Repeat(each.message);
                }
            }
            if (finished) return done;
        }
    }
};

// The worker threads, stopped and joined however the command's thread leaves.
struct WorkerThreads {
    Workers& workers;
    std::vector<std::thread> threads;

    explicit WorkerThreads(Workers& shared) : workers(shared) {}
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;

    ~WorkerThreads() {
        {
            const std::lock_guard<std::mutex> held(workers.lock);
            workers.noMore = true;
            workers.abandoned = true;
        }
        workers.toWorkers.notify_all();
        for (std::thread& thread : threads) thread.join();
    }

    // As many as the system gives, up to `count`.
    void Start(size_t count) {
        threads.reserve(count);
        for (size_t started = 0; started < count; ++started) {
            try {
                threads.emplace_back([this] { workers.Run(); });
            } catch (const std::system_error&) {
                return;
            }
        }
    }
};

}  // namespace

void WorkCostumes(CostumeJob& job, const std::vector<uint32_t>& numbers, uint32_t jobs,
                  const CostumeWork& work, const PageSink& page) {
    const size_t count = std::min<size_t>(jobs, numbers.size());
    if (count <= 1) return WorkInTurn(job, numbers, work, page);
    Workers workers(job, numbers, work, count);
    bool worked = false;
    {
        WorkerThreads threads(workers);
        threads.Start(count);
        if (!threads.threads.empty()) {
            workers.ShowAll(job, page);
            worked = true;
        }
    }
    if (!worked) return WorkInTurn(job, numbers, work, page);
    if (job.report.stopped) workers.CountUnshown(job.report);
}
