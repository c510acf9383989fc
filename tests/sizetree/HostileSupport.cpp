#include "HostileSupport.h"

#include <poll.h>
#include <sched.h>
#include <sys/mount.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>

#include "sizetree/Scan.h"

namespace {

const std::string kProvisional = " <--";
const std::string kFilesCaption = " MB  [FILES]";

bool EndsWith(const std::string& s, const std::string& tail)
{
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// Reads fd to its end into out.
void Drain(int fd, std::string& out)
{
    char buf[65536];
    for (;;) {
        const ssize_t n = read(fd, buf, sizeof buf);
        if (n > 0)
            out.append(buf, static_cast<size_t>(n));
        else if (n == 0 || errno != EINTR)
            return;
    }
}

std::string DescribeStatus(int status, unsigned seconds)
{
    if (WIFSIGNALED(status) && WTERMSIG(status) == SIGALRM)
        return "timed out after " + std::to_string(seconds) + " s (blocked or too slow)";
    if (WIFSIGNALED(status))
        return std::string("killed by signal ") + strsignal(WTERMSIG(status));
    return "exited with status " + std::to_string(WEXITSTATUS(status));
}

}  // namespace

std::string InChild(const std::function<std::string()>& body, unsigned seconds, bool asNobody)
{
    int fds[2];
    if (pipe(fds) != 0)
        return "pipe failed";
    const pid_t pid = fork();
    if (pid < 0)
        return "fork failed";
    if (pid == 0) {
        close(fds[0]);
        alarm(seconds);
        std::string result;
        if (asNobody && geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0))
            result = "could not drop privileges";
        else
            result = body();
        // The pipe holds far more than a fault message; cut long ones.
        if (result.size() > 4000)
            result.resize(4000);
        const ssize_t written = write(fds[1], result.data(), result.size());
        _exit(written == static_cast<ssize_t>(result.size()) ? 0 : 3);
    }
    close(fds[1]);
    std::string result;
    Drain(fds[0], result);
    close(fds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {}
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return "child " + DescribeStatus(status, seconds) + (result.empty() ? "" : ": " + result);
    return result;
}

std::string CheckFinished(const TSizeTree& tree, const TTreeEntry* root, int* finished)
{
    int count = 0;
    std::vector<const TTreeEntry*> stack{root};
    while (!stack.empty()) {
        const TTreeEntry* e = stack.back();
        stack.pop_back();
        const bool files = e->Parent() && e->Name().empty();
        if (files) {
            if (e->ChildCount() != 0 || e->ImageIndex() != 2
                || e->Caption() != SizeCaptionText(tree.ShownSize(*e)) + kFilesCaption)
                return "bad FILES entry " + e->Path() + ": " + e->Caption();
            continue;
        }
        for (int i = 0; i < e->ChildCount(); ++i)
            stack.push_back(e->ChildAt(i));
        if (EndsWith(e->Caption(), kProvisional))
            continue;  // not finished
        ++count;
        double sum = 0;
        uint64_t diskSum = 0;
        for (int i = 0; i < e->ChildCount(); ++i) {
            sum += e->ChildAt(i)->Size();
            diskSum += e->ChildAt(i)->Counts().DiskBytes;
        }
        if (e->Size() != sum)
            return "size " + std::to_string(e->Size()) + " != sum of children " + std::to_string(sum) + " at "
                + e->Path();
        // Loose files with blocks but no apparent size have no FILES entry;
        // their folder still counts their blocks.
        bool hasFiles = false;
        for (int i = 0; i < e->ChildCount(); ++i)
            hasFiles = hasFiles || e->ChildAt(i)->IsFiles();
        if (hasFiles ? e->Counts().DiskBytes != diskSum : e->Counts().DiskBytes < diskSum)
            return "disk bytes " + std::to_string(e->Counts().DiskBytes) + " do not add up to the children's "
                + std::to_string(diskSum) + " at " + e->Path();
        if (e->Parent() && e->Caption() != SizeCaptionText(tree.ShownSize(*e)) + " MB  " + e->Name())
            return "caption \"" + e->Caption() + "\" does not show the size at " + e->Path();
        for (int i = 1; i < e->ChildCount(); ++i)
            if (tree.OnCompare()(*e->ChildAt(i - 1), *e->ChildAt(i)) > 0)
                return "children out of order at " + e->Path();
    }
    if (finished)
        *finished = count;
    return "";
}

std::string PrivateMounts()
{
    if (unshare(CLONE_NEWNS) != 0)
        return kSkip + "no private mount namespace (" + std::strerror(errno) + "): needs CAP_SYS_ADMIN";
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return kSkip + "mounts cannot be made private: " + std::strerror(errno);
    return "";
}

std::string Mount(const std::string& from, const std::string& to, const char* type, unsigned long flags)
{
    if (mount(from.c_str(), to.c_str(), type, flags, nullptr) != 0)
        return "mount " + from + " on " + to + ": " + std::strerror(errno);
    return "";
}

const TTreeEntry* FindNamed(const TTreeEntry* root, const std::string& name)
{
    std::vector<const TTreeEntry*> stack{root};
    while (!stack.empty()) {
        const TTreeEntry* e = stack.back();
        stack.pop_back();
        if (e->Name() == name)
            return e;
        for (int i = 0; i < e->ChildCount(); ++i)
            stack.push_back(e->ChildAt(i));
    }
    return nullptr;
}

TBinaryRun RunBinary(const std::vector<std::string>& args, unsigned seconds)
{
    TBinaryRun run;
    int out[2], err[2];
    if (pipe(out) != 0 || pipe(err) != 0)
        return run;
    std::vector<std::string> argv{TALLOWIN_BINARY};
    argv.insert(argv.end(), args.begin(), args.end());
    std::vector<char*> cargs;
    for (std::string& a : argv)
        cargs.push_back(a.data());
    cargs.push_back(nullptr);
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(out[1], 1);
        dup2(err[1], 2);
        close(out[0]);
        close(err[0]);
        close(out[1]);
        close(err[1]);
        execv(cargs[0], cargs.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    pollfd p[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* sinks[2] = {&run.Out, &run.Err};
    int open = 2;
    while (open > 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            run.TimedOut = true;
            kill(pid, SIGKILL);
            break;
        }
        if (poll(p, 2, static_cast<int>(left.count())) < 0 && errno != EINTR)
            break;
        for (int i = 0; i < 2; ++i) {
            if (p[i].fd < 0 || !(p[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            char buf[65536];
            const ssize_t n = read(p[i].fd, buf, sizeof buf);
            if (n > 0) {
                sinks[i]->append(buf, static_cast<size_t>(n));
            } else {
                close(p[i].fd);
                p[i].fd = -1;
                --open;
            }
        }
    }
    for (const pollfd& f : p)
        if (f.fd >= 0)
            close(f.fd);
    int status = 0;
    rusage usage{};
    while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {}
    run.MaxRssKiB = usage.ru_maxrss;
    if (WIFEXITED(status))
        run.Status = WEXITSTATUS(status);
    return run;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}
