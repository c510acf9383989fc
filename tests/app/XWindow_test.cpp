// Tests on a real X server (run under xvfb-run): the busy animation keeps
// moving while the UI thread is blocked; Escape and closing the window end
// the real program, also in the middle of a scan slowed by strace.
#include <QApplication>
#include <QGuiApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <atomic>
#include <chrono>
#include <optional>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <thread>
#include <xcb/xcb.h>

#include "ChildProcess.h"
#include "TempTree.h"
#include "app/BusyAnimation.h"

namespace {

using namespace std::chrono_literals;

bool OnX()
{
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

std::string Shot(WId id)
{
    return Output("xwd -silent -id " + std::to_string(id));
}

// Screenshots of window id taken `gap` apart while the UI thread sleeps for
// two seconds.
std::pair<std::string, std::string> ShotsWhileBlocked(WId id, std::chrono::milliseconds gap)
{
    std::pair<std::string, std::string> shots;
    std::thread shooter([&] {
        std::this_thread::sleep_for(300ms);
        shots.first = Shot(id);
        std::this_thread::sleep_for(gap);
        shots.second = Shot(id);
    });
    std::this_thread::sleep_for(2s);  // the UI thread processes nothing
    shooter.join();
    return shots;
}

void Pump(std::chrono::milliseconds span)
{
    const auto end = std::chrono::steady_clock::now() + span;
    while (std::chrono::steady_clock::now() < end)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The window id of the first visible top-level named exactly name.
std::string FindWindow(const std::string& name)
{
    std::string id = Output("timeout 60 xdotool search --sync --onlyvisible --name '^" + name
                            + "$' | head -1");
    while (!id.empty() && id.back() == '\n')
        id.pop_back();
    return id;
}

// Asks window id to close the window manager's way (WM_DELETE_WINDOW).
void SendClose(const std::string& id)
{
    xcb_connection_t* c = xcb_connect(nullptr, nullptr);
    auto atom = [c](const char* name) {
        xcb_intern_atom_reply_t* r = xcb_intern_atom_reply(
            c, xcb_intern_atom(c, 0, static_cast<uint16_t>(strlen(name)), name), nullptr);
        const xcb_atom_t a = r ? r->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
        free(r);
        return a;
    };
    xcb_client_message_event_t ev{};
    ev.response_type = XCB_CLIENT_MESSAGE;
    ev.format = 32;
    ev.window = static_cast<xcb_window_t>(std::stoul(id));
    ev.type = atom("WM_PROTOCOLS");
    ev.data.data32[0] = atom("WM_DELETE_WINDOW");
    ev.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(c, 0, ev.window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&ev));
    xcb_flush(c);
    xcb_disconnect(c);
}

// Waits up to timeout for the child to end (killing it otherwise); success
// when it exited by itself with status 0.
::testing::AssertionResult EndsWithZero(pid_t pid, std::chrono::milliseconds timeout,
                                        std::optional<int> status = std::nullopt)
{
    if (!status)
        status = WaitFor(pid, timeout);
    if (!status) {
        KillChild(pid);
        return ::testing::AssertionFailure() << "still running";
    }
    if (!WIFEXITED(*status))
        return ::testing::AssertionFailure() << "did not exit by itself";
    if (WEXITSTATUS(*status) != 0)
        return ::testing::AssertionFailure() << "exit status " << WEXITSTATUS(*status);
    return ::testing::AssertionSuccess();
}

// The real program scanning a tree of kSlowFolders folders under strace,
// which holds each folder listing (getdents64) for 150 ms: the whole scan
// takes 18 s at least (two listing calls a folder, 16 workers at most),
// however fast or idle the machine, while starting takes some ten listings.
class SlowScan {
public:
    static constexpr int kSlowFolders = 1000;

    SlowScan()
    {
        for (int i = 0; i < kSlowFolders; ++i)
            tree_.Dir("d" + std::to_string(i / 50) + "/e" + std::to_string(i % 50));
    }

    // Why the program cannot be slowed here; "" when it can.
    static std::string Unavailable()
    {
        if (std::system("strace -qq -o /dev/null -e trace=getdents64 -e inject=getdents64:delay_enter=1000"
                        " ls / >/dev/null 2>&1")
            != 0)
            return "strace cannot run a program here (not installed: scripts/deps.sh; or ptrace refused)";
        return "";
    }

    pid_t Start()
    {
        // Only getdents64 stops the program (seccomp); LeakSanitizer cannot run
        // under ptrace. strace's and the program's messages go to stderr.log.
        const char* asan = std::getenv("ASAN_OPTIONS");
        return Spawn({"/usr/bin/env", "strace", "-f", "--seccomp-bpf", "-qq", "-y", "-o",
                      log_.Path("strace.log"), "-e", "trace=getdents64", "-e",
                      "inject=getdents64:delay_enter=150000", TALLOWIN_BINARY, tree_.Root()},
                     {"QT_QPA_PLATFORM=xcb", "XDG_STATE_HOME=" + log_.Path("state"),
                      "ASAN_OPTIONS=" + std::string(asan ? asan : "") + (asan ? ":" : "") + "detect_leaks=0"},
                     log_.Path("stderr.log"));
    }

    // Listing calls the program began on folders of the tree (two a folder).
    int TreeListings() const
    {
        std::ifstream in(log_.Path("strace.log"));
        int n = 0;
        for (std::string line; std::getline(in, line);)
            n += line.find("getdents64(") != std::string::npos
                && line.find("<" + tree_.Root()) != std::string::npos;
        return n;
    }

private:
    TTempTree tree_;
    TTempTree log_;
};

}  // namespace

TEST(XAnimate, MovesWhileTheUiThreadIsBlocked)
{
    if (!OnX())
        GTEST_SKIP() << "needs an X display";
    QWidget top;
    top.resize(120, 100);
    auto* anim = new TAnimate(&top);
    anim->move(10, 10);
    anim->hide();
    top.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));
    ASSERT_TRUE(anim->ThreadDriven());
    anim->Play();
    anim->show();
    anim->FlushDisplay();
    Pump(300ms);

    const WId id = anim->winId();
    const auto [first, second] = ShotsWhileBlocked(id, 300ms);
    ASSERT_GT(first.size(), 48u * 45u) << "no screenshot";
    EXPECT_NE(first, second) << "the clip stood still";

    anim->Stop();
    Pump(300ms);
    EXPECT_EQ(anim->Frame(), 0);
    const auto [still1, still2] = ShotsWhileBlocked(id, 300ms);
    ASSERT_GT(still1.size(), 48u * 45u);
    EXPECT_EQ(still1, still2) << "a stopped clip moved";
}

