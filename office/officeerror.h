#pragma once

#include "errors.h"

// An error of the office or of one of our office steps.
class OfficeError : public TarnwickError {
public:
    using TarnwickError::TarnwickError;
};

// The office did not answer within the call limit and was replaced.
class OfficeHungError : public OfficeError {
public:
    using OfficeError::OfficeError;
};

// The office could not go on with a call because it reached the memory
// ceiling that it runs under.
class OfficeMemoryError : public OfficeError {
public:
    using OfficeError::OfficeError;
};
