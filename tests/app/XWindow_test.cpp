// Tests on a real X server (run under xvfb-run): the busy animation keeps
// moving while the UI thread is blocked, and Escape ends the real program.
#include <QApplication>
#include <QGuiApplication>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <atomic>
#include <chrono>
#include <optional>
#include <cstring>
#include <thread>
#include <xcb/xcb.h>

#include "ChildProcess.h"
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

// Escape ends the real program with status 0 while it scans a large tree.
TEST(XProgram, EscapeDuringScanEndsWithStatusZero)
{
    if (!OnX())
        GTEST_SKIP() << "needs an X display";
    const pid_t pid = Spawn({TALLOWIN_BINARY, "/"}, {"QT_QPA_PLATFORM=xcb"});
    const std::string wid = FindWindow("Tallowin");
    ASSERT_FALSE(wid.empty());
    // The scan is running: the process keeps using CPU.
    const long before = CpuTicks(pid);
    std::this_thread::sleep_for(300ms);
    const long after = CpuTicks(pid);
    EXPECT_GT(after, before) << "no scan was running";
    Output("xdotool windowfocus --sync " + wid + " key Escape");
    EXPECT_TRUE(EndsWithZero(pid, 5s)) << "after Escape";
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

// Closing the window during a scan ends the program promptly, not after the
// whole scan (which takes several seconds for "/").
TEST(XProgram, CloseDuringScanEndsPromptly)
{
    if (!OnX())
        GTEST_SKIP() << "needs an X display";
    const pid_t pid = Spawn({TALLOWIN_BINARY, "/"}, {"QT_QPA_PLATFORM=xcb"});
    const std::string wid = FindWindow("Tallowin");
    ASSERT_FALSE(wid.empty());
    std::this_thread::sleep_for(700ms);
    const long before = CpuTicks(pid);
    std::this_thread::sleep_for(300ms);
    EXPECT_GT(CpuTicks(pid), before) << "no scan was running";
    // Without a window manager Qt may miss a close sent right after start-up;
    // the request is repeated as a window manager would.
    std::optional<int> status;
    for (int i = 0; i < 10 && !status; ++i) {
        SendClose(wid);
        status = WaitFor(pid, 300ms);
    }
    EXPECT_TRUE(EndsWithZero(pid, 2s, status)) << "after the close";
}
