#pragma once

// clang's thread-safety analysis (-Wthread-safety): which lock guards a piece of state, and
// what a function needs held, acquires or releases, checked at compile time. Other compilers
// see nothing. Mutex and MutexLock (common/mutex.hpp) carry them.
#if defined(__clang__)
#define DESKPLAY_THREAD_ANNOTATION(x) __attribute__((x))
#else
#define DESKPLAY_THREAD_ANNOTATION(x)
#endif

// A type that can be held: a lock.
#define CAPABILITY(x) DESKPLAY_THREAD_ANNOTATION(capability(x))
// An object that holds a capability from its construction to its destruction.
#define SCOPED_CAPABILITY DESKPLAY_THREAD_ANNOTATION(scoped_lockable)
// State read and written only with the capability held.
#define GUARDED_BY(x) DESKPLAY_THREAD_ANNOTATION(guarded_by(x))
// Pointed-to state read and written only with the capability held.
#define PT_GUARDED_BY(x) DESKPLAY_THREAD_ANNOTATION(pt_guarded_by(x))
// Lock order: this capability is taken after (before) the ones named.
#define ACQUIRED_AFTER(...) DESKPLAY_THREAD_ANNOTATION(acquired_after(__VA_ARGS__))
#define ACQUIRED_BEFORE(...) DESKPLAY_THREAD_ANNOTATION(acquired_before(__VA_ARGS__))
// The caller must hold the capability (exclusively, or at least shared).
#define REQUIRES(...) DESKPLAY_THREAD_ANNOTATION(requires_capability(__VA_ARGS__))
#define REQUIRES_SHARED(...) DESKPLAY_THREAD_ANNOTATION(requires_shared_capability(__VA_ARGS__))
// The function takes (gives up) the capability and returns holding (not holding) it.
#define ACQUIRE(...) DESKPLAY_THREAD_ANNOTATION(acquire_capability(__VA_ARGS__))
#define ACQUIRE_SHARED(...) DESKPLAY_THREAD_ANNOTATION(acquire_shared_capability(__VA_ARGS__))
#define RELEASE(...) DESKPLAY_THREAD_ANNOTATION(release_capability(__VA_ARGS__))
#define RELEASE_SHARED(...) DESKPLAY_THREAD_ANNOTATION(release_shared_capability(__VA_ARGS__))
// Takes the capability when it returns the given value.
#define TRY_ACQUIRE(...) DESKPLAY_THREAD_ANNOTATION(try_acquire_capability(__VA_ARGS__))
// The caller must not hold the capability: the function takes it itself.
#define EXCLUDES(...) DESKPLAY_THREAD_ANNOTATION(locks_excluded(__VA_ARGS__))
// Checks at run time that the capability is held, and tells the analysis so.
#define ASSERT_CAPABILITY(x) DESKPLAY_THREAD_ANNOTATION(assert_capability(x))
// Returns a reference to the capability.
#define RETURN_CAPABILITY(x) DESKPLAY_THREAD_ANNOTATION(lock_returned(x))
// Leaves a function out of the analysis: for what it cannot follow, said why at each use.
#define NO_THREAD_SAFETY_ANALYSIS DESKPLAY_THREAD_ANNOTATION(no_thread_safety_analysis)
