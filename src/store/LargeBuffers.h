#pragma once

namespace store {

/// Keeps large buffers of the process in its heap once freed, so they are
/// reused rather than handed back to the system and mapped and zeroed afresh
/// by the kernel the next time. Laying out a long note asks for tens of
/// megabytes at every key typed, and writing a PDF for every page; either
/// way this halves the wait. Idempotent.
void reuseLargeBuffers();

} // namespace store
