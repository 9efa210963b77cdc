// Monkey test: random real mouse moves, clicks and key presses over the
// running Quorvane.exe on a demo-like machine where every start lands in the
// recorder's log. The program must never crash or hang, and every 500 events
// the window's state must match the installed catalogue. Events that close
// the window (the Close button, Escape, Alt+F4) are followed by a restart.
// QUORVANE_MONKEY_EVENTS sets the number of events (default 1500),
// QUORVANE_FUZZ_SEED the seed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <random>

#include "res/resource.h"
#include "tests/robustness/fuzz_text.h"
#include "tests/robustness/launcher_machine.h"

namespace {

using namespace qvtest;
using namespace qvrobust;

int EventCount()
{
    wchar_t value[32] = {};
    if (GetEnvironmentVariableW(L"QUORVANE_MONKEY_EVENTS", value, 32) > 0 && value[0])
        return static_cast<int>(wcstol(value, nullptr, 10));
    return 1500;
}

TEST(MonkeyLauncher, RandomInputNeverCrashesHangsOrBreaksTheWindow)
{
    LauncherMachine machine(L"monkey");
    ASSERT_TRUE(machine.ok());
    RunningLauncher launcher;
    ASSERT_TRUE(launcher.ok()) << "the launcher's window did not appear";
    ASSERT_EQ(CheckLauncherInvariants(launcher.window(), machine.ExpectedCounts()), "") << "at start";

    const int events = EventCount();
    const uint32_t seed = ReadFuzzSettings(0).seed;
    std::mt19937 rng(seed);
    auto below = [&rng](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
    static const WORD keys[] = {VK_TAB, VK_LEFT, VK_RIGHT, VK_UP, VK_DOWN, VK_HOME, VK_END, VK_SPACE,
                                VK_PRIOR, VK_NEXT, 'A', 'W', '1', VK_F1, VK_F10, VK_APPS, VK_BACK, VK_DELETE};
    int restarts = 0, checks = 0, clicks = 0, keyPresses = 0, moves = 0, closers = 0;
    for (int n = 1; n <= events; ++n) {
        HWND window = launcher.window();
        RECT area = WindowRectOnScreen(window);
        // A window that is going away has no area: keep the numbers valid.
        area.right = std::max(area.right, area.left + 1);
        area.bottom = std::max(area.bottom, area.top + 1);
        const int kind = below(1000);
        if (kind < 550) {
            MoveMouseTo(area.left + below(area.right - area.left), area.top + below(area.bottom - area.top));
            ++moves;
        } else if (kind < 700) {
            // Clicks: anywhere in the window, half of them on a control.
            if (below(2) == 0) {
                static const int ids[] = {IDC_ITEM_LIST, IDC_DESCRIPTION, IDC_CATEGORY0, IDC_CATEGORY1,
                                          IDC_CATEGORY2, IDC_CATEGORY3, IDC_HELP_BUTTON, IDC_SUPPORT_BUTTON};
                HWND control = Control(window, ids[below(static_cast<int>(std::size(ids)))]);
                const RECT r = control && IsVisible(control) ? WindowRectOnScreen(control) : area;
                ClickAt({r.left + below(std::max(1L, r.right - r.left)), r.top + below(std::max(1L, r.bottom - r.top))});
            } else {
                ClickAt({area.left + below(area.right - area.left), area.top + below(area.bottom - area.top)});
            }
            ++clicks;
        } else if (kind < 995) {
            if (GetForegroundWindow() != window)
                BringToForeground(window);
            const unsigned modifiers = below(10) == 0 ? kShift : (below(20) == 0 ? kCtrl : kNoModifier);
            PressKey(below(12) == 0 ? VK_RETURN : keys[below(static_cast<int>(std::size(keys)))], modifiers);
            ++keyPresses;
        } else {
            // Now and then the window is closed on purpose.
            BringToForeground(window);
            const int way = below(3);
            if (way == 0)
                PressKey(VK_ESCAPE);
            else if (way == 1)
                PressKey(VK_F4, kAlt);
            else
                ClickAt(CenterOf(WindowRectOnScreen(Control(window, IDC_CLOSE_BUTTON))));
            ++closers;
        }

        // Every event: the program still runs (or has ended cleanly) and answers.
        DWORD exitCode = 0;
        bool ended = launcher.process().WaitForExit(0, &exitCode) || !IsWindow(window) ||
                     (!Settle(window, 0) && launcher.process().WaitForExit(kDeadlineMs, &exitCode));
        DWORD_PTR answer = 0;
        if (!ended && !SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kDeadlineMs, &answer)) {
            // A closing event may take the window away between the checks.
            ASSERT_FALSE(IsWindow(window)) << "the window hangs after event " << n << ", seed " << seed;
            ended = true;
        }
        if (ended) {
            ASSERT_EQ(exitCode, 0u) << "the launcher ended with 0x" << std::hex << exitCode << " at event " << std::dec
                                    << n << ", seed " << seed;
            ASSERT_TRUE(launcher.process().WaitForExit(kDeadlineMs, &exitCode))
                << "window gone but process runs, event " << n;
            ASSERT_EQ(exitCode, 0u) << "event " << n;
            ASSERT_TRUE(launcher.Restart()) << "no restart after event " << n;
            ++restarts;
            continue;
        }
        if (n % 500 == 0) {
            // Let a click's or key's follow-up messages land before looking.
            Settle(window, 100);
            ASSERT_EQ(CheckLauncherInvariants(window, machine.ExpectedCounts()), "")
                << "after event " << n << ", seed " << seed;
            ++checks;
        }
    }
    const size_t launches = machine.log().Lines().size();
    std::printf("monkey: %d events (%d moves, %d clicks, %d keys, %d closing), %zu launches, %d restarts, "
                "%d invariant checks, seed %u\n",
                events, moves, clicks, keyPresses, closers, launches, restarts, checks, seed);
    EXPECT_EQ(checks, events / 500);
    EXPECT_GT(launches, 0u) << "no event started anything: the input did not reach the window";
}

}  // namespace
