#pragma once

#if defined(OMBREL_BUILD)
#define OMBREL_EXPORT __attribute__((visibility("default")))
#else
#define OMBREL_EXPORT
#endif
