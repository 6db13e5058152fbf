#pragma once
// The process keeps what the user typed to itself. Call first in main, before any
// password can exist.
//
// Afterwards no core file is written on a crash, and no other process of the same user
// may attach a debugger or read the process's memory through /proc (its files there
// belong to root). Root still can; so can whatever the user runs as the program's
// parent before this call.
//
// Returns false where the system refused one of the two steps (the process then runs on
// as before).
bool KeepMemoryPrivate();
