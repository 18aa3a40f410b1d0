#pragma once

namespace kelvane::views {

// Keeps Qt's painting of the calling (user-interface) thread on that thread.
//
// Qt's raster painter cuts every fill of 96 rows or more into pieces, hands
// them to its global thread pool and waits for them all. On the two shared
// cores a stage laptop or a virtual machine gives us, each piece costs two
// thread wake-ups and a wait, far more than the fill itself: a lighting fade
// repainting its twelve faders spent three quarters of its time handing
// pieces to other threads, and a press's repaint woke threads that the audio
// thread needed. Qt has no switch for this; it paints serially on any thread
// that belongs to its pool, and asks QThreadPool::contains() which those are.
// This program answers that question as Qt does, except that the thread
// named here counts as one of the pool's own.
//
// Call once, on the thread that runs the windows, before they paint.
void paintOnThisThreadOnly();

} // namespace kelvane::views
