#pragma once

namespace testsupport {

/// Runs the application exactly as its main does, and calls `probe` from the
/// event loop once the Open event has run, for a probe program that watches
/// or drives it. Returns the application's exit status.
int runApplicationWithProbe(int argc, char** argv, void (*probe)());

}  // namespace testsupport
