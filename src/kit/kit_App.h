#pragma once

// The program's quit request: posted to the event queue, it ends the event loop when the loop
// picks it up. While it is pending, every message box ends at once, as if cancelled.
namespace kit {

void postQuitRequest();
bool quitRequested();
// Tests run many windows in one process; each starts with no pending request.
void clearQuitRequest();

// Ends the process now with `code`, once stdio is flushed: no destructor, no library's
// teardown and no thread is waited for.
[[noreturn]] void endProcess(int code);

} // namespace kit
