#pragma once

// Marks the few symbols the control module exports; everything else in the
// module is built with hidden visibility.
#if defined(__GNUC__)
#define STAVIK_EXPORT __attribute__((visibility("default")))
#else
#define STAVIK_EXPORT
#endif
