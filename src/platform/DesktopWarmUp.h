#pragma once

namespace orvella {

// Starts, on a pool thread, the slow first steps of desktop services the window needs soon:
// reading the font configuration and connecting to the session bus (which, without a bus
// address, launches one). The GUI thread asks for them later and finds them ready, or waits
// only for what is left. Call once, after the application object exists and once nothing will
// change the environment any more (the bus library reads it on another thread).
void warmUpDesktopServices();

} // namespace orvella
