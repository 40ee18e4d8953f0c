#pragma once

namespace platform {

// The desktop's task bar, hidden while a show plays full screen. On Linux the full-screen
// window on top covers any panel, so both calls do nothing there.
class TaskBar {
public:
    // Hides the task bar and remembers it for Show.
    void Hide();
    // Shows the task bar hidden by Hide again, if any.
    void Show();

private:
    void* m_handle = nullptr;
};

}  // namespace platform
