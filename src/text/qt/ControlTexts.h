#pragma once
// The program's own texts of the control base, the splitters and the shared timer.

namespace morvell {

// The platform refused the shared timer's 100 ms timer.
inline constexpr const char* kOutOfSystemTimers = "Out of System Timers";
// Complaints of the splitters about a target they cannot follow; shown only while a form is
// being designed, never by the reader, which detaches the splitter silently.
inline constexpr const char* kOVKSplitBadAlign = "TargetControl's align must be left, right, top or bottom";
inline constexpr const char* kWQzSplitBadAlign = "L'allineamento del target deve essere diverso!";

} // namespace morvell
