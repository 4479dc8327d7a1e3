// DATALOG_SANITIZED is 1 in a build with AddressSanitizer or ThreadSanitizer,
// whose runtimes take address space and touch pages of their own (shadow
// memory, allocator records) beside every allocation the program makes.
#pragma once

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define DATALOG_SANITIZED 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define DATALOG_SANITIZED 1
#endif
