#pragma once

// A process a test starts, bounded: 2 GiB of address space (not under AddressSanitizer or
// ThreadSanitizer, whose shadow memory reserves terabytes), 60 s of processor time, no core dump,
// and killed when the test lets go of it or the test process dies. Its standard input and output
// are pipes to the test. The test process reaps the orphans of its children (a killed program's
// watcher), so that it can tell when every one has ended.

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <poll.h>
#include <string>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define PROGEN_UNDER_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define PROGEN_UNDER_SANITIZER 1
#endif
#endif

class ChildProcess {
public:
    // Runs `body` in the child; it must end in exec or _exit.
    explicit ChildProcess(const std::function<void()>& body) {
        ::prctl(PR_SET_CHILD_SUBREAPER, 1);
        int in[2];
        int out[2];
        if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) {
            return;
        }
        std::fflush(nullptr); // else the child writes what this process has buffered, too
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(in[0], STDIN_FILENO);
            ::dup2(out[1], STDOUT_FILENO);
            Bound();
            body();
            ::_exit(127);
        }
        ::close(in[0]);
        ::close(out[1]);
        input_ = in[1];
        output_ = out[0];
    }
    ~ChildProcess() {
        if (pid_ > 0 && !status_) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(input_);
        ::close(output_);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    void Signal(int signal) const { ::kill(pid_, signal); }

    void WriteLine(const std::string& line) const {
        const std::string text = line + '\n';
        [[maybe_unused]] const ssize_t written = ::write(input_, text.data(), text.size());
    }

    // Its next line of output, if one comes within `timeout`.
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout) const {
        std::string line;
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        for (char c = 0; c != '\n';) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd ready{output_, POLLIN, 0};
            if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) != 1 ||
                ::read(output_, &c, 1) != 1) {
                return std::nullopt;
            }
            line += c;
        }
        line.pop_back();
        return line;
    }

    // Its wait status, if it ends within `timeout`.
    std::optional<int> Wait(std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!status_ && std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                status_ = status;
            } else {
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
            }
        }
        return status_;
    }

    // Bounds the calling process as a child of the test (also for QProcess' child modifier).
    static void Bound() {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
#if !defined(PROGEN_UNDER_SANITIZER)
        Limit(RLIMIT_AS, 2UL << 30);
#endif
        Limit(RLIMIT_CPU, 60);
        Limit(RLIMIT_CORE, 0);
    }

private:
    static void Limit(int resource, rlim_t value) {
        const rlimit limit{value, value};
        ::setrlimit(resource, &limit);
    }

    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    std::optional<int> status_;
};

// Whether every child and orphan of the test process ends within `timeout`; reaps them.
inline bool AllChildrenEnded(std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const pid_t reaped = ::waitpid(-1, nullptr, WNOHANG);
        if (reaped < 0) {
            return true; // no child left
        }
        if (reaped == 0) {
            if (std::chrono::steady_clock::now() >= deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
}
