// The single-instance lock: one holder at a time, a refused instance leaves nothing behind that
// would outlive the holder, and the holder's window is found through its process, whatever the
// class the window system gave it.
#include "platform/single_instance.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace quillon::platform {
namespace {

constexpr char kName[] = "Quillon-Test-SingleInstance";

TEST(Win32SingleInstance, OneHolderAtATime) {
    std::unique_ptr<SingleInstance> first = createSingleInstance(kName);
    ASSERT_TRUE(first->acquire());
    EXPECT_TRUE(first->acquire()); // asking again changes nothing
    const std::unique_ptr<SingleInstance> second = createSingleInstance(kName);
    EXPECT_FALSE(second->acquire());
    EXPECT_TRUE(createSingleInstance("Quillon-Test-Other")->acquire());
    // The refused instance keeps no handle: once the holder ends, the next start may hold it.
    first.reset();
    EXPECT_TRUE(createSingleInstance(kName)->acquire());
    EXPECT_EQ(second->raiseRequestDescriptor(), -1);
}

TEST(Win32SingleInstance, FirstInstanceIsRaisedThroughItsWindow) {
    const std::unique_ptr<SingleInstance> later = createSingleInstance(kName);
    EXPECT_FALSE(later->raiseFirstInstance()); // nobody holds the lock

    const std::unique_ptr<SingleInstance> holder = createSingleInstance(kName);
    ASSERT_TRUE(holder->acquire());
    EXPECT_FALSE(later->raiseFirstInstance()); // the holder has no window yet

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"Qt640QWindowIcon";
    ASSERT_TRUE(RegisterClassW(&windowClass));
    const HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"Quillon", WS_OVERLAPPEDWINDOW, 0, 0,
                                        200, 100, nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOWMINIMIZED);
    EXPECT_TRUE(later->raiseFirstInstance());
    EXPECT_FALSE(IsIconic(window));
    DestroyWindow(window);
    UnregisterClassW(windowClass.lpszClassName, windowClass.hInstance);
}

} // namespace
} // namespace quillon::platform
