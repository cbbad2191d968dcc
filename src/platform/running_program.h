#pragma once
// Replacing the file of a program that is running.
namespace quillon::platform {

// Whether the file must first be moved out of the way (Windows keeps a running program's file
// open and refuses to replace it, but lets it be renamed). Elsewhere the new file is renamed
// over the old one, so that a program is at its path at every moment.
bool RunningProgramMustMoveAside();

} // namespace quillon::platform
