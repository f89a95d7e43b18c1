#pragma once

#include <functional>

namespace kit_Busy {

// Waits, on the user-interface thread, until `done` is true: meanwhile the windows keep
// painting and timers run, but every mouse, key, wheel, touch or drag event, shortcut and
// window-close request is dropped, as if a modal box were open. `eachTurn` runs before every
// look at `done`, at least every 50 ms.
void WaitWithoutInput(const std::function<bool()> &done,
                      const std::function<void()> &eachTurn = {});

// Makes the user-interface thread look at `done` again. Callable from any thread.
void WakeUp();

} // namespace kit_Busy