// While the clip plays, Escape without Alt reaches the handler although the UI
// thread processes nothing; a stopped clip leaves Escape to the event loop.
TEST(XAnimate, NoticesEscapeWhileTheUiThreadIsBlocked)
{
    if (!OnX())
        GTEST_SKIP() << "needs an X display";
    QWidget top;
    top.resize(120, 100);
    auto* anim = new TAnimate(&top);
    std::atomic<int> escapes{0};
    anim->SetEscapeHandler([&] { ++escapes; });
    top.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&top));
    anim->show();
    anim->Play();
    Pump(300ms);
    Output("xdotool windowfocus --sync " + std::to_string(top.winId()));
    Pump(100ms);

    struct Case {
        bool playing;
        const char* keys;
        int escapes;
    };
    const Case cases[] = {
        {true, "alt+Escape", 0},
        {true, "Return", 0},
        {true, "Escape", 1},
        {false, "Escape", 0},
    };
    for (const Case& c : cases) {
        c.playing ? anim->Play() : anim->Stop();
        Pump(100ms);
        escapes = 0;
        std::thread presser([&] {
            std::this_thread::sleep_for(300ms);
            Output(std::string("xdotool key ") + c.keys);
        });
        std::this_thread::sleep_for(1s);  // the UI thread processes nothing
        presser.join();
        // The key reaches the helper thread a little after xdotool returns.
        for (int i = 0; i < 50 && escapes.load() < c.escapes; ++i)
            std::this_thread::sleep_for(20ms);
        std::this_thread::sleep_for(200ms);
        EXPECT_EQ(escapes.load(), c.escapes) << c.keys << (c.playing ? " playing" : " stopped");
        Pump(100ms);
    }
}

// Escape ends the real program with status 0 in the middle of a scan.
TEST(XProgram, EscapeDuringScanEndsWithStatusZero)
{
    if (!OnX())
        GTEST_SKIP() << "needs an X display";
    if (const std::string why = SlowScan::Unavailable(); !why.empty())
        GTEST_SKIP() << why;
    SlowScan scan;
    const pid_t pid = scan.Start();
    const std::string wid = FindWindow("Tallowin");
    ASSERT_FALSE(wid.empty());
    Output("xdotool windowfocus --sync " + wid + " key Escape");
    EXPECT_TRUE(EndsWithZero(pid, 60s)) << "after Escape";  // a guard against a hang only
    EXPECT_GT(scan.TreeListings(), 0) << "no scan was running";
    EXPECT_LT(scan.TreeListings(), SlowScan::kSlowFolders) << "the scan ran to its end";
}

// Escape ends the real program while the about window is open.
TEST(XProgram, EscapeWithAboutWindowOpenEndsWithStatusZero)
{
    if (!OnX())
        GTEST_SKIP() << "needs an X display";
    const pid_t pid = Spawn({TALLOWIN_BINARY}, {"QT_QPA_PLATFORM=xcb"});
    const std::string wid = FindWindow("Tallowin");
    ASSERT_FALSE(wid.empty());
    // btnVersion lies at 319..344 x 2..25 of the client area.
    Output("xdotool mousemove --window " + wid + " 331 13 click 1");
    const std::string about = FindWindow("Oskel Tallowin");
    ASSERT_FALSE(about.empty()) << "the about window did not open";
    EXPECT_FALSE(WaitFor(pid, 200ms)) << "ended before Escape";
    Output("xdotool windowfocus --sync " + about + " key Escape");
    EXPECT_TRUE(EndsWithZero(pid, 5s)) << "after Escape";
}

// Closing the window during a scan ends the program at the scan's next
// folder, not after the whole scan.
TEST(XProgram, CloseDuringScanEndsPromptly)
{
    if (!OnX())
        GTEST_SKIP() << "needs an X display";
    if (const std::string why = SlowScan::Unavailable(); !why.empty())
        GTEST_SKIP() << why;
    SlowScan scan;
    const pid_t pid = scan.Start();
    const std::string wid = FindWindow("Tallowin");
    ASSERT_FALSE(wid.empty());
    // Without a window manager Qt may miss a close sent right after start-up;
    // the request is repeated as a window manager would, until the end or a
    // minute (a guard against a hang only).
    std::optional<int> status;
    for (int i = 0; i < 200 && !status; ++i) {
        SendClose(wid);
        status = WaitFor(pid, 300ms);
    }
    EXPECT_TRUE(EndsWithZero(pid, 0s, status)) << "after the close";
    EXPECT_GT(scan.TreeListings(), 0) << "no scan was running";
    EXPECT_LT(scan.TreeListings(), SlowScan::kSlowFolders) << "the scan ran to its end";
}
