// Program lifetime: exit handlers, the end of the program, and the end requested from outside.
#pragma once
#include <functional>
#include <string>

void RegisterExitHandler(void (*handler)());
// Runs the exit handlers once and ends the process with status 0.
[[noreturn]] void EndProgram();
// Runs the exit handlers (once per process) without ending it.
void RunExitHandlers();
// A fatal error of the layer: prints the message and ends with status 1 (no exit handlers).
[[noreturn]] void LayerFatalError(const char* message);
// SIGTERM/SIGHUP/SIGINT set a flag that the frame loops check; this says whether it is set.
void InstallEndSignalHandlers();
bool EndRequestedFromOutside();
// Locks the file at path (made when missing) for as long as this process lives, without waiting:
// 1 locked, 0 another running process holds it, -1 no such file can be made or locked (a link
// at path counts as none).
int HoldLockWhileRunning(const std::string& path);
// Pixel buffers (pictures, pieces, the renderer's textures) come from and go straight back to the
// system instead of staying behind as holes in the heap between puzzles.
void KeepLargeBlocksOutOfHeap();
