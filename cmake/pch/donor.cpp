// The one source of the targets that compile the precompiled headers: CMake
// builds a target's precompiled header only when it has sources.
