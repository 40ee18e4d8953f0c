#include "platform/TaskBar.h"

namespace platform {

void TaskBar::Hide() {
    m_handle = nullptr;
}

void TaskBar::Show() {
    m_handle = nullptr;
}

}  // namespace platform
